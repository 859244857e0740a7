#include "flowchart/flow_return.h"

#include "flowchart/flow_start.h"
#include "flowchart/flow_sub_texts.h"
#include "flowchart/flow_substart.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowReturn, "CFlowObject", 2)

CFlowReturn::CFlowReturn()
{
    m_pVisual = FlowVisual("CFlowReturn");
    m_strCaption = LoadResString(IDS_FLOW_RETURN);
    m_strMessageTag = m_strCaption;
}

void CFlowReturn::Stamp(CMatrix* matrix)
{
    if (HasInputConnector()) matrix->StampConductance(kFlowInputConductance, GetTerminal(0), nullptr);
}

int CFlowReturn::AfterStep()
{
    const int broken = CFlowObject::AfterStep();
    // Handing on is returning: once, in the step in which the count ran out.
    if (!m_bFinishing) return broken;
    auto* sub = dynamic_cast<CFlowSubStart*>(GetOwner());
    if (!sub) return broken;
    if (CFlowStart* start = sub->GetRunningFor()) start->Return();
    sub->EndCall();
    m_bResetRequested = 0;
    return broken;
}

void CFlowReturn::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "return\n";
    if (code) *code = 0;
}
