#include "components/system_output.h"

#include "components/logic_pins.h"
#include "model/circuit/circuit.h"

WB_IMPLEMENT_SERIAL(CSystemOutput, "CComponent", 2)

void CSystemOutput::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring())
        ar << m_dwState << m_dwSecondWord;
    else
        ar >> m_dwState >> m_dwSecondWord;
}

int CSystemOutput::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    const bool high = IsLogicHigh(GetTerminal(0), *design);
    m_dwState = (m_dwState & ~DWORD(0xFF)) | (high ? 1u : 0u);
    design->SetChanged();
    return broken;
}

void CSystemOutput::OnSimulationReset()
{
    CComponent::OnSimulationReset();
    if (OnShown()) ShowFrame(1);
}

void CSystemOutput::SetShown(bool on) { m_dwState = (m_dwState & ~DWORD(0xFF00)) | (on ? 0x100u : 0u); }

void CSystemOutput::ShowOnOff()
{
    if (!InputHigh() && OnShown()) {
        ShowFrame(0);
        SetShown(false);
    } else if (InputHigh() && !OnShown()) {
        ShowFrame(1);
        SetShown(true);
    }
    if (CCircuit* design = GetDesign()) design->SetChanged();
}
