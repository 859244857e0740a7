// Flowchart elements from the flowchart toolbar in the real main window:
// the catalogue makes them, they land in the design, and each new start
// element names a flowchart of its own.
#include "flowchart/flow_read.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_testbit.h"
#include "flowchart/flow_write.h"
#include "flowchart/flow_xanal.h"
#include "model/parts/catalogue.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFlowchartBar = 476;
constexpr int kAddStart = 33851;
constexpr int kAddStop = 33852;
constexpr int kAddWait = 33853;
constexpr int kAddBeep = 33855;
constexpr int kAddDecision = 33856;
// The variable, increment, variable-test, output and motor elements.
constexpr int kAddVariableElements[] = {33860, 33861, 33864, 33859, 33502};
// The read, display, analogue-read and bit-test elements.
constexpr int kAddReadElements[] = {33870, 33869, 33888, 33894};

class FlowAdd : public CanvasWindowTest {};

TEST_F(FlowAdd, TheCatalogueMakesTheElements)
{
    const PartCatalogue& c = PartCatalogue::Get();
    for (int id : {kAddStart, kAddStop, kAddWait, kAddBeep, kAddDecision}) {
        const int row = c.FindCommand(id);
        ASSERT_GE(row, 0) << id;
        EXPECT_EQ(c.GetRowStatus(row), PartCatalogue::rowReady) << id;
    }
    for (int id : kAddReadElements) {
        const int row = c.FindCommand(id);
        ASSERT_GE(row, 0) << id;
        EXPECT_EQ(c.GetRowStatus(row), PartCatalogue::rowReady) << id;
    }
    for (int id : kAddVariableElements) {
        const int row = c.FindCommand(id);
        ASSERT_GE(row, 0) << id;
        EXPECT_EQ(c.GetRowStatus(row), PartCatalogue::rowReady) << id;
    }
}

TEST_F(FlowAdd, StartsFromTheToolbarNameTwoFlowcharts)
{
    CPart* first = AddFromToolbar(kFlowchartBar, kAddStart, QPoint(300, 200));
    CPart* second = AddFromToolbar(kFlowchartBar, kAddStart, QPoint(600, 200));
    auto* a = dynamic_cast<CFlowStart*>(first);
    auto* b = dynamic_cast<CFlowStart*>(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const std::vector<CPart*> starts = Design()->CollectFlowStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(a->m_strName, "Flowchart 1");
    EXPECT_EQ(b->m_strName, "Flowchart 2");
    EXPECT_EQ(Design()->FindFlowStart("Flowchart 2"), b);
    EXPECT_EQ(a->GetTerminalCount(), 1);
}

TEST_F(FlowAdd, ReadDisplayAnalogueAndBitTestFromTheirToolbars)
{
    // The display and read bars, the microcontroller bar and the tests bar.
    CPart* write = AddFromToolbar(588, 33869, QPoint(300, 200));
    CPart* read = AddFromToolbar(589, 33870, QPoint(600, 200));
    CPart* analog = AddFromToolbar(467, 33888, QPoint(300, 400));
    CPart* bits = AddFromToolbar(592, 33894, QPoint(600, 400));
    EXPECT_NE(dynamic_cast<CFlowWrite*>(write), nullptr);
    EXPECT_NE(dynamic_cast<CFlowRead*>(read), nullptr);
    EXPECT_NE(dynamic_cast<CFlowXanal*>(analog), nullptr);
    auto* test = dynamic_cast<CFlowTestBit*>(bits);
    ASSERT_NE(test, nullptr);
    EXPECT_EQ(test->GetTerminalCount(), 3);
    EXPECT_EQ(Design()->CollectFlowObjects().size(), 4u);
}

} // namespace

#include "flowchart/flow_stop.h"
#include "flowchart/panel_buttons.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

namespace {

template <class T>
T* Place(CCircuit* d, int x, int y)
{
    auto* p = new T;
    p->m_rect.SetRect(x, y, x, y);
    p->AttachToCircuit(d);
    p->Initialise();
    d->AddChild(p);
    p->Drop(d);
    return p;
}

void Join(CCircuit* d, CTerminal* a, CTerminal* b)
{
    const CPoint p = a->GetOuterEnd(), q = b->GetOuterEnd();
    const CPoint corner(p.x, q.y);
    for (auto [from, to] : {std::pair{p, corner}, std::pair{corner, q}}) {
        if (from == to) continue;
        auto* w = new CWire(from, to, WIRE_SHORT_STUB);
        d->AddChild(w);
        d->JoinAt(w, 0);
        d->JoinAt(w, 1);
    }
}

TEST_F(FlowAdd, ClickingTheStartButtonRunsTheFlowchart)
{
    CCircuit* d = Design();
    auto* start = Place<CFlowStart>(d, 200, 100);
    auto* stop = Place<CFlowStop>(d, 200, 200);
    Join(d, start->GetOutputTerminal(), stop->GetTerminal(0));
    d->OnSimulationStopped();
    d->ResetRun(0);
    ASSERT_EQ(start->m_nCheckResult, 0);
    CFlowStartButton* button = nullptr;
    for (CPart* c = start->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* b = dynamic_cast<CFlowStartButton*>(c)) button = b;
    ASSERT_NE(button, nullptr);
    const CRect r = button->GetRect();
    const CPoint mid((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_EQ(d->FindPartAt(mid, 64, 1, 0), button);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(mid));
    // The key came up again and the start took the click.
    EXPECT_EQ(button->m_wState, 0);
    EXPECT_TRUE(start->m_bActive);
    for (int i = 0; i < 40 && !stop->m_bStopped; ++i) d->RunSolverPass();
    EXPECT_TRUE(stop->m_bStopped);
}

} // namespace
