// Adding parts in the real main window is undone one add at a time: a part
// dropped from the part toolbar, put in by a plain click on its button,
// added from the Add menu or brought in as a module file is its own undo
// step, so a later change undone never takes an earlier add with it.  Undo
// keeps one level each way: Undo twice in a row gives the same state.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "model/circuit/circuit.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QTest>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

constexpr int kPassiveBar = 221;
constexpr int kResistor = 32769;
constexpr int kUndo = 57643;
constexpr int kRedo = 57644;

class AddUndoWindow : public CanvasWindowTest {
protected:
    // The design as the user sees it: where its top-level parts stand
    // (the part objects are new after every Undo and Redo).
    std::vector<CRect> State() const
    {
        std::vector<CRect> out;
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next()) out.push_back(it.GetCurrent()->GetRect());
        std::sort(out.begin(), out.end(), [](const CRect& a, const CRect& b) {
            return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
        });
        return out;
    }
    bool Enabled(int id)
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->UpdateCommands();
        QAction* action = frame->Action(id);
        return action && action->isEnabled();
    }
    void Undo() { ASSERT_TRUE(m_app->RouteCommand(kUndo)); }
    void Redo() { ASSERT_TRUE(m_app->RouteCommand(kRedo)); }
    CPart* AddResistor(QPoint at) { return AddFromToolbar(kPassiveBar, kResistor, at); }
};

} // namespace

TEST_F(AddUndoWindow, EachPartDroppedFromTheToolbarIsOneUndoStep)
{
    const std::vector<CRect> empty = State();
    ASSERT_TRUE(empty.empty());
    ASSERT_NE(AddResistor(QPoint(300, 200)), nullptr);
    const std::vector<CRect> first = State();
    ASSERT_FALSE(first.empty());
    // The drop ended the edit: the design runs on.
    EXPECT_EQ(Design()->GetOptions() & OPT_STOPPED_FOR_EDIT, 0u);

    // The add alone: Undo takes the part away, Redo brings it back.
    EXPECT_TRUE(Enabled(kUndo));
    Undo();
    EXPECT_EQ(State(), empty);
    EXPECT_TRUE(Enabled(kRedo));
    Redo();
    EXPECT_EQ(State(), first);

    // A second add: Undo takes only it; the first part stays.
    ASSERT_NE(AddResistor(QPoint(300, 420)), nullptr);
    const std::vector<CRect> both = State();
    ASSERT_GT(both.size(), first.size());
    Undo();
    EXPECT_EQ(State(), first) << "the first part went with the second add's undo";
    // One level: Undo again restores the same state.
    Undo();
    EXPECT_EQ(State(), first);
    Redo();
    EXPECT_EQ(State(), both);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(AddUndoWindow, UndoingAMoveKeepsThePartJustAdded)
{
    CPart* part = AddResistor(QPoint(300, 200));
    ASSERT_NE(part, nullptr);
    const std::vector<CRect> added = State();
    const CPoint centre = part->GetRect().CenterPoint();
    // Carried 64 pixels right in grid steps and let go there.
    QTest::mousePress(Port(), Qt::LeftButton, {}, Client(centre));
    for (int x = 8; x <= 64; x += 8) QTest::mouseMove(Port(), Client(centre + CPoint(x, 0)));
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, Client(centre + CPoint(64, 0)));
    const std::vector<CRect> moved = State();
    ASSERT_NE(moved, added) << "the drag moved nothing";
    ASSERT_EQ(moved.size(), added.size());

    Undo();
    EXPECT_EQ(State(), added) << "the move's undo must leave the added part where it was dropped";
    Redo();
    EXPECT_EQ(State(), moved);
}

TEST_F(AddUndoWindow, APlainClickOnAPartButtonIsOneUndoStep)
{
    ASSERT_NE(AddResistor(QPoint(300, 420)), nullptr);
    const std::vector<CRect> first = State();
    QWidget* button = PartButton(kPassiveBar, kResistor);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(m_view->Controller().GetFloating(), nullptr);
    const std::vector<CRect> both = State();
    ASSERT_GT(both.size(), first.size());
    Undo();
    EXPECT_EQ(State(), first);
    Redo();
    EXPECT_EQ(State(), both);
}

TEST_F(AddUndoWindow, APartFromTheAddMenuIsOneUndoStep)
{
    ASSERT_NE(AddResistor(QPoint(300, 420)), nullptr);
    const std::vector<CRect> first = State();
    // The menu command gives a part that follows the mouse to a click.
    ASSERT_TRUE(m_app->RouteCommand(kResistor));
    ASSERT_NE(m_view->Controller().GetFloating(), nullptr);
    QTest::mouseMove(Port(), QPoint(250, 150));
    QTest::mouseMove(Port(), QPoint(300, 200));
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(300, 200));
    ASSERT_EQ(m_view->Controller().GetFloating(), nullptr);
    const std::vector<CRect> both = State();
    ASSERT_GT(both.size(), first.size());
    Undo();
    EXPECT_EQ(State(), first);
    Redo();
    EXPECT_EQ(State(), both);
}

TEST_F(AddUndoWindow, AModuleFileDroppedOnTheCanvasIsOneUndoStep)
{
    ASSERT_NE(AddResistor(QPoint(300, 200)), nullptr);
    const std::vector<CRect> first = State();
    // The design so far, saved, comes back in as a module lower down.
    CTeskDoc* doc = m_app->GetActiveDocument();
    const QString module = m_dir.filePath("module.dsn");
    ASSERT_TRUE(doc->DoSave(module));
    // The module starts under the pointer and is carried 240 pixels down
    // before it is let go, clear of the part it copies.
    CCanvasController& view = m_view->Controller();
    // The pointer is the screen's: it goes back where it was for the tests
    // that follow.
    struct CursorBack {
        QPoint at = QCursor::pos();
        ~CursorBack() { QCursor::setPos(at); }
    } cursorBack;
    QCursor::setPos(Port()->mapToGlobal(QPoint(300, 160)));
    ASSERT_EQ(Port()->mapFromGlobal(QCursor::pos()), QPoint(300, 160));
    ASSERT_TRUE(view.OnDragEnter(module.toStdString(), CPoint(300, 160)));
    for (int y = 168; y <= 400; y += 8) view.OnDragMove(CPoint(300, y));
    view.OnDrop(CPoint(300, 400));
    // Dropped, the module's one part stays picked up in the design.
    if (CCircuit* floating = view.GetFloating()) {
        EXPECT_TRUE(Design()->HoldsTopLevel(floating->GetFirstPart()));
    }
    const std::vector<CRect> both = State();
    ASSERT_EQ(both.size(), 2 * first.size());
    Undo();
    EXPECT_EQ(State(), first);
    Redo();
    EXPECT_EQ(State(), both);
    EXPECT_TRUE(m_messages.shown.empty());
}

// An add given up (the part in hand let go of without a drop, as when the
// property toolbar deselects everything) changes nothing and takes no
// snapshot: Undo still undoes the last real change, and the design runs on.
TEST_F(AddUndoWindow, AnAddGivenUpLeavesUndoOnTheLastChange)
{
    ASSERT_NE(AddResistor(QPoint(300, 200)), nullptr);
    const std::vector<CRect> first = State();
    ASSERT_NE(AddResistor(QPoint(300, 420)), nullptr);
    const std::vector<CRect> both = State();
    ASSERT_TRUE(m_app->RouteCommand(kResistor));
    ASSERT_NE(m_view->Controller().GetFloating(), nullptr);
    QTest::mouseMove(Port(), QPoint(500, 300));
    m_view->Controller().DeselectAll(true, true);
    ASSERT_EQ(m_view->Controller().GetFloating(), nullptr);
    // The drag that carried it is over (its press state is shared by every
    // design).
    Design()->EndDragOperation(0);
    ASSERT_EQ(State(), both);
    // No longer stopped for an edit.
    EXPECT_EQ(Design()->GetOptions() & OPT_STOPPED_FOR_EDIT, 0u);
    Undo();
    EXPECT_EQ(State(), first);
}
