// CFlowVariable: assigns one of the flowchart's variables (the element's
// name, default "x") from a number, another variable or a two-operand
// expression (+, -, *, /) when it receives control.  Variables are whole
// numbers from 0 to the design's variable range; a result outside it
// stores a marker (-2 above, -10 below) and holds the element with code
// 128.  The variables live in the flowchart's start.
//
// The first operand's number is the element's parameter; its caption is
// the statement shown (shortened to fit), its message tag the statement
// whole, which is also the body of the exported "let" line.
#pragma once

#include "flowchart/flow_object.h"

class CFlowStart;

class CFlowVariable : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowVariable)
public:
    CFlowVariable();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    // The element record, then the ten fields of the assignment.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // The second operand is not applicable while there is no operator.
    int IsPropertyChecked(int commandId, int& enabled) override;
    // 36053 name, 36059 first operand, 36065 operator, 36081 second
    // operand: 65 when taken; a typed number that was clamped or refused
    // answers the number's status with 0x40; other ids 0.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Works out the value and stores it; the code as the element's error.
    int Validate() override;
    // "let " + the whole statement; 2011 when the name is one the
    // microcontroller's BASIC may use itself.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // The name, as a byte variable (kind 1).
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    // name = first [operator second], shortened to fit.
    void UpdateCaption() override;
    // 1 name, 2 first operand, 3 operator, 4 second operand; every choice
    // then decides whether the expression is complete.
    void ApplyControlChoice(int choice);

    // The value the assignment makes of its operands, before the range
    // test: a + b, a - b, a x b, or a / b rounded half away from zero (range
    // + 1 for a division by 0); the range itself for an unknown operator.
    // Sums and products are exact: no 32-bit wrap can bring a result back
    // into the range.
    static long long Evaluate(int a, int b, unsigned op, bool noOperator, int range);

    // ---- fields, in archive order ----
    int m_nReservedWord = 0;
    CString m_strFirst = " ";
    CString m_strOperator = " ";
    CString m_strSecond = " ";
    CNumber m_second;
    int m_bFirstIsVariable = 0;
    int m_bSecondIsVariable = 0;
    unsigned m_nOperator = 0;
    int m_bIncomplete = 0;
    int m_bNoOperator = 1;

private:
    // Steps 2 to 5 of the assignment on the flowchart's table.
    int Assign(CFlowStart& flowchart);
    CString OperandText(bool isVariable, const CString& name, const CNumber& number) const;
};
