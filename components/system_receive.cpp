#include "components/system_receive.h"

#include "components/systems_pins.h"
#include "model/circuit/circuit.h"

WB_IMPLEMENT_SERIAL(CSystemAReceive, "CComponent", 2)

CSystemAReceive::CSystemAReceive() { TakePicture(SystemsPicture::kReceive); }

void CSystemAReceive::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    SerializeInt(ar, m_nCounter);
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
    ShowFrame(m_nCounter);
    return broken;
}
