#include "components/system_receive.h"

#include "components/systems_pins.h"
#include "model/circuit/circuit.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSystemAReceive, "CComponent", 2)

CSystemAReceive::CSystemAReceive()
{
    m_pVisual = &GetSystemsPicture(SystemsPicture::kReceive);
    m_nOrientationMask = m_pVisual->GetOrientationMask();
}

void CSystemAReceive::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nCounter);
        return;
    }
    LONG counter = 0;
    ar >> counter;
    m_nCounter = counter;
}

void CSystemAReceive::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CSystemAReceive::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || m_terminals.empty()) return;
    const double current = design->m_fileExtras.transmitted ? design->GetLogicHighCurrent() : 0.0;
    StampSystemsPin(matrix, GetTerminal(0), current, *design);
}

int CSystemAReceive::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_nCounter = m_nCounter >= 3 || m_nCounter < 0 ? 0 : m_nCounter + 1;
    m_wStateWord = static_cast<WORD>(m_nCounter);
    Draw(GetDrawFlags() | 0x4);
    return broken;
}
