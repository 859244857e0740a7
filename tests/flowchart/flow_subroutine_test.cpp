// Subroutines run: a call goes in and returns through the start's call
// stack (pass counts by hand), a second flowchart waits while the
// subroutine is busy, the stack holds 100 calls, and the checker's and the
// call's codes for missing, duplicate and self-calling subroutines.
#include "flow_start_support.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_gosub.h"
#include "flowchart/flow_return.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_substart.h"
#include "flowchart/flow_wait.h"
#include "flowchart/meter_message.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "tests/model/design_roundtrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The caption label's tag of an element.
CString TagOf(CFlowObject* e) { return e->GetMessageLabel() ? e->GetMessageLabel()->GetTag() : CString(); }

// start -> call -> stop, and the subroutine head -> wait -> return.  The
// parts are added in this order, which is the order in which the design
// steps them (flowchart elements are appended to the component list).
struct Caller {
    CFlowStart* start;
    CFlowGoSub* call;
    CFlowStop* stop;
    Caller(GuiBench& b, int x)
    {
        start = b.Add<CFlowStart>(x, 40);
        call = b.Add<CFlowGoSub>(x, 120);
        stop = b.Add<CFlowStop>(x, 220);
        b.Join(start->GetOutputTerminal(), call->GetTerminal(0));
        b.Join(call->GetOutputTerminal(), stop->GetTerminal(0));
    }
};

struct Subroutine {
    CFlowSubStart* head;
    CFlowWait* body;
    CFlowReturn* ret;
    Subroutine(GuiBench& b, int x, double seconds)
    {
        head = b.Add<CFlowSubStart>(x, 40);
        body = b.Add<CFlowWait>(x, 120);
        ret = b.Add<CFlowReturn>(x, 220);
        b.Join(head->GetOutputTerminal(), body->GetTerminal(0));
        b.Join(body->GetOutputTerminal(), ret->GetTerminal(0));
        body->m_parameter.SetValue(seconds, kPrefixNone);
        body->UpdateCaption();
    }
};

// Passes until the stop is reached (at most limit).
int RunToStop(GuiBench& b, CFlowStop* stop, int limit = 400)
{
    int passes = 0;
    while (!stop->m_bStopped && passes < limit) {
        b.Run();
        ++passes;
    }
    return passes;
}

TEST(FlowSubroutine, NamesAndCaptions)
{
    GuiBench b;
    auto* first = b.Add<CFlowSubStart>(100, 40);
    auto* second = b.Add<CFlowSubStart>(300, 40);
    auto* call = b.Add<CFlowGoSub>(100, 200);
    auto* ret = b.Add<CFlowReturn>(300, 200);
    EXPECT_EQ(first->m_strName, "Subroutine1");
    EXPECT_EQ(second->m_strName, "Subroutine2");
    EXPECT_EQ(second->m_strCaption, "Subroutine2");
    EXPECT_EQ(call->m_strName, "Subroutine1");
    EXPECT_EQ(call->m_strMessageTag, "Call subroutine Subroutine1");
    EXPECT_EQ(ret->m_strCaption, "Return ");
    CString name;
    call->GetProgramName(name);
    EXPECT_EQ(name, "Subroutine1");

    // A rename to a name another subroutine has is refused.
    EXPECT_EQ(second->OnPropertyCommand(36053, "Subroutine1"), 4);
    EXPECT_EQ(second->m_strName, "Subroutine2");
    EXPECT_EQ(second->OnPropertyCommand(36053, "Blink"), 65);
    EXPECT_EQ(second->m_strName, "Blink");
    // A name with a blank keeps the one shown; an empty one becomes " ".
    EXPECT_EQ(call->OnPropertyCommand(36053, "Two words"), 65);
    EXPECT_EQ(call->m_strName, "Subroutine1");
    EXPECT_EQ(call->OnPropertyCommand(36053, "Blink"), 65);
    EXPECT_EQ(call->m_strCaption, "Blink");
    EXPECT_EQ(call->m_strMessageTag, "Call subroutine Blink");
    // A long name is cut to the label with ".." and kept whole in the tag.
    call->OnPropertyCommand(36053, "AVeryLongSubroutineNameIndeed");
    EXPECT_EQ(call->m_strName, "AVeryLongSubroutineNameIndeed");
    ASSERT_GE(call->m_strCaption.size(), 3u);
    EXPECT_EQ(call->m_strCaption.substr(call->m_strCaption.size() - 2), "..");
    EXPECT_EQ(call->m_strMessageTag, "Call subroutine AVeryLongSubroutineNameIndeed");

    CString text;
    int code = -1;
    call->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "gosub AVeryLongSubroutineNameIndeed\n");
    EXPECT_EQ(code, 0);
    second->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "Blink: ");
    ret->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "return\n");
}

TEST(FlowSubroutine, PropertyItems)
{
    GuiBench b;
    auto* call = b.Add<CFlowGoSub>(100, 200);
    auto* head = b.Add<CFlowSubStart>(300, 40);
    struct Case {
        CFlowObject* part;
        const char* label;
        int labelWidth, addCommand;
    } cases[] = {{call, "Call subroutine ", 80, 33868}, {head, "Subroutine name: ", 90, 33866}};
    for (const Case& c : cases) {
        CControlItemList items(0);
        const int before = items.GetCount();
        c.part->FillProperties(items);
        ASSERT_EQ(items.GetCount(), before + 3);
        EXPECT_EQ(items[before].type, CI_STATIC);
        EXPECT_EQ(items[before].label, c.label);
        EXPECT_EQ(items[before].id, 36052);
        EXPECT_EQ(items[before].width, c.labelWidth);
        EXPECT_EQ(items[before + 1].type, CI_EDIT);
        EXPECT_EQ(items[before + 1].id, 36053);
        EXPECT_EQ(items[before + 1].width, 100);
        EXPECT_EQ(items[before + 2].type, CI_TOOLBUTTON);
        EXPECT_EQ(items[before + 2].id, c.addCommand);
    }
}

TEST(FlowSubroutine, CallReturnsThroughTheStack)
{
    // Rate 20, flow time step 0.2 s: the start, the subroutine head and the
    // return count 4 steps, the wait 0.5 s counts 10.  The start drives in
    // pass 5, where the call triggers and the head is admitted; the head
    // (stepped after the call) counts in passes 5-8 and drives in 9, where
    // the wait triggers; the wait hands to the return in pass 19; the
    // return finishes in pass 22 (its count 4 -> 1) and returns the call;
    // the call (stepped before the return) sees it in pass 23 and drives in
    // 24, where the stop triggers.
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    b.Reset();
    ASSERT_EQ(c.start->m_nCheckResult, 0);
    ASSERT_EQ(s.head->m_nStructureCheck, 0);
    EXPECT_EQ(s.body->m_pSubStart, s.head);
    EXPECT_EQ(s.ret->m_pSubStart, s.head);
    EXPECT_EQ(s.head->m_nMemberCount, 2u);
    EXPECT_EQ(s.head->m_members[0].element, s.body);
    EXPECT_EQ(s.head->m_members[0].depth, 1);
    EXPECT_EQ(s.head->m_members[1].element, s.ret);
    EXPECT_EQ(s.head->m_members[1].depth, 2);

    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    b.Run(5);
    EXPECT_EQ(c.start->GetCallDepth(), 1);
    EXPECT_TRUE(s.head->IsBusy());
    EXPECT_EQ(s.head->GetRunningFor(), c.start);
    EXPECT_EQ(c.call->m_bCalling, 1);
    EXPECT_EQ(TagOf(c.call), "Control in Subroutine1");
    EXPECT_EQ(c.start->GetCurrentElement(), c.call);
    b.Run(4);
    EXPECT_EQ(s.body->m_bActive, 1);
    EXPECT_EQ(s.head->m_pCurrent, s.body);
    EXPECT_EQ(RunToStop(b, c.stop), 24 - 9);
    EXPECT_EQ(c.start->GetCallDepth(), 0);
    EXPECT_FALSE(s.head->IsBusy());
    EXPECT_EQ(TagOf(c.call), "Subroutine1");
    b.Run(2);
    EXPECT_EQ(c.call->m_bActive, 0);
    EXPECT_EQ(c.call->m_bLeaving, 0);
}

TEST(FlowSubroutine, ACallerWaitsWhileTheSubroutineIsBusy)
{
    // Both flowcharts start together (as their microcontrollers start
    // them; a press would run a pass of its own) and reach their calls in
    // pass 5; the first (stepped first) is admitted, the second waits.  The first returns in pass 22
    // (as above), which admits the second: the head (stepped before the
    // return) counts in passes 23-26 and drives in 27; the wait hands on in
    // 37, the return finishes in 40, the call drives in 42.
    GuiBench b;
    Caller one(b, 100);
    Caller two(b, 250);
    Subroutine s(b, 400, 0.5);
    two.call->OnPropertyCommand(36053, "subroutine1"); // names compare without case
    b.Reset();
    ASSERT_EQ(one.start->m_nCheckResult, 0);
    ASSERT_EQ(two.start->m_nCheckResult, 0);
    b.d.SetUpdateRate(20.0);
    one.start->StartRun(1);
    two.start->StartRun(1);
    b.Run(5);
    EXPECT_EQ(s.head->GetRunningFor(), one.start);
    EXPECT_EQ(s.head->GetQueueLength(), 1);
    EXPECT_EQ(TagOf(one.call), "Control in Subroutine1");
    EXPECT_EQ(TagOf(two.call), "Waiting for subroutine1 to be free");
    EXPECT_EQ(two.call->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(two.start->GetCallDepth(), 1);

    EXPECT_EQ(RunToStop(b, one.stop), 24 - 5);
    EXPECT_EQ(s.head->GetRunningFor(), two.start);
    EXPECT_EQ(s.head->GetQueueLength(), 0);
    EXPECT_EQ(TagOf(two.call), "Control in subroutine1");
    EXPECT_FALSE(two.stop->m_bStopped);
    EXPECT_EQ(RunToStop(b, two.stop), 42 - 24);
    EXPECT_FALSE(s.head->IsBusy());
    EXPECT_EQ(two.start->GetCallDepth(), 0);
}

TEST(FlowSubroutine, NestedCallsReturnInnermostFirst)
{
    // The outer subroutine calls the inner one: the stack is two deep while
    // the inner body runs, and both return.
    GuiBench b;
    Caller c(b, 100);
    auto* outer = b.Add<CFlowSubStart>(300, 40);
    auto* inner = b.Add<CFlowSubStart>(500, 40);
    auto* call = b.Add<CFlowGoSub>(300, 120);
    auto* outerRet = b.Add<CFlowReturn>(300, 220);
    auto* wait = b.Add<CFlowWait>(500, 120);
    auto* innerRet = b.Add<CFlowReturn>(500, 220);
    b.Join(outer->GetOutputTerminal(), call->GetTerminal(0));
    b.Join(call->GetOutputTerminal(), outerRet->GetTerminal(0));
    b.Join(inner->GetOutputTerminal(), wait->GetTerminal(0));
    b.Join(wait->GetOutputTerminal(), innerRet->GetTerminal(0));
    call->OnPropertyCommand(36053, "Subroutine2");
    b.Reset();
    ASSERT_EQ(outer->m_nStructureCheck, 0);
    ASSERT_EQ(inner->m_nStructureCheck, 0);
    EXPECT_EQ(call->m_pSubStart, outer);
    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    int deepest = 0;
    int passes = 0;
    while (!c.stop->m_bStopped && passes < 200) {
        b.Run();
        ++passes;
        deepest = std::max(deepest, c.start->GetCallDepth());
        if (wait->m_bActive) {
            EXPECT_EQ(inner->GetRunningFor(), c.start);
            EXPECT_EQ(c.start->GetCallDepth(), 2);
        }
    }
    EXPECT_TRUE(c.stop->m_bStopped);
    EXPECT_EQ(deepest, 2);
    EXPECT_EQ(c.start->GetCallDepth(), 0);
    EXPECT_FALSE(outer->IsBusy());
    EXPECT_FALSE(inner->IsBusy());
}

TEST(FlowSubroutine, TheStackHoldsAHundredCalls)
{
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    b.Reset();
    for (int i = 0; i < kFlowCallDepth; ++i) ASSERT_EQ(c.start->CallSubroutine("Subroutine1", c.call), kFlowNoError);
    EXPECT_EQ(c.start->GetCallDepth(), 100);
    EXPECT_EQ(c.start->CallSubroutine("Subroutine1", c.call), FLOW_ERR_TOO_MANY_SUBS);
    EXPECT_EQ(c.start->GetCallDepth(), 100);
    EXPECT_EQ(FlowErrorText(FLOW_ERR_TOO_MANY_SUBS), "Error: Too many subroutines");
    // One flowchart waits in the queue once, however often it called.
    EXPECT_EQ(s.head->GetQueueLength(), 1);
    c.start->UnwindCalls(nullptr);
    EXPECT_EQ(c.start->GetCallDepth(), 0);
    EXPECT_FALSE(s.head->IsBusy());
}

TEST(FlowSubroutine, TheCallOnAFullStackHoldsWith5096)
{
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    b.Reset();
    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    b.Run(4);
    // The call triggers in the next pass: fill the stack before it.
    for (int i = 0; i < kFlowCallDepth; ++i) c.start->CallSubroutine("Subroutine1", nullptr);
    b.Run(1);
    EXPECT_EQ(c.call->m_nErrorCode, FLOW_ERR_TOO_MANY_SUBS);
    EXPECT_EQ(c.start->GetCallDepth(), 100);
    EXPECT_EQ(RunToStop(b, c.stop, 60), 60);
}

struct CodeCase {
    const char* what;
    int code;
};

TEST(FlowSubroutine, CallsThatHoldWithTheirCodes)
{
    // A name no subroutine has: 32.
    {
        GuiBench b;
        Caller c(b, 100);
        Subroutine s(b, 400, 0.5);
        c.call->OnPropertyCommand(36053, "Nowhere");
        b.Reset();
        b.d.SetUpdateRate(20.0);
        Press(c.start, b.d);
        EXPECT_EQ(RunToStop(b, c.stop, 60), 60);
        EXPECT_EQ(c.call->m_nErrorCode, FLOW_ERR_NO_SUB);
        EXPECT_EQ(FlowErrorText(c.call->m_nErrorCode), "Error: Cannot find this subroutine");
        EXPECT_EQ(c.start->GetCallDepth(), 0);
        EXPECT_EQ(c.start->GetCurrentElement(), c.call);
    }
    // Two subroutines of one name: both marked 1 by their check, and a
    // call into them holds with 16.
    {
        GuiBench b;
        Caller c(b, 100);
        Subroutine s(b, 400, 0.5);
        Subroutine twin(b, 600, 0.5);
        ASSERT_EQ(twin.head->m_strName, "Subroutine2");
        twin.head->m_strName = "Subroutine1";
        b.Reset();
        EXPECT_EQ(s.head->m_nStructureCheck, 1);
        EXPECT_EQ(twin.head->m_nStructureCheck, 1);
        EXPECT_EQ(s.head->m_nErrorCode, FLOW_ERR_SUB_EXISTS);
        EXPECT_EQ(twin.head->m_nErrorCode, FLOW_ERR_SUB_EXISTS);
        EXPECT_EQ(FlowErrorText(FLOW_ERR_SUB_EXISTS), "Error: This subroutine already exists");
        b.d.SetUpdateRate(20.0);
        Press(c.start, b.d);
        EXPECT_EQ(RunToStop(b, c.stop, 60), 60);
        EXPECT_EQ(c.call->m_nErrorCode, FLOW_ERR_SUB_WRONG);
        EXPECT_EQ(c.start->GetCallDepth(), 0);

        // A unique name again clears the mark on both.
        EXPECT_EQ(twin.head->OnPropertyCommand(36053, "Other"), 65);
        EXPECT_EQ(twin.head->m_nErrorCode, kFlowNoError);
        EXPECT_EQ(s.head->m_nErrorCode, kFlowNoError);
        EXPECT_EQ(s.head->m_nStructureCheck, 0);
    }
    // A subroutine calling itself: 6000.
    {
        GuiBench b;
        Caller c(b, 100);
        auto* head = b.Add<CFlowSubStart>(400, 40);
        auto* self = b.Add<CFlowGoSub>(400, 120);
        auto* ret = b.Add<CFlowReturn>(400, 220);
        b.Join(head->GetOutputTerminal(), self->GetTerminal(0));
        b.Join(self->GetOutputTerminal(), ret->GetTerminal(0));
        b.Reset();
        b.d.SetUpdateRate(20.0);
        Press(c.start, b.d);
        b.Run(40);
        EXPECT_EQ(self->m_nErrorCode, FLOW_ERR_OWN_SUB);
        EXPECT_EQ(FlowErrorText(FLOW_ERR_OWN_SUB), "Error: Cannot call own subroutine");
        EXPECT_EQ(c.start->GetCallDepth(), 1);
        EXPECT_FALSE(c.stop->m_bStopped);
    }
}

TEST(FlowSubroutine, TheCheckerWalksTheBodyWithTheSubroutineRules)
{
    // A stop in a subroutine body: 10; an unconnected return input is not
    // reached, but the head's open exit is: 3 (terminal 0 + 2 = 2 for a
    // head's only connector).
    GuiBench b;
    auto* head = b.Add<CFlowSubStart>(400, 40);
    auto* stop = b.Add<CFlowStop>(400, 120);
    b.Join(head->GetOutputTerminal(), stop->GetTerminal(0));
    auto* lone = b.Add<CFlowSubStart>(600, 40);
    b.Reset();
    EXPECT_EQ(stop->m_nErrorCode, FLOW_ERR_TO_SUB);
    EXPECT_EQ(FlowErrorText(stop->m_nErrorCode), "Error: Cannot connect this to Subroutine element");
    EXPECT_NE(head->m_nStructureCheck, 0);
    EXPECT_EQ(lone->m_nErrorCode, FLOW_ERR_NOT_CONNECTED);
    EXPECT_EQ(lone->m_nStructureCheck, 1);

    // A return wired into a main flowchart: 8 on the return.
    GuiBench m;
    auto* start = m.Add<CFlowStart>(100, 40);
    auto* ret = m.Add<CFlowReturn>(100, 120);
    m.Join(start->GetOutputTerminal(), ret->GetTerminal(0));
    m.Reset();
    EXPECT_EQ(ret->m_nErrorCode, FLOW_ERR_TO_START);
}

TEST(FlowSubroutine, PressingAgainInsideTheSubroutineStartsCleanly)
{
    // A restart while the body runs unwinds the call: the call element
    // stops calling and the subroutine is free, so the second run takes
    // the same 24 passes as the first.
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    b.Reset();
    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    b.Run(12);
    ASSERT_EQ(s.body->m_bActive, 1);
    Press(c.start, b.d);
    EXPECT_EQ(c.start->GetCallDepth(), 0);
    EXPECT_FALSE(s.head->IsBusy());
    EXPECT_EQ(c.call->m_bCalling, 0);
    EXPECT_EQ(s.body->m_bActive, 0);
    EXPECT_EQ(RunToStop(b, c.stop), 24);
}

TEST(FlowSubroutine, DeletingTheSubroutineMidCallFreesTheCaller)
{
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    b.Reset();
    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    b.Run(12);
    ASSERT_EQ(c.start->GetCallDepth(), 1);
    b.d.RemoveChild(s.head);
    delete s.head;
    EXPECT_EQ(c.start->GetCallDepth(), 0);
    EXPECT_EQ(s.body->m_pSubStart, nullptr);
    b.Run(5);
}

TEST(FlowSubroutine, DeletingACallerMidCallDropsItsCall)
{
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    b.Reset();
    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    b.Run(12);
    ASSERT_EQ(c.start->GetCallDepth(), 1);
    b.d.RemoveChild(c.call);
    delete c.call;
    EXPECT_EQ(c.start->GetCallDepth(), 0);
    EXPECT_FALSE(s.head->IsBusy());
    b.Run(30);
    EXPECT_EQ(c.start->GetCallDepth(), 0);
}

using Bytes = std::vector<uint8_t>;

Bytes WriteOne(CObject* part, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

template <class T>
std::unique_ptr<T> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    std::unique_ptr<T> out(dynamic_cast<T*>(p.get()));
    if (out) p.release();
    return out;
}

TEST(FlowSubroutineRecords, CallRoundTrip)
{
    CFlowGoSub g;
    g.m_strName = "Blink";
    g.m_strCaption = "Blink";
    g.m_bCalling = 1;
    g.m_bReturned = 0;
    g.m_bLeaving = 1;
    g.m_bControlInShown = 1;
    auto back = ReadOne<CFlowGoSub>(WriteOne(&g, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "Blink");
    EXPECT_EQ(back->m_bCalling, 1);
    EXPECT_EQ(back->m_bReturned, 0);
    EXPECT_EQ(back->m_bLeaving, 1);
    EXPECT_EQ(back->m_bControlInShown, 1);
    CFlowReturn r;
    auto rb = ReadOne<CFlowReturn>(WriteOne(&r, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(rb);
    EXPECT_EQ(rb->m_strCaption, "Return ");
}

TEST(FlowSubroutineRecords, SubroutineStartRoundTrip)
{
    // 200 depths, the entered flag, the check and the count: 4 x 203 bytes
    // after the element record.
    CFlowSubStart s;
    s.m_strName = "Blink";
    for (int i = 0; i < 5; ++i) s.m_members[i].depth = i + 1;
    s.m_nMemberCount = 5;
    s.m_nStructureCheck = 3;
    s.m_bEntered = 1;
    const Bytes bytes = WriteOne(&s, kCurrentVersion);
    CFlowSubStart fresh;
    fresh.m_strName = "Blink";
    fresh.m_bEntered = 0;
    EXPECT_EQ(bytes.size(), WriteOne(&fresh, kCurrentVersion).size());
    auto back = ReadOne<CFlowSubStart>(bytes, kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "Blink");
    EXPECT_EQ(back->m_nMemberCount, 5u);
    EXPECT_EQ(back->m_members[4].depth, 5);
    EXPECT_EQ(back->m_members[4].element, nullptr);
    EXPECT_EQ(back->m_members[5].depth, -1);
    EXPECT_EQ(back->m_nStructureCheck, 3);
    // No call survives a file: a subroutine saved with a caller inside is
    // free again.
    EXPECT_FALSE(back->IsBusy());
}

TEST(FlowSubroutineRecords, AMemberCountBeyondTheTableIsBounded)
{
    CFlowSubStart s;
    Bytes bytes = WriteOne(&s, kCurrentVersion);
    // The count is the record's last word.
    ASSERT_GE(bytes.size(), 4u);
    bytes[bytes.size() - 4] = 0xFF;
    bytes[bytes.size() - 3] = 0xFF;
    bytes[bytes.size() - 2] = 0xFF;
    bytes[bytes.size() - 1] = 0x7F;
    auto back = ReadOne<CFlowSubStart>(bytes, kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nMemberCount, static_cast<unsigned>(kFlowSubMemberSlots));
}

TEST(FlowSubroutineRecords, TruncatedRecordsThrowAndLeakNothing)
{
    CFlowSubStart s;
    CFlowGoSub g;
    CFlowReturn r;
    for (CObject* part : std::initializer_list<CObject*>{&s, &g, &r}) {
        const Bytes bytes = WriteOne(part, kCurrentVersion);
        int thrown = 0;
        for (size_t cut = 1; cut < bytes.size(); cut += 11) {
            Bytes piece(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
            CArchive ar(piece);
            ar.SetVersion(kCurrentVersion);
            try {
                std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
            } catch (const CException&) {
                ++thrown;
            }
        }
        EXPECT_GT(thrown, 0);
    }
}

TEST(FlowSubroutineRecords, ASubroutineInADesignRunsAfterLoading)
{
    GuiBench b;
    Caller c(b, 100);
    Subroutine s(b, 400, 0.5);
    s.head->OnPropertyCommand(36053, "Blink");
    c.call->OnPropertyCommand(36053, "Blink");
    b.Reset();
    auto loaded = LoadDesign(SaveDesign(b.d));
    ASSERT_TRUE(loaded);
    CFlowStart* start = dynamic_cast<CFlowStart*>(loaded->FindFlowStart("Flowchart 1"));
    ASSERT_NE(start, nullptr);
    CFlowStop* stop = nullptr;
    CFlowSubStart* head = nullptr;
    for (CPart* p : loaded->CollectFlowObjects()) {
        if (auto* x = dynamic_cast<CFlowStop*>(p)) stop = x;
        if (auto* x = dynamic_cast<CFlowSubStart*>(p)) head = x;
    }
    ASSERT_NE(stop, nullptr);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->m_strName, "Blink");
    loaded->ResetRun(0);
    EXPECT_EQ(head->m_nStructureCheck, 0);
    loaded->SetUpdateRate(20.0);
    Press(start, *loaded);
    int passes = 0;
    while (!stop->m_bStopped && passes < 100) {
        loaded->RunSolverPass();
        ++passes;
    }
    EXPECT_EQ(passes, 24);
}

} // namespace
