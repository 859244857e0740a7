// Control passing between elements: a head fires, each element stays
// active for max(2, trunc(run time x update rate)) counted steps plus the
// step in which it finishes, and drives its output during exactly one solve.
// Node voltages are checked against the two-branch network by hand.
#include "flow_support.h"
#include "flowchart/meter_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The connector net of a driving output and the next input: 1 S + two
// 1e-9 S branches to ground, 2e-5 A + 5 A into the node.
constexpr double kDriven = (5.0 + 0.00002) / (1.0 + 2e-9);
// Idle: only the 2e-5 A source.
constexpr double kIdle = 0.00002 / (1.0 + 2e-9);

struct Chain {
    FlowBench b;
    CTestFlowHead* head;
    std::vector<CTestFlowStep*> steps;

    explicit Chain(int count)
    {
        head = b.Add<CTestFlowHead>(100, 40);
        CTerminal* out = head->GetOutputTerminal();
        int y = 120;
        for (int i = 0; i < count; ++i, y += 80) {
            auto* s = b.Add<CTestFlowStep>(100, y);
            b.Join(out, s->GetTerminal(0));
            out = s->GetOutputTerminal();
            steps.push_back(s);
        }
        b.Reset();
    }
};

// The counted steps of an element: the run time times the update rate,
// truncated, and at least 2.
int CountedSteps(double runTime, double rate)
{
    const int n = static_cast<int>(runTime * rate);
    return n < 2 ? 2 : n;
}

TEST(FlowObjectRun, ElementsHaveTheirConnectors)
{
    Chain c(1);
    CTestFlowStep* s = c.steps[0];
    ASSERT_EQ(s->GetTerminalCount(), 2);
    EXPECT_TRUE(s->HasInputConnector());
    EXPECT_EQ(s->GetTerminal(0)->GetOrientation(), 0);
    EXPECT_EQ(s->GetTerminal(1)->GetOrientation(), 2);
    EXPECT_EQ(s->GetTerminal(0)->m_nKind, WIRE_SHORT_STUB);
    ASSERT_EQ(c.head->GetTerminalCount(), 1);
    EXPECT_FALSE(c.head->HasInputConnector());
    EXPECT_EQ(c.head->GetOutputTerminal(), c.head->GetTerminal(0));
    EXPECT_EQ(s->GetKindCode(), 7);
    EXPECT_EQ(s->IsFlowchartPart(), 1);
    EXPECT_EQ(s->CanProbeAt(0, 0), 0);
}

// Run times against the update rate: below two updates, exactly at whole
// numbers of updates, and fractional products that truncate.
struct TimingCase {
    double runTime;
};
class FlowTiming : public ::testing::TestWithParam<TimingCase> {};

TEST_P(FlowTiming, ActiveForStepsPlusOneAndDrivesOnce)
{
    Chain c(2);
    CTestFlowStep* a = c.steps[0];
    CTestFlowStep* next = c.steps[1];
    a->runTime = GetParam().runTime;
    next->runTime = 100.0;
    const double rate = c.b.d.GetUpdateRate();
    const int n = CountedSteps(a->runTime, rate);

    c.b.Run();
    EXPECT_NEAR(a->GetTerminal(0)->GetVoltage(), kIdle, 1e-9);
    EXPECT_FALSE(a->m_bActive);

    c.head->Fire();
    c.b.Run(); // the head drives; a triggers after this solve
    EXPECT_NEAR(a->GetTerminal(0)->GetVoltage(), kDriven, 1e-9);
    int activeSolves = a->m_bActive ? 1 : 0;
    int drivenSolves = 0;
    int triggeredAt = -1;
    for (int pass = 1; pass <= n + 3; ++pass) {
        c.b.Run();
        const double v = next->GetTerminal(0)->GetVoltage();
        if (std::fabs(v - kDriven) < 1e-9) {
            ++drivenSolves;
            EXPECT_EQ(triggeredAt, -1);
            triggeredAt = pass;
        } else {
            EXPECT_NEAR(v, kIdle, 1e-9);
        }
        if (a->m_bActive) ++activeSolves;
    }
    // a counts n steps, finishing in the n-th; the drive is in the solve after.
    EXPECT_EQ(drivenSolves, 1);
    EXPECT_EQ(triggeredAt, n);
    // Active from the trigger's solve through the driving one, n + 1
    // solves: it is still active after n after-steps and idle after the
    // driving solve's.
    EXPECT_EQ(activeSolves, n);
    EXPECT_TRUE(next->m_bActive);
    EXPECT_EQ(next->m_wStateWord, FLOW_LOOK_RUNNING);
    EXPECT_EQ(a->m_wStateWord, FLOW_LOOK_IDLE);
}

INSTANTIATE_TEST_SUITE_P(RunTimes, FlowTiming,
                         ::testing::Values(TimingCase{0.0}, TimingCase{0.1}, TimingCase{0.2}, TimingCase{1.0},
                                           TimingCase{0.99}, TimingCase{2.5}, TimingCase{-3.0}));

// A run time that is no number (a setting not given yet) runs the
// shortest run; a huge one stays active without overflowing the count.
TEST(FlowObjectRun, UnusableRunTimesAreBounded)
{
    Chain c(2);
    c.steps[0]->runTime = std::nan("");
    c.steps[1]->runTime = 1e300;
    c.b.Run();
    c.head->Fire();
    c.b.Run();
    ASSERT_TRUE(c.steps[0]->m_bActive);
    EXPECT_EQ(c.steps[0]->m_nStepsLeft, 1);
    c.b.Run(2);
    ASSERT_TRUE(c.steps[1]->m_bActive);
    EXPECT_EQ(c.steps[1]->m_nStepsLeft, 1000000000 - 1);
}

TEST(FlowObjectRun, HeadOwningItselfRefreshesWithoutRecursion)
{
    Chain c(1);
    c.head->m_pFlowStart = c.head;
    c.head->RefreshBasicViewers();
    c.steps[0]->m_pFlowStart = c.head;
    c.steps[0]->RefreshBasicViewers();
    SUCCEED();
}

TEST(FlowObjectRun, DefaultRunTimeIsTheFlowTimeStep)
{
    Chain c(1);
    EXPECT_DOUBLE_EQ(c.steps[0]->GetRunTime(), c.b.d.GetFlowTimeStep());
}

TEST(FlowObjectRun, ChainOfThreePassesTheToken)
{
    Chain c(3);
    for (CTestFlowStep* s : c.steps) s->runTime = 1.0;
    const int n = CountedSteps(1.0, c.b.d.GetUpdateRate());
    c.b.Run();
    c.head->Fire();
    c.b.Run();
    // Element k (from 0) triggers in the after-step of solve 1 + k n.
    std::vector<int> triggered(3, -1);
    for (int pass = 1; pass <= 3 * n + 2; ++pass) {
        for (size_t k = 0; k < 3; ++k)
            if (triggered[k] < 0 && c.steps[k]->m_bActive) triggered[k] = pass;
        c.b.Run();
    }
    EXPECT_EQ(triggered[0], 1);
    EXPECT_EQ(triggered[1], 1 + n);
    EXPECT_EQ(triggered[2], 1 + 2 * n);
    EXPECT_EQ(c.head->current, nullptr); // no owner was set by a checker
}

TEST(FlowObjectRun, InputHeldHighRetriggersAtOnce)
{
    // A loop of one element: its output wired back to its own input keeps
    // the input high in the driving solve, so it starts again at once.
    FlowBench b;
    auto* head = b.Add<CTestFlowHead>(100, 40);
    auto* s = b.Add<CTestFlowStep>(100, 120);
    b.Join(head->GetOutputTerminal(), s->GetTerminal(0));
    b.Join(s->GetOutputTerminal(), s->GetTerminal(0));
    s->runTime = 0.0;
    b.Reset();
    head->Fire();
    b.Run();
    ASSERT_TRUE(s->m_bActive);
    // Two counted steps, then the driving solve triggers it again.
    for (int cycle = 0; cycle < 4; ++cycle) {
        b.Run();
        EXPECT_TRUE(s->m_bActive);
        EXPECT_EQ(s->m_bFinishing, 1);
        b.Run();
        EXPECT_TRUE(s->m_bActive);
        EXPECT_EQ(s->m_bFinishing, 0);
        EXPECT_EQ(s->m_nStepsLeft, 1);
    }
}

TEST(FlowObjectRun, ErrorHaltsAndBlinksOnlyInsideAFlowchart)
{
    Chain c(2);
    CTestFlowStep* a = c.steps[0];
    a->error = 3;
    a->m_pFlowStart = c.head; // as the checker sets it
    c.b.Run();
    c.head->Fire();
    c.b.Run();
    ASSERT_TRUE(a->m_bActive);
    EXPECT_EQ(a->m_nErrorCode, 3);
    // Blink: counter 1 at the trigger step; error look for counts 1..5,
    // normal for 6..11 and the wrap at 12, a 12-step period.
    std::vector<int> looks{a->m_wStateWord};
    for (int i = 0; i < 23; ++i) {
        c.b.Run();
        looks.push_back(a->m_wStateWord);
        EXPECT_NEAR(c.steps[1]->GetTerminal(0)->GetVoltage(), kIdle, 1e-9);
        EXPECT_FALSE(c.steps[1]->m_bActive);
    }
    for (size_t i = 0; i < looks.size(); ++i) {
        const int count = static_cast<int>(i % 12) + 1;
        EXPECT_EQ(looks[i], count <= 5 ? FLOW_LOOK_ERROR : FLOW_LOOK_IDLE) << "step " << i;
    }
    EXPECT_TRUE(a->m_bErrorShown);

    // The same element outside any flowchart never shows the error.
    Chain d(1);
    d.steps[0]->error = 3;
    d.b.Run();
    d.head->Fire();
    d.b.Run();
    for (int i = 0; i < 12; ++i) {
        d.b.Run();
        EXPECT_FALSE(d.steps[0]->m_bErrorShown);
        EXPECT_NE(d.steps[0]->m_wStateWord, FLOW_LOOK_ERROR);
    }
}

TEST(FlowObjectRun, DeletedOwnerIsNotUsed)
{
    Chain c(1);
    auto* other = c.b.Add<CTestFlowHead>(400, 40);
    c.steps[0]->m_pFlowStart = other;
    c.b.d.DeletePart(other);
    c.b.Run();
    c.head->Fire();
    c.b.Run();
    EXPECT_TRUE(c.steps[0]->m_bActive);
    EXPECT_EQ(c.steps[0]->GetOwner(), nullptr);
}

TEST(FlowObjectRun, ResetRunClearsTheRun)
{
    Chain c(1);
    CTestFlowStep* a = c.steps[0];
    c.head->Fire();
    c.b.Run(2);
    ASSERT_TRUE(a->m_bActive);
    a->m_nBusy = 4;
    a->ResetRun();
    EXPECT_EQ(a->m_nBusy, 0);
    EXPECT_EQ(a->m_bActive, 0);
    EXPECT_EQ(a->m_bFinishing, 0);
    EXPECT_EQ(a->m_bResetRequested, 1);
    EXPECT_EQ(a->m_nShownState, 2);
    EXPECT_EQ(a->m_wStateWord, FLOW_LOOK_IDLE);
    c.b.Run();
    EXPECT_EQ(a->m_bResetRequested, 0);
    EXPECT_EQ(a->m_nShownState, FLOW_LOOK_IDLE);
}

} // namespace

namespace {

TEST(FlowObjectLabel, CaptionStandsInTheSymbolAndAboveAHead)
{
    Chain c(1);
    const CFlowMeterMessage* step = c.steps[0]->GetMessageLabel();
    const CFlowMeterMessage* head = c.head->GetMessageLabel();
    ASSERT_NE(step, nullptr);
    ASSERT_NE(head, nullptr);
    const CRect& s = c.steps[0]->m_rect;
    const int mid = s.left + s.Width() / 2;
    // Step: x - 25 .. x + 72 with x = middle - 23, y 17 - 5 .. 17 + 9 down from the top.
    EXPECT_EQ(step->m_rect, CRect(mid - 48, s.top + 12, mid + 49, s.top + 26));
    EXPECT_EQ(step->GetShownText(), "step");
    EXPECT_LE(head->m_rect.bottom, c.head->m_rect.top);
}

} // namespace
