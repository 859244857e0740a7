// CFlowMotor: drives a motor wired between two adjacent output pins of the
// flowchart's microcontroller forwards (lower pin high, upper low),
// backwards (the reverse) or to a halt (both low) when it receives control.
// The motors are named "Motor A", "Motor B", ... from the lowest pair of
// outputs up; the element's name is the lower pin of its pair.  It asks
// the flowchart's start, which forwards to the microcontroller bound to the
// flowchart; without one nothing is driven and control passes.
#pragma once

#include "flowchart/flow_object.h"

class CFlowMotor : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowMotor)
public:
    static constexpr int kOutputEntries = 16;

    CFlowMotor();

    // The element's children, then its caption.
    void CreateChildren() override;
    // The element record, then the motor's fields (the motor count, the
    // motor names and the output table from revision 0xB3 / 0xB5 on).
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 motor name, 36059 lower pin, 36065 direction: 65; others 0.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // 256 without a flowchart or when the microcontroller has no such pair.
    int Validate() override;
    // "BASIC C1" and assembler: the two pins by name ("high Output0",
    // "low Output1"); "BASIC C2": "forward Motor A", with the warnings of
    // motor names the chip's pins do not match.  834 when no output follows
    // the chosen one.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // "BASIC C1": both pins' symbols (the lower one declared at once).
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    // motor + " " + direction; the tag adds the pin: "Motor A (Output0)
    // Forwards".
    void UpdateCaption() override;
    // 1 motor name -> its lower pin, 2 pin -> legacy pair number, 3
    // direction text -> direction.
    void ApplyControlChoice(int choice);

    // The lower pins the toolbar offers, the highest first (newline-
    // separated), made into the output table, the motor count and the motor
    // names.
    void RefreshChoices();

    // ---- fields, in archive order ----
    int m_nPinNumber = 0;
    int m_nDirection = 0;
    CString m_strDirection;
    CString m_strMotor;
    CString m_legacyPairs[3];
    CString m_strOutputChoices = "Output 1\nOutput 2\nOutput3";
    float m_fMotorCount = 8.0f;
    CString m_strMotorChoices;
    CString m_outputEntries[kOutputEntries];
};
