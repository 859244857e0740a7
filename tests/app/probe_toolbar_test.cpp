// A probe's own property toolbar in the real main window: its Erase Data
// button erases what the probes recorded, as Measure/Erase Data does, and
// its Graph button is greyed exactly when the menu's Graph is.
#include "app/control_toolbar.h"
#include "app/graph_pane.h"
#include "app/tesk_frame.h"
#include "components/battery.h"
#include "components/component_kit.h"
#include "components/resistor.h"
#include "measure/probe.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include "canvas_window_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <QAction>
#include <QToolButton>

#include <cmath>

namespace {

constexpr int kAddProbe = 32793;
constexpr int kProbeLayout = 479;
constexpr int kGraph = 35004;
constexpr int kEraseData = 35006;
constexpr DWORD kVoltage = 0x1;
constexpr double kVolts = 6.0;

class ProbeToolbar : public CanvasWindowTest {
protected:
    // A battery straight across a resistor, in the window's design, the way
    // the catalogue builds parts; the resistor is returned.
    CResistor* BatteryAcrossResistor()
    {
        auto* cell = Add<CBattery>(100, 200);
        auto* r = Add<CResistor>(300, 120);
        ValueLabelOf(cell)->SetBaseValue(kVolts);
        ValueLabelOf(r)->SetBaseValue(100.0);
        Join(cell->GetTerminal(0), r->GetTerminal(0), 60);
        Join(cell->GetTerminal(1), r->GetTerminal(1), 400);
        return r;
    }
    // The toolbar's button of an item id.
    QToolButton* Button(int id) const
    {
        CControlToolBar* bar = m_app->GetMainFrame()->ControlBar();
        auto* action = bar->findChild<QAction*>(QStringLiteral("prop%1").arg(id));
        if (!action) return nullptr;
        return qobject_cast<QToolButton*>(bar->widgetForAction(action));
    }

private:
    template <class T>
    T* Add(int x, int y)
    {
        auto* p = new T;
        p->m_rect = CRect(x, y, x, y);
        p->m_pCircuit = Design();
        p->Initialise();
        Design()->AddChild(p);
        p->Drop(Design());
        return p;
    }
    // Up or down from each end to a lane, along it and to the other end.
    void Join(CTerminal* a, CTerminal* b, int lane)
    {
        const CPoint pa = a->GetOuterEnd(), pb = b->GetOuterEnd();
        Segment(pa, CPoint(pa.x, lane));
        Segment(CPoint(pa.x, lane), CPoint(pb.x, lane));
        Segment(CPoint(pb.x, lane), pb);
    }
    void Segment(CPoint a, CPoint b)
    {
        if (a == b) return;
        auto* w = new CWire(a, b);
        Design()->AddChild(w);
        Design()->JoinAt(w, 0);
        Design()->JoinAt(w, 1);
    }
};

} // namespace

TEST_F(ProbeToolbar, EraseDataButtonErasesTheRecording)
{
    CResistor* resistor = BatteryAcrossResistor();
    const CPoint centre = resistor->GetRect().CenterPoint();
    auto* probe = dynamic_cast<CProbe*>(AddFromToolbar(kProbeLayout, kAddProbe, Client(CPoint(centre.x - 7, centre.y - 7))));
    ASSERT_NE(probe, nullptr);
    ASSERT_EQ(probe->GetProbedPart(), resistor);
    CMainFrame* frame = m_app->GetMainFrame();
    // The view hands its selected part to the property toolbar.
    static_cast<CCanvasHost*>(m_view)->ShowPartProperties(probe);
    QCoreApplication::processEvents();
    ASSERT_EQ(frame->ControlBar()->Part(), probe);

    // The design runs on its timer as well; a pass gives the events a
    // chance, so the design's own steps may add to the count.
    Design()->ResetRun(0);
    constexpr int kSteps = 5;
    for (int i = 0; i < kSteps; ++i) Design()->RunSolverPass();
    const int recorded = Design()->GetSampleCount();
    ASSERT_GE(recorded, kSteps);
    const int first = probe->GetFirstSampleNumber();
    ASSERT_TRUE(probe->IsSampleValid(first + recorded - 1));
    // The battery stands straight across the resistor.
    EXPECT_NEAR(std::fabs(probe->GetSample(first + recorded - 1, kVoltage)), kVolts, 1e-6);

    QToolButton* erase = Button(kEraseData);
    ASSERT_NE(erase, nullptr);
    ASSERT_TRUE(erase->isEnabled());
    // What is left is at most what the design's own steps recorded after
    // the erase, within the click.
    const int passesBefore = Design()->GetCompletedPasses();
    QTest::mouseClick(erase, Qt::LeftButton);
    const int kept = Design()->GetSampleCount();
    EXPECT_LE(kept, Design()->GetCompletedPasses() - passesBefore);
    EXPECT_LT(kept, recorded);
    const int restart = probe->GetFirstSampleNumber();
    for (int i = kept; i < recorded; ++i) EXPECT_FALSE(probe->IsSampleValid(restart + i)) << i;
    // Recording goes on afresh with the next step.
    Design()->RunSolverPass();
    const int after = Design()->GetSampleCount();
    ASSERT_GT(after, kept);
    EXPECT_NEAR(std::fabs(probe->GetSample(probe->GetFirstSampleNumber() + after - 1, kVoltage)), kVolts, 1e-6);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProbeToolbar, ButtonsFollowTheMenusEnabledState)
{
    CResistor* resistor = BatteryAcrossResistor();
    const CPoint centre = resistor->GetRect().CenterPoint();
    auto* probe = dynamic_cast<CProbe*>(AddFromToolbar(kProbeLayout, kAddProbe, Client(CPoint(centre.x - 7, centre.y - 7))));
    ASSERT_NE(probe, nullptr);
    CMainFrame* frame = m_app->GetMainFrame();
    static_cast<CCanvasHost*>(m_view)->ShowPartProperties(probe);
    QCoreApplication::processEvents();
    for (int id : {kGraph, kEraseData}) {
        QToolButton* button = Button(id);
        ASSERT_NE(button, nullptr) << id;
        QAction* menu = frame->Action(id);
        ASSERT_NE(menu, nullptr) << id;
        EXPECT_EQ(button->isEnabled(), menu->isEnabled()) << id;
    }
    EXPECT_TRUE(Button(kEraseData)->isEnabled());
    // A greyed Graph button does nothing when pressed anyway.
    QTest::mouseClick(Button(kGraph), Qt::LeftButton);
    EXPECT_TRUE(m_messages.shown.empty());
}

namespace {

CTeskFrame* FrameOf(QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (auto* f = qobject_cast<CTeskFrame*>(w)) return f;
    return nullptr;
}

} // namespace

TEST_F(ProbeToolbar, GraphButtonOpensTheGraphPane)
{
    CResistor* resistor = BatteryAcrossResistor();
    const CPoint centre = resistor->GetRect().CenterPoint();
    auto* probe = dynamic_cast<CProbe*>(AddFromToolbar(kProbeLayout, kAddProbe, Client(CPoint(centre.x - 7, centre.y - 7))));
    ASSERT_NE(probe, nullptr);
    CMainFrame* frame = m_app->GetMainFrame();
    static_cast<CCanvasHost*>(m_view)->ShowPartProperties(probe);
    QCoreApplication::processEvents();
    CTeskFrame* window = FrameOf(m_view);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetGraphPane(), nullptr);

    QToolButton* graph = Button(kGraph);
    ASSERT_NE(graph, nullptr);
    ASSERT_TRUE(graph->isEnabled());
    EXPECT_TRUE(frame->Action(kGraph)->isEnabled());
    QTest::mouseClick(graph, Qt::LeftButton);
    QCoreApplication::processEvents();
    CScopeWidget* pane = window->GetGraphPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisible());
    EXPECT_GE(pane->height(), CScopeWidget::kMinimumHeight);
    EXPECT_TRUE(window->IsGraphShown());
    // The canvas stays above the pane.
    EXPECT_LT(m_view->mapTo(window, QPoint(0, 0)).y(), pane->mapTo(window, QPoint(0, 0)).y());

    // The design draws its samples on the pane: the probe's trace is the
    // battery's voltage.
    Design()->ResetRun(0);
    for (int i = 0; i < 20; ++i) Design()->RunSolverPass();
    CScope& scope = pane->Scope();
    EXPECT_EQ(scope.GetDesign(), Design());
    ASSERT_GE(scope.GetNewestSample() - scope.GetStartSample(), 19);
    ASSERT_EQ(scope.TracesOf(0).size(), 1u);
    const CRect r = scope.GetGraphRect(0);
    // Read the newest sample: the first samples of a run are taken before
    // the view's timer has solved a pass, and how many there are depends on
    // how busy the machine is.
    const int x = std::min(static_cast<int>(scope.XOfSample(scope.GetNewestSample())), static_cast<int>(r.right) - 1);
    QTest::mouseClick(pane, Qt::LeftButton, Qt::NoModifier, QPoint(x, (r.top + r.bottom) / 2));
    ASSERT_TRUE(scope.GetReading().valid);
    ASSERT_GE(scope.GetReading().sample, 2);
    ASSERT_EQ(scope.GetReading().values.size(), 1u);
    EXPECT_NEAR(std::fabs(scope.GetReading().values[0].value), kVolts, 1e-6);
    // Pressed, the pane shows the graph part on the property toolbar.
    EXPECT_EQ(frame->ControlBar()->Part(), &scope.Settings());
    EXPECT_NE(frame->ControlBar()->findChild<QWidget*>(QStringLiteral("prop36081")), nullptr);

    // The Graph command again keeps the one pane.
    frame->Action(kGraph)->trigger();
    EXPECT_EQ(window->GetGraphPane(), pane);
    EXPECT_TRUE(m_messages.shown.empty());
}
