// CFlowWrite ("display variable"): when it receives control it prints into
// every display box bound to its flowchart the value of a variable (mode
// 0), a text (mode 1) or a line break (mode 2).  The element's name is the
// variable or the text; a variable without a value holds it with 64.
#pragma once

#include "flowchart/flow_object.h"

class CFlowWrite : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowWrite)
public:
    CFlowWrite();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    // The element record, then the mode and its text.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // A line break prints no variable or text: the box does not apply.
    int IsPropertyChecked(int commandId, int& enabled) override;
    // 36053 variable or text, 36059 mode text: 65; others to the base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Prints into the flowchart's display boxes.
    int Validate() override;
    // "' " + caption (a comment: there is no box on a real chip), 2007.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // The mode from its text, "Display " + the variable or the text.
    void UpdateCaption() override;

    enum : unsigned { kModeValue = 0, kModeText = 1, kModeNewLine = 2 };

    // ---- fields, in archive order ----
    unsigned m_nMode = kModeValue;
    CString m_strModeText;
};
