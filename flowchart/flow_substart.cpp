#include "flowchart/flow_substart.h"

#include "flowchart/flow_check.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_sub_texts.h"
#include "flowchart/flow_visuals.h"
#include "flowchart/meter_message.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

#include <algorithm>
#include <string>

WB_IMPLEMENT_SERIAL(CFlowSubStart, "CFlowObject", 2)

namespace {
constexpr int IDC_SUB_LABEL = 36052;
constexpr int IDC_SUB_NAME = 36053;
constexpr int IDC_ADD_SUB_START = 33866;
// OnPropertyCommand: the name is refused.
constexpr int kRenameRefused = 4;
} // namespace

CFlowSubStart::CFlowSubStart()
{
    m_pVisual = FlowVisual("CFlowSubStart");
    m_strName = LoadResString(IDS_FLOW_SUBROUTINE) + "1";
    m_strCaption = m_strName;
    m_strMessageTag = m_strName;
}

// ---- archive ----

void CFlowSubStart::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        // Each member as its depth: the element is a pointer no record
        // carries, and the table is walked again at the next reset.
        for (const Member& m : m_members) ar << static_cast<LONG>(m.depth);
        ar << static_cast<LONG>(m_bEntered) << static_cast<LONG>(m_nStructureCheck)
           << static_cast<DWORD>(m_nMemberCount);
        return;
    }
    for (Member& m : m_members) {
        LONG depth = 0;
        ar >> depth;
        m.element = nullptr;
        m.depth = static_cast<int>(depth);
    }
    LONG entered = 0, check = 0;
    DWORD count = 0;
    ar >> entered >> check >> count;
    m_nStructureCheck = static_cast<int>(check);
    m_nMemberCount = std::min<DWORD>(count, kFlowSubMemberSlots);
    // No call stack survives a file (a loaded start has no calls), so a
    // subroutine saved while a caller was inside it is free again: kept
    // entered, it would hold every later caller in its queue for ever.
    m_bEntered = 0;
    (void)entered;
    m_pCurrent = nullptr;
    m_queue.clear();
    m_bFreshName = false;
}

void CFlowSubStart::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    CFlowObject::DropDeadLinks(gone);
    if (gone.count(m_pCurrent)) m_pCurrent = nullptr;
    for (Member& m : m_members)
        if (gone.count(m.element)) m = Member{};
    std::erase_if(m_queue, [&gone](const CFlowObject* s) { return gone.count(s) != 0; });
}

// ---- children and naming ----

bool CFlowSubStart::IsNameTaken(const CString& name) const
{
    const CCircuit* design = GetDesign();
    if (!design) return false;
    for (CPart* p : design->CollectFlowObjects())
        if (p != this && p->IsKindOf("CFlowSubStart") && static_cast<CFlowSubStart*>(p)->m_strName == name)
            return true;
    return false;
}

void CFlowSubStart::TakeUniqueName()
{
    const CString prefix = LoadResString(IDS_FLOW_SUBROUTINE);
    for (int k = 2; IsNameTaken(m_strName); ++k) m_strName = prefix + std::to_string(k);
    m_strCaption = m_strName;
    m_strMessageTag = m_strName;
}

void CFlowSubStart::CreateChildren()
{
    if (!m_terminals.empty()) return;
    TakeUniqueName();
    CFlowObject::CreateChildren();
}

void CFlowSubStart::Drop(CPartTree* design)
{
    // The floating design that carries a new part to its place is not the
    // design it joins: the name is taken where the part lands.
    auto* circuit = dynamic_cast<CCircuit*>(design);
    if (m_bFreshName && circuit && !circuit->IsTemporary()) {
        m_bFreshName = false;
        const CString before = m_strName;
        m_pCircuit = circuit;
        TakeUniqueName();
        if (m_strName != before) RefreshMessage();
    }
    CFlowObject::Drop(design);
}

void CFlowSubStart::UpdateCaption()
{
    if (m_strName.empty()) m_strName = " ";
    // A label in the export cannot hold a blank: the name shown stays.
    if (m_strName.find(' ') != CString::npos && m_strName != " ") m_strName = m_strCaption;
    CFlowMeterMessage* label = GetMessageLabel();
    CString shown = m_strName;
    bool cut = false;
    while (label && !shown.empty() && label->TextOverflows(shown)) {
        shown.pop_back();
        cut = true;
    }
    if (cut) {
        shown.resize(shown.size() >= 2 ? shown.size() - 2 : 0);
        shown += "..";
    }
    m_strCaption = shown;
    m_strMessageTag = m_strName;
    RefreshMessage();
    // A name that is unique now clears the duplicate mark, here and on
    // every other subroutine start that had it.
    const CCircuit* design = GetDesign();
    if (!design) return;
    if (!IsNameTaken(m_strName) && m_nErrorCode == FLOW_ERR_SUB_EXISTS) {
        m_nErrorCode = kFlowNoError;
        SetLook(FLOW_LOOK_IDLE);
        CPart::Redraw(GetDrawFlags());
    }
    Rescan();
    for (CPart* p : design->CollectFlowObjects()) {
        if (p == this || !p->IsKindOf("CFlowSubStart")) continue;
        auto* other = static_cast<CFlowSubStart*>(p);
        if (other->m_nErrorCode != FLOW_ERR_SUB_EXISTS || other->IsNameTaken(other->m_strName)) continue;
        other->m_nErrorCode = kFlowNoError;
        other->m_nStructureCheck = 0;
        other->SetLook(FLOW_LOOK_IDLE);
        other->CPart::Redraw(other->GetDrawFlags());
        other->Rescan();
    }
}

void CFlowSubStart::ShowPlainName()
{
    m_strMessageTag = m_strName;
    RefreshMessage();
}

// ---- properties ----

int CFlowSubStart::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_FLOW_SUBROUTINE_NAME), IDC_SUB_LABEL, 90));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_SUB_NAME, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_SUB_START, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowSubStart::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_SUB_NAME, m_strName, -1);
    return 1;
}

int CFlowSubStart::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId != IDC_SUB_NAME) return CFlowObject::OnPropertyCommand(commandId, text);
    // Another subroutine of that name already: the old name stays.
    if (IsNameTaken(text)) return kRenameRefused;
    m_strName = text;
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowSubStart::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = m_strName + ": ";
    if (code) *code = 0;
}

// ---- simulation ----

void CFlowSubStart::Stamp(CMatrix* matrix)
{
    CTerminal* out = GetOutputTerminal();
    if (!out) return;
    matrix->StampTransfer(kFlowOutputConductance, kFlowIdleCurrent, out, nullptr, out, nullptr);
    matrix->StampTransfer(kFlowOutputConductance, m_bFinishing ? kFlowDriveCurrent : 0.0, out, nullptr, out, nullptr);
}

bool CFlowSubStart::InDesign(const CFlowObject* part) const
{
    const CCircuit* design = GetDesign();
    if (!design || !part) return false;
    const std::vector<CPart*> all = design->CollectFlowObjects();
    return std::find(all.begin(), all.end(), part) != all.end();
}

CFlowStart* CFlowSubStart::GetRunningFor() const
{
    if (!m_bEntered || !InDesign(m_pFlowStart)) return nullptr;
    return dynamic_cast<CFlowStart*>(m_pFlowStart);
}

void CFlowSubStart::TellCallers(int state)
{
    if (auto* start = dynamic_cast<CFlowStart*>(m_pFlowStart)) start->NotifyCallers(this, state);
}

void CFlowSubStart::AcceptCall(CFlowObject* flowchart)
{
    auto* start = dynamic_cast<CFlowStart*>(flowchart);
    if (!start) return;
    if (IsBusy()) {
        if (std::find(m_queue.begin(), m_queue.end(), flowchart) == m_queue.end()) m_queue.push_back(flowchart);
        start->NotifyCallers(this, FLOW_CALL_WAITING);
        return;
    }
    const CCircuit* design = GetDesign();
    const double product = design ? GetRunTime() * design->GetUpdateRate() : 0.0;
    int steps = 1;
    if (product >= 1e9) steps = 1000000000;
    else if (product >= 1.0) steps = static_cast<int>(product);
    m_nStepsLeft = steps;
    m_bEntered = 1;
    m_pFlowStart = flowchart;
    m_pCurrent = nullptr;
    m_bFinishing = 0;
    m_bActive = 1;
    TellCallers(FLOW_CALL_ENTERED);
}

void CFlowSubStart::EndCall()
{
    m_pCurrent = nullptr;
    m_bActive = 0;
    m_bFinishing = 0;
    m_bEntered = 0;
    m_pFlowStart = nullptr;
    // The next waiting flowchart that still stands is admitted.
    while (!m_queue.empty()) {
        CFlowObject* next = m_queue.front();
        m_queue.pop_front();
        if (!InDesign(next)) continue;
        AcceptCall(next);
        return;
    }
    ShowPlainName();
}

void CFlowSubStart::StopSubroutine(CFlowObject* flowchart)
{
    // Waiting or inside, the flowchart is let go: a flowchart that queued
    // behind its own call (a subroutine reached again through another one)
    // is not admitted again by the end of that call.
    std::erase(m_queue, flowchart);
    if (m_bEntered && m_pFlowStart == flowchart) {
        // The element running in the body goes dark before the next waiting
        // flowchart comes in.
        if (m_pCurrent && m_pCurrent != this) m_pCurrent->ResetRun();
        EndCall();
    }
}

// ---- lifecycle ----

void CFlowSubStart::RefreshState()
{
    // The calls into this subroutine end: the flowchart inside it and those
    // waiting unwind their stacks (this one is not told again).
    std::vector<CFlowObject*> starts(m_queue.begin(), m_queue.end());
    m_queue.clear();
    if (m_bEntered && InDesign(m_pFlowStart)) starts.insert(starts.begin(), m_pFlowStart);
    for (CFlowObject* s : starts)
        if (auto* start = dynamic_cast<CFlowStart*>(s); start && InDesign(start)) start->UnwindCalls(this);
    if (m_pCurrent && m_pCurrent != this && InDesign(m_pCurrent)) m_pCurrent->ResetRun();
    m_pCurrent = nullptr;
    m_bEntered = 0;
    m_bActive = 0;
    m_bFinishing = 0;
    if (const CCircuit* design = GetDesign())
        for (CPart* p : design->CollectFlowObjects()) {
            auto* e = static_cast<CFlowObject*>(p);
            if (e->m_pSubStart == this) e->m_pSubStart = nullptr;
        }
    for (Member& m : m_members) m = Member{};
    m_nMemberCount = 0;
    CFlowObject::RefreshState();
}

void CFlowSubStart::OnSimulationReset()
{
    if (m_bNeedsCheck) {
        // A caller inside stops with its flowchart's start (its reset
        // unwinds the stack); whatever is left of a run goes here.
        if (m_pCurrent && m_pCurrent != this && InDesign(m_pCurrent)) m_pCurrent->ResetRun();
        m_pCurrent = nullptr;
        m_queue.clear();
        m_bEntered = 0;
        m_bActive = 0;
        m_bFinishing = 0;
        m_nStepsLeft = -1;
        m_pFlowStart = nullptr;
        Rescan();
    }
    CFlowObject::OnSimulationReset();
}

int CFlowSubStart::Rescan()
{
    for (Member& m : m_members) m = Member{};
    m_nMemberCount = 0;
    CCircuit* design = GetDesign();
    if (!design) return m_nStructureCheck = 0;
    // The elements this subroutine held start without the errors of the
    // last walk; its own mark from another walk (wired into a flowchart or
    // another subroutine) stays.
    for (CPart* p : design->CollectFlowObjects()) {
        auto* e = static_cast<CFlowObject*>(p);
        const bool self = e == this;
        if (!self && e->m_pSubStart != this) continue;
        if (!self) e->m_pSubStart = nullptr;
        const int code = e->m_nErrorCode;
        if (code == kFlowNoError || (self && (code == FLOW_ERR_TO_START || code == FLOW_ERR_TO_SUB))) continue;
        e->m_nErrorCode = kFlowNoError;
        e->SetLook(FLOW_LOOK_IDLE);
        e->RefreshMessage();
    }
    CFlowChecker checker(*design, this, false);
    // Before the design's first reset no net is numbered yet and every
    // connector stands on node 0: a walk then would claim the whole
    // design.  The walk waits for the reset.
    const CTerminal* out = GetOutputTerminal();
    m_nStructureCheck = out && out->GetNode() != 0 ? checker.Run() : 0;
    if (IsNameTaken(m_strName)) {
        checker.Record(this, FLOW_ERR_SUB_EXISTS);
        m_members[m_nMemberCount++] = Member{this, 1};
        m_nStructureCheck = 1;
    }
    const std::vector<CFlowObject*>& claimed = checker.Claimed();
    for (size_t i = 0; i < claimed.size() && m_nMemberCount < kFlowSubMemberSlots; ++i)
        m_members[m_nMemberCount++] = Member{claimed[i], checker.ClaimedDepth(i)};
    for (const auto& [element, code] : checker.Reduced()) element->SetError(code);
    return m_nStructureCheck;
}
