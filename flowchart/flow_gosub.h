// CFlowGoSub: calls a subroutine by name.  Reached, it asks its
// flowchart's start to call the subroutine (the call stack holds 100
// calls) and stays active, calling, until the subroutine's return element
// tells it that the call returned; then it drives its exit for one solve.
// While the subroutine is busy with another flowchart the call waits in the
// subroutine's queue and the caption's tag reads "Waiting for S to be free".
//
// Check codes (Validate): 6000 a subroutine calling itself, 32 no subroutine
// of that name, 16 the subroutine's structure check failed, 5096 the call
// stack is full.
#pragma once

#include "flowchart/flow_object.h"

class CFlowStart;

class CFlowGoSub : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowGoSub)
public:
    CFlowGoSub();

    // The element record, then calling, returned, leaving and control-in
    // shown.
    void Serialize(CArchive& ar) override;

    // ---- CPart / CComponent overrides ----
    // A pending call is given up: the start drops it from its stack.
    void RefreshState() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 names the called subroutine: 65.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // The input and the exit; the exit drives while leaving.
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;

    // ---- CFlowObject overrides ----
    int Validate() override;
    // "gosub " + name.
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void ResetRun() override;
    void GetProgramName(CString& out) override { out = m_strName; }
    void UpdateCaption() override;
    void OnCallState(int state) override;

    // The flowchart this call works for: the owning start, or the start
    // that the owning subroutine runs for (null when none stands).
    CFlowStart* GetFlowchart() const;

    int m_bCalling = 0;
    int m_bReturned = 0;
    int m_bLeaving = 0;
    int m_bControlInShown = 0;
};
