#include "flowchart/flow_stop.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowStop, "CFlowObject", 2)

CFlowStop::CFlowStop()
{
    m_pVisual = FlowVisual("CFlowStop");
    m_strCaption = LoadResString(IDS_FLOW_STOP);
    m_strMessageTag = m_strCaption;
}

void CFlowStop::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_bStopped);
        return;
    }
    LONG stopped = 0;
    ar >> stopped;
    m_bStopped = stopped ? 1 : 0;
}

void CFlowStop::Stamp(CMatrix* matrix)
{
    if (HasInputConnector()) matrix->StampConductance(kFlowInputConductance, GetTerminal(0), nullptr);
}

int CFlowStop::AfterStep()
{
    if (m_bResetRequested && m_nResetHold == 0) m_bStopped = 0;
    const int broken = CFlowObject::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    if (m_bActive) m_bStopped = 1;
    CFlowObject* owner = GetOwner();
    int state = m_nShownState;
    if (m_bStopped && owner) {
        SetLook(FLOW_LOOK_RUNNING);
        owner->SetCurrentElement(this);
        state = FLOW_LOOK_RUNNING;
    } else if (!m_bStopped && owner) {
        SetLook(FLOW_LOOK_IDLE);
        state = FLOW_LOOK_IDLE;
    }
    if (state != m_nShownState) {
        CPart::Redraw(GetDrawFlags());
        m_nShownState = state;
        design->SetChanged();
    }
    return broken;
}

void CFlowStop::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "end\n";
    if (code) *code = 0;
}

void CFlowStop::ResetRun()
{
    m_bStopped = 0;
    CFlowObject::ResetRun();
}

void CFlowStop::DetachStart()
{
    m_bStopped = 0;
    CFlowObject::DetachStart();
}
