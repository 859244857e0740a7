// Start, wait, stop, beep and decision run together: step counts against
// the hand count, the stop staying lit, the buzzer request and the
// decision's exits.
#include "flow_start_support.h"
#include "flowchart/flow_beep.h"
#include "flowchart/flow_decision.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"
#include "model/parts/controlitem.h"

#include <gtest/gtest.h>

namespace {

// The counted steps of an element: trunc(run time x rate), at least 2.
int Counted(double seconds, double rate)
{
    const int n = static_cast<int>(seconds * rate);
    return n < 2 ? 2 : n;
}

struct Line {
    GuiBench b;
    CFlowStart* start;
    CFlowWait* wait;
    CFlowStop* stop;
    explicit Line(double seconds)
    {
        start = b.Add<CFlowStart>(100, 40);
        wait = b.Add<CFlowWait>(100, 120);
        stop = b.Add<CFlowStop>(100, 220);
        b.Join(start->GetOutputTerminal(), wait->GetTerminal(0));
        b.Join(wait->GetOutputTerminal(), stop->GetTerminal(0));
        wait->m_parameter.SetValue(seconds, kPrefixNone);
        wait->UpdateCaption();
        b.Reset();
    }
};

// Passes after the press until the stop is reached (at most `limit`).
int PassesToStop(Line& l, double rate, int limit = 500)
{
    l.b.d.SetUpdateRate(rate);
    Press(l.start, l.b.d);
    int passes = 0;
    while (!l.stop->m_bStopped && passes < limit) {
        l.b.Run();
        ++passes;
    }
    return passes;
}

TEST(FlowElements, StartWaitStopFinishesAfterTheCountedSteps)
{
    // The start counts trunc(0.2 s x 20) = 4 steps and drives in the 5th
    // solve, in whose after-step the wait triggers; the wait counts
    // trunc(0.5 x 20) = 10 and drives 10 solves later: the stop triggers in
    // solve 4 + 1 + 10 = 15.
    Line l(0.5);
    ASSERT_EQ(l.start->m_nCheckResult, 0);
    EXPECT_EQ(l.wait->m_strCaption, " Wait 0.5s");
    EXPECT_EQ(PassesToStop(l, 20.0), 15);
    EXPECT_EQ(l.start->GetCurrentElement(), l.stop);
}

struct TimingCase {
    double seconds, rate;
};
class FlowWaitTiming : public ::testing::TestWithParam<TimingCase> {};

TEST_P(FlowWaitTiming, PassesFollowTheCount)
{
    const auto [seconds, rate] = GetParam();
    Line l(seconds);
    const int startSteps = static_cast<int>(l.b.d.GetFlowTimeStep() * rate) < 1
                               ? 1
                               : static_cast<int>(l.b.d.GetFlowTimeStep() * rate);
    EXPECT_EQ(PassesToStop(l, rate), startSteps + 1 + Counted(seconds, rate));
}

// 0.01 s still counts 2 steps; 0.5 s at 20/s counts 10; 1 s at 5/s (the
// start's own 0.2 s is a single step there) counts 5.
INSTANTIATE_TEST_SUITE_P(Waits, FlowWaitTiming,
                         ::testing::Values(TimingCase{0.5, 20.0}, TimingCase{0.01, 20.0}, TimingCase{1.0, 5.0},
                                           TimingCase{2.5, 10.0}));

TEST(FlowElements, TheStopStaysLitUntilTheNextReset)
{
    Line l(0.01);
    PassesToStop(l, 20.0);
    ASSERT_TRUE(l.stop->m_bStopped);
    l.b.Run(30);
    EXPECT_TRUE(l.stop->m_bStopped);
    EXPECT_EQ(l.stop->m_wStateWord, FLOW_LOOK_RUNNING);
    EXPECT_EQ(l.start->GetCurrentElement(), l.stop);
    // A new press puts the stop out and runs again.
    Press(l.start, l.b.d);
    EXPECT_FALSE(l.stop->m_bStopped);
    l.b.Run();
    EXPECT_EQ(l.stop->m_wStateWord, FLOW_LOOK_IDLE);
    CString text;
    int code = -1;
    l.stop->GetBasicText(text, &code, l.start);
    EXPECT_EQ(text, "end\n");
}

TEST(FlowElements, TheBeepAsksForTheBuzzerWhileLit)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    auto* beep = b.Add<CFlowBeep>(100, 120);
    auto* stop = b.Add<CFlowStop>(100, 220);
    b.Join(start->GetOutputTerminal(), beep->GetTerminal(0));
    b.Join(beep->GetOutputTerminal(), stop->GetTerminal(0));
    b.Reset();
    b.d.SetUpdateRate(20.0);
    b.Run(3);
    EXPECT_EQ(b.d.m_bBuzzerRequest, 0); // never reached: silent
    Press(start, b.d);
    int lit = 0, sounding = 0;
    for (int i = 0; i < 20; ++i) {
        b.Run();
        lit += (beep->m_bActive || beep->m_bFinishing) ? 1 : 0;
        sounding += b.d.m_bBuzzerRequest;
        EXPECT_EQ(b.d.m_bBuzzerRequest, (beep->m_bActive || beep->m_bFinishing) ? 1 : 0) << i;
    }
    // The beep's own run time is the flow time step: 4 counted steps.
    EXPECT_EQ(lit, 4);
    EXPECT_EQ(sounding, 4);
    EXPECT_EQ(beep->m_strCaption, "Beep");
    CString text;
    int code = 0;
    beep->GetBasicText(text, &code, start);
    EXPECT_EQ(text, "' Beep\n");
    EXPECT_EQ(code, 2004);
}

TEST(FlowElements, WaitExportAndProperties)
{
    GuiBench b;
    auto* w = b.Add<CFlowWait>(100, 120);
    EXPECT_EQ(w->m_strCaption, " Wait 1s");
    EXPECT_EQ(w->OnPropertyCommand(36053, "70"), 65);
    EXPECT_EQ(w->m_strCaption, " Wait 70s");
    CString text;
    int code = 0;
    b.d.SetProgramLanguage("BASIC C1");
    w->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "pause 70000\n");
    EXPECT_EQ(code, 2003);
    b.d.SetProgramLanguage("BASIC C2");
    w->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "wait 70.0000\n");
    EXPECT_EQ(code, 2003);
    EXPECT_EQ(w->OnPropertyCommand(36053, "0.25"), 65);
    w->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(w->OnPropertyCommand(36054, "+1"), 65);
    EXPECT_GT(w->GetRunTime(), 0.25);
    CControlItemList items;
    w->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 4);
    EXPECT_EQ(items[2].label, "s");
    EXPECT_EQ(items[3].id, 33853);
    w->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, w->m_parameter.Format());
}

// ---- the decision ----

struct Branch {
    GuiBench b;
    CChipStart* start;
    CFlowDecision* decision;
    CFlowStop* exit1;
    CFlowStop* exit2;
    Branch()
    {
        start = b.Add<CChipStart>(100, 40);
        decision = b.Add<CFlowDecision>(60, 120);
        exit1 = b.Add<CFlowStop>(400, 300);
        exit2 = b.Add<CFlowStop>(60, 400);
        b.Join(start->GetOutputTerminal(), decision->GetTerminal(0));
        JoinExit(1, exit1);
        JoinExit(2, exit2);
        b.Reset();
    }
    void JoinExit(int k, CFlowStop* stop) { b.Join(decision->GetTerminal(k), stop->GetTerminal(0)); }
    // Runs until one of the stops is reached; 1 or 2, 0 when neither.
    int Run()
    {
        b.d.SetUpdateRate(20.0);
        Press(start, b.d);
        for (int i = 0; i < 60 && !exit1->m_bStopped && !exit2->m_bStopped; ++i) b.Run();
        return exit1->m_bStopped ? 1 : exit2->m_bStopped ? 2 : 0;
    }
};

TEST(FlowDecision, ExitsFollowTheOrientation)
{
    struct Case {
        bool result;
        int orientation, exit;
    };
    const Case cases[] = {{true, 0, 1}, {false, 0, 2}, {true, 3, 1}, {false, 3, 2},
                          {true, 1, 2}, {false, 1, 1}, {true, 2, 2}, {false, 2, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(CFlowDecision::ExitFor(c.result, c.orientation), c.exit) << c.result << " " << c.orientation;
}

TEST(FlowDecision, WithoutAMicrocontrollerTheInputReadsZero)
{
    Branch br;
    ASSERT_EQ(br.start->m_nCheckResult, 0);
    EXPECT_EQ(br.decision->m_strCaption, "Input0 On?");
    EXPECT_EQ(br.Run(), 2); // "On?" is false: the No exit
    EXPECT_EQ(br.decision->m_nErrorCode, kFlowNoError);
    br.decision->OnPropertyCommand(36059, "Off");
    EXPECT_EQ(br.decision->m_strCaption, "Input0 Off?");
    br.b.Reset();
    EXPECT_EQ(br.Run(), 1);
}

TEST(FlowDecision, ComparisonsWithAConstant)
{
    struct Case {
        const char* op;
        int input;
        int exit;
    };
    // The dial against 100.
    const Case cases[] = {{" = ", 100, 1}, {" = ", 99, 2},  {" > ", 101, 1}, {" > ", 100, 2},
                          {" >= ", 100, 1}, {" < ", 100, 2}, {" <= ", 100, 1}, {" <> ", 100, 2}};
    for (const Case& c : cases) {
        Branch br;
        CFakeChip chip;
        chip.inputs["Dial"] = {c.input, 0};
        br.start->chip = &chip;
        br.decision->OnPropertyCommand(36053, "Dial");
        br.decision->OnPropertyCommand(36059, c.op);
        br.decision->OnPropertyCommand(36065, "100");
        EXPECT_EQ(br.decision->m_bDigital, 0);
        br.b.Reset();
        EXPECT_EQ(br.Run(), c.exit) << c.op << " " << c.input;
    }
}

TEST(FlowDecision, ChoosingAComparisonEnablesTheValueBox)
{
    Branch br;
    int enabled = -1;
    br.decision->IsPropertyChecked(36065, enabled);
    EXPECT_EQ(enabled, 0);
    EXPECT_EQ(br.decision->OnPropertyCommand(36059, " >= "), 65);
    EXPECT_EQ(br.decision->m_bDigital, 0);
    EXPECT_EQ(br.decision->m_nOperator, 2u);
    br.decision->IsPropertyChecked(36065, enabled);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(br.decision->m_strCaption, "Input0  >= 0 ?");
    CControlItemList items;
    br.decision->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 6);
    EXPECT_EQ(items[0].type, CI_DROPLIST);
    EXPECT_EQ(items[0].label, "Input0\nInput1\nInput2\nInput3");
    EXPECT_EQ(items[2].label, "On\nOff\n = \n > \n >= \n < \n <= \n <> ");
    EXPECT_EQ(items[5].id, 33856);
    // The constant is bounded by the analogue range.
    EXPECT_DOUBLE_EQ(GetValueLimits(kEditLimitsRow).max, br.b.d.GetAnalogRange());
}

TEST(FlowDecision, AVariableWithoutAValueStopsTheFlowchart)
{
    Branch br;
    br.decision->OnPropertyCommand(36059, " < ");
    EXPECT_EQ(br.decision->OnPropertyCommand(36065, "level"), 65);
    EXPECT_EQ(br.decision->m_bCompareVariable, 1);
    EXPECT_EQ(br.decision->m_strCaption, "Input0  < level ?");
    br.b.Reset();
    EXPECT_EQ(br.Run(), 0);
    EXPECT_EQ(br.decision->m_nErrorCode, FLOW_ERR_NO_VALUE);
    CString text;
    br.decision->BuildInfo(text, 0, CPoint());
    EXPECT_EQ(text, "Error: All variables must be given a value before they are used");
    // With a value it goes on: 0 < 5.
    br.b.Reset();
    br.b.d.SetUpdateRate(20.0);
    Press(br.start, br.b.d);
    br.start->SetVariable("LEVEL", 5);
    for (int i = 0; i < 60 && !br.exit1->m_bStopped && !br.exit2->m_bStopped; ++i) br.b.Run();
    EXPECT_TRUE(br.exit1->m_bStopped);
}

TEST(FlowDecision, PortKindsMustMatchTheTest)
{
    struct Case {
        const char* label;
        const char* test;
        int code;
    };
    const Case cases[] = {{"Dial", "On", FLOW_ERR_PORT_ANALOG},
                          {"Switch", " = ", FLOW_ERR_PORT_DIGITAL},
                          {"Nothing", "On", FLOW_ERR_NO_INPUT}};
    for (const Case& c : cases) {
        Branch br;
        CFakeChip chip;
        chip.inputs["Dial"] = {40, 0};
        chip.inputs["Switch"] = {255, 1};
        br.start->chip = &chip;
        br.decision->OnPropertyCommand(36053, c.label);
        br.decision->OnPropertyCommand(36059, c.test);
        br.b.Reset();
        EXPECT_EQ(br.Run(), 0) << c.label;
        EXPECT_EQ(br.decision->m_nErrorCode, c.code) << c.label;
    }
    EXPECT_EQ(FlowErrorText(FLOW_ERR_PORT_ANALOG), "Error: This port is analog");
    EXPECT_EQ(FlowErrorText(FLOW_ERR_PORT_DIGITAL), "Error: This port is digital");
    EXPECT_EQ(FlowErrorText(FLOW_ERR_NO_INPUT), "Error: Cannot find this input");
}

TEST(FlowDecision, ADigitalInputIsOnAtTheAnalogueRange)
{
    Branch br;
    CFakeChip chip;
    chip.inputs["Switch"] = {255, 1};
    br.start->chip = &chip;
    br.decision->OnPropertyCommand(36053, "Switch");
    br.b.Reset();
    EXPECT_EQ(br.Run(), 1);
}

TEST(FlowDecision, OutsideAFlowchartThereIsNoMicrocontroller)
{
    GuiBench b;
    auto* d = b.Add<CFlowDecision>(60, 120);
    EXPECT_EQ(d->Validate(), FLOW_ERR_NO_CHIP);
    EXPECT_EQ(d->m_nChosenExit, 1);
    EXPECT_EQ(FlowErrorText(FLOW_ERR_NO_CHIP), "Error: Cannot find microcontroller");
}

TEST(FlowDecision, ExportOfTheDefaultTest)
{
    Branch br;
    br.b.d.SetProgramLanguage("BASIC C1");
    CString text;
    int code = -1;
    br.decision->GetBasicText(text, &code, br.start);
    EXPECT_EQ(text, "if Input0 = 1 then ");
    EXPECT_EQ(code, 0);
    br.b.d.SetProgramLanguage("BASIC C2");
    br.decision->GetBasicText(text, &code, br.start);
    EXPECT_EQ(text, "if Input0 is on then ");
    int kind = -1;
    br.decision->GetBasicDeclarations(text, &kind, br.start);
    EXPECT_EQ(kind, 0);
    br.b.d.SetProgramLanguage("BASIC C1");
    br.decision->GetBasicDeclarations(text, &kind, br.start);
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(text, "Input0 = pin0");
}

} // namespace
