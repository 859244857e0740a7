// The canvas in the real main window (offscreen), driven with synthetic
// mouse events: parts added from the part toolbar and dropped on the
// canvas, a part dragged, delete mode, undo, and zoom x2.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "components/ammeter.h"
#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

using namespace shelltest;

namespace {

class CanvasScenario : public CanvasWindowTest {
protected:
    bool Holds(CPart* part) const
    {
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next())
            if (it.GetCurrent() == part) return true;
        return false;
    }
    int Count() const
    {
        int n = 0;
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next()) ++n;
        return n;
    }
};

} // namespace

TEST_F(CanvasScenario, PartsFromTheToolbarAreDroppedMovedDeletedAndComeBackWithUndo)
{
    // The visible canvas starts at the scroll position: drop inside it.
    CPart* rail = AddFromToolbar(145, 33531, QPoint(120, 80));
    CPart* r1 = AddFromToolbar(221, 32769, QPoint(240, 160));
    CPart* r2 = AddFromToolbar(221, 32769, QPoint(400, 160));
    CPart* meter = AddFromToolbar(147, 32871, QPoint(560, 160));
    CPart* earth = AddFromToolbar(145, 32921, QPoint(560, 320));
    for (CPart* p : {rail, r1, r2, meter, earth}) {
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(Holds(p));
    }
    EXPECT_TRUE(dynamic_cast<CVoltRail*>(rail));
    EXPECT_TRUE(dynamic_cast<CResistor*>(r1) && dynamic_cast<CResistor*>(r2));
    EXPECT_TRUE(dynamic_cast<CAmmeter*>(meter));
    EXPECT_TRUE(dynamic_cast<CEarth*>(earth));
    EXPECT_TRUE(m_messages.shown.empty());

    // Each part stands where it was dropped: its top-left corner moved with
    // the pointer from where it was picked up.
    const CPoint dropped = m_view->Controller().ToLogical(CPoint(400, 160));
    EXPECT_LE(std::abs(r2->GetRect().left - dropped.x), 48);

    // Drag the first resistor 80 pixels to the right and 40 down.
    const CRect before = r1->GetRect();
    const QPoint grip = Client(before.CenterPoint());
    QTest::mousePress(Port(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(Port(), grip + QPoint(40, 20));
    QTest::mouseMove(Port(), grip + QPoint(80, 40));
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, grip + QPoint(80, 40));
    EXPECT_TRUE(Holds(r1));
    EXPECT_EQ(r1->GetRect().left - before.left, 80);
    EXPECT_EQ(r1->GetRect().top - before.top, 40);

    // Delete mode from the toolbar's Delete button, then a click on the
    // second resistor deletes it.
    const int parts = Count();
    const QPoint victim = Client(r2->GetRect().CenterPoint());
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    QTest::mouseClick(frame->MainToolBar()->widgetForAction(frame->Action(35007)), Qt::LeftButton);
    EXPECT_EQ(m_view->Controller().GetEditMode(), 1);
    QTest::mouseMove(Port(), victim);
    EXPECT_EQ(m_view->Controller().GetEditMode(), 2);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, victim);
    EXPECT_EQ(Count(), parts - 1);
    EXPECT_FALSE(Holds(r2));

    // Undo brings it back (a new design object: the view follows).
    ASSERT_TRUE(m_app->RouteCommand(57643));
    EXPECT_EQ(Count(), parts);
    EXPECT_EQ(m_view->GetDesign(), m_app->GetActiveDocument()->GetDesign());
}

TEST_F(CanvasScenario, ZoomTwoFromItsCommandDoublesWhatThePointerReaches)
{
    CPart* r = AddFromToolbar(221, 32769, QPoint(240, 160));
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(m_app->RouteCommand(35012));
    EXPECT_EQ(m_view->Controller().GetZoom(), 2);
    QCoreApplication::processEvents();
    const QPoint at = Client(r->GetRect().CenterPoint());
    QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
    ASSERT_NE(m_view->Controller().GetFloating(), nullptr);
    EXPECT_EQ(m_view->Controller().GetFloating()->GetFirstPart(), r);
}

TEST_F(CanvasScenario, AnOpenedDesignShowsItsPartsFromTheirTopLeft)
{
    // A design whose one resistor stands far from the page's corner.
    CCircuit built;
    auto* r = new CResistor;
    r->Initialise();
    r->Offset(1300 - r->GetRect().left, 1100 - r->GetRect().top);
    built.AddChild(r);
    const QString path = m_dir.filePath("far.dsn");
    {
        CArchive ar;
        ar.SetDocumentSerialization(true);
        ar.WriteObject(&built);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(ar.GetBuffer().data()), qint64(ar.GetBuffer().size()));
    }
    ASSERT_NE(m_app->OpenDocumentFile(path), nullptr);
    QCoreApplication::processEvents();
    CTeskView* view = m_app->GetActiveView();
    ASSERT_NE(view, nullptr);
    CPart* shown = view->GetDesign()->GetFirstPart();
    ASSERT_NE(shown, nullptr);
    // The window scrolled towards it (as far as the canvas reaches) and
    // shows it whole.
    const CRect u = shown->GetUnionRect();
    const CPoint tl = view->Controller().ToClient(u.TopLeft());
    const CPoint br = view->Controller().ToClient(u.BottomRight());
    const QSize client = view->viewport()->size();
    EXPECT_GT(view->horizontalScrollBar()->value(), 0);
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    EXPECT_GE(tl.x, 0);
    EXPECT_GE(tl.y, 0);
    EXPECT_LE(br.x, client.width());
    EXPECT_LE(br.y, client.height());
}
