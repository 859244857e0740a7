// CFlowStop: ends a flowchart.  Reached, it stays lit as its flowchart's
// current element until the next reset, and passes control on to nothing
// (it has no output connector).
#pragma once

#include "flowchart/flow_object.h"

class CFlowStop : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowStop)
public:
    CFlowStop();
    // The element record, then the stopped flag.
    void Serialize(CArchive& ar) override;
    // The input only.
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void ResetRun() override;
    void DetachStart() override;

    int m_bStopped = 0;
};
