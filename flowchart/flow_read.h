// CFlowRead ("enter variable"): waits until the user types a number into an
// input box bound to the flowchart and stores it in a variable (the
// element's name, default "x").  While it waits it holds control and asks
// its flowchart's start every step (CFlowStart::ReadRequest), which arms the
// boxes; the step a number arrives it stores it and hands control on at
// once.  Without any input box it holds with 258; a number above the
// variable range holds it with 128.
#pragma once

#include "flowchart/flow_object.h"

class CFlowRead : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowRead)
public:
    CFlowRead();

    // The element's children, then its caption fitted to its label.
    void CreateChildren() override;
    // The element record, then the waiting flag.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 the variable: 65; others to the base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // The base step, then the request while the element holds control.
    int AfterStep() override;
    // "' Read into x" (a comment: a pupil's typing has no BASIC), 2006.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    // "Read " + name shortened to fit; the tag "Read into " + name.
    void UpdateCaption() override;

    // ---- field, in archive order ----
    int m_bWaiting = 0;
};
