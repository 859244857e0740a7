// "Advanced Microcontroller Options": the pin labels of a microcontroller
// part, how many digital inputs, analogue inputs and outputs it shows, its
// reset pin and whether its USART pins carry the serial line.  The form
// holds the rules and runs without windows; the dialog that shows it is
// the user interface's, reached through CChipDialogHost.
#pragma once

#include "platform/cstring.h"

#include <vector>

class CChip;

// The class limits of the dialog: the most analogue inputs, digital inputs
// and outputs a class can show.  A "STAMP" shares its 8 pins between its
// inputs and outputs.
struct ChipDialogLimits {
    int analogue, digital, outputs;
};
ChipDialogLimits ChipDialogLimitsOf(const CString& className);

class CAdvancedChipForm {
public:
    // One pin: its group (0 digital input, 1 analogue input, 2 output), its
    // place in the group and its label.
    struct Pin {
        int group;
        int index;
        CString label;
    };

    CAdvancedChipForm() = default;
    // The chip's class, options, counts and pin labels.
    explicit CAdvancedChipForm(const CChip& chip);

    // ---- the label combo and edit ----
    // "in" + n, "ain" + n, "out" + n; on a "STAMP" "pin" + n, the inputs
    // first and the outputs numbered after them.
    std::vector<CString> PinIdentifiers() const;
    // Another pin chosen: the label typed for the pin before is taken (see
    // TakeLabel), then the edit shows the new pin's label.  0, or the
    // warning's string id when the typed label was refused.
    int Select(int index);
    // Gives the typed label to the selected pin unless another pin bears
    // it already: then 881 "Warning: This name is already being used." and
    // the pin keeps its label.
    int TakeLabel();
    int Selected() const { return m_selected; }

    // ---- the count fields: read and shown again at every edit ----
    void SetDigitalText(const CString& text) { m_digital = ReadCount(text); }
    void SetAnalogueText(const CString& text) { m_analogue = ReadCount(text); }
    void SetOutputText(const CString& text) { m_outputs = ReadCount(text); }
    CString DigitalText() const;
    CString AnalogueText() const;
    CString OutputText() const;
    int Digital() const { return m_digital; }
    int Analogue() const { return m_analogue; }
    int Outputs() const { return m_outputs; }

    // ---- enabling ----
    // The analogue count: only classes with analogue inputs.
    bool AnalogueEnabled() const;
    // The USART box: only the 28-pin classes.
    bool UsartEnabled() const;
    // The digital count is fixed while the USART pins are in use: inputs 6
    // and 7 are the serial pins.
    bool DigitalEnabled() const { return !(m_usart && UsartEnabled()); }

    // Switching the USART pins moves the class between "28 pin PIC" and
    // "28 pin PIC (USART)", relabels inputs 7 and 6, and on turning them on
    // puts the counts back to the class's.
    void SetUsart(bool on);
    bool Usart() const { return m_usart; }
    void SetReset(bool on) { m_reset = on; }
    bool Reset() const { return m_reset; }
    const CString& ClassName() const { return m_class; }

    // OK: the typed label taken (its warning id returned, 0 when none) and
    // the counts brought within the class's limits.
    int Accept();
    // Writes the accepted settings into the chip: the labels (digital
    // inputs, analogue inputs, outputs), the counts as custom sizes, the
    // USART flag and the reset option (reset changed when it differs).
    void ApplyTo(CChip& chip) const;

    const std::vector<Pin>& Pins() const { return m_pins; }

    // The label text being typed.
    CString labelText;

    static constexpr unsigned kNameUsedWarning = 881;

private:
    static int ReadCount(const CString& text);
    int FindLabel(const CString& label, int except) const;

    CString m_class;
    bool m_usart = false;
    bool m_reset = false;
    bool m_serial = false;
    int m_digital = 0;
    int m_analogue = 0;
    int m_outputs = 0;
    std::vector<Pin> m_pins;
    int m_selected = 0;
};

// The user interface's dialog: true on OK, the form then holding the
// accepted settings.
class CChipDialogHost {
public:
    virtual ~CChipDialogHost() = default;
    virtual bool Edit(CAdvancedChipForm& form) = 0;
    static CChipDialogHost* Current();
    static CChipDialogHost* Install(CChipDialogHost* host);
};
