// The flowchart check at reset: each structural error on a small faulty
// flowchart, with its code and the text the element shows.
#include "flow_start_support.h"
#include "flowchart/flow_check.h"
#include "flowchart/flow_decision.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"

#include <gtest/gtest.h>

namespace {

CString InfoOf(CFlowObject* e)
{
    CString text;
    e->BuildInfo(text, 0, CPoint());
    return text;
}

TEST(FlowCheck, AConnectedFlowchartHasNoErrors)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* w = b.Add<CFlowWait>(100, 120);
    auto* stop = b.Add<CFlowStop>(100, 220);
    b.Join(s->GetOutputTerminal(), w->GetTerminal(0));
    b.Join(w->GetOutputTerminal(), stop->GetTerminal(0));
    b.Reset();
    EXPECT_EQ(s->m_nCheckResult, 0);
    for (CFlowObject* e : {static_cast<CFlowObject*>(s), static_cast<CFlowObject*>(w), static_cast<CFlowObject*>(stop)})
        EXPECT_EQ(e->m_nErrorCode, kFlowNoError);
    // Every element is claimed for the start.
    EXPECT_EQ(w->m_pFlowStart, s);
    EXPECT_EQ(stop->m_pFlowStart, s);
    EXPECT_EQ(s->HasInfo(0, 0), 0);
}

TEST(FlowCheck, AnUnconnectedOutputIsCodeThree)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* w = b.Add<CFlowWait>(100, 120);
    b.Join(s->GetOutputTerminal(), w->GetTerminal(0));
    b.Reset();
    EXPECT_EQ(w->m_nErrorCode, 3);
    EXPECT_EQ(w->m_wStateWord, FLOW_LOOK_ERROR);
    EXPECT_EQ(InfoOf(w), "Error: Element not connected");
    EXPECT_EQ(s->m_nCheckResult, 1);
    // Errors block the run.
    Press(s, b.d);
    EXPECT_FALSE(s->m_bActive);
}

TEST(FlowCheck, AMendedFlowchartLosesItsOldErrors)
{
    // Wired up after a check found it open, the wait is clean at the next
    // reset even when no edit was seen to clear its code.
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* w = b.Add<CFlowWait>(100, 120);
    b.Join(s->GetOutputTerminal(), w->GetTerminal(0));
    b.Reset();
    ASSERT_EQ(w->m_nErrorCode, 3);
    b.Join(w->GetOutputTerminal(), b.Add<CFlowStop>(100, 220)->GetTerminal(0));
    b.Reset();
    EXPECT_EQ(w->m_nErrorCode, kFlowNoError);
    EXPECT_NE(w->m_wStateWord, FLOW_LOOK_ERROR);
    EXPECT_EQ(s->m_nCheckResult, 0);
}

TEST(FlowCheck, ALoneStartIsCodeTwo)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    b.Reset();
    EXPECT_EQ(s->m_nErrorCode, 2);
    EXPECT_EQ(InfoOf(s), "Error: Element not connected");
}

TEST(FlowCheck, AnUnconnectedSecondExitIsCodeFour)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* d = b.Add<CFlowDecision>(60, 120);
    auto* stop = b.Add<CFlowStop>(400, 300);
    b.Join(s->GetOutputTerminal(), d->GetTerminal(0));
    b.Join(d->GetTerminal(1), stop->GetTerminal(0));
    b.Reset();
    EXPECT_EQ(d->m_nErrorCode, 4);
    EXPECT_EQ(InfoOf(d), "Error: Element not connected");
    EXPECT_EQ(stop->m_nErrorCode, kFlowNoError);
}

TEST(FlowCheck, TwoInputsOnOneNetAreConnectedIncorrectly)
{
    // The wait's output feeds two inputs: the wait and both stops show 7.
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* w = b.Add<CFlowWait>(100, 120);
    auto* left = b.Add<CFlowStop>(100, 220);
    auto* right = b.Add<CFlowStop>(300, 220);
    b.Join(s->GetOutputTerminal(), w->GetTerminal(0));
    b.Join(w->GetOutputTerminal(), left->GetTerminal(0));
    b.Join(w->GetOutputTerminal(), right->GetTerminal(0));
    b.Reset();
    EXPECT_EQ(w->m_nErrorCode, 7);
    EXPECT_EQ(left->m_nErrorCode, 7);
    EXPECT_EQ(right->m_nErrorCode, 7);
    EXPECT_EQ(InfoOf(w), "Error: Element connected incorrectly");
}

TEST(FlowCheck, TwoOutputsJoinedWithoutAnInputAreConnectedIncorrectly)
{
    // Two waits' outputs joined to each other only; the second wait's
    // input is open too, and it shows the smaller of its codes (2, not 7).
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* a = b.Add<CFlowWait>(100, 120);
    auto* c = b.Add<CFlowWait>(300, 120);
    b.Join(s->GetOutputTerminal(), a->GetTerminal(0));
    b.Join(a->GetOutputTerminal(), c->GetOutputTerminal());
    b.Reset();
    EXPECT_EQ(a->m_nErrorCode, 7);
    EXPECT_EQ(c->m_nErrorCode, 2);
}

TEST(FlowCheck, ASecondStartWiredInIsCodeEight)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    auto* w = b.Add<CFlowWait>(100, 120);
    auto* stop = b.Add<CFlowStop>(100, 220);
    auto* other = b.Add<CFlowStart>(300, 40);
    b.Join(s->GetOutputTerminal(), w->GetTerminal(0));
    b.Join(w->GetOutputTerminal(), stop->GetTerminal(0));
    b.Join(other->GetOutputTerminal(), w->GetTerminal(0));
    b.Reset();
    EXPECT_EQ(other->m_nErrorCode, 8);
    EXPECT_EQ(InfoOf(other), "Error: Cannot connect this to Start element");
    // The other start's trace reports the first one the same way.
    EXPECT_EQ(s->m_nErrorCode, 8);
    EXPECT_EQ(w->m_nErrorCode, kFlowNoError);
}

TEST(FlowCheck, DuplicateNamesUntilOneIsRenamed)
{
    GuiBench b;
    auto* a = b.Add<CFlowStart>(100, 40);
    auto* c = b.Add<CFlowStart>(300, 40);
    b.Join(a->GetOutputTerminal(), b.Add<CFlowStop>(100, 120)->GetTerminal(0));
    b.Join(c->GetOutputTerminal(), b.Add<CFlowStop>(300, 120)->GetTerminal(0));
    // As a paste would leave them.
    c->m_strName = a->m_strName;
    b.Reset();
    EXPECT_EQ(a->m_nErrorCode, 0);
    EXPECT_EQ(c->m_nErrorCode, 0);
    EXPECT_EQ(InfoOf(a), "Error: This flowchart name already exists");
    EXPECT_EQ(a->m_nCheckResult, 1);
    EXPECT_EQ(c->OnPropertyCommand(36053, "Pump"), 65);
    EXPECT_EQ(a->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(c->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(a->m_nCheckResult, 0);
    EXPECT_EQ(c->m_nCheckResult, 0);
}

TEST(FlowCheck, ErrorTextsOfTheCodes)
{
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {{0, "Error: This flowchart name already exists"},
                          {1, "Error: This subroutine already exists"},
                          {2, "Error: Element not connected"},
                          {4, "Error: Element not connected"},
                          {10, "Error: Cannot connect this to Subroutine element"},
                          {128, "Error: Variable outside range (to change range click on 'Options', then 'Flowchart')"},
                          {2048, "Error: Too many variables"},
                          {6045, "No receive present"},
                          {10192, "Error: Bad expression"},
                          {5, ""},
                          {-1, ""}};
    for (const Case& c : cases) EXPECT_EQ(FlowErrorText(c.code), c.text) << c.code;
}

TEST(FlowCheck, TheListsKeepTheirRoom)
{
    // A chain longer than the visited list: the trace stops at the room and
    // writes nothing past it.
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    CTerminal* out = s->GetOutputTerminal();
    for (int i = 0; i < 300; ++i) {
        auto* w = b.Add<CFlowWait>(100, 120 + i * 60);
        b.Join(out, w->GetTerminal(0));
        out = w->GetOutputTerminal();
    }
    b.d.RenumberNodes();
    CFlowChecker checker(b.d, s, true);
    checker.Run();
    EXPECT_LE(checker.Claimed().size(), CFlowChecker::kVisitedRoom);
    for (int i = 0; i < 300; ++i) checker.Record(s, 7);
    EXPECT_LE(checker.Reduced().size(), 1u);
}

} // namespace
