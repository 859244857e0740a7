// Undo, redo and the clipboard through the real application: parts copied
// from one design and pasted into another travel through the system
// clipboard as the design archive.
#include "app/clipboard.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_item.h"
#include "model/circuit/circuit.h"
#include "model/parts/catalogue.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace shelltest;

namespace {

int CountParts(const CCircuit* d)
{
    int n = 0;
    for (int code : {GROUP_COMPONENTS, GROUP_OTHERS, GROUP_PROBES, GROUP_WIRES})
        if (CPart* g = d->GetGroup(code))
            for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling()) ++n;
    return n;
}

void SelectAll(CCircuit* d)
{
    for (int code : {GROUP_COMPONENTS, GROUP_OTHERS, GROUP_PROBES, GROUP_WIRES})
        if (CPart* g = d->GetGroup(code))
            for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling()) p->Select(0x80000);
}

// A design file of three resistors, written by the program itself.
QString ThreeResistors(const QString& folder)
{
    CTeskDoc doc;
    doc.OnNewDocument();
    CCircuit* d = doc.GetDesign();
    for (int i = 0; i < 3; ++i) {
        auto* part = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(32769, nullptr, nullptr));
        EXPECT_NE(part, nullptr);
        if (!part) continue;
        part->Offset(80 + 100 * i - part->GetRect().left, 120 - part->GetRect().top);
        d->AddChild(part);
    }
    d->ResetRun(1);
    const QString path = QDir(folder).filePath(QStringLiteral("three.zrn"));
    EXPECT_TRUE(doc.OnSaveDocument(path));
    return path;
}

class ShellEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        ASSERT_TRUE(m_dir.isValid());
        m_file = ThreeResistors(m_dir.path());
    }
    void TearDown() override
    {
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    bool Enabled(int id)
    {
        m_app->GetMainFrame()->UpdateCommands();
        return m_app->GetMainFrame()->Action(id)->isEnabled();
    }
    QTemporaryDir m_dir;
    QString m_file;
    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

} // namespace

TEST_F(ShellEdit, UndoIsGreyedAfterLoadingAndWorksAfterAnEdit)
{
    CTeskDoc* doc = m_app->OpenDocumentFile(m_file);
    ASSERT_NE(doc, nullptr);
    const int parts = CountParts(doc->GetDesign());
    ASSERT_EQ(parts, 3);
    // Right after loading there is nothing to go back to: Undo is greyed,
    // and stays available for later.
    EXPECT_FALSE(Enabled(57643));
    EXPECT_FALSE(Enabled(57644));
    m_app->RouteCommand(57643);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_FALSE(doc->GetItem()->IsUndoOff());

    // An edit: everything selected and deleted, then the change recorded.
    SelectAll(doc->GetDesign());
    doc->GetDesign()->DeleteSelected();
    doc->GetDesign()->ResetRun(1);
    EXPECT_EQ(CountParts(doc->GetDesign()), 0);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(Enabled(57643));
    m_app->RouteCommand(57643);
    EXPECT_EQ(CountParts(doc->GetDesign()), parts);
    EXPECT_TRUE(Enabled(57644));
    m_app->RouteCommand(57644);
    EXPECT_EQ(CountParts(doc->GetDesign()), 0);
    // Undo twice in a row restores the same state twice (one level).
    m_app->RouteCommand(57643);
    m_app->RouteCommand(57643);
    EXPECT_EQ(CountParts(doc->GetDesign()), parts);
    EXPECT_TRUE(m_messages.shown.empty());
}

// The document's item alone (no window): a change, a snapshot, and undo
// and redo bring back the stored bytes exactly.
TEST_F(ShellEdit, UndoAndRedoGiveBackTheSameBytes)
{
    class CQuietDocument : public CDesignDocument {
    public:
        int SaveUndoSnapshot() override { return item ? item->SaveUndoSnapshot() : 0; }
        void SetModifiedFlag(bool) override {}
        CTeskItem* item = nullptr;
    } doc;
    CTeskItem item(&doc);
    doc.item = &item;
    QFile f(m_file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    ASSERT_EQ(item.Load(std::vector<uint8_t>(data.begin(), data.end())), CTeskItem::ReadResult::kOk);
    CCircuit* d = item.GetDesign();
    // The file was saved while stopped for an edit; no snapshot keeps that.
    ASSERT_TRUE(d->m_dwOptions & OPT_STOPPED_FOR_EDIT);
    d->SetOptionBits(OPT_STOPPED_FOR_EDIT, false);
    const std::vector<uint8_t> before = item.Store(false);

    // The change, then its snapshot.
    SelectAll(d);
    d->DeleteSelected();
    item.SaveUndoSnapshot();
    const std::vector<uint8_t> after = item.Store(false);
    ASSERT_NE(after, before);

    ASSERT_EQ(item.RestoreSnapshot(true), 1);
    EXPECT_EQ(item.Store(false), before);
    EXPECT_EQ(CountParts(item.GetDesign()), 3);
    ASSERT_EQ(item.RestoreSnapshot(false), 1);
    EXPECT_EQ(item.Store(false), after);
    EXPECT_EQ(CountParts(item.GetDesign()), 0);
}

TEST_F(ShellEdit, UndoAfterUndoAndANewEditReturnsToTheFirstUndo)
{
    CTeskDoc* doc = m_app->OpenDocumentFile(m_file);
    ASSERT_NE(doc, nullptr);
    CCircuit* d = doc->GetDesign();
    const int parts = CountParts(d);
    // Edit 1: delete one part.
    CPart* first = d->GetGroup(GROUP_COMPONENTS)->GetFirstChild();
    ASSERT_NE(first, nullptr);
    first->Select(0x80000);
    d->DeleteSelected();
    d->ResetRun(1);
    ASSERT_EQ(CountParts(d), parts - 1);
    // Undo: back to all parts.
    ASSERT_TRUE(doc->Undo());
    d = doc->GetDesign();
    ASSERT_EQ(CountParts(d), parts);
    // Edit 2 after the undo, then Undo: the state the first Undo produced.
    d->m_strName = "changed";
    d->OnDesignChanged();
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(CountParts(doc->GetDesign()), parts);
    EXPECT_EQ(doc->GetDesign()->m_strName, CString());
}

TEST_F(ShellEdit, CopyAndPastePartsThroughTheClipboard)
{
    CTeskDoc* source = m_app->OpenDocumentFile(m_file);
    ASSERT_NE(source, nullptr);
    const int parts = CountParts(source->GetDesign());
    EXPECT_FALSE(Enabled(36007));
    SelectAll(source->GetDesign());
    ASSERT_TRUE(Enabled(36007));
    QGuiApplication::clipboard()->clear();
    m_app->RouteCommand(36007);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(QString::fromLatin1(kDesignMimeType)));

    CTeskDoc* target = m_app->OnFileNew();
    ASSERT_EQ(m_app->GetActiveDocument(), target);
    ASSERT_TRUE(Enabled(36006));
    m_app->RouteCommand(36006);
    EXPECT_EQ(CountParts(target->GetDesign()), parts);
    EXPECT_TRUE(target->IsModified());
    // The paste is one change: Undo takes it back.
    m_app->RouteCommand(57643);
    EXPECT_EQ(CountParts(target->GetDesign()), 0);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ShellEdit, CutRemovesTheSelectionAndPasteOfAnotherObjectIsRefused)
{
    CTeskDoc* doc = m_app->OpenDocumentFile(m_file);
    ASSERT_NE(doc, nullptr);
    const int parts = CountParts(doc->GetDesign());
    SelectAll(doc->GetDesign());
    m_app->RouteCommand(36005);
    EXPECT_EQ(CountParts(doc->GetDesign()), 0);
    m_app->RouteCommand(36006);
    EXPECT_EQ(CountParts(doc->GetDesign()), parts);

    // Clipboard data in our format that holds a part, not a design.
    CArchive ar;
    CPart part;
    ar.WriteObject(&part);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kDesignMimeType),
                  QByteArray(reinterpret_cast<const char*>(ar.GetBuffer().data()), qsizetype(ar.GetBuffer().size())));
    QGuiApplication::clipboard()->setMimeData(mime);
    EXPECT_EQ(ReadDesignFromClipboard(), nullptr);
    m_app->RouteCommand(36006);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(36529));
    EXPECT_EQ(CountParts(doc->GetDesign()), parts);
}

TEST(ShellItem, ReadDesignRefusesAnotherClassAndKeepsTheDesign)
{
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    CArchive ar;
    CPart part;
    ar.WriteObject(&part);
    CTeskItem::ReadResult r = CTeskItem::ReadResult::kOk;
    EXPECT_EQ(CTeskItem::ReadDesign(ar.GetBuffer(), true, &r), nullptr);
    EXPECT_EQ(r, CTeskItem::ReadResult::kNotADesign);
    CTeskItem item(nullptr);
    CCircuit* before = item.GetDesign();
    EXPECT_EQ(item.Load(ar.GetBuffer()), CTeskItem::ReadResult::kNotADesign);
    EXPECT_EQ(item.GetDesign(), before);
    EXPECT_TRUE(messages.shown.empty());
}
