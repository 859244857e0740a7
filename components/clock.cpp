#include "components/clock.h"

#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CClock, "CComponent", 3)

CClock::CClock()
{
    m_pVisual = &LogicVisual(327, 1, 24, 8);
    m_nOrientationMask = 15;
}

void CClock::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CClock::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || m_terminals.empty()) return;
    const double level = m_wCounter < kLowSteps ? 0.0 : design->GetLogicSupplyVoltage();
    matrix->AddVoltageSource(level, GetTerminal(0), nullptr);
}

int CClock::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_wCounter = static_cast<WORD>(m_wCounter + 1 >= kPeriodSteps ? 0 : m_wCounter + 1);
    if (CCircuit* design = GetDesign()) design->SetChanged();
    return broken;
}
