// The microcontroller's record and its rebuilds: a design round-trips with
// every field, an old eight-pin record loads in the old terminal layout and
// rebuilds to the drawn box, damaged records are refused, and a class
// change sets the counts of the class table.
#include "chip_support.h"

#include "model/designfile/design_file.h"
#include "model/design_roundtrip.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"

#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WriteOne(CObject* part, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

CChip* OnlyChip(CCircuit& d)
{
    const auto chips = d.CollectChips();
    return chips.size() == 1 ? static_cast<CChip*>(chips[0]) : nullptr;
}

TEST(ChipRecord, DesignRoundTripKeepsEveryField)
{
    ChipBench b;
    CChip* chip = b.Add<CChip>(100, 100);
    chip->m_strFlowchartChoices = "Flowchart 1\nFlowchart 2";
    chip->m_strPinNameText = "Door";
    chip->m_dwSelectedPin = 2;
    chip->m_bSerial = 1;
    chip->m_bUsart = 0;
    chip->m_bCustomSizes = 1;
    chip->m_nCustomDigital = 3;
    chip->m_bTransmitting = 1;
    chip->m_nBitIndex = 7;
    chip->m_nBitCount = 39;
    chip->m_bits[3] = 1;
    chip->m_bits[119] = 1;
    chip->SetDigitalInputName(1, "Door \xE9");
    chip->GetPort(5)->m_nValue = 255;

    const Bytes bytes = SaveDesign(b.d);
    auto back = LoadDesign(bytes);
    ASSERT_TRUE(back);
    CChip* c = OnlyChip(*back);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->m_strCaption, "Running Flowchart 1");
    EXPECT_EQ(c->m_strFlowchartName, "Flowchart 1");
    EXPECT_EQ(c->m_strFlowchartChoices, "Flowchart 1\nFlowchart 2");
    EXPECT_EQ(c->m_strNameCopy, "Flowchart 1");
    EXPECT_EQ(c->m_strPinNameText, "Door");
    EXPECT_EQ(c->m_dwSelectedPin, 2u);
    EXPECT_EQ(c->m_strClassName, "18 pin PIC");
    EXPECT_EQ(c->m_nClassCode, CHIP_PIC18);
    EXPECT_EQ(c->m_bSerial, 1);
    EXPECT_EQ(c->m_bUsart, 0);
    EXPECT_EQ(c->m_bCustomSizes, 1);
    EXPECT_EQ(c->m_bTransmitting, 1);
    EXPECT_EQ(c->m_nBitIndex, 7);
    EXPECT_EQ(c->m_nBitCount, 39);
    EXPECT_EQ(c->m_bits[3], 1u);
    EXPECT_EQ(c->m_bits[119], 1u);
    EXPECT_EQ(c->m_bits[4], 0u);
    EXPECT_EQ(c->m_bNewLayout, 1);
    EXPECT_EQ(c->m_nMaxDigital, 4);
    ASSERT_EQ(c->GetPortCount(), 12);
    EXPECT_EQ(c->GetPort(1)->m_strName, "Door \xE9");
    EXPECT_EQ(c->GetPort(5)->m_nValue, 255);
    EXPECT_EQ(c->GetPort(4)->m_nKind, CHIP_PIN_OUTPUT);
    for (int i = 0; i < 12; ++i) {
        ASSERT_NE(c->GetPortMessage(i), nullptr) << i;
        EXPECT_EQ(c->GetPortMessage(i)->GetTag(), c->GetPort(i)->m_strName);
    }
    EXPECT_EQ(c->GetPortTerminal(4)->GetPinPoint(), chip->GetPortTerminal(4)->GetPinPoint());
    // The chip written again gives the same record.
    EXPECT_EQ(WriteOne(c, kCurrentVersion), WriteOne(chip, kCurrentVersion));
}

// A chip record as the oldest files carry it: the component record, then
// the fixed eight-pin fields.  The test class writes it; reading goes
// through the chip's own reader (an old version word).
class CTestOldChip : public CChip {
    WB_DECLARE_SERIAL(CTestOldChip)
public:
    void Serialize(CArchive& ar) override
    {
        if (!ar.IsStoring()) {
            CChip::Serialize(ar);
            return;
        }
        CComponent::Serialize(ar);
        for (DWORD w = 0; w < 8; ++w) ar << w;
        ar << CString("Running Old") << CString("Old") << CString("Old\nOther") << CString("Old");
        for (int i = 0; i < 8; ++i) ar << CString("legacy");
        ar << CString("I/O 3 :") << CString("Lamp") << CString("I/O 3 :") << DWORD(3);
        static const char* kNames[8] = {"Switch", "In1", "In2", "In3", "Lamp", "Out5", "Out6", "Out7"};
        for (int port : {4, 5, 6, 7, 3, 2, 1, 0}) {
            ar.WriteObjectRef(nullptr);
            ar << CString(kNames[port]);
        }
    }
};
WB_IMPLEMENT_SERIAL(CTestOldChip, "CChip", 2)

constexpr WORD kOldVersion = 0x2082; // 8322, the last of the old record

std::unique_ptr<CChip> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CChip> p(dynamic_cast<CChip*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

// An old chip: eight terminals (the name messages are left out, as their
// own records of those files differ), no design.
std::unique_ptr<CTestOldChip> OldChip()
{
    EnsureTextGuiApp();
    auto c = std::make_unique<CTestOldChip>();
    c->m_strClassName = "STAMP";
    c->m_rect = CRect(40, 80, 40, 80);
    c->Initialise();
    for (CFlowMeterMessage* m : c->m_messages) {
        c->RemoveChild(m);
        delete m;
    }
    c->m_messages.clear();
    return c;
}

TEST(ChipRecord, OldRecordLoadsAsEightPinStamp)
{
    auto old = OldChip();
    const Bytes bytes = WriteOne(old.get(), kOldVersion);
    auto c = ReadOne(bytes, kOldVersion);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->m_bNewLayout, 0);
    EXPECT_NE(c->m_pVisual, nullptr);
    EXPECT_EQ(c->m_nClassCode, CHIP_STAMP);
    EXPECT_EQ(c->m_strClassName, "STAMP");
    EXPECT_EQ(c->DigitalCount(), 4);
    EXPECT_EQ(c->AnalogueCount(), 0);
    EXPECT_EQ(c->OutputCount(), 4);
    EXPECT_EQ(c->m_nResetPin, 0);
    EXPECT_EQ(c->m_bSerial, 0);
    EXPECT_EQ(c->m_strCaption, "Running Old");
    EXPECT_EQ(c->m_strFlowchartName, "Old");
    EXPECT_EQ(c->m_strPinNameText, "Lamp");
    EXPECT_EQ(c->m_dwSelectedPin, 3u);
    EXPECT_EQ(c->m_strSignalMode, "Digital");
    ASSERT_EQ(c->GetPortCount(), 8);
    static const char* kNames[8] = {"Switch", "In1", "In2", "In3", "Lamp", "Out5", "Out6", "Out7"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(c->GetPort(i)->m_strName, kNames[i]);
        EXPECT_EQ(c->GetPort(i)->m_nKind, i < 4 ? CHIP_PIN_INPUT : CHIP_PIN_OUTPUT);
        EXPECT_EQ(c->GetPort(i)->m_bDigital, 1);
        // The old layout: port i is terminal i.
        EXPECT_EQ(c->GetPortTerminal(i), c->GetTerminal(i));
    }

    // The first rebuild sets the flag, drops the picture, restores the
    // 64 x 144 box and lays the ports out anew with their names.
    c->ApplySettingsText();
    EXPECT_EQ(c->m_bNewLayout, 1);
    EXPECT_EQ(c->m_pVisual, nullptr);
    EXPECT_EQ(c->m_dwSelectedPin, 0u);
    EXPECT_EQ(c->m_strPinCaption2, "I/O 0 :");
    EXPECT_EQ(c->m_rect, CRect(40, 80, 104, 224));
    ASSERT_EQ(c->GetPortCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(c->GetPort(i)->m_strName, kNames[i]);
        EXPECT_EQ(c->GetPortMessage(i)->GetTag(), kNames[i]);
    }
    EXPECT_EQ(c->GetPortTerminal(0), c->GetTerminal(7));
    EXPECT_EQ(c->GetPortTerminal(4), c->GetTerminal(0));
    EXPECT_EQ(c->GetPortTerminal(4)->GetPinPoint(), CPoint(104, 104));
}

// The first revision of the current record in the first product family is
// read as current, not as the old eight-pin record.
TEST(ChipRecord, FirstFamilyReadsTheCurrentRecord)
{
    ChipBench b;
    CChip* chip = b.AddChip(0, 0, 8, 4, 0, 8);
    chip->SetOutputName(2, "Motor");
    for (WORD version : {WORD(0x10B8), WORD(0x10B3), WORD(0x20B8), WORD(0x2083)}) {
        // Without the name messages: their record carries a gate of its own.
        auto c = std::make_unique<CChip>();
        c->m_strClassName = "Generic";
        c->m_digitalInputs = 8;
        c->m_analogueInputs = 4;
        c->m_outputs = 8;
        c->Initialise();
        for (CFlowMeterMessage* m : c->m_messages) {
            c->RemoveChild(m);
            delete m;
        }
        c->m_messages.clear();
        c->SetOutputName(2, "Motor");
        auto back = ReadOne(WriteOne(c.get(), version), version);
        ASSERT_TRUE(back) << version;
        EXPECT_EQ(back->GetPortCount(), 20) << version;
        EXPECT_EQ(back->GetOutputName(2), "Motor") << version;
        EXPECT_EQ(back->m_bNewLayout, 1);
    }
}

TEST(ChipRecord, TruncatedRecordsFailCleanly)
{
    ChipBench b;
    b.Add<CChip>(100, 100);
    const Bytes bytes = SaveDesign(b.d);
    int refused = 0;
    for (size_t cut = 1; cut < bytes.size(); cut += 7) {
        Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        try {
            auto d = LoadDesign(part);
            (void)d;
        } catch (const CException&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(ChipRecord, DamagedCountsAndKindsAreRefused)
{
    struct Damage {
        const char* what;
        void (*apply)(CChip*);
    };
    const Damage damages[] = {
        {"port count", [](CChip* c) { c->m_wPortCount = 9000; }},
        {"outputs", [](CChip* c) { c->m_outputs = 60; }},
        {"reset", [](CChip* c) { c->m_nResetPin = 1; }},
        {"kind", [](CChip* c) { c->GetPort(2)->m_nKind = 9; }},
    };
    for (const Damage& dmg : damages) {
        auto c = std::make_unique<CChip>();
        c->m_strClassName = "STAMP";
        c->Initialise();
        dmg.apply(c.get());
        const Bytes bytes = WriteOne(c.get(), kCurrentVersion);
        CArchive ar(bytes);
        ar.SetVersion(kCurrentVersion);
        bool refused = false;
        try {
            std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
        } catch (const CArchiveException&) {
            refused = true;
        }
        EXPECT_TRUE(refused) << dmg.what;
    }
}

TEST(ChipRecord, SelectedMessageFromAnotherPartIsNotTaken)
{
    ChipBench b;
    CChip* chip = b.Add<CChip>(100, 100);
    const Bytes bytes = SaveDesign(b.d);
    auto back = LoadDesign(bytes);
    ASSERT_TRUE(back);
    CChip* c = OnlyChip(*back);
    ASSERT_NE(c, nullptr);
    for (int i = 0; i < c->GetPortCount(); ++i) {
        bool own = false;
        for (CPart* p = c->GetFirstChild(); p; p = p->GetNextSibling()) own |= p == c->GetPortMessage(i);
        EXPECT_TRUE(own) << i;
    }
    (void)chip;
}

struct ClassCase {
    const char* name;
    int code, d, a, q, maxD, maxA, maxQ;
};

class ChipClasses : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ChipClasses, ClassChangeSetsTheTableCounts)
{
    const ClassCase c = GetParam();
    ChipBench b;
    CChip* chip = b.Add<CChip>(100, 100);
    chip->SetDigitalInputName(0, "Door");
    chip->SetOutputName(0, "Lamp");
    EXPECT_EQ(chip->OnPropertyCommand(36059, c.name), 25);
    chip->ApplySettingsText();
    EXPECT_EQ(chip->m_nClassCode, c.code);
    EXPECT_EQ(chip->DigitalCount(), c.d);
    EXPECT_EQ(chip->AnalogueCount(), c.a);
    EXPECT_EQ(chip->OutputCount(), c.q);
    EXPECT_EQ(chip->m_nMaxDigital, c.maxD);
    EXPECT_EQ(chip->m_nMaxAnalogue, c.maxA);
    EXPECT_EQ(chip->m_nMaxOutputs, c.maxQ);
    EXPECT_EQ(chip->GetPortCount(), c.d + c.a + c.q);
    EXPECT_EQ(chip->GetTerminalCount(), c.d + c.a + c.q);
    EXPECT_EQ(chip->m_rect.Height(), CChip::BoxHeight(0, c.d, c.a, c.q));
    EXPECT_EQ(chip->m_bClassChanged, 0);
    EXPECT_EQ(chip->m_bClassPending, 0);
    // The names stay with their positions.
    EXPECT_EQ(chip->GetDigitalInputName(0), "Door");
    EXPECT_EQ(chip->GetOutputName(0), "Lamp");
    EXPECT_EQ(chip->GetOutputName(1), "Output1");
}

INSTANTIATE_TEST_SUITE_P(Table, ChipClasses,
                         ::testing::Values(ClassCase{"STAMP", 4, 4, 0, 4, 8, 0, 8},
                                           ClassCase{"18 pin PIC", 1, 4, 0, 8, 4, 0, 8},
                                           ClassCase{"28 pin PIC", 3, 8, 4, 8, 8, 4, 8}, // USART set
                                           ClassCase{"28 pin PIC (USART)", 3, 8, 4, 8, 8, 4, 8},
                                           ClassCase{"Generic", 0, 8, 8, 16, 8, 8, 16},
                                           ClassCase{"Other", 0, 8, 8, 16, 8, 8, 16}));

TEST(ChipClasses, SerialPinsOfTheUsartClass)
{
    ChipBench b;
    CChip* chip = b.Add<CChip>(100, 100);
    chip->OnPropertyCommand(36059, "28 pin PIC (USART)");
    chip->ApplySettingsText();
    EXPECT_EQ(chip->OnPropertyCommand(36114, ""), 25);
    chip->ApplySettingsText();
    EXPECT_EQ(chip->GetPort(6)->m_nKind, CHIP_PIN_SEND);
    EXPECT_EQ(chip->GetPort(6)->m_strName, "Send");
    EXPECT_EQ(chip->GetPort(7)->m_nKind, CHIP_PIN_RECEIVE);
    EXPECT_EQ(chip->GetPort(7)->m_strName, "Receive");
    EXPECT_EQ(chip->GetSendPinIndex(), 6);
    int flag = 0;
    EXPECT_EQ(chip->IsPropertyChecked(36114, flag), 1);
    // Both high: the byte counts neither.
    for (int i = 0; i < 8; ++i) chip->GetPort(i)->m_nValue = 255;
    EXPECT_EQ(chip->ReadDigitalByte(), 0x3F);
    EXPECT_EQ(chip->ReadReceivePin(), 1);
    EXPECT_EQ(chip->ResetPins(), 20);
    EXPECT_EQ(chip->GetPort(6)->m_nValue, 255);

    // Serial off: the two pins take their default names again.
    chip->OnPropertyCommand(36114, "");
    chip->ApplySettingsText();
    EXPECT_EQ(chip->GetPort(6)->m_strName, "Input6");
    EXPECT_EQ(chip->GetPort(7)->m_strName, "Input7");
    EXPECT_EQ(chip->GetPort(6)->m_nKind, CHIP_PIN_INPUT);
    EXPECT_EQ(chip->GetSendPinIndex(), kChipNoSuchPin);
    EXPECT_EQ(chip->ReadReceivePin(), kChipNoSuchPin);
}

TEST(ChipSerial, TransmissionPlaysOneBitPerStep)
{
    ChipBench b;
    CChip* chip = b.Add<CChip>(100, 100);
    const int none[6] = {-1, -1, -1, -1, -1, -1};
    EXPECT_EQ(chip->StartTransmission(none, true), 0); // serial off
    chip->OnPropertyCommand(36059, "STAMP");
    chip->ApplySettingsText();
    chip->OnPropertyCommand(36114, "");
    chip->ApplySettingsText();
    ASSERT_EQ(chip->GetSendPinIndex(), 7);

    // Address 2 with 0xA5: 0 01000000 1, 0 10100101 1, less the last bit.
    const int values[6] = {-1, 0xA5, -1, -1, -1, -1};
    const int r = chip->StartTransmission(values, true);
    EXPECT_EQ(r & 0xFFFF, 1);
    EXPECT_EQ(r >> 16, 19);
    const int expected[19] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1};
    b.Start();
    for (int k = 0; k < 19; ++k) {
        b.Run(1);
        EXPECT_EQ(chip->GetPort(7)->m_nValue, 255 * expected[k]) << k;
    }
    b.Run(1);
    EXPECT_EQ(chip->m_bTransmitting, 0);
    EXPECT_EQ(chip->GetPort(7)->m_nValue, 255);

    // Only the first frame when whole is clear; 20 low bits without values.
    EXPECT_EQ(chip->StartTransmission(values, false) >> 16, 20);
    EXPECT_EQ(chip->StartTransmission(none, false) >> 16, 20);
    for (int k = 0; k < 20; ++k) EXPECT_EQ(chip->m_bits[k], 0u);
    // Nothing to play: the line stays idle.
    EXPECT_EQ(chip->StartTransmission(none, true) >> 16, 0);
    EXPECT_EQ(chip->m_bTransmitting, 0);
    // All six: 120 bits, 119 played.
    const int all[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(chip->StartTransmission(all, true) >> 16, 119);
}

TEST(ChipProperties, ToolbarItemsAndRename)
{
    ChipBench b;
    CChip* chip = b.Add<CChip>(100, 100);
    CControlItemList items;
    chip->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 8);
    EXPECT_EQ(items[1].type, CI_DROPLIST);
    EXPECT_EQ(items[1].label, "Flowchart 1"); // no flowchart yet: its own name
    EXPECT_EQ(items[3].label, "STAMP\n18 pin PIC\n28 pin PIC\nGeneric");
    EXPECT_EQ(items[7].options & CIO_ADDS_PART, CIO_ADDS_PART);
    chip->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36096)].label, "Flowchart 1");
    EXPECT_EQ(items[items.FindById(36059)].label, "18 pin PIC");
    std::vector<int> ids;
    EXPECT_EQ(chip->GetPropertyBitmap(ids, nullptr), 3);
    EXPECT_EQ(ids, (std::vector<int>{36114, 36074, 36043}));

    EXPECT_EQ(chip->OnPropertyCommand(36096, "Flowchart 7"), 65);
    EXPECT_EQ(chip->m_strCaption, "Running Flowchart 7");

    // Renaming through the pin-name box: the selected pin takes the text,
    // unless another pin bears it already.
    chip->m_dwSelectedPin = 5;
    EXPECT_EQ(chip->OnPropertyCommand(36089, "Buzzer"), 65);
    EXPECT_EQ(chip->GetPort(5)->m_strName, "Buzzer");
    EXPECT_EQ(chip->GetPortMessage(5)->GetTag(), "Buzzer");
    chip->m_dwSelectedPin = 6;
    chip->OnPropertyCommand(36089, "Buzzer");
    EXPECT_EQ(chip->GetPort(6)->m_strName, "Output2");
    chip->OnPropertyCommand(36089, "");
    EXPECT_EQ(chip->m_strPinNameText, " ");

    // Pressing a pin's message selects that pin.
    chip->OnChildPressed(0, chip->GetPortMessage(5));
    EXPECT_EQ(chip->m_dwSelectedPin, 5u);
}

} // namespace
