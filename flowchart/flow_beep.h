// CFlowBeep: sounds the design's buzzer for as long as it is lit.
#pragma once

#include "flowchart/flow_object.h"

class CFlowBeep : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowBeep)
public:
    CFlowBeep();
    // The base step; then, while active or finishing, the design's buzzer
    // request (which the design clears before every after-step pass).
    int AfterStep() override;
    // A comment line: BASIC has no beep (warning 2004).
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
};
