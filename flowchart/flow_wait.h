// CFlowWait: stays active for its time (the element's parameter, in
// seconds, default 1), that is max(2, trunc(seconds x update rate)) counted
// steps, then passes control on.
#pragma once

#include "flowchart/flow_object.h"

class CFlowWait : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowWait)
public:
    CFlowWait();
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // The typed time (36053) or a spin step (36054): 65 when taken, else 0.
    int OnPropertyCommand(int commandId, const CString& text) override;
    double GetRunTime() override;
    // "pause" and whole milliseconds ("wait" and seconds in BASIC C2);
    // warning 2003 above 65 seconds.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void ResetRun() override;
    // " Wait " + the time + "s".
    void UpdateCaption() override;
};
