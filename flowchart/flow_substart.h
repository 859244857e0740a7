// CFlowSubStart: the head of a named subroutine ("Subroutine1", ...).  A
// subroutine has no start element of its own: while a call element of a
// flowchart has called it, the subroutine start links to that flowchart's
// start (m_pFlowStart) and every element of the body works with it, its
// variables and its microcontroller.  One caller at a time: the starts of
// other flowcharts that call while it is busy wait in a queue, first come
// first admitted.
//
// At reset the subroutine start traces its body with the subroutine rules
// of the checker, claims every element it reaches (m_pSubStart) and keeps
// the walk's error count as its structure check; a name that another
// subroutine start has as well makes the check 1 and shows code 1.  Calls
// into a subroutine whose check is not 0 hold with code 16.
#pragma once

#include "flowchart/flow_object.h"

#include <deque>

class CFlowStart;

// Room in the member table.
constexpr int kFlowSubMemberSlots = 200;

class CFlowSubStart : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowSubStart)
public:
    CFlowSubStart();

    // The element record, the 200 member depths, the entered flag, the
    // structure check and the member count.
    void Serialize(CArchive& ar) override;

    // ---- CPart / CComponent overrides ----
    // A name no other subroutine start has ("Subroutine" + k), the
    // connector and the caption label.
    void CreateChildren() override;
    // One made by the Add command takes its unique name where it lands (it
    // did not know its design when it was made).
    void Drop(CPartTree* design) override;
    // The walk of the body when the design is reset after an edit.
    void OnSimulationReset() override;
    // Lets go of everything: the calls into it are unwound, the queue
    // emptied, the body's elements lose their link.
    void RefreshState() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 renames: 65 taken, 4 refused (another subroutine has the name).
    int OnPropertyCommand(int commandId, const CString& text) override;
    // The exit only.
    void Stamp(CMatrix* matrix) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // ---- CFlowObject overrides ----
    // The label that the export places: name + ": ".
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void GetProgramName(CString& out) override { out = m_strName; }
    void DetachStart() override { m_pFlowStart = nullptr; }
    void UpdateCaption() override;
    void SetCurrentElement(CFlowObject* element) override { m_pCurrent = element; }
    // A start's call (AcceptCall) and the end of its call into this
    // subroutine (a restart or an unwind).
    void StartSubroutine(CFlowObject* flowchart) override { AcceptCall(flowchart); }
    void StopSubroutine(CFlowObject* flowchart) override;

    // ---- the call protocol ----
    // Busy: the start waits in the queue and its callers show "Waiting
    // for ..".  Free: the subroutine runs for the start.
    void AcceptCall(CFlowObject* flowchart);
    // The return element reached: the next waiting start is admitted.
    void EndCall();
    // A caller holds the subroutine from its admission to its return.
    bool IsBusy() const { return m_bEntered != 0; }
    // The start this subroutine runs for now (null when idle).
    CFlowStart* GetRunningFor() const;
    int GetQueueLength() const { return static_cast<int>(m_queue.size()); }

    // ---- the body ----
    // Clears the table, walks the body, records the errors, applies the
    // duplicate-name rule and links every member; returns the check.
    int Rescan();
    // Another subroutine start of the design has this name (case-sensitive).
    bool IsNameTaken(const CString& name) const;

    struct Member {
        CFlowObject* element = nullptr;
        int depth = -1;
    };
    Member m_members[kFlowSubMemberSlots];
    unsigned m_nMemberCount = 0;
    int m_nStructureCheck = 0;
    CFlowObject* m_pCurrent = nullptr;
    int m_bEntered = 0;
    std::deque<CFlowObject*> m_queue;
    // Set on a new subroutine start until its first drop.
    bool m_bFreshName = true;

private:
    void TakeUniqueName();
    void TellCallers(int state);
    void ShowPlainName();
    // Whether the part stands in this element's design (links are checked
    // before use: a deleted start must not be called).
    bool InDesign(const CFlowObject* part) const;
};
