#include "components/logicout.h"

#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CLogicOut, "CComponent", 3)

CLogicOut::CLogicOut()
{
    m_pVisual = &LogicVisual(225, 3, 16, 16);
    m_nOrientationMask = 15;
}

void CLogicOut::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring() && ar.GetVersion() <= 3) Offset(0, -1);
}

void CLogicOut::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CLogicOut::LevelOf(double volts, double lowThreshold, double highThreshold)
{
    if (volts >= highThreshold) return 2;
    return volts <= lowThreshold ? 0 : 1;
}

int CLogicOut::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design || m_terminals.empty()) return broken;
    const int level =
        LevelOf(GetTerminal(0)->GetVoltage(), design->GetInputLowThreshold(), design->GetInputHighThreshold());
    if (level != m_wStateWord) {
        m_wStateWord = static_cast<WORD>(level);
        Draw(design->GetOptions());
    }
    return broken;
}
