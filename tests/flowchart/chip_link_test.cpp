// The flowchart start meets a real microcontroller: found by flowchart
// name without regard to case, and every question reaches the chip's pins.
#include "chip_support.h"
#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_start.h"

TEST(ChipLink, StartFindsTheChipOfItsFlowchartAndDrivesItsPins)
{
    ChipBench b;
    CChip* chip = b.AddChip(100, 100, 2, 1, 1, 3);
    auto* start = b.Add<CFlowStart>(400, 100);
    ASSERT_FALSE(start->m_strName.IsEmpty());

    chip->m_strFlowchartName = "elsewhere";
    EXPECT_EQ(start->FindChip(), nullptr);

    CString upper = start->m_strName;
    chip->m_strFlowchartName = upper.MakeUpper();
    CFlowChipLink* link = start->FindChip();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link, chip->GetFlowLink());
    EXPECT_EQ(link->GetInputCount(), 4); // 2 digital, 1 analogue, the reset pin

    const int range = b.d.GetAnalogRange();
    EXPECT_EQ(link->SetOutputPin("Output1", 1), 1);
    EXPECT_EQ(chip->GetPort(chip->GetInputCount() + 1)->m_nValue, range);
    EXPECT_EQ(link->SetOutputPin("NoSuchPin", 1), 0);
    link->ResetPins();
    EXPECT_EQ(chip->GetPort(chip->GetInputCount() + 1)->m_nValue, 0);

    EXPECT_EQ(link->ReadInput("Input0"), 0);
    EXPECT_EQ(link->ReadInput("NoSuchPin"), kChipNoSuchInput);
    EXPECT_EQ(link->IsInputDigital("a_Input0"), 0);
    EXPECT_EQ(link->GetAnalogPinIndex("a_Input0"), 0);

    // The reset pin reads low until the circuit drives it.
    EXPECT_TRUE(link->IsHeldInReset());
    chip->GetPort(chip->DigitalCount() + chip->AnalogueCount())->m_nValue = range;
    EXPECT_FALSE(link->IsHeldInReset());
}
