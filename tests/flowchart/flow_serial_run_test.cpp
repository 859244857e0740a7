// The serial elements at run time on real microcontroller parts: the bits
// of a frame leave the sender's Send pin one per pass, the values reach
// the receiver's variables when the frames have had time to pass, and the
// receiver holds its flowchart until then.  Pass counts are worked by hand
// from the element timing at 20 updates per second and the default flow
// time step of 0.2 s.
#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "flow_serial_support.h"
#include "flowchart/flow_errors.h"

#include <gtest/gtest.h>

namespace {

// Bits of one byte on the line: a start bit 0, eight data bits least
// significant first, a stop bit 1.
std::vector<int> FrameBits(int byte)
{
    std::vector<int> bits{0};
    for (int b = 0; b < 8; ++b) bits.push_back((byte >> b) & 1);
    bits.push_back(1);
    return bits;
}

// The logic family of a new design: a pin at full scale is 0.3 A into
// G = 0.06 S, so an open line sits at 5 V.
constexpr double kLineHigh = 0.3 / 0.06;

TEST(FlowSerialRun, AVariableLeavesAsOneFrameOfBitsAndArrivesAfterTwentyPasses)
{
    SerialRig r;
    r.AddChips();
    r.WireLine();
    r.Sends(true, false, false);
    ASSERT_EQ(r.txStart->m_strName, "Flowchart 2");
    ASSERT_TRUE(r.RunToTransfer(42));
    // Pass T: the send element took control and started the frame.
    EXPECT_EQ(r.send->m_bSending, 1);
    EXPECT_EQ(r.send->m_values[0], 42);
    EXPECT_EQ(r.send->m_values[1], -1);
    EXPECT_EQ(r.receive->m_bWaiting, 1);
    EXPECT_EQ(r.send->TransferSteps(true), 20);

    // Address 1 then 42 = 00101010.  The chips stand after the elements in
    // the design, so they step after them: the chip plays bit 0 in pass T
    // itself and bit j in pass T + j; the solve of the next pass carries it
    // on the line (5 V high, 0 V low into the open Receive input).
    std::vector<int> bits = FrameBits(1);
    for (int b : FrameBits(42)) bits.push_back(b);
    ASSERT_EQ(bits.size(), 20u);
    const CChipPort* tx = r.txChip->GetPort(SerialRig::kSendPort);
    const CTerminal* rx = r.rxChip->GetPortTerminal(SerialRig::kReceivePort);
    EXPECT_EQ(tx->m_nValue, 255 * bits[0]);
    for (int j = 1; j <= 20; ++j) {
        r.b.Run();
        // After the frame the line idles high.
        EXPECT_EQ(tx->m_nValue, j < 20 ? 255 * bits[j] : 255) << j;
        EXPECT_NEAR(rx->GetVoltage(), kLineHigh * bits[j - 1], 1e-9) << j;
        EXPECT_EQ(r.rxChip->ReadReceivePin(), bits[j - 1]) << j;
        // The value reaches the receiver in pass T + 19, when the step
        // count of the transfer reaches 20 (the activation's pass counts 1).
        if (j < 19) {
            EXPECT_EQ(r.Rx("x"), 0) << j;
        } else if (j == 19) {
            EXPECT_EQ(r.Rx("x"), 42);
            EXPECT_EQ(r.send->m_bSending, 0);
            EXPECT_EQ(r.send->m_values[0], -1);
            EXPECT_EQ(r.receive->m_bReceived, 1);
        }
    }
    EXPECT_EQ(r.txChip->m_bTransmitting, 0);
    // Addresses not sent arrive as 0.
    EXPECT_EQ(r.Rx("rpins"), 0);
    EXPECT_EQ(r.Rx("r_ain3"), 0);
}

TEST(FlowSerialRun, TheReceiverHoldsItsFlowchartUntilTheValuesCame)
{
    SerialRig r;
    r.AddChips();
    r.WireLine();
    r.Sends(true, false, false);
    ASSERT_TRUE(r.RunToTransfer(7));
    // The receive element stays active with its count given back every
    // pass: a receive at max(2, trunc(0.2 x 20)) = 4 steps holds at 4.
    EXPECT_EQ(r.receive->m_nStepsLeft, 4);
    // Delivery in pass T + 19, then 4 -> 3 -> 2 -> 1 (finishing, received
    // cleared at 0) and the stop triggers in the next solve: pass T + 24.
    const int passes = r.RunUntil([&] { return r.rxStop->m_bStopped != 0; }, 100);
    EXPECT_EQ(passes, 24);
    EXPECT_EQ(r.Rx("x"), 7);
    EXPECT_EQ(r.receive->m_bReceived, 0);
    EXPECT_EQ(r.receive->m_bActive, 0);
    // The sender: trunc((0.2 + 20 / 20) x 20) = 24 steps, its stop in the
    // same pass.
    EXPECT_EQ(r.txStop->m_bStopped, 1);
}

TEST(FlowSerialRun, WholeSequenceTakesTwentyPassesAFrameAndOneForTheEnd)
{
    struct Case {
        bool variable, digital, analogue;
        int count;
        int steps; // 20 x (frames + 1)
    };
    for (const Case c : {Case{true, false, false, 4, 40}, Case{true, true, false, 4, 60},
                         Case{false, true, true, 2, 80}, Case{true, true, true, 4, 140}}) {
        SerialRig r;
        r.AddChips();
        r.WireLine();
        r.Sends(c.variable, c.digital, c.analogue, c.count, true);
        EXPECT_EQ(r.send->TransferSteps(true), c.steps);
        ASSERT_TRUE(r.RunToTransfer(5));
        const int passes = r.RunUntil([&] { return r.receive->m_bReceived != 0; }, 200);
        EXPECT_EQ(passes, c.steps - 1) << c.steps;
    }
}

TEST(FlowSerialRun, PortAndAnalogueInputsReachTheirTargets)
{
    SerialRig r;
    r.AddChips();
    r.WireLine();
    // Input1 and Input3 on a 9 V rail: the byte is 2 + 8 = 10.  a_Input0 on
    // a 1 k / 1 k divider: 4.5 V reads trunc(4.5 / 5 x 255) = 229; a_Input1
    // is left open and reads 0.
    auto* rail = r.b.Add<CVoltRail>(1600, 0);
    r.b.Wire(rail->GetTerminal(0), r.txChip->GetPortTerminal(1));
    r.b.Wire(rail->GetTerminal(0), r.txChip->GetPortTerminal(3));
    auto* upper = r.b.Add<CResistor>(1700, 100);
    auto* lower = r.b.Add<CResistor>(1700, 400);
    auto* earth = r.b.Add<CEarth>(1700, 700);
    SetLabel(upper, 1000.0);
    SetLabel(lower, 1000.0);
    r.b.Wire(rail->GetTerminal(0), upper->GetTerminal(0));
    r.b.Wire(upper->GetTerminal(1), r.txChip->GetPortTerminal(4));
    r.b.Wire(r.txChip->GetPortTerminal(4), lower->GetTerminal(0));
    r.b.Wire(lower->GetTerminal(1), earth->GetTerminal(0));
    r.Sends(true, true, true, 2, true);
    ASSERT_TRUE(r.RunToTransfer(3));
    EXPECT_EQ(r.send->m_values[1], 10);
    EXPECT_EQ(r.send->m_values[2], 229);
    EXPECT_EQ(r.send->m_values[3], 0);
    EXPECT_EQ(r.send->m_values[4], -1);
    // Four frames and the end: 100 steps, delivered in pass T + 99.
    EXPECT_EQ(r.RunUntil([&] { return r.receive->m_bReceived != 0; }, 200), 99);
    EXPECT_EQ(r.Rx("x"), 3);
    EXPECT_EQ(r.Rx("rpins"), 10);
    EXPECT_EQ(r.Rx("r_ain0"), 229);
    EXPECT_EQ(r.Rx("r_ain1"), 0);
    EXPECT_EQ(r.Rx("r_ain2"), 0);
}

TEST(FlowSerialRun, AReceivePinThatNeverSawTheLineGetsNothing)
{
    SerialRig r;
    r.AddChips(); // the line is not wired
    r.Sends(true, false, false);
    ASSERT_TRUE(r.RunToTransfer(42));
    EXPECT_EQ(r.receive->m_bWaiting, 1);
    r.b.Run(60);
    EXPECT_EQ(r.send->m_bSending, 0);
    EXPECT_EQ(r.receive->m_nLineSamples, 0);
    EXPECT_EQ(r.receive->m_bReceived, 0);
    EXPECT_EQ(r.receive->m_bActive, 1);
    EXPECT_EQ(r.rxStop->m_bStopped, 0);
    EXPECT_EQ(r.Rx("x"), 0);
}

TEST(FlowSerialRun, WithoutChipsTheTransferTakesOnePass)
{
    SerialRig r;
    r.Sends(true, false, false);
    EXPECT_EQ(r.send->TransferSteps(false), 1);
    ASSERT_TRUE(r.RunToTransfer(99));
    // Delivered in the activation's own pass.
    EXPECT_EQ(r.Rx("x"), 99);
    EXPECT_EQ(r.receive->m_bReceived, 1);
    EXPECT_EQ(r.send->m_bSending, 0);
    // The send element runs for the flow time step: max(2, trunc(0.2 x 20)).
    EXPECT_DOUBLE_EQ(r.send->GetRunTime(), 0.2);
}

TEST(FlowSerialRun, PortOrAnalogueWithoutAChipSendsNothing)
{
    SerialRig r;
    r.Sends(true, true, false);
    ASSERT_TRUE(r.RunToTransfer(99));
    EXPECT_EQ(r.send->m_bSending, 0);
    EXPECT_EQ(r.send->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(r.receive->m_bWaiting, 0);
    r.b.Run(20);
    EXPECT_EQ(r.Rx("x"), 0);
    EXPECT_EQ(r.txStop->m_bStopped, 1);
    EXPECT_EQ(r.rxStop->m_bStopped, 0);
}

TEST(FlowSerialRun, ChipSituationsMustMatch)
{
    // A sender with a chip and a receiver without one: not armed.
    SerialRig r;
    r.txChip = r.AddSerialChip(1200, r.txStart->m_strName);
    r.Sends(true, false, false);
    ASSERT_TRUE(r.RunToTransfer(42));
    EXPECT_EQ(r.receive->m_bWaiting, 0);
    EXPECT_FALSE(r.receive->CanAccept(true, true));
    EXPECT_TRUE(r.receive->CanAccept(true, false));
    EXPECT_TRUE(r.receive->CanAccept(false, true));
    EXPECT_TRUE(r.receive->IsOtherFlowchart(r.txStart));
    EXPECT_FALSE(r.receive->IsOtherFlowchart(r.rxStart));

    // Both chips, the receiver's without serial communications (no Send
    // pin): not armed either.
    SerialRig s;
    s.rxChip = s.AddSerialChip(800, s.rxStart->m_strName, false);
    s.txChip = s.AddSerialChip(1200, s.txStart->m_strName);
    s.Sends(true, false, false);
    ASSERT_TRUE(s.RunToTransfer(42));
    EXPECT_EQ(s.receive->m_bWaiting, 0);
    EXPECT_EQ(s.receive->Arm(true), 1);
    EXPECT_EQ(s.receive->m_bWaiting, 0);
}

TEST(FlowSerialRun, AValueTheLineCannotCarryHoldsTheSender)
{
    // A variable range of 1000: 300 does not fit the line's byte.
    for (const auto& [value, code] : {std::pair{300, kSerialErrRange}, std::pair{255, kFlowNoError}}) {
        SerialRig r;
        r.b.d.m_nVariableRange = 1000;
        r.Sends(true, false, false);
        ASSERT_TRUE(r.RunToTransfer(value));
        EXPECT_EQ(r.send->m_nErrorCode, code) << value;
        EXPECT_EQ(r.send->m_bSending, 0);
        r.b.Run(20);
        EXPECT_EQ(r.txStop->m_bStopped, code == kFlowNoError ? 1 : 0) << value;
        EXPECT_EQ(r.Rx("x"), code == kFlowNoError ? value : 0) << value;
    }
}

TEST(FlowSerialRun, AFullTableHoldsTheReceiver)
{
    SerialRig r;
    r.receive->m_targets[5] = "extra";
    r.b.d.ResetRun(0);
    r.b.d.SetUpdateRate(20.0);
    Press(r.rxStart, r.b.d);
    for (int i = 0; r.rxStart->GetVariableCount() < kFlowVariableSlots; ++i)
        r.rxStart->AddVariable("v" + std::to_string(i));
    ASSERT_TRUE(r.RunUntil([&] { return r.receive->m_bActive != 0; }, 50));
    EXPECT_EQ(r.receive->m_nErrorCode, FLOW_ERR_TOO_MANY_VARIABLES);
    EXPECT_FALSE(r.rxStart->HasVariable("extra"));
}

} // namespace
