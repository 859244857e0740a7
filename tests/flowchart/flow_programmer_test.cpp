// The start's record button hands its flowchart to the installed
// programmer host once per release, not while programming goes on and not
// while the flowchart has errors; the start button still runs it.
#include "flow_start_support.h"
#include "flowchart/flow_programmer.h"
#include "flowchart/flow_stop.h"
#include "flowchart/panel_buttons.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class CCountingHost : public CFlowProgrammerHost {
public:
    CCountingHost() : previous(Install(this)) {}
    ~CCountingHost() override { Install(previous); }
    void Program(CFlowStart& start) override
    {
        ++calls;
        readyDuringCall = start.m_bReadyToProgram;
        // A second press while this one programs (once).
        const std::function<void()> again = std::move(pressAgain);
        pressAgain = nullptr;
        if (again) again();
    }
    CFlowProgrammerHost* previous;
    int calls = 0;
    int readyDuringCall = -1;
    std::function<void()> pressAgain;
};

template <class Button>
void Release(CFlowStart* start, CCircuit& d)
{
    Button* button = nullptr;
    for (CPart* c = start->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* b = dynamic_cast<Button*>(c)) button = b;
    ASSERT_NE(button, nullptr);
    button->m_wState = 1;
    start->SetInputValue(&d, 1);
    button->m_wState = 0;
    start->SetInputValue(&d, 0);
}

TEST(FlowProgrammer, TheRecordButtonProgramsOncePerRelease)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    b.Join(start->GetOutputTerminal(), b.Add<CFlowStop>(100, 160)->GetTerminal(0));
    b.Reset();
    CCountingHost host;
    host.pressAgain = [&] { Release<CFlowRecordButton>(start, b.d); };
    Release<CFlowRecordButton>(start, b.d);
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(host.readyDuringCall, 0);
    EXPECT_EQ(start->m_bReadyToProgram, 1);
    // The record button does not run the flowchart.
    EXPECT_FALSE(start->IsRunning());
}

TEST(FlowProgrammer, AFaultyFlowchartIsNotProgrammed)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    b.Add<CFlowStop>(100, 160);
    b.Reset();
    CCountingHost host;
    Release<CFlowRecordButton>(start, b.d);
    EXPECT_EQ(host.calls, 0);
}

TEST(FlowProgrammer, WithoutAHostNothingHappens)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    b.Join(start->GetOutputTerminal(), b.Add<CFlowStop>(100, 160)->GetTerminal(0));
    b.Reset();
    ASSERT_EQ(CFlowProgrammerHost::Current(), nullptr);
    Release<CFlowRecordButton>(start, b.d);
    EXPECT_EQ(start->m_bReadyToProgram, 1);
    EXPECT_FALSE(start->IsRunning());
}

} // namespace
