// "Advanced Microcontroller Options" without windows: the pin identifiers,
// the label rule, the class limits, the USART switch, and the chip's
// advanced-options button through a scripted dialog.
#include "chip_support.h"
#include "flowchart/chip_options.h"

#include <functional>

namespace {

// A chip of a class as its class table gives it.
CChip* AddClassChip(ChipBench& b, const char* cls, int code, int digital, int analogue, int outputs)
{
    CChip* c = b.AddChip(100, 100, digital, analogue, 0, outputs);
    c->m_strClassName = cls;
    c->m_nClassCode = code;
    return c;
}

std::vector<CString> Ids(std::initializer_list<const char*> ids) { return {ids.begin(), ids.end()}; }

TEST(ChipOptions, PinIdentifiersByGroup)
{
    ChipBench b;
    CAdvancedChipForm generic(*b.AddChip(100, 100, 2, 1, 0, 2));
    EXPECT_EQ(generic.PinIdentifiers(), Ids({"in0", "in1", "ain0", "out0", "out1"}));
    // A STAMP numbers its pins through: the inputs, then the outputs.
    CAdvancedChipForm stamp(*AddClassChip(b, "STAMP", CHIP_STAMP, 3, 0, 2));
    EXPECT_EQ(stamp.PinIdentifiers(), Ids({"pin0", "pin1", "pin2", "pin3", "pin4"}));
    EXPECT_EQ(stamp.labelText, "Input0");
}

TEST(ChipOptions, ALabelAnotherPinHasIsRefused)
{
    ChipBench b;
    CAdvancedChipForm form(*b.AddChip(100, 100, 2, 0, 0, 2));
    EXPECT_EQ(form.Select(3), 0);
    EXPECT_EQ(form.labelText, "Output1");
    form.labelText = "Input1";
    EXPECT_EQ(form.Accept(), 881);
    EXPECT_EQ(form.Pins()[3].label, "Output1");
    EXPECT_EQ(form.labelText, "Output1");
    // A new name is taken, also when another pin is chosen after typing.
    form.labelText = "Lamp";
    EXPECT_EQ(form.Select(0), 0);
    EXPECT_EQ(form.Pins()[3].label, "Lamp");
    EXPECT_EQ(form.labelText, "Input0");
}

TEST(ChipOptions, CountsAreReadAndShownAgain)
{
    ChipBench b;
    CAdvancedChipForm form(*b.AddChip(100, 100, 2, 0, 0, 2));
    form.SetDigitalText("12abc");
    EXPECT_EQ(form.DigitalText(), "12");
    form.SetOutputText("x");
    EXPECT_EQ(form.OutputText(), "0");
    form.SetAnalogueText(" 3");
    EXPECT_EQ(form.AnalogueText(), "3");
}

TEST(ChipOptions, CountsAreKeptWithinTheClass)
{
    struct Case {
        const char* cls;
        int code;
        int digital, analogue, outputs;       // typed
        int wantD, wantA, wantQ;              // after OK
        bool analogueEnabled, usartEnabled;
    };
    const Case cases[] = {
        {"18 pin PIC", CHIP_PIC18, 9, 3, 0, 4, 0, 1, false, false},
        {"28 pin PIC", CHIP_PIC28, 0, 7, 9, 1, 4, 8, true, true},
        {"Generic", CHIP_GENERIC, 8, 10, 20, 8, 8, 16, true, false},
        // The STAMP's 8 pins are shared between inputs and outputs.
        {"STAMP", CHIP_STAMP, 6, 2, 5, 3, 0, 5, false, false},
        {"STAMP", CHIP_STAMP, 9, 0, 9, 1, 0, 7, false, false},
    };
    for (const Case& c : cases) {
        ChipBench b;
        CAdvancedChipForm form(*AddClassChip(b, c.cls, c.code, 2, 0, 2));
        EXPECT_EQ(form.AnalogueEnabled(), c.analogueEnabled) << c.cls;
        EXPECT_EQ(form.UsartEnabled(), c.usartEnabled) << c.cls;
        form.SetDigitalText(std::to_string(c.digital));
        form.SetAnalogueText(std::to_string(c.analogue));
        form.SetOutputText(std::to_string(c.outputs));
        form.Accept();
        EXPECT_EQ(form.Digital(), c.wantD) << c.cls;
        EXPECT_EQ(form.Analogue(), c.wantA) << c.cls;
        EXPECT_EQ(form.Outputs(), c.wantQ) << c.cls;
    }
}

TEST(ChipOptions, TheUsartPinsTakeInputsSixAndSeven)
{
    ChipBench b;
    CChip* chip = AddClassChip(b, "28 pin PIC", CHIP_PIC28, 8, 2, 3);
    chip->m_bUsart = 0;
    CAdvancedChipForm form(*chip);
    EXPECT_TRUE(form.DigitalEnabled());
    form.SetUsart(true);
    EXPECT_EQ(form.ClassName(), "28 pin PIC (USART)");
    EXPECT_EQ(form.Pins()[7].label, "Receive");
    EXPECT_EQ(form.Pins()[6].label, "Send");
    // The class's counts, the digital count fixed.
    EXPECT_EQ(form.Digital(), 8);
    EXPECT_EQ(form.Analogue(), 4);
    EXPECT_EQ(form.Outputs(), 8);
    EXPECT_FALSE(form.DigitalEnabled());
    form.SetUsart(false);
    EXPECT_EQ(form.ClassName(), "28 pin PIC");
    EXPECT_EQ(form.Pins()[7].label, "Input7");
    EXPECT_EQ(form.Pins()[6].label, "Input6");
    // Other classes have no USART.
    CAdvancedChipForm pic18(*AddClassChip(b, "18 pin PIC", CHIP_PIC18, 4, 0, 8));
    const bool before = pic18.Usart();
    pic18.SetUsart(!before);
    EXPECT_EQ(pic18.Usart(), before);
    EXPECT_EQ(pic18.ClassName(), "18 pin PIC");
}

// A dialog that plays the user's part.
class CScriptedChipDialog : public CChipDialogHost {
public:
    bool Edit(CAdvancedChipForm& form) override
    {
        ++shown;
        if (script) script(form);
        return ok;
    }
    std::function<void(CAdvancedChipForm&)> script;
    bool ok = true;
    int shown = 0;
};

struct InstalledDialog {
    CScriptedChipDialog dialog;
    CChipDialogHost* old;
    InstalledDialog() : old(CChipDialogHost::Install(&dialog)) {}
    ~InstalledDialog() { CChipDialogHost::Install(old); }
};

TEST(ChipOptions, TheAdvancedButtonRebuildsTheChip)
{
    ChipBench b;
    CChip* chip = b.AddChip(100, 100, 2, 0, 0, 2);
    InstalledDialog host;
    host.dialog.script = [](CAdvancedChipForm& f) {
        f.Select(2);
        f.labelText = "Lamp";
        f.SetDigitalText("3");
        f.SetOutputText("4");
        f.SetReset(true);
        f.Accept();
    };
    // The class changes the layout: the toolbar lays out again (24 + 1).
    EXPECT_EQ(chip->OnPropertyCommand(36074, CString()), 25);
    EXPECT_EQ(host.dialog.shown, 1);
    chip->ApplySettingsText();
    EXPECT_EQ(chip->DigitalCount(), 3);
    EXPECT_EQ(chip->OutputCount(), 4);
    EXPECT_EQ(chip->m_nResetPin, 1);
    EXPECT_EQ(chip->GetPortCount(), 3 + 1 + 4);
    EXPECT_EQ(chip->GetOutputName(0), "Lamp");
    EXPECT_EQ(chip->GetOutputName(1), "Output1");
    EXPECT_EQ(chip->GetDigitalInputName(2), "Input2");
    // Cancel changes nothing.
    host.dialog.ok = false;
    EXPECT_EQ(chip->OnPropertyCommand(36074, CString()), 0);
    EXPECT_EQ(chip->m_bCustomSizes, 0);
}

TEST(ChipOptions, WithoutADialogTheButtonDoesNothing)
{
    ChipBench b;
    CChip* chip = b.AddChip(100, 100, 2, 0, 0, 2);
    CChipDialogHost* old = CChipDialogHost::Install(nullptr);
    EXPECT_EQ(chip->OnPropertyCommand(36074, CString()), 0);
    CChipDialogHost::Install(old);
}

} // namespace
