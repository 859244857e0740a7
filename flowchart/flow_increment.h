// CFlowIncrement: adds one to one of the flowchart's variables (the
// element's name, default "x") when it receives control.  A variable with
// no value holds the element with code 64; a result above the variable
// range stores the marker -2 and holds it with code 128.
#pragma once

#include "flowchart/flow_object.h"

class CFlowIncrement : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowIncrement)
public:
    CFlowIncrement();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 the name: 65; other ids 0.
    int OnPropertyCommand(int commandId, const CString& text) override;
    int Validate() override;
    // "Add one to " + the name, shortened to fit.
    void UpdateCaption() override;
    // "let x = x + 1".
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // 1: the typed name made usable.
    void ApplyControlChoice(int choice);
};
