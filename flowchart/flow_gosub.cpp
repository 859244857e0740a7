#include "flowchart/flow_gosub.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_sub_texts.h"
#include "flowchart/flow_substart.h"
#include "flowchart/flow_visuals.h"
#include "flowchart/meter_message.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowGoSub, "CFlowObject", 2)

namespace {
constexpr int IDC_GOSUB_LABEL = 36052;
constexpr int IDC_GOSUB_NAME = 36053;
constexpr int IDC_ADD_GOSUB = 33868;
} // namespace

CFlowGoSub::CFlowGoSub()
{
    m_pVisual = FlowVisual("CFlowGoSub");
    m_strName = LoadResString(IDS_FLOW_SUBROUTINE) + "1";
    m_strCaption = m_strName;
    m_strMessageTag = LoadResString(IDS_FLOW_CALL_SUBROUTINE) + m_strName;
}

// ---- archive ----

void CFlowGoSub::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_bCalling) << static_cast<LONG>(m_bReturned) << static_cast<LONG>(m_bLeaving)
           << static_cast<LONG>(m_bControlInShown);
        return;
    }
    LONG calling = 0, returned = 0, leaving = 0, shown = 0;
    ar >> calling >> returned >> leaving >> shown;
    m_bCalling = calling ? 1 : 0;
    m_bReturned = returned ? 1 : 0;
    m_bLeaving = leaving ? 1 : 0;
    m_bControlInShown = shown ? 1 : 0;
}

// ---- the flowchart ----

CFlowStart* CFlowGoSub::GetFlowchart() const
{
    CFlowObject* owner = GetOwner();
    if (auto* start = dynamic_cast<CFlowStart*>(owner)) return start;
    if (auto* sub = dynamic_cast<CFlowSubStart*>(owner)) return sub->GetRunningFor();
    return nullptr;
}

int CFlowGoSub::Validate()
{
    CFlowStart* start = GetFlowchart();
    if (!start) return m_nErrorCode;
    CString inside;
    if (auto* sub = dynamic_cast<CFlowSubStart*>(GetOwner())) sub->GetProgramName(inside);
    // A subroutine may not call itself (the names compare with case here,
    // as the subroutines' own names do).
    if (!inside.empty() && inside == m_strName) return m_nErrorCode = FLOW_ERR_OWN_SUB;
    return m_nErrorCode = start->CallSubroutine(m_strName, this);
}

void CFlowGoSub::OnCallState(int state)
{
    if (state == FLOW_CALL_WAITING) {
        if (m_bControlInShown) return;
        m_strMessageTag = LoadResString(IDS_FLOW_WAITING_FOR) + m_strName + LoadResString(IDS_FLOW_TO_BE_FREE);
    } else if (state == FLOW_CALL_ENTERED) {
        m_bControlInShown = 1;
        m_strMessageTag = LoadResString(IDS_FLOW_CONTROL_IN) + m_strName;
    } else {
        m_bControlInShown = 0;
        m_strMessageTag = m_strName;
        m_bCalling = 0;
        m_bReturned = 1;
    }
    RefreshMessage();
}

// ---- simulation ----

void CFlowGoSub::Stamp(CMatrix* matrix)
{
    if (HasInputConnector()) matrix->StampConductance(kFlowInputConductance, GetTerminal(0), nullptr);
    CTerminal* out = GetOutputTerminal();
    if (!out) return;
    matrix->StampTransfer(kFlowOutputConductance, kFlowIdleCurrent, out, nullptr, out, nullptr);
    matrix->StampTransfer(kFlowOutputConductance, m_bLeaving ? kFlowDriveCurrent : 0.0, out, nullptr, out, nullptr);
}

int CFlowGoSub::AfterStep()
{
    const bool resetPending = m_bResetRequested && m_nResetHold == 0;
    if (resetPending) {
        m_bCalling = 0;
        m_bReturned = 0;
    }
    const int broken = CFlowObject::AfterStep();
    if (!GetDesign()) return broken;
    CFlowObject* owner = GetOwner();
    if (!GetFlowchart() && !dynamic_cast<CFlowSubStart*>(owner)) {
        m_bCalling = 0;
        m_bLeaving = 0;
    }
    // Control arrived: the element holds it until the call returns (a
    // count of -1 never runs out).
    if (m_bActive && !m_bCalling && !m_bLeaving) {
        if (owner) owner->SetCurrentElement(this);
        m_bCalling = 1;
    }
    if (m_bCalling) m_nStepsLeft = -1;
    // Handed on in the last solve: the count ends the activity next step.
    if (m_bLeaving && !m_bCalling) {
        m_bReturned = 0;
        m_bLeaving = 0;
        m_nStepsLeft = 0;
    }
    if (m_bReturned && !resetPending) {
        m_bCalling = 0;
        m_bLeaving = 1;
    }
    return broken;
}

void CFlowGoSub::ResetRun()
{
    CFlowObject::ResetRun();
    m_bControlInShown = 0;
    // The exit must not drive after the reset (it follows the leaving flag,
    // not the finishing flag that the base clears).
    m_bLeaving = 0;
    m_bCalling = 0;
    m_bReturned = 0;
    m_strMessageTag = m_strName;
    RefreshMessage();
}

void CFlowGoSub::RefreshState()
{
    // A call made and not returned is dropped from the stack of the
    // flowchart that made it (and from the subroutine's queue).
    if (m_bCalling || m_bReturned)
        if (CFlowStart* start = GetFlowchart()) start->DropCall(this);
    m_bCalling = 0;
    m_bReturned = 0;
    m_bLeaving = 0;
    CFlowObject::RefreshState();
}

// ---- caption and properties ----

void CFlowGoSub::UpdateCaption()
{
    if (m_strName.empty()) m_strName = " ";
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
    m_strMessageTag = LoadResString(IDS_FLOW_CALL_SUBROUTINE) + m_strName;
    RefreshMessage();
}

int CFlowGoSub::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_FLOW_CALL_SUBROUTINE), IDC_GOSUB_LABEL, 80));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_GOSUB_NAME, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_GOSUB, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowGoSub::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_GOSUB_NAME, m_strName, -1);
    return 1;
}

int CFlowGoSub::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId != IDC_GOSUB_NAME) return CFlowObject::OnPropertyCommand(commandId, text);
    m_strName = text;
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowGoSub::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "gosub " + m_strName + "\n";
    if (code) *code = 0;
}
