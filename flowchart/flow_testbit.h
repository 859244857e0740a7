// CFlowTestBit: tests one bit (0 to 7) of one of the flowchart's variables
// (the element's name, default "x") for on or off and passes control out
// of one of its two exits, as the variable test does: for orientation
// codes 0 and 3 a test that holds leaves by exit 1, for the others by exit
// 2.  A variable without a value holds it with 64.  Terminal 0 is the
// input, 1 and 2 the exits.
#pragma once

#include "flowchart/flow_object.h"

class CFlowTestBit : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowTestBit)
public:
    CFlowTestBit();

    // The element's children (three connectors), then its caption.
    void CreateChildren() override;
    // The element record, then the exit, the state text, the test-for-on
    // flag and the bit number.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 variable, 36059 bit, 36065 "On" / "Off": 65; others to the
    // base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Tests the bit and chooses the exit.
    int Validate() override;
    int GetDrivenExit() const override { return m_nChosenExit; }
    // "let bit = x & %00000100", then "if bit > 0 then " (the export
    // appends the jump).
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // "bit", as a byte (kind 1).
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    // variable + " : bit" + n + " " + state + "?", shortened to fit.
    void UpdateCaption() override;
    // 1 variable made usable, 3 the state text sets the test-for-on flag.
    void ApplyControlChoice(int choice);

    // The bit number, 0 .. 7.
    int GetBit() const;
    // The mask of the bit, as the export writes it: "%" and eight binary
    // digits, bit 7 first.
    static CString MaskText(int bit);
    // Whether the bit of the value is set.
    static bool IsBitSet(int value, int bit);

    // ---- fields, in archive order ----
    unsigned m_nChosenExit = 2;
    CString m_strState;
    int m_bTestForOn = 1;
    CNumber m_bit;
};
