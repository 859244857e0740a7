// The microcontroller's layout and its pins in the solve: box size and pin
// places for several counts, the terminal mapping, outputs into a resistor
// load and inputs read from a divider, checked against hand calculation.
#include "chip_support.h"

#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"

#include <cmath>

namespace {

struct LayoutCase {
    int d, a, r, q;
    int height; // 144 + 32 x (L - 4), at least 144
};

class ChipLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ChipLayout, BoxAndPinsFollowTheCounts)
{
    const LayoutCase c = GetParam();
    ChipBench b;
    CChip* chip = b.AddChip(200, 100, c.d, c.a, c.r, c.q);
    EXPECT_EQ(CChip::BoxHeight(c.r, c.d, c.a, c.q), c.height);
    EXPECT_EQ(chip->m_rect.Width(), 64);
    EXPECT_EQ(chip->m_rect.Height(), c.height);
    const int n = c.r + c.d + c.a;
    ASSERT_EQ(chip->GetPortCount(), n + c.q);
    EXPECT_EQ(chip->m_wPortCount, n + c.q);
    EXPECT_EQ(chip->GetTerminalCount(), n + c.q);
    for (int i = 0; i < c.d + c.a; ++i) {
        const CTerminal* t = chip->GetPortTerminal(i);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->GetPinPoint(), CPoint(200, 100 + 24 + 32 * i)) << i;
        EXPECT_EQ(t->GetSide(), 3);
        EXPECT_EQ(chip->GetPort(i)->m_nKind, CHIP_PIN_INPUT);
        EXPECT_EQ(chip->GetPort(i)->m_bDigital, i < c.d ? 1 : 0);
        EXPECT_EQ(chip->GetPort(i)->m_strName, i < c.d ? "Input" + std::to_string(i) : "a_Input" + std::to_string(i - c.d));
    }
    if (c.r) {
        const CTerminal* t = chip->GetPortTerminal(c.d + c.a);
        EXPECT_EQ(t->GetPinPoint(), CPoint(200, 100 + c.height - 24));
        EXPECT_EQ(chip->GetPort(c.d + c.a)->m_strName, "Reset");
        EXPECT_EQ(chip->GetPort(c.d + c.a)->m_nKind, CHIP_PIN_RESET);
        EXPECT_EQ(chip->GetPortMessage(c.d + c.a)->GetValue(), 0);
    }
    for (int j = 0; j < c.q; ++j) {
        const CTerminal* t = chip->GetPortTerminal(n + j);
        EXPECT_EQ(t->GetPinPoint(), CPoint(264, 100 + 24 + 32 * j)) << j;
        EXPECT_EQ(t->GetSide(), 1);
        EXPECT_EQ(chip->GetPort(n + j)->m_strName, "Output" + std::to_string(j));
        EXPECT_EQ(chip->GetPortMessage(n + j)->GetValue(), 1);
        EXPECT_EQ(chip->GetPortMessage(n + j)->GetTag(), "Output" + std::to_string(j));
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, ChipLayout,
                         ::testing::Values(LayoutCase{4, 0, 0, 4, 144},   // L = 4
                                           LayoutCase{4, 0, 1, 4, 208},   // Q <= 5: L = 2 + 4
                                           LayoutCase{8, 4, 0, 8, 400},   // L = 12
                                           LayoutCase{8, 8, 0, 16, 528},  // L = 16
                                           LayoutCase{2, 0, 0, 8, 272},   // Q > N: L = Q
                                           LayoutCase{1, 0, 0, 1, 144},   // never below 144
                                           LayoutCase{8, 4, 1, 16, 528})); // Q = 16 > 13

TEST(ChipLayout, NewLayoutMapsOutputsFirstAndInputsBackwards)
{
    ChipBench b;
    CChip* chip = b.AddChip(0, 0, 3, 1, 1, 2); // 5 inputs, 2 outputs
    ASSERT_EQ(chip->GetPortCount(), 7);
    EXPECT_EQ(chip->m_bNewLayout, 1);
    // Output j is terminal j; input port i is terminal (7 - 1 - i).
    const int expected[7] = {6, 5, 4, 3, 2, 0, 1};
    for (int port = 0; port < 7; ++port) {
        EXPECT_EQ(chip->PortToTerminalIndex(port), expected[port]) << port;
        EXPECT_EQ(chip->GetPortTerminal(port), chip->GetTerminal(expected[port]));
    }
    EXPECT_EQ(chip->PortToTerminalIndex(7), -1);
    EXPECT_EQ(chip->PortToTerminalIndex(-1), -1);
    // The old layout: port i is terminal i.
    chip->m_bNewLayout = 0;
    for (int port = 0; port < 7; ++port) EXPECT_EQ(chip->PortToTerminalIndex(port), port);
}

// Output -> R -> earth.  The pin is a Norton source: G = 0.06 S with
// 0.3 A into the node at full scale, so V = 0.3 / (G + 1/R).
TEST(ChipPins, OutputIntoResistorLoad)
{
    struct Case {
        double ohms;
        int level; // value as a fraction of the range: 1 full, 0 none
        double volts;
    };
    for (Case c : {Case{100.0, 1, 0.3 / (0.06 + 0.01)}, Case{1000.0, 1, 0.3 / (0.06 + 0.001)},
                   Case{10.0, 1, 0.3 / (0.06 + 0.1)}, Case{100.0, 0, 0.0}}) {
        ChipBench b;
        CChip* chip = b.AddChip(0, 0, 4, 0, 0, 4);
        auto* load = b.Add<CResistor>(400, 100);
        auto* earth = b.Add<CEarth>(400, 300);
        SetLabel(load, c.ohms);
        b.Wire(chip->GetPortTerminal(5), load->GetTerminal(0));
        b.Wire(load->GetTerminal(1), earth->GetTerminal(0));
        b.Start();
        EXPECT_TRUE(chip->SetOutputByName("Output1", c.level));
        b.Run(1);
        EXPECT_NEAR(chip->GetPortTerminal(5)->GetVoltage(), c.volts, 1e-9) << c.ohms;
        EXPECT_NEAR(load->GetTerminal(0)->GetCurrent(), c.volts / c.ohms, 1e-9) << c.ohms;
    }
}

// A value one below the range is low: the pin pulls a 9 V rail's resistor
// towards ground through G, V = 9 x (1/R) / (G + 1/R).
TEST(ChipPins, OneBelowTheRangeIsLow)
{
    ChipBench b;
    CChip* chip = b.AddChip(0, 0, 4, 0, 0, 4);
    auto* rail = b.Add<CVoltRail>(400, 0);
    auto* load = b.Add<CResistor>(400, 100);
    SetLabel(load, 100.0);
    b.Wire(rail->GetTerminal(0), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), chip->GetPortTerminal(4));
    b.Start();
    chip->GetPort(4)->m_nValue = b.d.GetAnalogRange() - 1;
    b.Run(1);
    EXPECT_NEAR(chip->GetPortTerminal(4)->GetVoltage(), 9.0 * 0.01 / (0.06 + 0.01), 1e-9);
    chip->GetPort(4)->m_nValue = b.d.GetAnalogRange();
    b.Run(1);
    // Full scale: (9 x 0.01 + 0.3) / (0.06 + 0.01).
    EXPECT_NEAR(chip->GetPortTerminal(4)->GetVoltage(), (0.09 + 0.3) / 0.07, 1e-9);
}

// 9 V rail -> R1 -> pin -> R2 -> earth: the pin sits at 9 R2 / (R1 + R2)
// (inputs draw nothing).  Digital: above 1.48 V reads 255; analogue:
// trunc(V / 5 x 255).
TEST(ChipPins, InputsReadThroughThresholdAndScale)
{
    struct Case {
        double r1, r2;
        int digital, analogue;
    };
    // 3.0 V, 1.5 V, 9/7 V, 0.9 V.
    for (Case c : {Case{1000, 500, 255, 153}, Case{5000, 1000, 255, 76}, Case{6000, 1000, 0, 65},
                   Case{9000, 1000, 0, 45}}) {
        ChipBench b;
        CChip* chip = b.AddChip(200, 0, 2, 2, 0, 2);
        auto* rail = b.Add<CVoltRail>(0, 0);
        CTerminal* pins[2] = {chip->GetPortTerminal(1), chip->GetPortTerminal(3)};
        for (int k = 0; k < 2; ++k) {
            auto* upper = b.Add<CResistor>(500 + 200 * k, 100);
            auto* lower = b.Add<CResistor>(500 + 200 * k, 400);
            auto* earth = b.Add<CEarth>(500 + 200 * k, 600);
            SetLabel(upper, c.r1);
            SetLabel(lower, c.r2);
            b.Wire(rail->GetTerminal(0), upper->GetTerminal(0));
            b.Wire(upper->GetTerminal(1), pins[k]);
            b.Wire(pins[k], lower->GetTerminal(0));
            b.Wire(lower->GetTerminal(1), earth->GetTerminal(0));
        }
        b.Start();
        b.Run(1);
        const double v = 9.0 * c.r2 / (c.r1 + c.r2);
        EXPECT_NEAR(pins[0]->GetVoltage(), v, 1e-9);
        EXPECT_EQ(chip->GetInputValue("Input1"), c.digital) << v;
        EXPECT_EQ(chip->GetInputValue("a_Input1"), c.analogue) << v;
        EXPECT_EQ(chip->ReadAnalogInput(1), c.analogue);
        EXPECT_EQ(chip->ReadDigitalByte(), c.digital ? 2 : 0);
        EXPECT_EQ(chip->GetInputValue("Input0"), 0);
    }
}

TEST(ChipPins, AnalogueReadingScalesWithTheDesignRange)
{
    ChipBench b;
    CChip* chip = b.AddChip(200, 0, 0, 1, 0, 1);
    auto* rail = b.Add<CVoltRail>(0, 0);
    auto* upper = b.Add<CResistor>(500, 100);
    auto* lower = b.Add<CResistor>(500, 400);
    auto* earth = b.Add<CEarth>(500, 600);
    SetLabel(upper, 2000.0);
    SetLabel(lower, 1000.0);
    b.Wire(rail->GetTerminal(0), upper->GetTerminal(0));
    b.Wire(upper->GetTerminal(1), chip->GetPortTerminal(0));
    b.Wire(chip->GetPortTerminal(0), lower->GetTerminal(0));
    b.Wire(lower->GetTerminal(1), earth->GetTerminal(0));
    b.d.m_nAnalogRange = 1000;
    b.Start();
    b.Run(1);
    // 3 V of a 5 V supply at range 1000.
    EXPECT_EQ(chip->ReadAnalogInput(0), 600);
    // Above the supply the reading stays at the range.
    SetLabel(upper, 1.0);
    SetLabel(lower, 1e6);
    b.Run(1);
    EXPECT_EQ(chip->ReadAnalogInput(0), 1000);
}

TEST(ChipPins, LookUpsByName)
{
    ChipBench b;
    CChip* chip = b.AddChip(0, 0, 2, 2, 1, 3);
    // Ports: Input0 Input1 a_Input0 a_Input1 Reset Output0 Output1 Output2.
    EXPECT_EQ(chip->GetDigitalPinIndex("Input1"), 1);
    EXPECT_EQ(chip->GetDigitalPinIndex("a_Input0"), -1);
    EXPECT_EQ(chip->GetDigitalPinIndex("nothing"), kChipNoSuchPin);
    EXPECT_EQ(chip->GetAnalogPinIndex("a_Input1"), 1);
    EXPECT_EQ(chip->GetAnalogPinIndex("Input0"), kChipDigitalPin);
    EXPECT_EQ(chip->IsAnalogPin("a_Input0"), 1);
    EXPECT_EQ(chip->IsAnalogPin("Output2"), 0);
    EXPECT_EQ(chip->IsAnalogPin("x"), kChipNoSuchPin);
    EXPECT_EQ(chip->GetInputValue("Output0"), kChipNoSuchInput);
    EXPECT_EQ(chip->GetInputDigitalFlag("Input0"), 1);
    EXPECT_EQ(chip->GetInputDigitalFlag("a_Input0"), 0);
    EXPECT_EQ(chip->ReadAnalogInput(0), 0);
    EXPECT_EQ(chip->ReadAnalogInput(2), kChipNotAnalogue);
    EXPECT_EQ(chip->ReadAnalogInput(-1), kChipNotAnalogue);
    EXPECT_EQ(chip->GetNextOutputName("Output0"), "Output1");
    EXPECT_EQ(chip->GetNextOutputName("Output2"), kChipNoNextOutput);
    EXPECT_EQ(chip->GetOutputNames(), "Output2\nOutput1\nOutput0");
    EXPECT_EQ(chip->GetMotorOutputNames(), "Output1\nOutput0");
    EXPECT_EQ(chip->GetInputNames(), "Input0\nInput1\na_Input0\na_Input1");
    EXPECT_EQ(chip->GetAnalogInputNames(), "a_Input0\na_Input1");
    EXPECT_EQ(chip->GetOutputName(5), "Output5");
    EXPECT_EQ(chip->GetPinName(4), "Output0"); // counted without the reset pin
    chip->SetOutputName(1, " ");
    EXPECT_EQ(chip->GetOutputNames(), "Output2\nOutput0");
    chip->SetOutputName(7, "ignored");
    EXPECT_EQ(chip->GetOutputName(7), "Output7");
    EXPECT_EQ(chip->GetPortMessage(6)->GetTag(), " ");

    const int range = b.d.GetAnalogRange();
    EXPECT_TRUE(chip->SetMotorPins("Output0", 0));
    EXPECT_EQ(chip->GetPort(5)->m_nValue, range);
    EXPECT_EQ(chip->GetPort(6)->m_nValue, 0);
    EXPECT_TRUE(chip->SetMotorPins("Output0", 2));
    EXPECT_EQ(chip->GetPort(5)->m_nValue, 0);
    EXPECT_EQ(chip->GetPort(6)->m_nValue, range);
    EXPECT_FALSE(chip->SetMotorPins("nothing", 0));
    chip->SetOutputsFromByte(0b101);
    EXPECT_EQ(chip->GetPort(5)->m_nValue, range);
    EXPECT_EQ(chip->GetPort(6)->m_nValue, 0);
    EXPECT_EQ(chip->GetPort(7)->m_nValue, range);
    EXPECT_EQ(chip->ResetPins(), 8);
    EXPECT_EQ(chip->GetPort(7)->m_nValue, 0);
    EXPECT_FALSE(chip->IsResetHigh());
    EXPECT_FALSE(chip->SetOutputByName("Input0", 1));
}

TEST(ChipNaming, ChipsPlacedInTurnTakeFreeNames)
{
    ChipBench b;
    auto* first = b.Add<CChip>(0, 0);
    auto* second = b.Add<CChip>(300, 0);
    EXPECT_EQ(first->m_strFlowchartName, "Flowchart 1");
    EXPECT_EQ(second->m_strFlowchartName, "Flowchart 2");
    EXPECT_EQ(second->m_strCaption, "Running Flowchart 2");
    // The design's default class brings its counts: "18 pin PIC", 4 in, 8 out.
    EXPECT_EQ(first->m_strClassName, "18 pin PIC");
    EXPECT_EQ(first->GetClassName(), "18 pin PIC");
    EXPECT_EQ(first->GetPortCount(), 12);
    EXPECT_EQ(first->m_rect.Height(), 144 + 32 * 4);
    b.d.DeletePart(first);
    auto* third = b.Add<CChip>(600, 0);
    EXPECT_EQ(third->m_strFlowchartName, "Flowchart 1");
    EXPECT_TRUE(third->IsFlowchartNameUsed("Flowchart 2"));
    EXPECT_FALSE(third->IsFlowchartNameUsed("Flowchart 1"));
    EXPECT_EQ(FindChipForFlowchart(&b.d, "flowchart 2"), second);
    EXPECT_EQ(FindChipForFlowchart(&b.d, "Flowchart 3"), nullptr);
    EXPECT_EQ(FindChipForFlowchart(nullptr, "Flowchart 1"), nullptr);
}

TEST(ChipNaming, BlankFlowchartNameHasNoInfo)
{
    ChipBench b;
    auto* chip = b.Add<CChip>(0, 0);
    EXPECT_TRUE(chip->HasInfo(0, 0));
    CString text;
    chip->BuildInfo(text, 0, CPoint());
    EXPECT_EQ(text, "Running Flowchart 1");
    chip->m_strFlowchartName = " ";
    EXPECT_FALSE(chip->HasInfo(0, 0));
}

} // namespace

namespace {

// A rebuild replaces the terminals: the wires let go of the old ones and
// join the new ones standing at the same pins, so the load still sees the
// output (V = 0.3 / (0.06 + 0.01) into 100 ohms).
TEST(ChipRebuild, WiresFollowTheNewTerminals)
{
    ChipBench b;
    CChip* chip = b.AddChip(0, 0, 4, 0, 0, 4);
    auto* load = b.Add<CResistor>(400, 100);
    auto* earth = b.Add<CEarth>(400, 300);
    SetLabel(load, 100.0);
    b.Wire(chip->GetPortTerminal(4), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), earth->GetTerminal(0));
    b.Start();
    b.Run(1);
    // Rebuilt while the design runs: the next pass goes on without a reset.
    chip->OnPropertyCommand(36059, "Generic");
    chip->ApplySettingsText();
    ASSERT_EQ(chip->GetPortCount(), 32);
    EXPECT_TRUE(chip->GetPortTerminal(16)->IsJoined());
    chip->SetOutputByName("Output0", 1);
    b.Run(1);
    EXPECT_NEAR(load->GetTerminal(0)->GetVoltage(), 0.3 / 0.07, 1e-9);
    for (int port = 0; port < chip->GetPortCount(); ++port)
        EXPECT_LT(chip->GetPortTerminal(port)->GetNode(), b.d.GetNodeCount()) << port;
}

// With serial communications on, a class change moves the serial pins to
// the new class's places and the ordinary names do not land on them.
TEST(ChipRebuild, SerialPinsMoveWithTheClass)
{
    ChipBench b;
    auto* chip = b.Add<CChip>(0, 0);
    chip->OnPropertyCommand(36059, "STAMP");
    chip->ApplySettingsText();
    chip->OnPropertyCommand(36114, "");
    chip->ApplySettingsText();
    ASSERT_EQ(chip->GetPortCount(), 8);
    EXPECT_EQ(chip->GetPort(0)->m_strName, "Receive");
    EXPECT_EQ(chip->GetPort(7)->m_strName, "Send");
    chip->SetOutputName(0, "Lamp");
    chip->OnPropertyCommand(36059, "18 pin PIC");
    chip->ApplySettingsText();
    ASSERT_EQ(chip->GetPortCount(), 12);
    EXPECT_EQ(chip->GetPort(0)->m_strName, "Receive");
    EXPECT_EQ(chip->GetPort(0)->m_nKind, CHIP_PIN_RECEIVE);
    EXPECT_EQ(chip->GetPort(11)->m_strName, "Send");
    EXPECT_EQ(chip->GetPort(11)->m_nKind, CHIP_PIN_SEND);
    EXPECT_EQ(chip->GetPort(4)->m_strName, "Lamp");
    EXPECT_EQ(chip->GetPort(7)->m_strName, "Output3");
    EXPECT_EQ(chip->GetPort(7)->m_nKind, CHIP_PIN_OUTPUT);
}

} // namespace
