#include "flowchart/flow_beep.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowBeep, "CFlowObject", 2)

CFlowBeep::CFlowBeep()
{
    m_pVisual = FlowVisual("CFlowBeep");
    m_strCaption = LoadResString(IDS_FLOW_BEEP);
    m_strMessageTag = m_strCaption;
}

int CFlowBeep::AfterStep()
{
    const int broken = CFlowObject::AfterStep();
    if (CCircuit* design = GetDesign(); design && (m_bActive || m_bFinishing)) design->RequestBuzzer();
    return broken;
}

void CFlowBeep::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "' Beep\n";
    if (code) *code = IDS_FLOW_BEEP_NO_BASIC;
}
