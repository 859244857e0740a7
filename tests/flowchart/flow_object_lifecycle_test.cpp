// Stopping and resetting the simulation: the help text in the status bar,
// the re-check mark while a flowchart part is being edited, and the error
// text of a halted element.
#include "flow_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CRecordingHost : public CSimulationHost {
public:
    bool SetStepTimer(int) override { return true; }
    void KillStepTimer() override {}
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    void SetStatusText(const CString& text) override { status.push_back(text); }
    std::vector<CString> status;
};

class CErringStep : public CTestFlowStep {
public:
    CString GetErrorText(int code) const override { return code == 3 ? "Error: test - E3" : CString(); }
};

TEST(FlowObjectLifecycle, StoppingShowsHelpAndMarksEditedFlowcharts)
{
    FlowBench b;
    CRecordingHost host;
    b.d.SetHost(&host);
    auto* s = b.Add<CTestFlowStep>(100, 120);
    s->m_pFlowStart = s;
    s->m_bActive = 1;
    s->m_nErrorCode = 4;

    // Nothing of the flowchart selected: the mark is cleared, the run stays.
    s->OnSimulationStopped();
    ASSERT_FALSE(host.status.empty());
    EXPECT_EQ(host.status.back(), "For Help press F1.");
    EXPECT_EQ(s->m_bNeedsCheck, 0);
    EXPECT_EQ(s->m_bActive, 1);

    // A selected flowchart part: marked for a check, the run state cleared.
    s->Select(0);
    s->OnSimulationStopped();
    EXPECT_EQ(s->m_bNeedsCheck, 1);
    EXPECT_EQ(s->m_bActive, 0);
    EXPECT_EQ(s->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(s->m_pFlowStart, nullptr);
    b.d.SetHost(nullptr);
}

TEST(FlowObjectLifecycle, HaltedElementShowsItsErrorText)
{
    FlowBench b;
    CRecordingHost host;
    auto* head = b.Add<CTestFlowHead>(100, 40);
    auto* s = b.Add<CErringStep>(100, 120);
    b.Join(head->GetOutputTerminal(), s->GetTerminal(0));
    s->error = 3;
    b.Reset();
    b.d.SetHost(&host);
    s->m_pFlowStart = head;
    head->Fire();
    b.Run();
    ASSERT_FALSE(host.status.empty());
    EXPECT_EQ(host.status.back(), "Error: test - E3");
    EXPECT_EQ(s->HasInfo(0, 0), 1);
    CString info;
    s->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Error: test - E3");
    b.d.SetHost(nullptr);
}

TEST(FlowObjectLifecycle, NoErrorNoInfo)
{
    FlowBench b;
    auto* s = b.Add<CTestFlowStep>(100, 120);
    EXPECT_EQ(s->HasInfo(0, 0), 0);
    CString info;
    s->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "No information");
}

} // namespace
