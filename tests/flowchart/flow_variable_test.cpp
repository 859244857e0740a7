// The variable, increment and variable-test elements: results against hand
// arithmetic (range limits, rounded division, no wrap-around), the codes
// that hold a flowchart, the typed operands, the captions, a counting loop
// run on a microcontroller part, and the records.
#include "flow_vars_support.h"
#include "flowchart/flow_checkvar.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_increment.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_variable.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "tests/model/design_roundtrip.h"

#include "record_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// start -> element -> stop, checked, with the element claimed by the start.
template <class T>
struct One {
    ChipFlowBench b;
    CFlowStart* start;
    T* e;
    CFlowStop* stop;
    One()
    {
        start = b.AddFlow<CFlowStart>(100, 40);
        e = b.AddFlow<T>(100, 120);
        stop = b.AddFlow<CFlowStop>(100, 320);
        b.Chain({start, e});
        if (e->GetTerminalCount() == 3) {
            // The test's second exit ends at a stop of its own.
            auto* other = b.AddFlow<CFlowStop>(400, 320);
            b.Join(e->GetTerminal(2), other->GetTerminal(0));
        }
        b.Join(e->GetTerminal(1), stop->GetTerminal(0));
        b.d.ResetRun(0);
    }
};

// ---- assignment ----

struct AssignCase {
    const char* first;
    const char* op;
    const char* second;
    int range;
    int value; // stored in x
    int code;
};

class FlowAssign : public ::testing::TestWithParam<AssignCase> {};

TEST_P(FlowAssign, StoresTheHandResult)
{
    const AssignCase c = GetParam();
    One<CFlowVariable> t;
    ASSERT_EQ(t.start->m_nCheckResult, 0);
    t.b.d.m_nVariableRange = c.range;
    EXPECT_EQ(t.e->OnPropertyCommand(36059, c.first), 65);
    EXPECT_EQ(t.e->OnPropertyCommand(36065, c.op), 65);
    EXPECT_EQ(t.e->OnPropertyCommand(36081, c.second), 65);
    t.start->SetVariable("y", 9);
    EXPECT_EQ(t.e->Validate(), c.code);
    EXPECT_EQ(t.e->m_nErrorCode, c.code);
    EXPECT_EQ(t.start->GetVariable("x"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Results, FlowAssign,
    ::testing::Values(
        // Plain assignment and the four operators in the range.
        AssignCase{"7", " ", "", 255, 7, -1}, AssignCase{"y", " ", "", 255, 9, -1},
        AssignCase{"200", " + ", "55", 255, 255, -1}, AssignCase{"15", " * ", "17", 255, 255, -1},
        AssignCase{"y", " * ", "3", 255, 27, -1}, AssignCase{"5", " - ", "5", 255, 0, -1},
        // Division rounds halves away from zero: 3.5 -> 4, 2.5 -> 3, 4.5
        // -> 5; 1/3 -> 0 and 2/3 -> 1.
        AssignCase{"7", " / ", "2", 255, 4, -1}, AssignCase{"5", " / ", "2", 255, 3, -1},
        AssignCase{"y", " / ", "2", 255, 5, -1}, AssignCase{"1", " / ", "3", 255, 0, -1},
        AssignCase{"2", " / ", "3", 255, 1, -1}, AssignCase{"10", " / ", "4", 255, 3, -1},
        // Out of the range: the markers and code 128.
        AssignCase{"3", " / ", "0", 255, -2, 128}, AssignCase{"200", " + ", "100", 255, -2, 128},
        AssignCase{"3", " - ", "5", 255, -10, 128}, AssignCase{"16", " * ", "16", 255, -2, 128},
        AssignCase{"255", " + ", "1", 255, -2, 128},
        // A wider range takes what 255 does not; 3 / 0 is still above it.
        AssignCase{"200", " + ", "100", 1000, 300, -1}, AssignCase{"3", " / ", "0", 1000, -2, 128},
        AssignCase{"100", " * ", "100", 10000, 10000, -1}));

TEST(FlowVariable, ProductsDoNotWrapBackIntoTheRange)
{
    // 65536 x 65536 is 2^32, which 32-bit arithmetic would make 0; numbers
    // this large come only from a file (typed ones stop at the range).
    struct Case {
        double a, b;
        unsigned op;
    };
    for (const Case c : {Case{65536, 65536, 2}, Case{70000, 70000, 2}, Case{2147483647.0, 2147483647.0, 0}}) {
        One<CFlowVariable> t;
        t.e->m_bNoOperator = 0;
        t.e->m_nOperator = c.op;
        t.e->m_parameter.SetValue(c.a, kPrefixNone);
        t.e->m_second.SetValue(c.b, kPrefixNone);
        EXPECT_EQ(t.e->Validate(), FLOW_ERR_RANGE) << c.a;
        EXPECT_EQ(t.start->GetVariable("x"), kFlowAboveRange) << c.a;
    }
    EXPECT_EQ(CFlowVariable::Evaluate(65536, 65536, 2, false, 255), 4294967296LL);
    EXPECT_EQ(CFlowVariable::Evaluate(-7, 2, 3, false, 255), -4);
    // An operator index past the four gives the range itself.
    EXPECT_EQ(CFlowVariable::Evaluate(1, 1, 9, false, 255), 255);
}

TEST(FlowVariable, TypedNumbersStopAtTheRange)
{
    One<CFlowVariable> t;
    // 300 with range 255: clamped, answered with the clamp status.
    EXPECT_EQ(t.e->OnPropertyCommand(36059, "300"), 2 | 0x40);
    EXPECT_DOUBLE_EQ(t.e->m_parameter.value, 255.0);
    EXPECT_EQ(t.e->m_strCaption, "x = 255");
    EXPECT_EQ(t.e->OnPropertyCommand(36059, "-4"), 2 | 0x40);
    EXPECT_DOUBLE_EQ(t.e->m_parameter.value, 0.0);
}

TEST(FlowVariable, OperandsAreNumbersOrNames)
{
    struct Case {
        const char* text;
        int isVariable;
        const char* name;
        double number;
    };
    // "0..." and texts that read as a non-zero number are numbers; anything
    // else names a variable (a blank in it makes it "x"; empty is " ").
    const Case cases[] = {{"0", 0, " ", 0.0},       {"12", 0, " ", 12.0},   {"abc", 1, "abc", 0.0},
                          {"0abc", 0, " ", 0.0},    {"3cats", 0, " ", 3.0}, {"my var", 1, "x", 0.0},
                          {"", 1, " ", 0.0},        {"Count", 1, "Count", 0.0}};
    for (const Case& c : cases) {
        One<CFlowVariable> t;
        t.e->OnPropertyCommand(36059, c.text);
        EXPECT_EQ(t.e->m_bFirstIsVariable, c.isVariable) << c.text;
        EXPECT_EQ(t.e->m_strFirst, c.name) << c.text;
        if (!c.isVariable) {
            EXPECT_DOUBLE_EQ(t.e->m_parameter.value, c.number) << c.text;
        }
    }
}

TEST(FlowVariable, ANameWithABlankBecomesX)
{
    One<CFlowVariable> t;
    EXPECT_EQ(t.e->OnPropertyCommand(36053, "my count"), 65);
    EXPECT_EQ(t.e->m_strName, "x");
    t.e->OnPropertyCommand(36053, "");
    EXPECT_EQ(t.e->m_strName, " ");
    t.e->OnPropertyCommand(36053, "total");
    t.e->OnPropertyCommand(36065, " + ");
    t.e->OnPropertyCommand(36081, "a b");
    EXPECT_EQ(t.e->m_strSecond, "y");
}

TEST(FlowVariable, SelfReferenceOfANewVariableCreatesNothing)
{
    One<CFlowVariable> t;
    t.e->OnPropertyCommand(36059, "x");
    t.e->OnPropertyCommand(36065, " + ");
    t.e->OnPropertyCommand(36081, "1");
    EXPECT_EQ(t.e->m_strCaption, "x = x + 1");
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    EXPECT_FALSE(t.start->HasVariable("x"));
    // The second operand too, spelt in another case.
    t.e->OnPropertyCommand(36059, "2");
    t.e->OnPropertyCommand(36081, "X");
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    EXPECT_FALSE(t.start->HasVariable("x"));
    // Once x has a value it counts on from it.
    t.start->SetVariable("x", 40);
    EXPECT_EQ(t.e->Validate(), kFlowNoError);
    EXPECT_EQ(t.start->GetVariable("x"), 42);
}

TEST(FlowVariable, AHiddenSecondOperandDoesNotHoldAPlainAssignment)
{
    One<CFlowVariable> t;
    t.e->OnPropertyCommand(36065, " + ");
    t.e->OnPropertyCommand(36081, "x");
    t.e->OnPropertyCommand(36065, " ");
    EXPECT_EQ(t.e->m_bNoOperator, 1);
    int enabled = 1;
    t.e->IsPropertyChecked(36081, enabled);
    EXPECT_EQ(enabled, 0);
    t.e->OnPropertyCommand(36059, "5");
    EXPECT_EQ(t.e->Validate(), kFlowNoError);
    EXPECT_EQ(t.start->GetVariable("x"), 5);
}

TEST(FlowVariable, NamesDifferingInCaseAreOneVariable)
{
    One<CFlowVariable> t;
    t.e->OnPropertyCommand(36053, "Total");
    t.e->OnPropertyCommand(36059, "TOTAL");
    t.e->OnPropertyCommand(36065, " + ");
    t.e->OnPropertyCommand(36081, "total");
    t.start->SetVariable("total", 6);
    EXPECT_EQ(t.e->Validate(), kFlowNoError);
    EXPECT_EQ(t.start->GetVariable("tOtAl"), 12);
    EXPECT_EQ(t.start->GetVariableCount(), 1);
}

TEST(FlowVariable, MissingOperandsAndAFullTable)
{
    One<CFlowVariable> t;
    t.e->OnPropertyCommand(36059, "y");
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    // The target was made before its operand was found missing: it stands
    // in the table without a value.
    EXPECT_TRUE(t.start->HasVariable("x"));
    EXPECT_EQ(t.start->GetVariable("x"), kFlowNoValue);
    // 200 variables: a 201st is refused.
    for (int i = 0; t.start->GetVariableCount() < kFlowVariableSlots; ++i)
        t.start->SetVariable("v" + std::to_string(i), i);
    t.e->OnPropertyCommand(36053, "fresh");
    t.e->OnPropertyCommand(36059, "4");
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_TOO_MANY_VARIABLES);
    EXPECT_EQ(FlowErrorText(FLOW_ERR_TOO_MANY_VARIABLES), "Error: Too many variables");
    // An existing one can still be assigned.
    t.e->OnPropertyCommand(36053, "v7");
    EXPECT_EQ(t.e->Validate(), kFlowNoError);
    EXPECT_EQ(t.start->GetVariable("v7"), 4);
}

TEST(FlowVariable, AnOperandNeverGivenIsABadExpression)
{
    One<CFlowVariable> t;
    t.e->OnPropertyCommand(36065, " * ");
    EXPECT_EQ(t.e->m_bIncomplete, 0); // x = 0 * 0
    t.e->OnPropertyCommand(36081, "");
    EXPECT_EQ(t.e->m_strSecond, " ");
    EXPECT_EQ(t.e->m_bIncomplete, 1);
    EXPECT_EQ(t.e->Validate(), kFlowErrBadExpression);
    EXPECT_EQ(FlowErrorText(kFlowErrBadExpression), "Error: Bad expression");
    t.e->OnPropertyCommand(36081, "3");
    EXPECT_EQ(t.e->m_bIncomplete, 0);
    t.e->OnPropertyCommand(36059, "");
    EXPECT_EQ(t.e->m_bIncomplete, 1);
    t.e->OnPropertyCommand(36059, "2");
    EXPECT_EQ(t.e->Validate(), kFlowNoError);
    EXPECT_EQ(t.start->GetVariable("x"), 6);
}

TEST(FlowVariable, WithoutAFlowchartControlPasses)
{
    ChipFlowBench b;
    auto* v = b.AddFlow<CFlowVariable>(100, 120);
    EXPECT_EQ(v->Validate(), kFlowNoError);
}

TEST(FlowVariable, CaptionsAndProperties)
{
    One<CFlowVariable> t;
    EXPECT_EQ(t.e->m_strCaption, "x = 0");
    t.e->OnPropertyCommand(36059, "y");
    t.e->OnPropertyCommand(36065, " + ");
    t.e->OnPropertyCommand(36081, "3");
    EXPECT_EQ(t.e->m_strCaption, "x = y + 3");
    EXPECT_EQ(t.e->m_strMessageTag, "x = y + 3");
    CControlItemList items;
    t.e->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 8);
    EXPECT_EQ(items[1].label, "  = ");
    EXPECT_EQ(items[4].type, CI_DROPLIST);
    EXPECT_EQ(items[4].label, " \n + \n - \n * \n / ");
    EXPECT_EQ(items[7].id, 33860);
    EXPECT_TRUE(items[7].options & CIO_ADDS_PART);
    t.e->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "x");
    EXPECT_EQ(items[items.FindById(36059)].label, "y");
    EXPECT_EQ(items[items.FindById(36065)].label, " + ");
    EXPECT_EQ(items[items.FindById(36081)].label, "3");

    // Long names give way: the second operand's first, and the statement
    // stays whole in the tag.
    const CString longName = "averagetemperature";
    t.e->OnPropertyCommand(36081, longName);
    EXPECT_EQ(t.e->m_strMessageTag, "x = y + " + longName);
    ASSERT_NE(t.e->m_strCaption, t.e->m_strMessageTag);
    EXPECT_EQ(t.e->m_strCaption.compare(0, 8, "x = y + "), 0);
    EXPECT_EQ(t.e->m_strCaption.substr(t.e->m_strCaption.size() - 2), "..");
    EXPECT_FALSE(t.e->GetMessageLabel()->TextOverflows(t.e->m_strCaption));
}

// ---- increment ----

TEST(FlowIncrement, AddsOneUpToTheRange)
{
    struct Case {
        int before, range, after, code;
    };
    // A marker read back out of the range stays out of it below 0, as
    // x = x + 1 makes it, and never becomes -1 ("no value").
    for (const Case c : {Case{0, 255, 1, -1}, Case{254, 255, 255, -1}, Case{255, 255, -2, 128},
                         Case{999, 1000, 1000, -1}, Case{kFlowAboveRange, 255, -10, 128},
                         Case{kFlowBelowRange, 255, -10, 128}}) {
        One<CFlowIncrement> t;
        t.b.d.m_nVariableRange = c.range;
        t.start->SetVariable("X", c.before);
        EXPECT_EQ(t.e->Validate(), c.code) << c.before;
        EXPECT_EQ(t.start->GetVariable("x"), c.after) << c.before;
    }
}

TEST(FlowIncrement, AVariableWithoutAValueHolds)
{
    One<CFlowIncrement> t;
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    EXPECT_FALSE(t.start->HasVariable("x"));
    EXPECT_EQ(t.e->m_strCaption, "Add one to x");
    EXPECT_EQ(t.e->OnPropertyCommand(36053, "my count"), 65);
    EXPECT_EQ(t.e->m_strName, "x");
    // The caption shows the name as it is kept.
    EXPECT_EQ(t.e->m_strCaption, "Add one to x");
    EXPECT_EQ(t.e->OnPropertyCommand(36054, "+1"), 0);
    CControlItemList items;
    t.e->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 3);
    EXPECT_EQ(items[0].label, "Add one to ");
    EXPECT_EQ(items[2].id, 33861);
    t.e->OnPropertyCommand(36053, "numberofbottlesinthecrate");
    EXPECT_EQ(t.e->m_strMessageTag, "Add one to numberofbottlesinthecrate");
    EXPECT_EQ(t.e->m_strCaption.substr(t.e->m_strCaption.size() - 2), "..");
}

// ---- variable test ----

TEST(FlowCheckVar, ComparesAsUnsignedNumbers)
{
    struct Case {
        const char* comparison;
        int a, b;
        bool holds;
    };
    const Case cases[] = {{" = ", 5, 5, true},    {" = ", 5, 6, false},  {" > ", 6, 5, true},   {" > ", 5, 5, false},
                          {" >= ", 5, 5, true},   {" < ", 4, 5, true},   {" < ", 5, 5, false},  {" <= ", 5, 5, true},
                          {" <> ", 5, 5, false},  {" <> ", 4, 5, true},
                          // The markers lie above every value of the range.
                          {" > ", kFlowAboveRange, 5, true}, {" > ", kFlowBelowRange, 255, true},
                          {" < ", kFlowAboveRange, 0, false}};
    for (const Case& c : cases) {
        One<CFlowCheckVar> t;
        EXPECT_EQ(t.e->OnPropertyCommand(36059, c.comparison), 65);
        t.e->OnPropertyCommand(36065, "limit");
        t.start->SetVariable("x", c.a);
        t.start->SetVariable("limit", c.b);
        EXPECT_EQ(t.e->Validate(), kFlowNoError);
        EXPECT_EQ(t.e->m_nChosenExit, c.holds ? 1 : 2) << c.comparison << c.a << " " << c.b;
    }
}

TEST(FlowCheckVar, ExitsFollowTheOrientation)
{
    for (int orientation = 0; orientation < 4; ++orientation) {
        One<CFlowCheckVar> t;
        t.e->OnPropertyCommand(36065, "3");
        t.e->m_nOrientation = orientation;
        t.start->SetVariable("x", 3);
        t.e->Validate();
        EXPECT_EQ(t.e->m_nChosenExit, orientation == 0 || orientation == 3 ? 1 : 2) << orientation;
        t.start->SetVariable("x", 4);
        t.e->Validate();
        EXPECT_EQ(t.e->m_nChosenExit, orientation == 0 || orientation == 3 ? 2 : 1) << orientation;
    }
}

TEST(FlowCheckVar, MissingValuesHold)
{
    One<CFlowCheckVar> t;
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    t.start->SetVariable("x", 1);
    t.e->OnPropertyCommand(36065, "other");
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    ChipFlowBench b;
    auto* loose = b.AddFlow<CFlowCheckVar>(100, 100);
    EXPECT_EQ(loose->Validate(), FLOW_ERR_NO_VALUE);
}

TEST(FlowCheckVar, CaptionAndProperties)
{
    One<CFlowCheckVar> t;
    EXPECT_EQ(t.e->m_strCaption, "x = 0 ?");
    t.e->OnPropertyCommand(36059, " >= ");
    EXPECT_EQ(t.e->m_nComparison, 2);
    t.e->OnPropertyCommand(36065, "max");
    EXPECT_EQ(t.e->m_strCaption, "x >= max ?");
    t.e->OnPropertyCommand(36065, "one two");
    EXPECT_EQ(t.e->m_strOperand, "y");
    CControlItemList items;
    t.e->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 8);
    EXPECT_EQ(items[2].label, " = \n > \n >= \n < \n <= \n <> ");
    EXPECT_EQ(items[6].label, "?");
    EXPECT_EQ(items[7].id, 33864);
    t.e->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36059)].label, " >= ");
    EXPECT_EQ(items[items.FindById(36065)].label, "y");
    t.e->OnPropertyCommand(36065, "thelongestnameofall");
    EXPECT_EQ(t.e->m_strMessageTag, "x >= thelongestnameofall ?");
    EXPECT_EQ(t.e->m_strCaption.compare(0, 5, "x >= "), 0);
    EXPECT_NE(t.e->m_strCaption.find(".. ?"), CString::npos);
}

// ---- a counting loop on a microcontroller ----

// start -> x = 0 -> add one to x -> x = 5 ? (yes, exit 1 below: stop; no,
// exit 2 at the side: back to the add), its flowchart run by a chip.  Every element counts trunc(0.2 s x
// 20) = 4 steps: the start hands on in pass 5, the assignment in pass 9,
// then five rounds of add and test (8 passes each): the stop in pass 49.
TEST(FlowVariableRun, ACountingLoopRunsOnTheChip)
{
    ChipFlowBench b;
    CChip* chip = b.AddChip(600, 40, 4, 0, 0, 4);
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* assign = b.AddFlow<CFlowVariable>(100, 120);
    auto* add = b.AddFlow<CFlowIncrement>(100, 200);
    auto* test = b.AddFlow<CFlowCheckVar>(80, 280);
    auto* stop = b.AddFlow<CFlowStop>(100, 420);
    ASSERT_EQ(chip->m_strFlowchartName, start->m_strName);
    b.Chain({start, assign, add, test});
    b.Join(test->GetTerminal(1), stop->GetTerminal(0));
    b.Join(test->GetTerminal(2), add->GetTerminal(0));
    test->OnPropertyCommand(36065, "5");
    b.d.ResetRun(0);
    ASSERT_EQ(start->m_nCheckResult, 0);
    ASSERT_NE(start->FindChip(), nullptr);
    EXPECT_EQ(b.RunToStop(start, stop), 49);
    EXPECT_EQ(start->GetVariable("x"), 5);
    EXPECT_EQ(add->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(test->m_nErrorCode, kFlowNoError);
    // A second press starts from a cleared table again.
    EXPECT_EQ(b.RunToStop(start, stop), 49);
    EXPECT_EQ(start->GetVariable("x"), 5);
}

// The loop counts past the range: the add holds with code 128 and the stop
// is never reached.
TEST(FlowVariableRun, LeavingTheRangeHoldsTheFlowchart)
{
    ChipFlowBench b;
    b.AddChip(600, 40, 4, 0, 0, 4);
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* assign = b.AddFlow<CFlowVariable>(100, 120);
    auto* add = b.AddFlow<CFlowIncrement>(100, 200);
    auto* stop = b.AddFlow<CFlowStop>(100, 300);
    b.Chain({start, assign, add, stop});
    assign->OnPropertyCommand(36059, "255");
    EXPECT_EQ(b.RunToStop(start, stop, 100), -1);
    EXPECT_EQ(start->GetVariable("x"), kFlowAboveRange);
    EXPECT_EQ(add->m_nErrorCode, FLOW_ERR_RANGE);
    EXPECT_EQ(start->GetCurrentElement(), add);
    CString text;
    add->BuildInfo(text, 0, CPoint());
    EXPECT_EQ(text, "Error: Variable outside range (to change range click on 'Options', then 'Flowchart')");
}

// ---- records ----

using namespace records;

TEST(FlowVariableRecords, VariableRoundTrip)
{
    CFlowVariable v;
    v.m_nReservedWord = 77;
    v.m_strName = "speed";
    v.m_strFirst = "rate";
    v.m_strOperator = " / ";
    v.m_strSecond = "z";
    v.m_second.SetValue(12.0, kPrefixNone);
    v.m_parameter.SetValue(3.0, kPrefixNone);
    v.m_bFirstIsVariable = 1;
    v.m_bSecondIsVariable = 0;
    v.m_nOperator = 3;
    v.m_bIncomplete = 1;
    v.m_bNoOperator = 0;
    const Bytes bytes = WriteOne(&v);
    auto back = ReadOne<CFlowVariable>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nReservedWord, 77);
    EXPECT_EQ(back->m_strName, "speed");
    EXPECT_EQ(back->m_strFirst, "rate");
    EXPECT_EQ(back->m_strOperator, " / ");
    EXPECT_EQ(back->m_strSecond, "z");
    EXPECT_DOUBLE_EQ(back->m_second.value, 12.0);
    EXPECT_DOUBLE_EQ(back->m_parameter.value, 3.0);
    EXPECT_EQ(back->m_bFirstIsVariable, 1);
    EXPECT_EQ(back->m_bSecondIsVariable, 0);
    EXPECT_EQ(back->m_nOperator, 3u);
    EXPECT_EQ(back->m_bIncomplete, 1);
    EXPECT_EQ(back->m_bNoOperator, 0);
    EXPECT_EQ(WriteOne(back.get()), bytes);
    ExpectTruncationsThrow(bytes, 7);
}

TEST(FlowVariableRecords, IncrementAndTestRoundTrip)
{
    CFlowIncrement inc;
    inc.m_strName = "n";
    auto incBack = ReadOne<CFlowIncrement>(WriteOne(&inc));
    ASSERT_TRUE(incBack);
    EXPECT_EQ(incBack->m_strName, "n");

    CFlowCheckVar t;
    t.m_strName = "n";
    t.m_nComparison = 5;
    t.m_nChosenExit = 1;
    t.m_strComparison = " <> ";
    t.m_strOperand = "limit";
    t.m_bOperandIsVariable = 1;
    const Bytes bytes = WriteOne(&t);
    auto back = ReadOne<CFlowCheckVar>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nComparison, 5);
    EXPECT_EQ(back->m_nChosenExit, 1);
    EXPECT_EQ(back->m_strComparison, " <> ");
    EXPECT_EQ(back->m_strOperand, "limit");
    EXPECT_EQ(back->m_bOperandIsVariable, 1);
    EXPECT_EQ(WriteOne(back.get()), bytes);
    ExpectTruncationsThrow(bytes, 7);

    // Values no element writes are brought back to ones it knows.
    t.m_nComparison = 40;
    t.m_nChosenExit = -3;
    auto odd = ReadOne<CFlowCheckVar>(WriteOne(&t));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->m_nComparison, 0);
    EXPECT_EQ(odd->m_nChosenExit, 2);
    t.m_nComparison = -1;
    odd = ReadOne<CFlowCheckVar>(WriteOne(&t));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->m_nComparison, 0);
}

TEST(FlowVariableRecords, ALoopSavedInADesignRunsAfterLoading)
{
    ChipFlowBench b;
    b.AddChip(600, 40, 4, 0, 0, 4);
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* assign = b.AddFlow<CFlowVariable>(100, 120);
    auto* add = b.AddFlow<CFlowIncrement>(100, 200);
    auto* test = b.AddFlow<CFlowCheckVar>(80, 280);
    auto* stop = b.AddFlow<CFlowStop>(100, 420);
    b.Chain({start, assign, add, test});
    b.Join(test->GetTerminal(1), stop->GetTerminal(0));
    b.Join(test->GetTerminal(2), add->GetTerminal(0));
    assign->OnPropertyCommand(36059, "2");
    test->OnPropertyCommand(36059, " >= ");
    test->OnPropertyCommand(36065, "5");
    b.d.ResetRun(0);

    auto loaded = LoadDesign(SaveDesign(b.d));
    ASSERT_TRUE(loaded);
    auto* s = dynamic_cast<CFlowStart*>(loaded->FindFlowStart(start->m_strName));
    ASSERT_NE(s, nullptr);
    CFlowStop* st = nullptr;
    for (CPart* p : loaded->CollectFlowObjects())
        if (auto* x = dynamic_cast<CFlowStop*>(p)) st = x;
    ASSERT_NE(st, nullptr);
    loaded->ResetRun(0);
    ASSERT_EQ(s->m_nCheckResult, 0);
    loaded->SetUpdateRate(20.0);
    Press(s, *loaded);
    int passes = 0;
    while (!st->m_bStopped && passes < 200) {
        loaded->RunSolverPass();
        ++passes;
    }
    // 2 -> 3, 4, 5: three rounds after the start and the assignment.
    EXPECT_EQ(passes, 5 + 4 + 3 * 8);
    EXPECT_EQ(s->GetVariable("x"), 5);
}

} // namespace
