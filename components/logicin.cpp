#include "components/logicin.h"

#include "components/latchkey.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CLogicIn, "CComponent", 2)

// Controller code of a changed switch: the step is solved again at once.
constexpr int kSwitchChanged = 4;

CLogicIn::CLogicIn()
{
    m_pVisual = &LogicVisual(201, 2, 8, 8);
    m_nOrientationMask = 15;
}

void CLogicIn::CreateChildren()
{
    if (!m_terminals.empty()) return;
    CreateTerminals(0);
    // The latching key beside the part (left of it) switches the level.
    AddChild(new CLatchKey(3, this));
}

int CLogicIn::SetInputValue(CPartTree*, int value)
{
    m_wStateWord = static_cast<WORD>(value);
    if (CCircuit* design = GetDesign()) design->ControlSimulation(kSwitchChanged);
    return 1;
}

bool CLogicIn::GetPinDrive(double* volts, double* conductance) const
{
    const CCircuit* design = GetDesign();
    *volts = IsOn() && design ? design->GetLogicSupplyVoltage() : 0.0;
    *conductance = 0.0;
    return true;
}

void CLogicIn::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || m_terminals.empty()) return;
    matrix->AddVoltageSource(IsOn() ? design->GetLogicSupplyVoltage() : 0.0, GetTerminal(0), nullptr);
}
