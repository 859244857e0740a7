// The start element: unique names, renaming, the name label, the variable
// table, the call stack's limits and the answers without a microcontroller.
#include "flow_start_support.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_stop.h"
#include "flowchart/meter_message.h"
#include "flowchart/panel_buttons.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FlowStart, NewStartsAreNumbered)
{
    GuiBench b;
    auto* a = b.Add<CFlowStart>(100, 40);
    auto* c = b.Add<CFlowStart>(300, 40);
    auto* e = b.Add<CFlowStart>(500, 40);
    EXPECT_EQ(a->m_strName, "Flowchart 1");
    EXPECT_EQ(c->m_strName, "Flowchart 2");
    EXPECT_EQ(e->m_strName, "Flowchart 3");
    EXPECT_STREQ(c->GetLinkName(), "Flowchart 2");
    EXPECT_EQ(b.d.FindFlowStart("Flowchart 3"), e);
    EXPECT_EQ(a->m_strCaption, "Start");
}

TEST(FlowStart, AStartMadeOutsideTheDesignTakesAFreeNameWhenDropped)
{
    // The Add command makes the part before it knows its design.
    GuiBench b;
    b.Add<CFlowStart>(100, 40);
    auto* s = new CFlowStart;
    s->m_rect.SetRect(300, 40, 300, 40);
    s->Initialise();
    EXPECT_EQ(s->m_strName, "Flowchart 1");
    s->AttachToCircuit(&b.d);
    b.d.AddChild(s);
    s->Drop(&b.d);
    EXPECT_EQ(s->m_strName, "Flowchart 2");
}

TEST(FlowStart, ChildrenAreTheButtonsAndTwoLabels)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    int startButtons = 0, recordButtons = 0, labels = 0;
    for (CPart* c = s->GetFirstChild(); c; c = c->GetNextSibling()) {
        startButtons += c->IsKindOf("CFlowStartButton");
        recordButtons += c->IsKindOf("CFlowRecordButton");
        labels += c->IsKindOf("CFlowMeterMessage");
    }
    EXPECT_EQ(startButtons, 1);
    EXPECT_EQ(recordButtons, 1);
    EXPECT_EQ(labels, 2);
    EXPECT_EQ(s->GetTerminalCount(), 1);
    // "No" for the program button takes the record button away.
    EXPECT_EQ(s->OnPropertyCommand(36059, "No"), 65);
    EXPECT_EQ(s->m_bHasRecordButton, 0);
    for (CPart* c = s->GetFirstChild(); c; c = c->GetNextSibling()) EXPECT_FALSE(c->IsKindOf("CFlowRecordButton"));
    EXPECT_EQ(s->OnPropertyCommand(36059, "Yes"), 65);
    EXPECT_EQ(s->m_bHasRecordButton, 1);
}

TEST(FlowStart, RenamingToATakenNameKeepsTheOldOne)
{
    GuiBench b;
    auto* a = b.Add<CFlowStart>(100, 40);
    auto* c = b.Add<CFlowStart>(300, 40);
    EXPECT_EQ(c->OnPropertyCommand(36053, "Flowchart 1"), 0);
    EXPECT_EQ(c->m_strName, "Flowchart 2");
    EXPECT_EQ(c->OnPropertyCommand(36053, "Lights"), 65);
    EXPECT_EQ(c->m_strName, "Lights");
    EXPECT_EQ(a->m_strName, "Flowchart 1");
    CControlItemList items;
    c->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 5);
    EXPECT_EQ(items[0].id, 36053);
    EXPECT_EQ(items[3].label, "Yes\nNo");
    EXPECT_EQ(items[4].id, 33851);
    c->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "Lights");
    EXPECT_EQ(items[items.FindById(36059)].label, "Yes");
}

TEST(FlowStart, ALongNameShowsItsHeadAndTwoDots)
{
    ASSERT_TRUE(EnsureGuiApp());
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    const CString name = "The traffic lights at the crossing by the school gate";
    ASSERT_EQ(s->OnPropertyCommand(36053, name), 65);
    const CString& shown = s->m_strDisplayName;
    ASSERT_GT(shown.size(), 2u);
    EXPECT_LT(shown.size(), name.size());
    EXPECT_EQ(shown.substr(shown.size() - 2), "..");
    EXPECT_EQ(name.compare(0, shown.size() - 2, shown.substr(0, shown.size() - 2)), 0);
    EXPECT_EQ(s->m_strName, name);
}

TEST(FlowStart, VariablesCompareWithoutCaseAndTheTableHoldsTwoHundred)
{
    CFlowStart s;
    EXPECT_EQ(s.GetVariable("x"), -1);
    EXPECT_FALSE(s.HasVariable("x"));
    EXPECT_EQ(s.AddVariable("Count"), 0);
    EXPECT_TRUE(s.HasVariable("COUNT"));
    EXPECT_EQ(s.GetVariable("count"), -1); // no value yet
    s.SetVariable("count", 12);
    EXPECT_EQ(s.GetVariable("Count"), 12);
    s.RenameVariable("COUNT", "Total");
    EXPECT_EQ(s.GetVariable("total"), 12);
    for (int i = 1; i < kFlowVariableSlots; ++i) ASSERT_EQ(s.AddVariable("v" + std::to_string(i)), 0) << i;
    EXPECT_EQ(s.GetVariableCount(), 200);
    EXPECT_EQ(s.AddVariable("one too many"), 1);
    EXPECT_EQ(s.GetVariableCount(), 200);
    s.SetVariable("also too many", 3);
    EXPECT_FALSE(s.HasVariable("also too many"));
    s.ClearVariables();
    EXPECT_EQ(s.GetVariableCount(), 0);
    EXPECT_EQ(s.GetVariable("total"), -1);
}

TEST(FlowStart, CallStackLimits)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    EXPECT_EQ(s->CallSubroutine("missing", s), FLOW_ERR_NO_SUB);
    s->m_nCallDepth = kFlowCallDepth;
    EXPECT_EQ(s->CallSubroutine("missing", s), FLOW_ERR_TOO_MANY_SUBS);
    EXPECT_EQ(FlowErrorText(FLOW_ERR_TOO_MANY_SUBS), "Error: Too many subroutines");
    s->UnwindCalls(nullptr);
    EXPECT_EQ(s->GetCallDepth(), 0);
    s->Return();
    EXPECT_EQ(s->GetCallDepth(), 0);
}

TEST(FlowStart, AnswersWithoutAMicrocontroller)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    EXPECT_EQ(s->HasChip(), 0);
    EXPECT_EQ(s->FindChip(), nullptr);
    EXPECT_EQ(s->GetOutputLabels(), "Output3\nOutput2\nOutput1\nOutput0");
    EXPECT_EQ(s->GetInputLabels(), "Input0\nInput1\nInput2\nInput3");
    EXPECT_EQ(s->GetAnalogLabels(), "a_Input0");
    EXPECT_EQ(s->GetMotorLabels(), "Output2\nOutput1\nOutput0");
    EXPECT_EQ(s->ReadInput("Input0"), -1);
    EXPECT_EQ(s->SetOutputPin("Output0", 1), -1);
    EXPECT_EQ(s->GetInputPinIndex("Input3"), 3);
    EXPECT_EQ(s->GetInputPinIndex("Input"), 50);
    EXPECT_EQ(s->GetInputPinIndex("Switch"), 50);
    EXPECT_EQ(s->GetAnalogPinIndex("a_Input1"), 1);
    EXPECT_EQ(s->GetAnalogPinIndex("Input1"), 50);
    EXPECT_EQ(s->GetNextOutputLabel("Output2"), "Output3");
    EXPECT_EQ(s->GetNextOutputLabel("Lamp"), "INTERNAL - DON'T TRANSLATE");
    EXPECT_EQ(s->GetMicrocontrollerClass(), b.d.m_strMicroClass);
    b.d.m_strMicroClass = "STAMP";
    EXPECT_EQ(s->GetInputCount(), 4);
    b.d.m_strMicroClass = "18 pin PIC";
    EXPECT_EQ(s->GetInputCount(), 8);
    CString text;
    int code = -1;
    s->GetBasicText(text, &code, s);
    EXPECT_EQ(text, "main:    ");
    EXPECT_EQ(code, 0);
}

TEST(FlowStart, AMicrocontrollerHeldInResetIgnoresThePress)
{
    GuiBench b;
    auto* s = b.Add<CChipStart>(100, 40);
    b.Join(s->GetOutputTerminal(), b.Add<CFlowStop>(100, 120)->GetTerminal(0));
    CFakeChip chip;
    s->chip = &chip;
    b.Reset();
    ASSERT_EQ(s->m_nCheckResult, 0);
    chip.heldInReset = true;
    Press(s, b.d);
    EXPECT_FALSE(s->m_bActive);
    EXPECT_EQ(chip.resets, 0);
    chip.heldInReset = false;
    s->SetVariable("x", 4);
    Press(s, b.d);
    EXPECT_TRUE(s->m_bActive);
    EXPECT_EQ(chip.resets, 1);
    EXPECT_EQ(s->GetVariableCount(), 0); // a new run starts without variables
}

TEST(FlowStart, TheRecordButtonDoesNotRunTheFlowchart)
{
    GuiBench b;
    auto* s = b.Add<CFlowStart>(100, 40);
    b.Join(s->GetOutputTerminal(), b.Add<CFlowStop>(100, 120)->GetTerminal(0));
    b.Reset();
    CFlowRecordButton* record = nullptr;
    for (CPart* c = s->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* r = dynamic_cast<CFlowRecordButton*>(c)) record = r;
    ASSERT_NE(record, nullptr);
    record->OnPress(&b.d, 0, 0);
    record->OnRelease(&b.d, 0, 0);
    EXPECT_FALSE(s->m_bActive);
    CFlowStartButton* start = nullptr;
    for (CPart* c = s->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* r = dynamic_cast<CFlowStartButton*>(c)) start = r;
    ASSERT_NE(start, nullptr);
    start->OnPress(&b.d, 0, 0);
    start->OnRelease(&b.d, 0, 0);
    EXPECT_TRUE(s->m_bActive);
}

} // namespace
