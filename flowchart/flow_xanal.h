// CFlowXanal ("analog value to variable"): when it receives control it
// reads an analogue input of the flowchart's microcontroller (0 .. the
// design's analogue range, trunc(V / logic supply x range)) into a variable
// (the element's name, default "x").  Without a microcontroller the
// variable gets 0 and control passes; no such input holds with 512, a
// digital input with 3001, a reading above the variable range with 128.
#pragma once

#include "flowchart/flow_object.h"

class CFlowXanal : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowXanal)
public:
    CFlowXanal();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    // The element record, then the analogue input's name.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 the variable, 36059 the input: 65; others to the base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Reads the input into the variable.
    int Validate() override;
    // "readADC " + channel + ", " + variable; 1013 on a class without
    // analogue inputs.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // The variable, as a byte (kind 1).
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    // variable + " = " + input, shortened to fit.
    void UpdateCaption() override;

    // The analogue inputs the toolbar offers (newline-separated): the
    // flowchart's microcontroller's, the design's only one's inside a
    // subroutine, else "a_Input0".
    CString OfferedInputs() const;
    // The input's channel as the export prints it: its pin number, or for
    // a number above 10 (no analogue pin) the label's last character ("0"
    // when that is no digit but 0's).
    static CString ChannelText(int channel, const CString& label);

    // ---- field, in archive order ----
    CString m_strInput;
};
