// The output and motor elements on a real microcontroller part: pin
// voltages against the hand-computed load, the motor pair's direction
// through a winding between its pins, the set-all bits, the codes that hold
// a flowchart, the toolbar's choices, and the records.
#include "components/earth.h"
#include "components/resistor.h"
#include "flow_vars_support.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_motor.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_output.h"
#include "flowchart/flow_variable.h"
#include "flowchart/flow_wait.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"

#include "record_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The logic family of a new design: an output is a Norton source of
// G = 0.06 S with 0.3 A into its node at full scale (5 V open).
constexpr double kG = 0.06;
constexpr double kHigh = 0.3;

// start -> the elements -> wait 1 s -> stop on a chip with four digital
// inputs and four outputs.
struct Rig {
    ChipFlowBench b;
    CChip* chip;
    CFlowStart* start;
    CFlowWait* hold;
    CFlowStop* stop;
    Rig() { chip = b.AddChip(700, 40, 4, 0, 0, 4); }
    // Places the flowchart; the elements stand one under another.
    template <class... T>
    void Build(T*&... out)
    {
        start = b.AddFlow<CFlowStart>(100, 40);
        int y = 120;
        std::vector<CFlowObject*> chain{start};
        ((out = b.AddFlow<T>(100, y), y += 80, chain.push_back(out)), ...);
        hold = b.AddFlow<CFlowWait>(100, y);
        stop = b.AddFlow<CFlowStop>(100, y + 100);
        chain.push_back(hold);
        chain.push_back(stop);
        for (size_t i = 1; i < chain.size(); ++i) b.Join(chain[i - 1]->GetOutputTerminal(), chain[i]->GetTerminal(0));
    }
    // Runs until the closing wait holds control (the elements before it
    // have acted and the solve after shows their pins).
    bool RunToHold()
    {
        b.d.ResetRun(0);
        b.d.SetUpdateRate(20.0);
        Press(start, b.d);
        for (int i = 0; i < 200; ++i) {
            b.Run();
            if (hold->m_bActive) {
                b.Run();
                return true;
            }
        }
        return false;
    }
    CTerminal* Out(int j) const { return chip->GetPortTerminal(chip->GetInputCount() + j); }
    int OutValue(int j) const { return chip->GetPort(chip->GetInputCount() + j)->m_nValue; }
};

TEST(FlowOutput, SwitchingAPinDrivesItsLoad)
{
    // Output1 -> R -> earth: V = 0.3 / (G + 1/R) when on, 0 when off.
    struct Case {
        double ohms;
        const char* mode;
        double volts;
    };
    for (const Case c : {Case{100.0, "Switch on ", kHigh / (kG + 0.01)}, Case{1000.0, "Switch on ", kHigh / (kG + 0.001)},
                         Case{100.0, "Switch off ", 0.0}}) {
        Rig r;
        CFlowOutput* out = nullptr;
        r.Build(out);
        auto* load = r.b.Add<CResistor>(1000, 300);
        auto* earth = r.b.Add<CEarth>(1000, 500);
        SetLabel(load, c.ohms);
        r.b.Wire(r.Out(1), load->GetTerminal(0));
        r.b.Wire(load->GetTerminal(1), earth->GetTerminal(0));
        EXPECT_EQ(out->OnPropertyCommand(36053, c.mode), 17);
        EXPECT_EQ(out->OnPropertyCommand(36059, "Output1"), 65);
        EXPECT_EQ(out->m_strCaption, CString(c.mode) + "Output1");
        ASSERT_TRUE(r.RunToHold());
        EXPECT_EQ(out->m_nErrorCode, kFlowNoError);
        EXPECT_NEAR(r.Out(1)->GetVoltage(), c.volts, 1e-9) << c.ohms;
        EXPECT_NEAR(load->GetTerminal(0)->GetCurrent(), c.volts / c.ohms, 1e-9) << c.ohms;
        EXPECT_NEAR(r.Out(0)->GetVoltage(), 0.0, 1e-9);
    }
}

TEST(FlowOutput, SetAllTakesTheBitsOfANumberOrAVariable)
{
    struct Case {
        const char* value;
        int preset; // x, when the value is a variable
        int bits;
    };
    for (const Case c : {Case{"5", -1, 5}, Case{"10", -1, 10}, Case{"0", -1, 0}, Case{"15", -1, 15},
                         Case{"x", 6, 6}, Case{"x", 9, 9}}) {
        Rig r;
        CFlowVariable* assign = nullptr;
        CFlowOutput* out = nullptr;
        r.Build(assign, out);
        assign->OnPropertyCommand(36059, std::to_string(c.preset < 0 ? 0 : c.preset));
        out->OnPropertyCommand(36053, "Outputs = ");
        EXPECT_EQ(out->m_nMode, 2);
        EXPECT_EQ(out->OnPropertyCommand(36065, c.value), 65);
        EXPECT_EQ(out->m_strCaption, CString("Outputs = ") + c.value);
        ASSERT_TRUE(r.RunToHold()) << c.value;
        for (int j = 0; j < 4; ++j) {
            const bool on = (c.bits >> j) & 1;
            EXPECT_EQ(r.OutValue(j), on ? 255 : 0) << c.value << " bit " << j;
            // Unloaded: the source's 0.3 A into G alone, 5 V.
            EXPECT_NEAR(r.Out(j)->GetVoltage(), on ? kHigh / kG : 0.0, 1e-9) << c.value << " bit " << j;
        }
    }
}

TEST(FlowOutput, AVariableNeverAssignedHoldsTheSetAll)
{
    Rig r;
    CFlowOutput* out = nullptr;
    r.Build(out);
    out->OnPropertyCommand(36053, "Outputs = ");
    // The default value is the variable x.
    EXPECT_EQ(out->m_strCaption, "Outputs = x");
    EXPECT_FALSE(r.RunToHold());
    EXPECT_EQ(out->m_nErrorCode, FLOW_ERR_NO_VALUE);
    EXPECT_EQ(r.start->GetCurrentElement(), out);
}

TEST(FlowOutput, APinTheChipDoesNotHaveHolds)
{
    Rig r;
    CFlowOutput* out = nullptr;
    r.Build(out);
    out->OnPropertyCommand(36059, "Output9");
    EXPECT_EQ(out->m_nPinNumber, 4);
    EXPECT_FALSE(r.RunToHold());
    EXPECT_EQ(out->m_nErrorCode, FLOW_ERR_NO_OUTPUT);
    EXPECT_EQ(FlowErrorText(FLOW_ERR_NO_OUTPUT), "Error: Cannot find this output");
}

TEST(FlowOutput, WithoutAChipTheFlowchartRunsThrough)
{
    ChipFlowBench b;
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* on = b.AddFlow<CFlowOutput>(100, 120);
    auto* all = b.AddFlow<CFlowOutput>(100, 200);
    auto* motor = b.AddFlow<CFlowMotor>(100, 280);
    auto* stop = b.AddFlow<CFlowStop>(100, 360);
    b.Chain({start, on, all, motor, stop});
    all->OnPropertyCommand(36053, "Outputs = ");
    all->OnPropertyCommand(36065, "3");
    EXPECT_EQ(b.RunToStop(start, stop), 5 + 3 * 4);
    // Set-all even without a flowchart; a pin needs one.
    auto* loose = b.AddFlow<CFlowOutput>(400, 400);
    EXPECT_EQ(loose->Validate(), FLOW_ERR_NO_OUTPUT);
    loose->OnPropertyCommand(36053, "Outputs = ");
    EXPECT_EQ(loose->Validate(), kFlowNoError);
    auto* looseMotor = b.AddFlow<CFlowMotor>(400, 500);
    EXPECT_EQ(looseMotor->Validate(), FLOW_ERR_NO_OUTPUT);
}

TEST(FlowOutput, TheValueIsANumberOrAVariable)
{
    Rig r;
    CFlowOutput* out = nullptr;
    r.Build(out);
    out->OnPropertyCommand(36053, "Outputs = ");
    out->OnPropertyCommand(36065, "0");
    EXPECT_EQ(out->m_bValueIsVariable, 0);
    EXPECT_DOUBLE_EQ(out->m_parameter.value, 0.0);
    out->OnPropertyCommand(36065, "abc");
    EXPECT_EQ(out->m_bValueIsVariable, 1);
    EXPECT_EQ(out->m_strValueVariable, "abc");
    EXPECT_EQ(out->m_strCaption, "Outputs = abc");
    out->OnPropertyCommand(36065, "7.8");
    EXPECT_EQ(out->m_strCaption, "Outputs = 7");
    EXPECT_DOUBLE_EQ(out->m_parameter.value, 7.0);
    // Choosing a pin marks the value as a variable again.
    out->OnPropertyCommand(36059, "Output2");
    EXPECT_EQ(out->m_bValueIsVariable, 1);
    EXPECT_EQ(out->m_strCaption, "Outputs = abc");
    out->OnPropertyCommand(36065, "two words");
    EXPECT_EQ(out->m_strValueVariable, "x");
    out->OnPropertyCommand(36053, "Switch off ");
    EXPECT_EQ(out->m_strCaption, "Switch off Output2");
}

TEST(FlowOutput, ToolbarOffersTheChipsOutputs)
{
    Rig r;
    CFlowOutput* out = nullptr;
    r.Build(out);
    r.b.d.ResetRun(0);
    r.chip->SetOutputName(3, "Lamp");
    CControlItemList items;
    out->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 5);
    EXPECT_EQ(items[0].label, "Switch on \nSwitch off \nOutputs = ");
    EXPECT_EQ(items[2].label, "Lamp\nOutput2\nOutput1\nOutput0");
    EXPECT_EQ(items[4].id, 33859);
    int enabled = 1;
    out->IsPropertyChecked(36065, enabled);
    EXPECT_EQ(enabled, 0);
    out->IsPropertyChecked(36059, enabled);
    EXPECT_EQ(enabled, 1);
    out->OnPropertyCommand(36053, "Outputs = ");
    out->IsPropertyChecked(36059, enabled);
    EXPECT_EQ(enabled, 0);
    out->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "Outputs = ");
    EXPECT_EQ(items[items.FindById(36065)].label, "x");
    // Outside a flowchart: the four default names.
    auto* loose = r.b.AddFlow<CFlowOutput>(400, 600);
    loose->FillProperties(items);
    EXPECT_EQ(loose->m_strPinChoices, "Output3\nOutput2\nOutput1\nOutput0");
}

// ---- the motor ----

// A winding of 100 ohms between Output0 and Output1: driven forwards the
// lower pin's 0.3 A divides so that 0.01 x 0.3 / (0.06 + 2 x 0.01) =
// 37.5 mA flows from the lower pin to the upper, 3.75 V across it.
TEST(FlowMotor, DirectionsReachTheWinding)
{
    const double g = 0.01;
    const double across = kHigh / (kG + 2 * g);
    struct Case {
        const char* direction;
        double volts; // lower pin less upper pin
        int lower, upper;
    };
    for (const Case c : {Case{"Forwards", across, 255, 0}, Case{"Backwards", -across, 0, 255},
                         Case{"Stop", 0.0, 0, 0}}) {
        Rig r;
        CFlowMotor* motor = nullptr;
        r.Build(motor);
        auto* winding = r.b.Add<CResistor>(1000, 300);
        SetLabel(winding, 1.0 / g);
        r.b.Wire(r.Out(0), winding->GetTerminal(0));
        r.b.Wire(winding->GetTerminal(1), r.Out(1));
        EXPECT_EQ(motor->OnPropertyCommand(36065, c.direction), 65);
        ASSERT_TRUE(r.RunToHold()) << c.direction;
        EXPECT_EQ(motor->m_nErrorCode, kFlowNoError);
        EXPECT_EQ(r.OutValue(0), c.lower) << c.direction;
        EXPECT_EQ(r.OutValue(1), c.upper) << c.direction;
        EXPECT_NEAR(r.Out(0)->GetVoltage() - r.Out(1)->GetVoltage(), c.volts, 1e-9) << c.direction;
        EXPECT_NEAR(winding->GetTerminal(0)->GetCurrent(), c.volts * g, 1e-9) << c.direction;
        EXPECT_EQ(r.OutValue(2), 0);
        EXPECT_EQ(r.OutValue(3), 0);
    }
}

// Forwards, then backwards, then a halt, each held for a second: the
// pair's levels follow the flowchart.
TEST(FlowMotor, APairFollowsTheFlowchart)
{
    Rig r;
    CFlowMotor* forwards = nullptr;
    CFlowWait* w1 = nullptr;
    CFlowMotor* backwards = nullptr;
    CFlowWait* w2 = nullptr;
    CFlowMotor* halt = nullptr;
    r.Build(forwards, w1, backwards, w2, halt);
    r.b.d.ResetRun(0);
    for (CFlowMotor* m : {forwards, backwards, halt}) {
        CControlItemList items;
        m->FillProperties(items);
        m->OnPropertyCommand(36053, "Motor B");
    }
    backwards->OnPropertyCommand(36065, "Backwards");
    halt->OnPropertyCommand(36065, "Stop");
    EXPECT_EQ(forwards->m_strName, "Output2");
    EXPECT_EQ(forwards->m_strCaption, "Motor B Forwards");
    EXPECT_EQ(forwards->m_strMessageTag, "Motor B (Output2) Forwards");
    r.b.d.ResetRun(0);
    r.b.d.SetUpdateRate(20.0);
    Press(r.start, r.b.d);
    auto runUntil = [&](CFlowObject* e) {
        for (int i = 0; i < 200 && !e->m_bActive; ++i) r.b.Run();
        r.b.Run();
    };
    runUntil(w1);
    EXPECT_EQ(r.OutValue(2), 255);
    EXPECT_EQ(r.OutValue(3), 0);
    runUntil(w2);
    EXPECT_EQ(r.OutValue(2), 0);
    EXPECT_EQ(r.OutValue(3), 255);
    EXPECT_NEAR(r.Out(3)->GetVoltage(), kHigh / kG, 1e-9);
    runUntil(r.hold);
    EXPECT_EQ(r.OutValue(2), 0);
    EXPECT_EQ(r.OutValue(3), 0);
    EXPECT_EQ(r.OutValue(0), 0);
}

TEST(FlowMotor, MotorNamesCountPairsFromTheLowest)
{
    struct Case {
        int outputs;
        const char* names;
        const char* motor;
        const char* lower;
    };
    // The lower pins run from the second-last output down; each motor's
    // pair lies two pins above the one before.
    for (const Case c : {Case{4, "Motor A\nMotor B", "Motor A", "Output0"}, Case{4, "Motor A\nMotor B", "Motor B", "Output2"},
                         Case{8, "Motor A\nMotor B\nMotor C\nMotor D", "Motor D", "Output6"},
                         Case{5, "Motor A\nMotor B", "Motor B", "Output2"}, Case{5, "Motor A\nMotor B", "Motor A", "Output0"}}) {
        ChipFlowBench b;
        b.AddChip(700, 40, 4, 0, 0, c.outputs);
        auto* start = b.AddFlow<CFlowStart>(100, 40);
        auto* motor = b.AddFlow<CFlowMotor>(100, 120);
        auto* stop = b.AddFlow<CFlowStop>(100, 200);
        b.Chain({start, motor, stop});
        b.d.ResetRun(0);
        CControlItemList items;
        motor->FillProperties(items);
        EXPECT_EQ(motor->m_strMotorChoices, c.names) << c.outputs;
        EXPECT_EQ(items[0].label, c.names);
        motor->OnPropertyCommand(36053, c.motor);
        EXPECT_EQ(motor->m_strName, c.lower) << c.outputs << " " << c.motor;
    }
}

TEST(FlowMotor, APairTheChipDoesNotHaveHolds)
{
    Rig r;
    CFlowMotor* motor = nullptr;
    r.Build(motor);
    motor->OnPropertyCommand(36059, "Output9");
    EXPECT_FALSE(r.RunToHold());
    EXPECT_EQ(motor->m_nErrorCode, FLOW_ERR_NO_OUTPUT);
}

TEST(FlowMotor, ToolbarItems)
{
    Rig r;
    CFlowMotor* motor = nullptr;
    r.Build(motor);
    r.b.d.ResetRun(0);
    CControlItemList items;
    motor->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 6);
    EXPECT_EQ(items[1].type, CI_SEPARATOR);
    EXPECT_EQ(items[2].label, "Forwards\nStop\nBackwards");
    EXPECT_EQ(items[3].label, "  Lower pin: ");
    EXPECT_EQ(items[4].type, CI_DROPLIST);
    EXPECT_EQ(items[4].label, "Output2\nOutput1\nOutput0");
    EXPECT_EQ(items[5].id, 33502);
    EXPECT_EQ(motor->m_outputEntries[2], "Output0");
    EXPECT_FLOAT_EQ(motor->m_fMotorCount, 2.0f);
    motor->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "Motor A");
    EXPECT_EQ(items[items.FindById(36065)].label, "Forwards");
    EXPECT_EQ(items[items.FindById(36059)].label, "Output0");
}

// ---- records ----

using namespace records;

std::unique_ptr<CFlowOutput> FilledOutput()
{
    auto o = std::make_unique<CFlowOutput>();
    o->m_nMode = 2;
    o->m_strPinChoices = "A\nB";
    o->m_strPin = "B";
    o->m_nPinNumber = 3;
    o->m_legacyLabels[2] = "Old 2";
    o->m_bValueIsVariable = 0;
    o->m_strValueVariable = "level";
    o->m_parameter.SetValue(12.0, kPrefixNone);
    return o;
}

TEST(FlowOutputRecords, RoundTripAndTheVariableNamesGate)
{
    auto o = FilledOutput();
    const Bytes bytes = WriteOne(o.get(), kCurrentVersion);
    auto back = ReadOne<CFlowOutput>(bytes, kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nMode, 2);
    EXPECT_EQ(back->m_strPinChoices, "A\nB");
    EXPECT_EQ(back->m_strPin, "B");
    EXPECT_EQ(back->m_nPinNumber, 3);
    EXPECT_EQ(back->m_legacyLabels[2], "Old 2");
    EXPECT_EQ(back->m_legacyLabels[3], "Output 3");
    EXPECT_EQ(back->m_bValueIsVariable, 0);
    EXPECT_EQ(back->m_strValueVariable, "level");
    EXPECT_DOUBLE_EQ(back->m_parameter.value, 12.0);
    EXPECT_EQ(WriteOne(back.get(), kCurrentVersion), bytes);
    ExpectTruncationsThrow(bytes, 7);

    // Before revision 0xB7 of the second family (0xB3 of the first) the
    // record ends before the name: the default "x" stays.
    for (WORD old : {WORD{0x20B6}, WORD{0x10B2}}) {
        const Bytes oldBytes = WriteOne(o.get(), old);
        EXPECT_EQ(oldBytes.size() + (IsVersionAtLeast(old, 0x10B3, 0x20B1) ? 0 : 8) + 1 + 5, bytes.size()) << old;
        auto oldBack = ReadOne<CFlowOutput>(oldBytes, old);
        ASSERT_TRUE(oldBack);
        EXPECT_EQ(oldBack->m_strValueVariable, "x");
        EXPECT_EQ(oldBack->m_strPin, "B");
    }
    o->m_nMode = 9;
    auto odd = ReadOne<CFlowOutput>(WriteOne(o.get(), kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->m_nMode, 2);
}

TEST(FlowOutputRecords, MotorRoundTripAndTheTableGate)
{
    CFlowMotor m;
    m.m_nPinNumber = 6;
    m.m_nDirection = 2;
    m.m_strDirection = "Backwards";
    m.m_strMotor = "Motor C";
    m.m_strName = "Output4";
    m.m_strOutputChoices = "Output4\nOutput2\nOutput0";
    m.m_fMotorCount = 3.0f;
    m.m_strMotorChoices = "Motor A\nMotor B\nMotor C";
    m.m_outputEntries[0] = "Output4";
    m.m_outputEntries[15] = "last";
    const Bytes bytes = WriteOne(&m, kCurrentVersion);
    auto back = ReadOne<CFlowMotor>(bytes, kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nPinNumber, 6);
    EXPECT_EQ(back->m_nDirection, 2);
    EXPECT_EQ(back->m_strDirection, "Backwards");
    EXPECT_EQ(back->m_strMotor, "Motor C");
    EXPECT_EQ(back->m_strName, "Output4");
    EXPECT_EQ(back->m_legacyPairs[1], "(I/O 5 , I/O 6)");
    EXPECT_EQ(back->m_strOutputChoices, "Output4\nOutput2\nOutput0");
    EXPECT_FLOAT_EQ(back->m_fMotorCount, 3.0f);
    EXPECT_EQ(back->m_strMotorChoices, "Motor A\nMotor B\nMotor C");
    EXPECT_EQ(back->m_outputEntries[0], "Output4");
    EXPECT_EQ(back->m_outputEntries[15], "last");
    EXPECT_EQ(WriteOne(back.get(), kCurrentVersion), bytes);
    ExpectTruncationsThrow(bytes, 7);

    // Before revision 0xB5 of the second family the table is not there.
    auto old = ReadOne<CFlowMotor>(WriteOne(&m, 0x20B4), 0x20B4);
    ASSERT_TRUE(old);
    EXPECT_FLOAT_EQ(old->m_fMotorCount, 8.0f);
    EXPECT_EQ(old->m_outputEntries[0], "Output 1");
    EXPECT_EQ(old->m_strMotor, "Motor C");

    // A count or direction no element writes.
    m.m_fMotorCount = 1e30f;
    m.m_nDirection = 7;
    auto odd = ReadOne<CFlowMotor>(WriteOne(&m, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(odd);
    EXPECT_FLOAT_EQ(odd->m_fMotorCount, 8.0f);
    EXPECT_EQ(odd->m_nDirection, 0);
    // Even so a motor name picks no entry outside the table.
    odd->m_fMotorCount = 8.0f;
    odd->OnPropertyCommand(36053, "Motor Z");
    EXPECT_EQ(odd->m_strName, "Output4");
}

} // namespace
