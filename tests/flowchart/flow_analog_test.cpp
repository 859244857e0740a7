// The analogue-read and bit-test elements on a real microcontroller part:
// a divider's voltage read into a variable (trunc(V / 5 V x range), worked
// by hand), the codes that hold a flowchart, bit tests choosing their exit,
// their captions, BASIC lines (alone and in a whole export) and records.
#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "flow_vars_support.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_testbit.h"
#include "flowchart/flow_variable.h"
#include "flowchart/flow_xanal.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"

#include "record_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace records;

// A chip with two digital and two analogue inputs (ports 0, 1 digital, 2,
// 3 analogue) and four outputs; a 9 V rail -> R1 -> pin -> R2 -> earth
// divider on one input, which sits at 9 R2 / (R1 + R2) (inputs draw
// nothing).  start -> the element(s) -> stop.
struct AnalogRig {
    ChipFlowBench b;
    CChip* chip;
    CResistor* upper;
    CResistor* lower;
    CFlowStart* start = nullptr;
    AnalogRig(int port, double r1, double r2)
    {
        chip = b.AddChip(600, 40, 2, 2, 0, 4);
        auto* rail = b.Add<CVoltRail>(900, 0);
        upper = b.Add<CResistor>(1000, 100);
        lower = b.Add<CResistor>(1000, 400);
        auto* earth = b.Add<CEarth>(1000, 600);
        SetLabel(upper, r1);
        SetLabel(lower, r2);
        CTerminal* pin = chip->GetPortTerminal(port);
        b.Wire(rail->GetTerminal(0), upper->GetTerminal(0));
        b.Wire(upper->GetTerminal(1), pin);
        b.Wire(pin, lower->GetTerminal(0));
        b.Wire(lower->GetTerminal(1), earth->GetTerminal(0));
        start = b.AddFlow<CFlowStart>(100, 40);
    }
};

// ---- analogue read ----

TEST(FlowXanal, ADividerReadsIntoTheVariable)
{
    struct Case {
        double r1, r2;
        int analogRange, variableRange;
        int code, stored;
    };
    // 3 V: trunc(3 / 5 x 255) = 153; 1.5 V: trunc(76.5) = 76; 9/7 V:
    // trunc(65.57) = 65.  At analogue range 1000, 3 V reads 600: above a
    // variable range of 255 (128, x never made), stored at range 1000.
    for (const Case c : {Case{1000, 500, 255, 255, kFlowNoError, 153}, Case{5000, 1000, 255, 255, kFlowNoError, 76},
                         Case{6000, 1000, 255, 255, kFlowNoError, 65},
                         Case{1000, 500, 1000, 255, FLOW_ERR_RANGE, kFlowNoValue},
                         Case{1000, 500, 1000, 1000, kFlowNoError, 600}}) {
        AnalogRig r(3, c.r1, c.r2);
        auto* read = r.b.AddFlow<CFlowXanal>(100, 120);
        auto* stop = r.b.AddFlow<CFlowStop>(100, 220);
        r.b.Chain({r.start, read, stop});
        EXPECT_EQ(read->OnPropertyCommand(36059, "a_Input1"), 65);
        EXPECT_EQ(read->OnPropertyCommand(36053, "level"), 65);
        r.b.d.m_nAnalogRange = c.analogRange;
        r.b.d.m_nVariableRange = c.variableRange;
        const int passes = r.b.RunToStop(r.start, stop, 60);
        EXPECT_EQ(passes > 0, c.code == kFlowNoError) << c.r1;
        EXPECT_EQ(read->m_nErrorCode, c.code) << c.r1;
        EXPECT_EQ(r.start->GetVariable("level"), c.stored) << c.r1;
    }
}

TEST(FlowXanal, CodesThatHoldTheFlowchart)
{
    struct Case {
        const char* input;
        int code;
    };
    // A digital input (3 V reads on: 255), a name the chip does not have.
    for (const Case c : {Case{"Input1", FLOW_ERR_PORT_DIGITAL}, Case{"a_Input7", FLOW_ERR_NO_INPUT}}) {
        AnalogRig r(1, 1000, 500);
        auto* read = r.b.AddFlow<CFlowXanal>(100, 120);
        auto* stop = r.b.AddFlow<CFlowStop>(100, 220);
        r.b.Chain({r.start, read, stop});
        read->OnPropertyCommand(36059, c.input);
        EXPECT_EQ(r.b.RunToStop(r.start, stop, 60), -1) << c.input;
        EXPECT_EQ(read->m_nErrorCode, c.code) << c.input;
        EXPECT_FALSE(r.start->HasVariable("x")) << c.input;
        EXPECT_EQ(r.start->GetCurrentElement(), read);
    }
    // Outside a flowchart: no microcontroller to ask.
    ChipFlowBench b;
    auto* loose = b.AddFlow<CFlowXanal>(100, 120);
    EXPECT_EQ(loose->Validate(), FLOW_ERR_NO_CHIP);
}

TEST(FlowXanal, WithoutAChipTheVariableGetsZero)
{
    ChipFlowBench b;
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* read = b.AddFlow<CFlowXanal>(100, 120);
    auto* stop = b.AddFlow<CFlowStop>(100, 220);
    b.Chain({start, read, stop});
    EXPECT_GT(b.RunToStop(start, stop), 0);
    EXPECT_EQ(read->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(start->GetVariable("x"), 0);
}

TEST(FlowXanal, CaptionAndProperties)
{
    AnalogRig r(3, 1000, 500);
    auto* read = r.b.AddFlow<CFlowXanal>(100, 120);
    auto* stop = r.b.AddFlow<CFlowStop>(100, 220);
    r.b.Chain({r.start, read, stop});
    r.b.d.ResetRun(0);
    EXPECT_EQ(read->m_strCaption, "x = a_Input0");
    read->OnPropertyCommand(36053, "");
    EXPECT_EQ(read->m_strName, "x");
    read->OnPropertyCommand(36053, "my value");
    EXPECT_EQ(read->m_strName, "x");
    read->OnPropertyCommand(36059, "");
    EXPECT_EQ(read->m_strInput, "a_Input0");
    // The input's name of five characters or more gives way first, down to
    // four ("a_In"); then the variable, which loses three more characters
    // for "..".  A four-character input name gets no "..".
    read->OnPropertyCommand(36053, "temperatureofthewaterinthetank");
    EXPECT_EQ(read->m_strMessageTag, "temperatureofthewaterinthetank = a_Input0");
    EXPECT_EQ(read->m_strCaption.compare(0, 4, "temp"), 0);
    EXPECT_EQ(read->m_strCaption.substr(read->m_strCaption.size() - 9), ".. = a_In");
    // A long input name with a short variable: only the input is cut.
    read->OnPropertyCommand(36053, "x");
    read->OnPropertyCommand(36059, "the_light_sensor_in_the_greenhouse_roof");
    EXPECT_EQ(read->m_strCaption.compare(0, 8, "x = the_"), 0);
    EXPECT_EQ(read->m_strCaption.substr(read->m_strCaption.size() - 2), "..");
    read->OnPropertyCommand(36059, "a_Input0");

    CControlItemList items;
    read->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 4);
    EXPECT_EQ(items[0].id, 36053);
    EXPECT_EQ(items[1].label, " = ");
    EXPECT_EQ(items[2].id, 36059);
    // The flowchart's chip offers its analogue inputs.
    EXPECT_EQ(items[2].label, "a_Input0\na_Input1");
    EXPECT_EQ(items[3].id, 33888);
    read->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36059)].label, "a_Input0");
}

TEST(FlowXanal, BasicLines)
{
    EXPECT_EQ(CFlowXanal::ChannelText(3, "a_Input3"), "3");
    // Above 10 (a digital pin, or none): the label's last character.
    EXPECT_EQ(CFlowXanal::ChannelText(51, "Input5"), "5");
    EXPECT_EQ(CFlowXanal::ChannelText(50, "light"), "0");

    struct Case {
        const char* chipClass;
        int code;
    };
    for (const Case c : {Case{"28 pin PIC", 0}, Case{"STAMP", 1013}, Case{"18 pin PIC", 1013}, Case{"Generic", 0}}) {
        ChipFlowBench b;
        b.d.m_strMicroClass = c.chipClass;
        auto* start = b.AddFlow<CFlowStart>(100, 40);
        auto* read = b.AddFlow<CFlowXanal>(100, 120);
        read->OnPropertyCommand(36053, "level");
        read->OnPropertyCommand(36059, "a_Input2");
        CString text;
        int code = -1;
        read->GetBasicText(text, &code, start);
        EXPECT_EQ(text, "readADC 2, level\n");
        EXPECT_EQ(code, c.code) << c.chipClass;
        int kind = 0;
        read->GetBasicDeclarations(text, &kind, start);
        EXPECT_EQ(text, "level");
        EXPECT_EQ(kind, 1);
    }
}

TEST(FlowXanal, RecordRoundTrip)
{
    CFlowXanal x;
    x.m_strName = "light";
    x.m_strInput = "LDR";
    const Bytes bytes = WriteOne(&x);
    auto back = ReadOne<CFlowXanal>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "light");
    EXPECT_EQ(back->m_strInput, "LDR");
    EXPECT_EQ(WriteOne(back.get()), bytes);
    ExpectTruncationsThrow(bytes);
}

// ---- bit test ----

// start -> the bit test; exit 1 to one stop, exit 2 to another.
template <class T>
struct Branch {
    ChipFlowBench b;
    CFlowStart* start;
    T* e;
    CFlowStop* one;
    CFlowStop* two;
    Branch()
    {
        b.AddChip(600, 40, 4, 0, 0, 4);
        start = b.AddFlow<CFlowStart>(100, 40);
        e = b.AddFlow<T>(80, 120);
        one = b.AddFlow<CFlowStop>(100, 320);
        two = b.AddFlow<CFlowStop>(400, 320);
        b.Join(start->GetOutputTerminal(), e->GetTerminal(0));
        b.Join(e->GetTerminal(1), one->GetTerminal(0));
        b.Join(e->GetTerminal(2), two->GetTerminal(0));
        b.d.ResetRun(0);
    }
};

TEST(FlowTestBit, TestsOneBitForOnOrOff)
{
    struct Case {
        int value;
        const char* bit;
        const char* state;
        bool holds;
    };
    // 128 = %10000000, 5 = %00000101, 255, 0.
    const Case cases[] = {{128, "7", "On", true},  {128, "6", "On", false}, {128, "7", "Off", false},
                          {128, "0", "Off", true}, {5, "0", "On", true},    {5, "1", "On", false},
                          {5, "2", "On", true},    {5, "1", "Off", true},   {255, "3", "On", true},
                          {0, "7", "Off", true}};
    for (const Case& c : cases) {
        Branch<CFlowTestBit> t;
        EXPECT_EQ(t.e->OnPropertyCommand(36059, c.bit), 65);
        EXPECT_EQ(t.e->OnPropertyCommand(36065, c.state), 65);
        t.start->SetVariable("x", c.value);
        EXPECT_EQ(t.e->Validate(), kFlowNoError);
        EXPECT_EQ(t.e->m_nChosenExit, c.holds ? 1u : 2u) << c.value << " bit " << c.bit << " " << c.state;
    }
}

TEST(FlowTestBit, ExitsFollowTheOrientation)
{
    for (int orientation = 0; orientation < 4; ++orientation) {
        Branch<CFlowTestBit> t;
        t.e->m_nOrientation = orientation;
        const unsigned straight = orientation == 0 || orientation == 3 ? 1u : 2u;
        t.start->SetVariable("x", 1);
        t.e->Validate();
        EXPECT_EQ(t.e->m_nChosenExit, straight) << orientation;
        t.start->SetVariable("x", 2);
        t.e->Validate();
        EXPECT_EQ(t.e->m_nChosenExit, 3u - straight) << orientation;
    }
}

TEST(FlowTestBit, AVariableWithoutAValueHolds)
{
    Branch<CFlowTestBit> t;
    EXPECT_EQ(t.e->Validate(), FLOW_ERR_NO_VALUE);
    ChipFlowBench b;
    auto* loose = b.AddFlow<CFlowTestBit>(100, 100);
    EXPECT_EQ(loose->Validate(), FLOW_ERR_NO_VALUE);
}

// A divider's 3 V on a_Input0 reads 153 = %10011001 into x; bit 4 is on
// and bit 5 off: the run leaves by the exit of a holding or a failing test.
TEST(FlowTestBit, TheReadingOfAPinChoosesTheWay)
{
    for (const char* bit : {"4", "5"}) {
        AnalogRig r(2, 1000, 500);
        auto* read = r.b.AddFlow<CFlowXanal>(100, 120);
        auto* test = r.b.AddFlow<CFlowTestBit>(80, 200);
        auto* yes = r.b.AddFlow<CFlowStop>(100, 400);
        auto* no = r.b.AddFlow<CFlowStop>(400, 400);
        r.b.Chain({r.start, read, test});
        r.b.Join(test->GetTerminal(1), yes->GetTerminal(0));
        r.b.Join(test->GetTerminal(2), no->GetTerminal(0));
        test->OnPropertyCommand(36059, bit);
        const bool on = bit[0] == '4';
        EXPECT_GT(r.b.RunToStop(r.start, on ? yes : no, 100), 0) << bit;
        EXPECT_EQ(r.start->GetVariable("x"), 153);
        EXPECT_FALSE((on ? no : yes)->m_bStopped) << bit;
    }
}

TEST(FlowTestBit, CaptionAndProperties)
{
    Branch<CFlowTestBit> t;
    EXPECT_EQ(t.e->GetTerminalCount(), 3);
    EXPECT_EQ(t.e->m_strCaption, "x : bit0 On?");
    t.e->OnPropertyCommand(36059, "6");
    t.e->OnPropertyCommand(36065, "Off");
    EXPECT_EQ(t.e->m_bTestForOn, 0);
    EXPECT_EQ(t.e->m_strCaption, "x : bit6 Off?");
    EXPECT_EQ(t.e->m_strMessageTag, "x has bit 6 Off ?");
    // Bits beyond 7 stop at 7.
    t.e->OnPropertyCommand(36059, "9");
    EXPECT_EQ(t.e->GetBit(), 7);
    t.e->OnPropertyCommand(36053, "two words");
    EXPECT_EQ(t.e->m_strName, "x");
    t.e->OnPropertyCommand(36053, "thelongestnameofall");
    EXPECT_EQ(t.e->m_strMessageTag, "thelongestnameofall has bit 7 Off ?");
    EXPECT_NE(t.e->m_strCaption.find(".. : bit7 Off?"), CString::npos);

    CControlItemList items;
    t.e->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 7);
    EXPECT_EQ(items[0].id, 36053);
    EXPECT_EQ(items[1].label, "  has bit ");
    EXPECT_EQ(items[2].label, "0\n1\n2\n3\n4\n5\n6\n7");
    EXPECT_EQ(items[2].id, 36059);
    EXPECT_EQ(items[4].label, "On\nOff");
    EXPECT_EQ(items[4].id, 36065);
    EXPECT_EQ(items[5].label, "?");
    EXPECT_EQ(items[6].id, 33894);
    t.e->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36059)].label, "7");
    EXPECT_EQ(items[items.FindById(36065)].label, "Off");
}

TEST(FlowTestBit, BasicLines)
{
    EXPECT_EQ(CFlowTestBit::MaskText(2), "%00000100");
    EXPECT_EQ(CFlowTestBit::MaskText(7), "%10000000");
    EXPECT_EQ(CFlowTestBit::MaskText(0), "%00000001");
    Branch<CFlowTestBit> t;
    t.e->OnPropertyCommand(36059, "2");
    CString text;
    int code = -1;
    t.e->GetBasicText(text, &code, t.start);
    EXPECT_EQ(text, "let bit = x & %00000100\n             if bit > 0 then ");
    EXPECT_EQ(code, 0);
    t.e->OnPropertyCommand(36065, "Off");
    t.e->GetBasicText(text, &code, t.start);
    EXPECT_EQ(text, "let bit = x & %00000100\n             if bit = 0 then ");
    int kind = 0;
    t.e->GetBasicDeclarations(text, &kind, t.start);
    EXPECT_EQ(text, "bit");
    EXPECT_EQ(kind, 1);
}

// start -> x = a_Input0 -> bit 0 of x on? yes: stop, no: stop.  The bytes
// are declared in the order met; the test's Yes label follows " then ", the
// No branch inline, then the Yes label's definition.
TEST(FlowTestBit, AWholeExport)
{
    ChipFlowBench b;
    b.d.m_strMicroClass = "28 pin PIC";
    b.d.SetProgramLanguage("BASIC C1");
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* read = b.AddFlow<CFlowXanal>(100, 120);
    auto* test = b.AddFlow<CFlowTestBit>(80, 200);
    auto* yes = b.AddFlow<CFlowStop>(400, 400);
    auto* no = b.AddFlow<CFlowStop>(100, 500);
    b.Chain({start, read, test});
    b.Join(test->GetTerminal(1), yes->GetTerminal(0));
    b.Join(test->GetTerminal(2), no->GetTerminal(0));
    b.d.ResetRun(0);
    CString text;
    int code = -1;
    start->ExportBasic(text, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(text, "symbol x = b0\n"
                    "symbol bit = b1\n"
                    "\n"
                    "main:    readADC 0, x\n"
                    "            let bit = x & %00000001\n"
                    "             if bit > 0 then label1\n"
                    "            end\n"
                    "label1:  end\n");
}

TEST(FlowTestBit, RecordRoundTrip)
{
    CFlowTestBit t;
    t.m_strName = "flags";
    t.m_nChosenExit = 1;
    t.m_strState = "Off";
    t.m_bTestForOn = 0;
    t.m_bit.SetValue(5.0, kPrefixNone);
    const Bytes bytes = WriteOne(&t);
    auto back = ReadOne<CFlowTestBit>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "flags");
    EXPECT_EQ(back->m_nChosenExit, 1u);
    EXPECT_EQ(back->m_strState, "Off");
    EXPECT_EQ(back->m_bTestForOn, 0);
    EXPECT_EQ(back->GetBit(), 5);
    EXPECT_EQ(WriteOne(back.get()), bytes);
    ExpectTruncationsThrow(bytes);
    // An exit no element writes is brought back to the second.
    t.m_nChosenExit = 7;
    auto odd = ReadOne<CFlowTestBit>(WriteOne(&t));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->m_nChosenExit, 2u);
}

} // namespace
