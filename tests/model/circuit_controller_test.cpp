// The simulation controller against a scripted view: codes, timer and idle
// rules, the rate logic, the yield to input with an interrupted and resumed
// pass, the cap on the re-solve loop, probe sampling and the blink.
#include "circuit_testparts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// One resistor across a cell, driven by a fake view.
struct Rig {
    CCircuit d;
    CFakeHost host;
    CTestCell* cell;
    CTestCounting* r;

    Rig()
    {
        d.SetHost(&host);
        cell = AddPart<CTestCell>(d, 100, 100);
        r = AddPart<CTestCounting>(d, 300, 100);
        AddWire(d, {160, 100}, {280, 100});
        AddWire(d, {360, 100}, {400, 100});
        AddWire(d, {400, 100}, {400, 200});
        AddWire(d, {400, 200}, {80, 200});
        AddWire(d, {80, 200}, {80, 100});
        d.RenumberNodes();
        d.SetUpdateRate(5.0);
    }
    // A part that keeps every pass re-solving until the cap.
    CTestRestless* AddRestless()
    {
        auto* p = AddPart<CTestRestless>(d, 100, 400);
        d.RenumberNodes();
        return p;
    }
};

TEST(CircuitController, TimerIntervals)
{
    CCircuit d;
    struct Case {
        double rate;
        bool slow;
        int ms;
    };
    const Case cases[] = {{5.0, false, 200}, {20.01, false, 50}, {20.0, false, 50}, {2.0, false, 500},
                          {100.0, false, 50}, {5.0, true, 200}, {1.0, true, 200}};
    for (const Case& c : cases) {
        d.SetUpdateRate(c.rate);
        d.SetSlowMotion(c.slow);
        EXPECT_EQ(d.GetTimerInterval(), c.ms) << c.rate;
    }
    d.SetUpdateRate(4.0);
    d.SetSlowMotion(0);
    EXPECT_DOUBLE_EQ(d.GetStepPeriod(), 0.25);
}

TEST(CircuitController, ActivateSetsTheTimerAtLowRates)
{
    Rig g;
    EXPECT_EQ(g.d.ControlSimulation(SIM_ACTIVATE), 0);
    EXPECT_EQ(g.host.timerMs, 200);
    EXPECT_TRUE(g.d.IsTimerSet());
    EXPECT_EQ(g.r->running, 1);
    // 20.01 per second is still the timer (50 ms); above it, idle time.
    g.d.SetUpdateRate(20.01);
    g.d.ControlSimulation(SIM_ACTIVATE);
    EXPECT_EQ(g.host.timerMs, 50);
    g.d.SetUpdateRate(20.02);
    EXPECT_EQ(g.d.ControlSimulation(SIM_ACTIVATE), 1);
    EXPECT_FALSE(g.d.IsTimerSet());
    EXPECT_EQ(g.host.timerMs, 0);
    EXPECT_TRUE(g.d.IsIdlePending());
    // Slow motion keeps the timer whatever the rate.
    g.d.SetSlowMotion(1);
    g.d.ControlSimulation(SIM_ACTIVATE);
    EXPECT_EQ(g.host.timerMs, 200);
}

TEST(CircuitController, DeactivateStopsEverything)
{
    Rig g;
    g.d.ControlSimulation(SIM_ACTIVATE);
    g.d.RequestBuzzer();
    EXPECT_EQ(g.d.ControlSimulation(SIM_DEACTIVATE), 0);
    EXPECT_FALSE(g.d.IsTimerSet());
    EXPECT_EQ(g.host.timerMs, 0);
    EXPECT_FALSE(g.d.IsIdlePending());
    EXPECT_EQ(g.r->running, 0);
    EXPECT_FALSE(g.host.buzzer);
}

TEST(CircuitController, TimerTickRunsAPass)
{
    Rig g;
    g.d.ControlSimulation(SIM_ACTIVATE);
    int before = g.d.GetCompletedPasses();
    EXPECT_EQ(g.d.ControlSimulation(SIM_TIMER), 0);
    EXPECT_EQ(g.d.GetCompletedPasses(), before + 1);
    EXPECT_NEAR(g.r->B()->GetCurrent(), 0.009, 1e-12);
    EXPECT_EQ(g.d.GetStepIndex(), 1);
    // Ten passes bring the step index round to 0.
    for (int i = 0; i < 9; ++i) g.d.ControlSimulation(SIM_TIMER);
    EXPECT_EQ(g.d.GetStepIndex(), 0);
}

TEST(CircuitController, StrayTickWithoutTimerKillsIt)
{
    Rig g;
    g.host.calls.clear();
    EXPECT_EQ(g.d.ControlSimulation(SIM_TIMER), 0);
    EXPECT_EQ(g.d.GetCompletedPasses(), 0);
    ASSERT_FALSE(g.host.calls.empty());
    EXPECT_EQ(g.host.calls.back(), "kill");
}

TEST(CircuitController, IdleStepRunsOnlyWhenAPassIsOwed)
{
    Rig g;
    g.d.ControlSimulation(SIM_ACTIVATE);
    g.d.ControlSimulation(SIM_IDLE);
    EXPECT_EQ(g.d.GetCompletedPasses(), 0);
    // Above 20.01 per second every idle step runs a pass and asks for more.
    g.d.SetUpdateRate(50.0);
    g.d.ControlSimulation(SIM_ACTIVATE);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(g.d.ControlSimulation(SIM_IDLE), 1);
    EXPECT_EQ(g.d.GetCompletedPasses(), 3);
    // Any other code runs as an idle step.
    EXPECT_EQ(g.d.ControlSimulation(42), 1);
    EXPECT_EQ(g.d.GetCompletedPasses(), 4);
}

TEST(CircuitController, SwitchAndSensorCodesWaitForTheTimer)
{
    Rig g;
    g.d.ControlSimulation(SIM_ACTIVATE);
    EXPECT_EQ(g.d.ControlSimulation(SIM_SENSOR_CHANGED), 0);
    EXPECT_EQ(g.d.ControlSimulation(SIM_SWITCH_CHANGED), 0);
    EXPECT_EQ(g.d.GetCompletedPasses(), 0);
    EXPECT_EQ(g.r->flushes, 1);
    // Without a timer they run a pass at once.
    g.d.ControlSimulation(SIM_DEACTIVATE);
    g.d.ControlSimulation(SIM_SENSOR_CHANGED);
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
    g.d.ControlSimulation(SIM_DEACTIVATE);
    g.d.ControlSimulation(SIM_SWITCH_CHANGED);
    EXPECT_EQ(g.d.GetCompletedPasses(), 2);
    EXPECT_EQ(g.r->flushes, 2);
}

TEST(CircuitController, SwitchedOffOrPausedOnlyKeepsTheTimer)
{
    Rig g;
    g.d.ToggleOptions(OPT_SIMULATE);
    EXPECT_EQ(g.d.ControlSimulation(SIM_SENSOR_CHANGED), 0);
    EXPECT_EQ(g.d.GetCompletedPasses(), 0);
    EXPECT_EQ(g.host.timerMs, 200);
    g.d.ToggleOptions(OPT_SIMULATE);
    g.d.SetPaused(1);
    ASSERT_FALSE(g.host.status.empty());
    EXPECT_EQ(g.host.status.back(), "Simulation paused.");
    g.d.ControlSimulation(SIM_TIMER);
    EXPECT_EQ(g.d.GetCompletedPasses(), 0);
    {
        // A pause scope inside a pause leaves it paused.
        CSimulationPause p(&g.d);
    }
    EXPECT_TRUE(g.d.IsPaused());
    g.d.SetPaused(0);
    EXPECT_EQ(g.host.status.back(), "Simulation restarted.");
    {
        CSimulationPause p(&g.d);
        EXPECT_TRUE(g.d.IsPaused());
    }
    EXPECT_FALSE(g.d.IsPaused());
    g.d.ControlSimulation(SIM_TIMER);
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
}

TEST(CircuitController, FailedTimerFallsBackToIdleTime)
{
    Rig g;
    g.host.failTimer = true;
    EXPECT_EQ(g.d.ControlSimulation(SIM_ACTIVATE), 1);
    EXPECT_FALSE(g.d.IsTimerSet());
    EXPECT_EQ(g.d.ControlSimulation(SIM_IDLE), 1);
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
}

TEST(CircuitController, StoppedForEditWantsNoIdle)
{
    Rig g;
    g.d.SetUpdateRate(50.0);
    g.d.ControlSimulation(SIM_ACTIVATE);
    g.d.OnSimulationStopped();
    EXPECT_TRUE(g.d.GetOptions() & OPT_STOPPED_FOR_EDIT);
    EXPECT_EQ(g.d.WantsIdle(), 0);
    g.d.RequestBuzzer();
    EXPECT_EQ(g.d.WantsIdle(), 0);
    g.d.ResetRun(0);
    EXPECT_FALSE(g.d.GetOptions() & OPT_STOPPED_FOR_EDIT);
}

TEST(CircuitController, QueuedTickIsDroppedDuringALongPass)
{
    Rig g;
    g.AddRestless();
    g.d.SetResolveCap(20);
    g.d.ControlSimulation(SIM_ACTIVATE);
    g.host.tickDue = true;
    g.d.ControlSimulation(SIM_TIMER);
    EXPECT_EQ(g.host.ticksTaken, 1);
    // The timer was killed and the next pass owed to idle time, after which
    // the timer is set again.
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
    EXPECT_TRUE(g.d.IsTimerSet());
}

TEST(CircuitController, ReSolveLoopIsCapped)
{
    Rig g;
    g.AddRestless();
    EXPECT_EQ(g.d.GetResolveCap(), CCircuit::kDefaultResolveCap);
    g.d.SetResolveCap(250);
    g.d.RunSolverPass();
    EXPECT_TRUE(g.d.WasLastPassCapped());
    EXPECT_EQ(g.d.GetLastPassResolves(), 250);
    // The pass finished with the last solution.
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
    EXPECT_NEAR(g.r->B()->GetCurrent(), 0.009, 1e-12);
    // Every 100 re-solves the busy cursor.
    EXPECT_EQ(g.host.busyCursors, 2);
}

TEST(CircuitController, MouseMovesDoNotInterrupt)
{
    Rig g;
    g.AddRestless();
    g.d.SetResolveCap(10);
    for (int i = 0; i < 3; ++i) g.host.inputs.push_back({CSimulationHost::Input::kMouseMove, 2});
    g.d.RunSolverPass();
    EXPECT_FALSE(g.d.WasLastPassInterrupted());
    EXPECT_EQ(g.host.movesDiscarded, 3);
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
    // While dragging a move counts as input.
    g.host.dragging = true;
    g.host.inputs.push_back({CSimulationHost::Input::kMouseMove, 0});
    g.d.RunSolverPass();
    EXPECT_TRUE(g.d.WasLastPassInterrupted());
}

TEST(CircuitController, InterruptedPassIsResumed)
{
    Rig g;
    g.AddRestless();
    g.d.SetResolveCap(30);
    g.d.ControlSimulation(SIM_ACTIVATE);
    // A key press arrives after five polls.
    g.host.inputs.push_back({CSimulationHost::Input::kOther, 5});
    EXPECT_EQ(g.d.ControlSimulation(SIM_TIMER), 1);
    EXPECT_TRUE(g.d.WasLastPassInterrupted());
    EXPECT_EQ(g.d.GetLastPassResolves(), 6);
    // Nothing of the pass was kept: no sample, no step, no read-back.
    EXPECT_EQ(g.d.GetCompletedPasses(), 0);
    EXPECT_EQ(g.d.GetSampleCount(), 0);
    EXPECT_EQ(g.d.GetStepIndex(), 0);
    EXPECT_NEAR(g.r->B()->GetCurrent(), 0.0, 1e-12);
    // The yield killed the timer; the controller set it again for the next
    // tick, and the pass is owed to idle time as well.
    EXPECT_TRUE(g.d.IsTimerSet());
    EXPECT_TRUE(g.d.IsIdlePending());
    // The view takes the key; the idle step redoes the pass to the end and
    // the timer comes back.
    g.host.ConsumeInput();
    EXPECT_EQ(g.d.ControlSimulation(SIM_IDLE), 0);
    EXPECT_FALSE(g.d.WasLastPassInterrupted());
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
    EXPECT_EQ(g.d.GetSampleCount(), 1);
    EXPECT_NEAR(g.r->B()->GetCurrent(), 0.009, 1e-12);
    EXPECT_TRUE(g.d.IsTimerSet());
}

TEST(CircuitController, PassMakesProgressUnderUnendingInput)
{
    Rig g;
    g.AddRestless();
    g.d.SetResolveCap(300);
    g.d.ControlSimulation(SIM_ACTIVATE);
    // Input that never goes away: each redone pass goes twice as far.
    g.host.inputs.push_back({CSimulationHost::Input::kOther, 0});
    std::vector<int> reached;
    g.d.ControlSimulation(SIM_TIMER);
    for (int attempt = 0; attempt < 20 && g.d.GetCompletedPasses() == 0; ++attempt) {
        reached.push_back(g.d.GetLastPassResolves());
        g.d.ControlSimulation(SIM_IDLE);
    }
    EXPECT_EQ(g.d.GetCompletedPasses(), 1);
    EXPECT_EQ(reached, (std::vector<int>{1, 3, 7, 15, 31, 63, 127, 255}));
    // The next pass yields at once again.
    g.d.RunSolverPass();
    EXPECT_TRUE(g.d.WasLastPassInterrupted());
    EXPECT_EQ(g.d.GetLastPassResolves(), 1);
}

TEST(CircuitController, ProbesAreSampledWithoutComponents)
{
    CCircuit d;
    CFakeHost host;
    d.SetHost(&host);
    AddWire(d, {0, 0}, {40, 0});
    auto* probe = new CTestRecProbe;
    d.AddChild(probe);
    d.ControlSimulation(SIM_ACTIVATE);
    for (int i = 0; i < 3; ++i) d.ControlSimulation(SIM_TIMER);
    EXPECT_EQ(probe->steps, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(d.GetSampleCount(), 3);
    EXPECT_EQ(d.GetChanged(), 1);
}

TEST(CircuitController, RingKeepsTheNewest2000)
{
    Rig g;
    auto* probe = new CTestRecProbe;
    g.d.AddChild(probe);
    for (int i = 0; i < 2005; ++i) g.d.RunSolverPass();
    EXPECT_EQ(g.d.GetSampleCount(), 2000);
    EXPECT_EQ(g.d.GetRingStart(), 5);
    EXPECT_EQ(probe->steps.back(), 1999);
    g.d.ControlSimulation(SIM_RESTART_RECORDING);
    EXPECT_EQ(g.d.GetSampleCount(), 1);
    EXPECT_EQ(g.d.GetRingStart(), 0);
}

// A part asking for a rate: 30 passes per second.
class CTestFastPart : public CTestResistor {
public:
    int GetRateRequest(double* rate) override
    {
        *rate = m_dRate;
        return m_nCode;
    }
    double m_dRate = 30.0;
    int m_nCode = 1;
};

TEST(CircuitController, RateFollowsTheParts)
{
    Rig g;
    g.d.m_dDisplayRate = 2.0;
    auto* fast = AddPart<CTestFastPart>(g.d, 100, 600);
    CCircuit::ActiveCircuit() = &g.d;
    EXPECT_EQ(g.d.RecalcStepLimit(), 1);
    EXPECT_DOUBLE_EQ(g.d.GetUpdateRate(), 30.0);
    // Active design: the controller ran 1 then 0, so at 30 per second it
    // runs in idle time.
    EXPECT_TRUE(g.d.IsIdlePending());
    EXPECT_FALSE(g.d.IsTimerSet());
    EXPECT_EQ(g.d.RecalcStepLimit(), 0);
    // Code 4 ends the search with its own rate, below the display rate.
    fast->m_dRate = 1.0;
    fast->m_nCode = 4;
    g.d.RecalcStepLimit();
    EXPECT_DOUBLE_EQ(g.d.GetUpdateRate(), 1.0);
    fast->m_nCode = 1;
    g.d.RecalcStepLimit();
    EXPECT_DOUBLE_EQ(g.d.GetUpdateRate(), 2.0);
    CCircuit::ActiveCircuit() = nullptr;
}

} // namespace
