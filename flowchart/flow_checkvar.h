// CFlowCheckVar: compares one of the flowchart's variables (the element's
// name, default "x") with a number or another variable (" = ", " > ",
// " >= ", " < ", " <= ", " <> ") and passes control out of one of its two
// exits.  The values compare as unsigned 32-bit numbers, so the markers of
// a result out of range (-2, -10) lie above every value of the range.  For
// orientation codes 0 and 3 a test that holds leaves by exit 1, for the
// others by exit 2.  Terminal 0 is the input, 1 and 2 the exits.
#pragma once

#include "flowchart/flow_object.h"

class CFlowCheckVar : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowCheckVar)
public:
    CFlowCheckVar();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    // The element record, then the comparison, the exit, the comparison's
    // text, the operand's name and whether the operand is a variable.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 name, 36059 comparison, 36065 operand: 65 when taken (a number
    // clamped or refused: its status with 0x40); others to the base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Compares and chooses the exit.
    int Validate() override;
    int GetDrivenExit() const override { return m_nChosenExit; }
    // "if x > 5 then " (the export appends the Yes label).
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // name + comparison + operand + " ?", shortened to fit.
    void UpdateCaption() override;
    // 1 name, 2 comparison, 3 operand.
    void ApplyControlChoice(int choice);

    // Whether a comparison of the index holds for two values read as
    // unsigned 32-bit numbers.
    static bool Compare(unsigned index, int a, int b);

    // ---- fields, in archive order ----
    int m_nComparison = 0;
    int m_nChosenExit = 2;
    CString m_strComparison = " = ";
    CString m_strOperand = "0";
    int m_bOperandIsVariable = 0;
};
