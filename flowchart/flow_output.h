// CFlowOutput ("set microcontroller output"): when it receives control it
// switches one named output pin of the flowchart's microcontroller on or
// off, or sets every output pin at once from the bits of a number or a
// variable (bit j drives output j).  It asks the flowchart's start, which
// forwards to the microcontroller bound to the flowchart; without one
// nothing is driven and control passes.
//
// The element's name is its mode text ("Switch on ", "Switch off ",
// "Outputs = "), its parameter the number of the set-all mode; its caption
// is the statement shown (shortened to fit), its message tag the whole one.
#pragma once

#include "flowchart/flow_object.h"

class CFlowOutput : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowOutput)
public:
    CFlowOutput();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    // The element record, then the output's fields (the value's variable
    // name from revision 0xB3 / 0xB7 on).
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // The pin list does not apply to the set-all mode, the value box to the
    // two switching modes.
    int IsPropertyChecked(int commandId, int& enabled) override;
    // 36053 mode (17), 36059 pin (65), 36065 value (the operand status with
    // 0x40); others to the base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Drives the pins; 256 no such output (or no flowchart for a pin), 64
    // a value variable without a value.
    int Validate() override;
    // "high Output0" ("switch on Output0" outside "BASIC C1"; 709 when no
    // output has the name) or "let pins = %00000101" / "let pins = x", a
    // STAMP's value moved up past its inputs.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // The pin's symbol (kind 3), none for the standard names outside
    // "BASIC C1"; the set-all mode on a STAMP kind 2.
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    // The canonical mode text + the pin or the value, shortened to fit.
    void UpdateCaption() override;
    // 1 mode text -> mode, 2 pin -> legacy pin number, 3 value name made
    // usable.
    void ApplyControlChoice(int choice);

    // The pin names the toolbar offers (newline-separated): from the
    // flowchart's microcontroller, from the design's only one inside a
    // subroutine, or "Output3" .. "Output0".
    CString OfferedPins() const;

    // ---- fields, in archive order ----
    int m_nMode = 1;
    CString m_strPinChoices = " ";
    CString m_strPin;
    int m_nPinNumber = 0;
    CString m_legacyLabels[4];
    int m_bValueIsVariable = 1;
    CString m_strValueVariable = "x";
};

// The default names of a flowchart's outputs, the highest first:
// "Output" + n, joined by "\n", for n from `highest` down to 0.
CString DefaultOutputNames(int highest);
