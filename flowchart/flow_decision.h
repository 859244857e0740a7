// CFlowDecision: tests one input of the flowchart's microcontroller and
// passes control out of one of its two exits.  The test is digital ("On",
// "Off": the input reads the design's analogue range when on) or compares
// the input's value with a constant or a variable (" = ", " > ", " >= ",
// " < ", " <= ", " <> ").  Terminal 0 is the input, 1 and 2 the exits; for
// orientation codes 0 and 3 a true result leaves by exit 1, for the others
// by exit 2.
#pragma once

#include "flowchart/flow_object.h"

class CFlowStart;

class CFlowDecision : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowDecision)
public:
    CFlowDecision();
    // The element record, then the decision's fields (the comparison's from
    // revision 0xB3 / 0xB1 on).
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int IsPropertyChecked(int commandId, int& enabled) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Reads the input through the flowchart's start and chooses the exit.
    int Validate() override;
    int GetDrivenExit() const override { return m_nChosenExit; }
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    // Input label + " " + test [+ value + " "] + "?", shortened to fit.
    void UpdateCaption() override;
    // Choice 3: the test text sets the kind of test and the operator.
    void ApplyControlChoice(int choice);

    // The exit a result leaves by for an orientation code.
    static int ExitFor(bool result, int orientation);
    // The flowchart the element runs in (through its subroutine when it
    // has one); null when none stands in the design.
    CFlowStart* GetFlowchart() const;

    CString m_strInputChoices;
    CString m_strInputLabel;
    int m_nChosenExit = 2;
    CString m_legacyNames[4];
    unsigned m_nPinNumber = 0;
    int m_bDigital = 1;
    unsigned m_nOperator = 0;
    int m_bCompareVariable = 0;
    CString m_strVariable;
    int m_bTestForOn = 1;

private:
    void RefreshInputChoices();
};
