// The home column of the design windows in the real main window: the
// shared trees, the Books and Blocks switches, closing the column, and a
// block dragged from the Blocks tree onto the canvas.
#include "app/canvas/tesk_view.h"
#include "app/file_types.h"
#include "app/home/file_browse_ctrl.h"
#include "app/home/home_pane.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "components/resistor.h"
#include "model/circuit/circuit.h"
#include "model/parts/catalogue.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

using namespace shelltest;

namespace {

class HomePane : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        // A Blocks folder with one block: a resistor saved by the program.
        QDir(m_dir.path()).mkdir(QStringLiteral("Blocks"));
        QDir(m_dir.path()).mkdir(QStringLiteral("Books"));
        m_block = m_dir.filePath(QStringLiteral("Blocks/resistor.zrn"));
        {
            CTeskDoc doc;
            doc.OnNewDocument();
            auto* part = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(32769, nullptr, nullptr));
            ASSERT_NE(part, nullptr);
            part->Offset(40 - part->GetRect().left, 40 - part->GetRect().top);
            doc.GetDesign()->AddChild(part);
            ASSERT_TRUE(doc.OnSaveDocument(m_block));
        }
        ASSERT_TRUE(SetLibraryFolder(m_dir.filePath(QStringLiteral("Blocks/"))));
        ASSERT_TRUE(SetActivitiesFolder(m_dir.filePath(QStringLiteral("Books/"))));
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        m_app->GetMainFrame()->resize(1280, 900);
        m_app->GetMainFrame()->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    CTeskFrame* Frame() const { return m_app->GetMainFrame()->ActiveFrame(); }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    QTemporaryDir m_dir;
    QString m_block;
    std::unique_ptr<CTeskApp> m_app;
};

} // namespace

TEST_F(HomePane, BooksAndBlocksSwitchAndCloseTheColumn)
{
    CTeskFrame* f = Frame();
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->GetHomePane(), nullptr);
    EXPECT_EQ(f->GetHomePaneWidth(), 236) << "the first window opens its home column 236 wide";
    EXPECT_TRUE(f->IsBooksShown());
    EXPECT_EQ(f->GetHomePane()->Title(), QStringLiteral("Books"));

    // Each step: the command, then what shows (0: the column is closed).
    enum Shown { kNone, kBooks, kBlocks };
    const struct {
        int command;
        Shown shown;
    } steps[] = {
        {34178, kNone},   // toggling Books while it shows closes the column
        {34178, kBooks},  // and opens it again
        {34179, kBlocks}, // toggling Blocks switches trees without closing
        {34179, kNone},   {34274, kBlocks}, // View Blocks opens a closed column
        {34271, kBooks},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(m_app->RouteCommand(s.command)) << s.command;
        EXPECT_EQ(f->IsBooksShown(), s.shown == kBooks) << s.command;
        EXPECT_EQ(f->IsBlocksShown(), s.shown == kBlocks) << s.command;
        EXPECT_EQ(f->GetHomePaneWidth() > 0, s.shown != kNone) << s.command;
        if (s.shown != kNone) {
            EXPECT_EQ(f->GetHomePane()->Title(), s.shown == kBooks ? QStringLiteral("Books")
                                                                    : QStringLiteral("Blocks (drag to add)"));
        }
    }
    CCmdUI ui;
    ui.id = 34271;
    m_app->RouteUpdate(ui);
    EXPECT_TRUE(ui.enabled && ui.checked);

    // The close button closes the column.
    QTest::mouseClick(f->GetHomePane()->findChild<QToolButton*>(), Qt::LeftButton);
    EXPECT_EQ(f->GetHomePaneWidth(), 0);
}

TEST_F(HomePane, TheTreesExistOnceAndFollowTheActiveWindow)
{
    CTeskFrame* first = Frame();
    CTreeCtrlWrapper* trees = first->GetHomePane()->Trees();
    ASSERT_NE(trees, nullptr);
    EXPECT_TRUE(first->GetHomePane()->isAncestorOf(trees));
    EXPECT_EQ(trees->Books()->Model()->Root(), QDir::cleanPath(m_dir.filePath(QStringLiteral("Books"))));
    EXPECT_EQ(trees->Blocks()->Model()->Root(), QDir::cleanPath(m_dir.filePath(QStringLiteral("Blocks"))));

    CTeskDoc* second = m_app->OnFileNew();
    ASSERT_NE(second, nullptr);
    QCoreApplication::processEvents();
    CTeskFrame* other = Frame();
    ASSERT_NE(other, first);
    EXPECT_EQ(other->GetHomePane()->Trees(), trees) << "one pair of trees for all windows";
    EXPECT_TRUE(other->GetHomePane()->isAncestorOf(trees));

    // Closing the window that shows them parks them until the other takes them.
    m_app->CloseDocument(second);
    QCoreApplication::processEvents();
    ASSERT_EQ(Frame(), first);
    first->GetHomePane()->TakeTrees();
    EXPECT_EQ(first->GetHomePane()->Trees(), trees);
    EXPECT_TRUE(first->GetHomePane()->isAncestorOf(trees));
}

TEST_F(HomePane, ABlockDraggedFromTheBlocksTreeLandsOnTheCanvasAsParts)
{
    CTeskFrame* f = Frame();
    ASSERT_TRUE(m_app->RouteCommand(34274));
    CFileBrowseCtrl* blocks = f->GetHomePane()->Trees()->Blocks();
    const QModelIndex item = blocks->Model()->IndexOfPath(m_block);
    ASSERT_TRUE(item.isValid());
    EXPECT_EQ(item.data().toString(), QStringLiteral("resistor"));
    std::unique_ptr<QMimeData> mime(blocks->Model()->mimeData({item}));
    ASSERT_TRUE(mime);

    CTeskView* view = f->GetView();
    QWidget* port = view->viewport();
    auto countResistors = [view] {
        int n = 0;
        for (CPartIterator it(view->GetDesign(), 0); it.GetCurrent(); it.Next())
            if (dynamic_cast<CResistor*>(it.GetCurrent())) ++n;
        return n;
    };
    ASSERT_EQ(countResistors(), 0);
    const QPoint at(300, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(port, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at + QPoint(20, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(port, &move);
    QDropEvent drop(QPointF(at + QPoint(20, 10)), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(port, &drop);
    EXPECT_EQ(countResistors(), 1);
    // The dropped part stays selected and is picked up (nothing else rides
    // with the pointer).
    if (CCircuit* floating = view->Controller().GetFloating()) {
        CPart* held = floating->GetFirstPart();
        EXPECT_TRUE(dynamic_cast<CResistor*>(held) && held->IsSelected());
    }
    EXPECT_TRUE(m_messages.shown.empty());

    // A locked design takes no block.
    view->GetDesign()->SetOptionBits(0x4000, true);
    QDragEnterEvent refused(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(port, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(countResistors(), 1);
}
