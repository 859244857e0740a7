// CFlowReturn: ends a subroutine.  When it hands on, the call returns: its
// flowchart's start pops the call stack and tells the caller, and the
// subroutine start admits the next waiting flowchart.  It has no exit.
#pragma once

#include "flowchart/flow_object.h"

class CFlowReturn : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowReturn)
public:
    CFlowReturn();
    // The input only.
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    // "return".
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
};
