#include "components/logicin.h"

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
    // The key belongs to the canvas controls; built by name so that this
    // part does not depend on their library.
    const CRuntimeClass* key = CRuntimeClass::FromName("CLatchKey");
    if (key && key->m_pfnCreateObject)
        if (auto* child = dynamic_cast<CPart*>(key->CreateObject())) {
            child->m_rect = m_rect;
            AddChild(child);
        }
}

int CLogicIn::SetInputValue(CPartTree*, int value)
{
    m_wStateWord = static_cast<WORD>(value);
    if (CCircuit* design = GetDesign()) design->ControlSimulation(kSwitchChanged);
    return 1;
}

void CLogicIn::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || m_terminals.empty()) return;
    matrix->AddVoltageSource(IsOn() ? design->GetLogicSupplyVoltage() : 0.0, GetTerminal(0), nullptr);
}
