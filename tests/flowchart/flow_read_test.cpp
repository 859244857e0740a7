// The read and display elements: a number typed into the flowchart's input
// boxes reaches the variable and hands control on, the codes that hold a
// flowchart (no box, a number above the range), what the display element
// prints into the display boxes, their captions, BASIC lines and records.
#include "flow_vars_support.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_export.h"
#include "flowchart/flow_gosub.h"
#include "flowchart/flow_inputbox.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_read.h"
#include "flowchart/flow_return.h"
#include "flowchart/flow_substart.h"
#include "flowchart/flow_variable.h"
#include "flowchart/flow_write.h"
#include "flowchart/flow_writebox.h"
#include "flowchart/panel_buttons.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"

#include "record_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace records;

// A panel bound to a flowchart by name.
template <class T>
T* AddPanel(ChipFlowBench& b, int x, int y, const CString& flowchart)
{
    auto* p = new T;
    p->m_rect.OffsetRect(x, y);
    p->m_pCircuit = &b.d;
    p->Initialise();
    b.d.AddChild(p);
    p->m_strFlowchart = flowchart;
    return p;
}

// Types into a box and presses its submit button (down, then up).
void Submit(ChipFlowBench& b, CInputBox* box, const char* typed)
{
    box->CText::SetText(typed);
    CFlowSubmitButton* button = box->GetSubmitButton();
    ASSERT_NE(button, nullptr);
    const CPoint at = button->m_rect.CenterPoint();
    button->OnPress(&b.d, at.x, at.y);
    button->OnRelease(&b.d, at.x, at.y);
}

// start -> read -> stop, run by a chip, pressed and run `passes` passes.
struct ReadRig {
    ChipFlowBench b;
    CFlowStart* start;
    CFlowRead* read;
    CFlowStop* stop;
    ReadRig()
    {
        b.AddChip(600, 40, 4, 0, 0, 4);
        start = b.AddFlow<CFlowStart>(100, 40);
        read = b.AddFlow<CFlowRead>(100, 120);
        stop = b.AddFlow<CFlowStop>(100, 220);
        b.Chain({start, read, stop});
    }
    void PressAndRun(int passes)
    {
        b.d.ResetRun(0);
        b.d.SetUpdateRate(20.0);
        Press(start, b.d);
        b.Run(passes);
    }
};

// ---- read ----

// The read waits with both bound boxes armed; the first number submitted
// is stored the pass after and both boxes disarm; the exit drives in the
// pass after that, in which the stop is reached.
TEST(FlowRead, TheFirstOfTwoBoxesGivesTheValue)
{
    ReadRig r;
    auto* one = AddPanel<CInputBox>(r.b, 400, 40, "Flowchart 1");
    auto* two = AddPanel<CInputBox>(r.b, 400, 100, "flowchart 1");
    auto* stray = AddPanel<CInputBox>(r.b, 400, 160, "Flowchart 9");
    r.read->OnPropertyCommand(36053, "Count");
    r.PressAndRun(40);
    EXPECT_TRUE(r.read->m_bActive);
    EXPECT_EQ(r.read->m_bWaiting, 1);
    EXPECT_EQ(r.read->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(r.start->GetCurrentElement(), r.read);
    EXPECT_FALSE(r.stop->m_bStopped);
    EXPECT_TRUE(one->IsArmed());
    EXPECT_TRUE(two->IsArmed());
    EXPECT_FALSE(stray->IsArmed());
    EXPECT_FALSE(r.start->HasVariable("count"));

    Submit(r.b, two, "42");
    EXPECT_FALSE(one->IsArmed());
    r.b.Run();
    EXPECT_EQ(r.start->GetVariable("count"), 42);
    EXPECT_EQ(r.read->m_bWaiting, 0);
    EXPECT_EQ(r.read->m_bFinishing, 1);
    EXPECT_FALSE(one->IsArmed());
    EXPECT_FALSE(two->IsArmed());
    EXPECT_FALSE(r.stop->m_bStopped);
    r.b.Run();
    EXPECT_TRUE(r.stop->m_bStopped);
    EXPECT_FALSE(r.read->m_bActive);
    // A late submit into a disarmed box changes nothing.
    Submit(r.b, one, "7");
    r.b.Run();
    EXPECT_EQ(r.start->GetVariable("count"), 42);
}

TEST(FlowRead, CodesThatHoldTheFlowchart)
{
    struct Case {
        bool box;
        const char* typed;
        int range;
        int code;
        int stored;
    };
    // No box: 258.  A number above the range (compared unsigned, so a
    // negative one too): the variable is made but keeps no value, 128.
    for (const Case c : {Case{false, "", 255, FLOW_ERR_NO_INPUT_BOX, kFlowNoValue},
                         Case{true, "256", 255, FLOW_ERR_RANGE, kFlowNoValue},
                         Case{true, "-3", 255, FLOW_ERR_RANGE, kFlowNoValue},
                         Case{true, "256", 1000, kFlowNoError, 256}, Case{true, "255", 255, kFlowNoError, 255}}) {
        ReadRig r;
        CInputBox* box = c.box ? AddPanel<CInputBox>(r.b, 400, 40, "Flowchart 1") : nullptr;
        r.b.d.m_nVariableRange = c.range;
        r.PressAndRun(20);
        if (box) {
            EXPECT_EQ(r.read->m_nErrorCode, kFlowNoError);
            Submit(r.b, box, c.typed);
            r.b.Run(30);
        }
        EXPECT_EQ(r.read->m_nErrorCode, c.code) << c.typed;
        EXPECT_EQ(r.stop->m_bStopped, c.code == kFlowNoError) << c.typed;
        EXPECT_EQ(r.start->GetVariable("x"), c.stored) << c.typed;
        EXPECT_EQ(r.start->HasVariable("x"), c.box) << c.typed;
    }
    ReadRig r;
    r.PressAndRun(20);
    CString info;
    r.read->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Error: Cannot find input box");
}

TEST(FlowRead, AFullTableRefusesTheNumber)
{
    ReadRig r;
    auto* box = AddPanel<CInputBox>(r.b, 400, 40, "Flowchart 1");
    r.PressAndRun(20);
    for (int i = 0; i < kFlowVariableSlots; ++i) r.start->SetVariable("v" + std::to_string(i), i);
    Submit(r.b, box, "5");
    r.b.Run(5);
    EXPECT_EQ(r.read->m_nErrorCode, FLOW_ERR_TOO_MANY_VARIABLES);
    EXPECT_FALSE(r.start->HasVariable("x"));
}

TEST(FlowRead, PressingTheStartAgainEndsTheWait)
{
    ReadRig r;
    auto* box = AddPanel<CInputBox>(r.b, 400, 40, "Flowchart 1");
    r.PressAndRun(20);
    ASSERT_EQ(r.read->m_bWaiting, 1);
    Press(r.start, r.b.d);
    EXPECT_FALSE(box->IsArmed());
    EXPECT_FALSE(r.read->m_bActive);
    r.b.Run();
    EXPECT_EQ(r.read->m_bWaiting, 0);
    // The run reaches the read again and waits again.
    r.b.Run(20);
    EXPECT_EQ(r.read->m_bWaiting, 1);
    EXPECT_TRUE(box->IsArmed());
}

TEST(FlowRead, OutsideAFlowchartNothingIsAsked)
{
    ChipFlowBench b;
    auto* box = AddPanel<CInputBox>(b, 400, 40, "Flowchart 1");
    auto* read = b.AddFlow<CFlowRead>(100, 120);
    read->m_bActive = 1;
    read->m_bFinishing = 1;
    b.Start(20.0);
    b.Run(3);
    EXPECT_EQ(read->m_bFinishing, 0);
    EXPECT_EQ(read->m_bWaiting, 0);
    EXPECT_FALSE(box->IsArmed());
}

TEST(FlowRead, CaptionPropertiesAndBasic)
{
    ChipFlowBench b;
    auto* read = b.AddFlow<CFlowRead>(100, 120);
    EXPECT_EQ(read->m_strCaption, "Read x");
    EXPECT_EQ(read->m_strMessageTag, "Read into x");
    CControlItemList items;
    read->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 3);
    EXPECT_EQ(items[0].label, "Read into ");
    EXPECT_EQ(items[0].id, 36052);
    EXPECT_EQ(items[1].id, 36053);
    EXPECT_EQ(items[2].id, 33870);
    EXPECT_EQ(read->OnPropertyCommand(36053, "two words"), 65);
    EXPECT_EQ(read->m_strName, "x");
    EXPECT_EQ(read->OnPropertyCommand(36053, ""), 65);
    EXPECT_EQ(read->m_strName, " ");
    read->OnPropertyCommand(36053, "temperatureofthewater");
    EXPECT_EQ(read->m_strMessageTag, "Read into temperatureofthewater");
    EXPECT_EQ(read->m_strCaption.compare(0, 5, "Read "), 0);
    EXPECT_EQ(read->m_strCaption.substr(read->m_strCaption.size() - 2), "..");
    read->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "temperatureofthewater");
    EXPECT_EQ(read->OnPropertyCommand(36099, "x"), 0);

    read->OnPropertyCommand(36053, "n");
    CString text;
    int code = 0;
    read->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "' Read into n\n");
    EXPECT_EQ(code, 2006);
}

TEST(FlowRead, RecordRoundTrip)
{
    CFlowRead r;
    r.m_strName = "level";
    r.m_bWaiting = 1;
    const Bytes bytes = WriteOne(&r);
    auto back = ReadOne<CFlowRead>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "level");
    EXPECT_EQ(back->m_bWaiting, 1);
    EXPECT_EQ(WriteOne(back.get()), bytes);
    ExpectTruncationsThrow(bytes);
}

// start -> call Subroutine1 -> display x -> stop; Subroutine1 -> read x ->
// return.  The read in the subroutine waits on the calling flowchart's
// boxes and stores into its variables.
TEST(FlowRead, InASubroutineItServesTheCallingFlowchart)
{
    ChipFlowBench b;
    b.AddChip(700, 40, 4, 0, 0, 4);
    auto* box = AddPanel<CInputBox>(b, 900, 400, "Flowchart 1");
    auto* shown = AddPanel<CWriteBox>(b, 900, 600, "Flowchart 1");
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* call = b.AddFlow<CFlowGoSub>(100, 120);
    auto* show = b.AddFlow<CFlowWrite>(100, 220);
    auto* stop = b.AddFlow<CFlowStop>(100, 320);
    b.Chain({start, call, show, stop});
    auto* head = b.AddFlow<CFlowSubStart>(400, 40);
    auto* read = b.AddFlow<CFlowRead>(400, 120);
    auto* ret = b.AddFlow<CFlowReturn>(400, 220);
    b.Chain({head, read, ret});
    ASSERT_EQ(call->m_strName, head->m_strName);
    b.d.ResetRun(0);
    b.d.SetUpdateRate(20.0);
    Press(start, b.d);
    b.Run(60);
    EXPECT_EQ(read->m_bWaiting, 1);
    EXPECT_TRUE(box->IsArmed());
    EXPECT_EQ(read->m_nErrorCode, kFlowNoError);
    Submit(b, box, "99");
    for (int i = 0; i < 60 && !stop->m_bStopped; ++i) b.Run();
    EXPECT_TRUE(stop->m_bStopped);
    EXPECT_EQ(start->GetVariable("x"), 99);
    EXPECT_EQ(shown->m_strPanelText, shown->Title() + "99");
}

// ---- display ----

// start -> x = 7 -> display value of x -> display text -> new line -> stop,
// with two display boxes bound.
TEST(FlowWrite, PrintsValuesTextsAndLineBreaks)
{
    ChipFlowBench b;
    b.AddChip(600, 40, 4, 0, 0, 4);
    auto* one = AddPanel<CWriteBox>(b, 400, 40, "Flowchart 1");
    auto* two = AddPanel<CWriteBox>(b, 400, 200, "FLOWCHART 1");
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* assign = b.AddFlow<CFlowVariable>(100, 120);
    auto* value = b.AddFlow<CFlowWrite>(100, 200);
    auto* text = b.AddFlow<CFlowWrite>(100, 280);
    auto* line = b.AddFlow<CFlowWrite>(100, 360);
    auto* stop = b.AddFlow<CFlowStop>(100, 460);
    b.Chain({start, assign, value, text, line, stop});
    assign->OnPropertyCommand(36059, "7");
    EXPECT_EQ(text->OnPropertyCommand(36059, "text"), 65);
    EXPECT_EQ(text->OnPropertyCommand(36053, " is x"), 65);
    line->OnPropertyCommand(36059, "new line");
    EXPECT_EQ(text->m_nMode, CFlowWrite::kModeText);
    EXPECT_EQ(line->m_nMode, CFlowWrite::kModeNewLine);
    ASSERT_GT(b.RunToStop(start, stop), 0);
    for (CWriteBox* box : {one, two}) EXPECT_EQ(box->m_strPanelText, box->Title() + "7 is x\n");
    EXPECT_EQ(value->m_nErrorCode, kFlowNoError);
}

TEST(FlowWrite, AVariableWithoutAValueHolds)
{
    ChipFlowBench b;
    auto* box = AddPanel<CWriteBox>(b, 400, 40, "Flowchart 1");
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* value = b.AddFlow<CFlowWrite>(100, 120);
    auto* stop = b.AddFlow<CFlowStop>(100, 220);
    b.Chain({start, value, stop});
    EXPECT_EQ(b.RunToStop(start, stop, 60), -1);
    EXPECT_EQ(value->m_nErrorCode, FLOW_ERR_NO_VALUE);
    EXPECT_EQ(box->m_strPanelText, box->Title());
    // Outside a flowchart control passes and nothing is printed.
    auto* loose = b.AddFlow<CFlowWrite>(400, 400);
    EXPECT_EQ(loose->Validate(), kFlowNoError);
}

TEST(FlowWrite, CaptionsFollowTheMode)
{
    ChipFlowBench b;
    auto* w = b.AddFlow<CFlowWrite>(100, 120);
    EXPECT_EQ(w->m_strCaption, "Display x");
    EXPECT_EQ(w->m_strMessageTag, "Display x");
    w->OnPropertyCommand(36053, "a b");
    EXPECT_EQ(w->m_strName, "x");
    w->OnPropertyCommand(36059, "text");
    w->OnPropertyCommand(36053, "Hi there");
    EXPECT_EQ(w->m_strCaption, "Display Hi there");
    EXPECT_EQ(w->m_strMessageTag, "Display Hi there\"");
    w->OnPropertyCommand(36053, "a much longer text than the label can show");
    // Cut while it overflows, then three more characters make room for "..".
    EXPECT_EQ(w->m_strCaption.substr(w->m_strCaption.size() - 2), "..");
    EXPECT_LT(w->m_strCaption.size(), w->m_strMessageTag.size() - 3);
    w->OnPropertyCommand(36059, "new line");
    EXPECT_EQ(w->m_strCaption, "Display new line");
    EXPECT_EQ(w->m_strMessageTag, "Display new line");
    // Another mode text keeps the mode.
    w->OnPropertyCommand(36059, "nonsense");
    EXPECT_EQ(w->m_nMode, CFlowWrite::kModeNewLine);

    CControlItemList items;
    w->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 4);
    EXPECT_EQ(items[0].label, " Display");
    EXPECT_EQ(items[1].label, "value of\ntext\nnew line");
    EXPECT_EQ(items[1].id, 36059);
    EXPECT_EQ(items[2].id, 36053);
    EXPECT_EQ(items[3].id, 33869);
    int enabled = 1;
    w->IsPropertyChecked(36053, enabled);
    EXPECT_EQ(enabled, 0);
    w->OnPropertyCommand(36059, "value of");
    enabled = 1;
    w->IsPropertyChecked(36053, enabled);
    EXPECT_EQ(enabled, 1);

    CString text;
    int code = 0;
    w->OnPropertyCommand(36053, "n");
    w->GetBasicText(text, &code, nullptr);
    EXPECT_EQ(text, "' Display n\n");
    EXPECT_EQ(code, 2007);
}

TEST(FlowWrite, RecordRoundTrip)
{
    CFlowWrite w;
    w.m_strName = "hello";
    w.m_nMode = CFlowWrite::kModeText;
    w.m_strModeText = "text";
    const Bytes bytes = WriteOne(&w);
    auto back = ReadOne<CFlowWrite>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "hello");
    EXPECT_EQ(back->m_nMode, CFlowWrite::kModeText);
    EXPECT_EQ(back->m_strModeText, "text");
    EXPECT_EQ(WriteOne(back.get()), bytes);
    ExpectTruncationsThrow(bytes);
    // A mode no element writes prints the variable.
    w.m_nMode = 9;
    auto odd = ReadOne<CFlowWrite>(WriteOne(&w));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->m_nMode, CFlowWrite::kModeValue);
}

// start -> read -> display -> stop: two comment lines, and the warning of
// the last element that left one (the display's 2007 after the read's
// 2006); the text stays usable.
TEST(FlowReadExport, CommentLinesAndTheirWarning)
{
    ChipFlowBench b;
    b.d.m_strMicroClass = "28 pin PIC";
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* read = b.AddFlow<CFlowRead>(100, 120);
    auto* show = b.AddFlow<CFlowWrite>(100, 220);
    auto* stop = b.AddFlow<CFlowStop>(100, 320);
    b.Chain({start, read, show, stop});
    b.d.ResetRun(0);
    CString text;
    int code = -1;
    start->ExportBasic(text, &code);
    EXPECT_EQ(code, 2007);
    EXPECT_TRUE(IsFlowExportWarning(code));
    EXPECT_EQ(text, "main:    ' Read into x\n"
                    "            ' Display x\n"
                    "            end\n");
}

} // namespace
