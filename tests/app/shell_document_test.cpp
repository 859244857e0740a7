// The application shell driven through its real windows: start-up, New,
// Open (every golden design), Save, Save As, Close, damaged and newer files.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <sys/stat.h>
#include <unistd.h>

using namespace shelltest;

namespace {

class ShellDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        ASSERT_TRUE(m_dir.isValid());
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
    }
    void TearDown() override
    {
        // Nothing may ask at the end.
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    QString Temp(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    int Windows() const { return int(m_app->GetMainFrame()->MdiArea()->subWindowList().size()); }

    QTemporaryDir m_dir;
    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

} // namespace

TEST_F(ShellDocument, StartsWithMenusToolbarStatusBarAndAnEmptyDesign)
{
    CMainFrame* frame = m_app->GetMainFrame();
    ASSERT_TRUE(frame->isVisible());
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus.join(QLatin1Char(',')),
              QStringLiteral("&File,&Edit,&View,&Add,&Options,&Publish,&Measure,&Sound,&Window,&Help"));
    EXPECT_GT(frame->MainToolBar()->actions().size(), 5);
    EXPECT_EQ(frame->ToolBarLayout(), 479);
    EXPECT_TRUE(frame->statusBar()->isVisible());
    ASSERT_EQ(m_app->Documents().size(), 1u);
    ASSERT_NE(m_app->GetActiveView(), nullptr);
    CCircuit* d = m_app->GetActiveDocument()->GetDesign();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetFirstPart(), nullptr);
    // The new design is not changed, so Save is offered but Undo is not.
    frame->UpdateCommands();
    EXPECT_TRUE(frame->Action(57603)->isEnabled());
    EXPECT_FALSE(frame->Action(57643)->isEnabled());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ShellDocument, CommandsWithoutAHandlerStayGreyed)
{
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    // Reloading a design from its file is not part of this program yet.
    ASSERT_NE(frame->Action(34206), nullptr);
    EXPECT_FALSE(frame->Action(34206)->isEnabled());
    EXPECT_TRUE(frame->Action(57600)->isEnabled());
    EXPECT_TRUE(frame->Action(57601)->isEnabled());
}

TEST_F(ShellDocument, OpensEveryGoldenDesignThroughTheOpenDialog)
{
    const char* files[] = {"empty.zrn", "family1.zrm", "oldgates.zrn", "parts.zrn", "v2.ckt", "v401.ckt"};
    for (const char* name : files) {
        SCOPED_TRACE(name);
        const bool replacesEmpty = m_app->Documents().size() == 1 && m_app->Documents().front()->GetPathName().isEmpty();
        const size_t expected = m_app->Documents().size() + (replacesEmpty ? 0 : 1);
        ChooseFile(GoldenFile(name));
        m_app->RouteCommand(57601);
        ASSERT_EQ(m_app->Documents().size(), expected);
        CTeskDoc* doc = m_app->GetActiveDocument();
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(QFileInfo(doc->GetPathName()).fileName(), QString::fromLatin1(name));
        EXPECT_FALSE(doc->IsModified());
        EXPECT_NE(doc->GetDesign(), nullptr);
    }
    EXPECT_TRUE(m_messages.shown.empty());
    // The untouched empty design gave its window to the first opened file.
    EXPECT_EQ(m_app->Documents().size(), 6u);
    EXPECT_EQ(m_app->RecentFiles().size(), 4);
    EXPECT_EQ(QFileInfo(m_app->RecentFiles().front()).fileName(), QStringLiteral("v401.ckt"));
}

TEST_F(ShellDocument, OpeningAFileThatIsOpenShowsItsWindow)
{
    CTeskDoc* first = m_app->OpenDocumentFile(GoldenFile("parts.zrn"));
    ASSERT_NE(first, nullptr);
    m_app->OnFileNew();
    EXPECT_EQ(m_app->OpenDocumentFile(QStringLiteral("\"%1\"").arg(GoldenFile("parts.zrn"))), first);
    EXPECT_EQ(m_app->GetActiveDocument(), first);
    EXPECT_EQ(m_app->Documents().size(), 2u);
}

TEST_F(ShellDocument, DamagedFileShowsItsMessageAndLeavesOpenDesignsAlone)
{
    CTeskDoc* open = m_app->OpenDocumentFile(GoldenFile("parts.zrn"));
    ASSERT_NE(open, nullptr);
    CCircuit* design = open->GetDesign();
    QFile golden(GoldenFile("parts.zrn"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    QByteArray bytes = golden.readAll();
    bytes.truncate(bytes.size() / 2);
    QFile damaged(Temp("damaged.zrn"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(bytes);
    damaged.close();

    EXPECT_EQ(m_app->OpenDocumentFile(damaged.fileName()), nullptr);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(35122));
    EXPECT_EQ(m_app->Documents().size(), 1u);
    EXPECT_EQ(open->GetDesign(), design);
    EXPECT_EQ(m_app->GetActiveDocument(), open);
}

TEST_F(ShellDocument, NewerFileShowsOneMessage)
{
    QFile golden(GoldenFile("empty.zrn"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    QByteArray bytes = golden.readAll();
    // The version word after the marker: 0x20B8, little-endian.
    const qsizetype at = bytes.indexOf(QByteArray("\xB8\x20", 2));
    ASSERT_GT(at, 0);
    bytes[at] = char(0xFF);
    bytes[at + 1] = char(0x2F);
    QFile newer(Temp("newer.zrn"));
    ASSERT_TRUE(newer.open(QIODevice::WriteOnly));
    newer.write(bytes);
    newer.close();
    EXPECT_EQ(m_app->OpenDocumentFile(newer.fileName()), nullptr);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(36528));
    EXPECT_EQ(m_app->Documents().size(), 1u);
}

TEST_F(ShellDocument, AFileHoldingAnotherObjectIsRefused)
{
    // A file whose object is a part, not a design.
    CArchive ar;
    CPart part;
    ar.WriteObject(&part);
    QFile file(Temp("part.zrn"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(ar.GetBuffer().data()), qint64(ar.GetBuffer().size()));
    file.close();
    EXPECT_EQ(m_app->OpenDocumentFile(file.fileName()), nullptr);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(61700));
}

TEST_F(ShellDocument, SaveAsThenSaveWriteTheDesign)
{
    CTeskDoc* doc = m_app->OpenDocumentFile(GoldenFile("parts.zrn"));
    ASSERT_NE(doc, nullptr);
    const QString target = Temp("copy.zrn");
    ChooseFile(target);
    m_app->RouteCommand(57604);
    ASSERT_TRUE(QFileInfo::exists(target));
    EXPECT_EQ(doc->GetPathName(), QFileInfo(target).absoluteFilePath());
    // The copy holds the same bytes as the golden file it was read from.
    QFile a(GoldenFile("parts.zrn")), b(target);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    b.close();
    // Save writes to the same path without asking.
    QFile::remove(target);
    doc->SetModifiedFlag(true);
    m_app->RouteCommand(57603);
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(m_messages.shown.empty());
    // The window title follows the file name.
    EXPECT_EQ(m_app->GetMainFrame()->ActiveFrame()->windowTitle(), QStringLiteral("copy.zrn"));
}

TEST_F(ShellDocument, SaveOfANewDesignAsksForAName)
{
    CTeskDoc* doc = m_app->GetActiveDocument();
    ChooseFile(Temp("fresh"));
    m_app->RouteCommand(57603);
    EXPECT_TRUE(QFileInfo::exists(Temp("fresh.zrn")));
    EXPECT_EQ(QFileInfo(doc->GetPathName()).fileName(), QStringLiteral("fresh.zrn"));
    // Cancel in the dialog writes nothing.
    ChooseFile(QString());
    m_app->RouteCommand(57604);
    EXPECT_EQ(QFileInfo(doc->GetPathName()).fileName(), QStringLiteral("fresh.zrn"));
}

TEST_F(ShellDocument, SavingIntoAReadOnlyFolderReportsItAndLosesNothing)
{
    CTeskDoc* doc = m_app->OpenDocumentFile(GoldenFile("parts.zrn"));
    ASSERT_NE(doc, nullptr);
    // Folder permissions do not stop root: there the process file system,
    // where nobody creates files, stands for the read-only folder.
    QString folder = QStringLiteral("/proc");
    if (geteuid() != 0) {
        QDir(m_dir.path()).mkdir(QStringLiteral("locked"));
        folder = Temp("locked");
        chmod(folder.toLocal8Bit().constData(), 0555);
    }
    doc->SetModifiedFlag(true);
    EXPECT_FALSE(doc->DoSave(folder + QStringLiteral("/x.zrn")));
    if (geteuid() != 0) chmod(folder.toLocal8Bit().constData(), 0755);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(61698));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(QFileInfo(doc->GetPathName()).fileName(), QStringLiteral("parts.zrn"));
    EXPECT_NE(doc->GetDesign(), nullptr);
}

TEST_F(ShellDocument, SavingOverAFileThatCannotBeReplacedKeepsTheOldFile)
{
    // The target is a folder: the write beside it cannot be renamed over it.
    CTeskDoc* doc = m_app->GetActiveDocument();
    QDir(m_dir.path()).mkdir(QStringLiteral("taken.zrn"));
    EXPECT_FALSE(doc->DoSave(Temp("taken.zrn")));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(61698));
    EXPECT_TRUE(QFileInfo(Temp("taken.zrn")).isDir());
}

TEST_F(ShellDocument, LockedDesignIsNotSavedOverItsFile)
{
    CTeskDoc* doc = m_app->GetActiveDocument();
    ASSERT_TRUE(doc->DoSave(Temp("locked.zrn")));
    doc->GetDesign()->SetOptionBits(OPT_LOCKED, true);
    EXPECT_FALSE(doc->DoFileSave());
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(36620));
}

TEST_F(ShellDocument, CloseAsksForChangesAndCancelKeepsTheWindow)
{
    CTeskDoc* doc = m_app->GetActiveDocument();
    doc->SetModifiedFlag(true);
    EXPECT_TRUE(m_app->GetMainFrame()->ActiveFrame()->windowTitle().endsWith(QStringLiteral(" *")));
    m_messages.queuedAnswers = {IDCANCEL};
    m_app->RouteCommand(57602);
    EXPECT_EQ(m_app->Documents().size(), 1u);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    m_messages.queuedAnswers = {IDNO};
    m_app->RouteCommand(57602);
    EXPECT_EQ(m_app->Documents().size(), 0u);
    EXPECT_EQ(Windows(), 0);
    // With no design the design commands are greyed.
    m_app->GetMainFrame()->UpdateCommands();
    EXPECT_FALSE(m_app->GetMainFrame()->Action(57603)->isEnabled());
    EXPECT_TRUE(m_app->GetMainFrame()->Action(57600)->isEnabled());
}

TEST_F(ShellDocument, TwoDesignsSideBySide)
{
    CTeskDoc* a = m_app->OpenDocumentFile(GoldenFile("parts.zrn"));
    CTeskDoc* b = m_app->OpenDocumentFile(GoldenFile("oldgates.zrn"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Windows(), 2);
    m_app->RouteCommand(57651);
    const auto windows = m_app->GetMainFrame()->MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_FALSE(windows[0]->geometry().intersects(windows[1]->geometry()));
    m_app->GetMainFrame()->MdiArea()->setActiveSubWindow(windows[0]);
    EXPECT_EQ(m_app->GetActiveDocument(), static_cast<CTeskFrame*>(windows[0])->GetDocument());
    // A second window on one design numbers both.
    m_app->RouteCommand(57648);
    EXPECT_EQ(m_app->FramesOf(m_app->GetActiveDocument()).size(), 2u);
    EXPECT_TRUE(m_app->GetMainFrame()->ActiveFrame()->windowTitle().endsWith(QStringLiteral(":2")));
}

TEST_F(ShellDocument, LockFileHoldsOnlyAfterASaveThatSucceeded)
{
    CTeskDoc* doc = m_app->GetActiveDocument();
    // No name yet and the Save dialog cancelled: the design stays unlocked.
    ChooseFile(QString());
    m_app->RouteCommand(34207);
    EXPECT_FALSE(doc->GetDesign()->IsLocked());
    // Saved: locked, and the file is read-only.
    ChooseFile(Temp("lesson.zrn"));
    m_app->RouteCommand(34207);
    EXPECT_TRUE(doc->GetDesign()->IsLocked());
    EXPECT_FALSE(QFileInfo(Temp("lesson.zrn")).permissions() & QFileDevice::WriteOwner);
    // The locked design refuses Save; Unlock makes the file writable again.
    EXPECT_FALSE(doc->DoFileSave());
    m_app->RouteCommand(34208);
    EXPECT_FALSE(doc->GetDesign()->IsLocked());
    EXPECT_TRUE(QFileInfo(Temp("lesson.zrn")).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(m_messages.shown.size(), 1u);
}
