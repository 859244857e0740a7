#include "components/capacitor.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <cmath>
#include <cstdlib>

WB_IMPLEMENT_SERIAL(CCapacitor, "CComponent", 2)

namespace {
CVisual& CapacitorPicture()
{
    static CVisual picture(0, 0, 133, 3, 0, 0, 24, 24);
    return picture;
}
// The leak to ground (siemens).
constexpr double kLeak = 5e-10;
} // namespace

CCapacitor::CCapacitor()
{
    m_pVisual = &CapacitorPicture();
    SetOrientationMask(3);
    m_pVisual->SetOrientationMask(3);
    m_pVisual->SetOffsetRow(1);
    LoadRatings(31);
}

void CCapacitor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dCharge;
    } else {
        ar >> m_dCharge;
        m_wStateWord = 0;
    }
}

void CCapacitor::CreateChildren()
{
    CreateTerminals(0);
    AddChild(new CValue(1e-6, 1.0, PrefixLetter(2), "F", 3, m_rect, 5));
}

void CCapacitor::InitVariant(const CRuntimeClass*)
{
    SetOrientation(1, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(-12, 0, 12, 24);
}

double CCapacitor::GetCapacitance() { return LabelValue(this); }

double CCapacitor::GetVoltage()
{
    if (m_terminals.size() < 2) return 0.0;
    return m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage();
}

double CCapacitor::GetQuantity(int x, int y, int code)
{
    switch (code) {
    case 1:
        return GetVoltage();
    case 2:
        return m_dLastCurrent;
    case 0x100:
        return 0.5 * GetVoltage() * m_dCharge;
    case 0x200:
        return m_dCharge;
    default:
        return 0.0;
    }
}

void CCapacitor::PrepareStep()
{
    const double c = GetCapacitance();
    CCircuit* design = GetDesign();
    const double r = design ? design->GetUpdateRate() : 5.0;
    if (m_bTrapezoid) {
        m_dConductance = 2.0 * c * r;
        m_dSource = -2.0 * r * m_dCharge - m_dLastCurrent;
    } else {
        m_dConductance = c * r;
        m_dSource = -r * m_dCharge;
    }
}

void CCapacitor::Stamp(CMatrix* m)
{
    m->StampTransfer(m_dConductance, m_dSource, GetTerminal(0), GetTerminal(1), GetTerminal(0), GetTerminal(1));
    m->StampConductance(kLeak, GetTerminal(1), nullptr);
}

int CCapacitor::AfterStep()
{
    CComponent::AfterStep();
    if (IsBroken()) return 1;
    const double v = GetVoltage();
    m_dLastCurrent = v * m_dConductance + m_dSource;
    m_dCharge = v * GetCapacitance();
    CCircuit* design = GetDesign();
    m_energy[design ? design->GetStepIndex() % 10 : 0] = 0.5 * v * m_dCharge;
    m_bTrapezoid = 0;
    DrawChargeBars();
    return 0;
}

void CCapacitor::ResetSimulation()
{
    m_dCharge = m_dConductance = m_dSource = m_dLastCurrent = 0.0;
    m_bTrapezoid = 0;
    m_wBarSign = m_wBar0 = m_wBar1 = 0;
    for (double& e : m_energy) e = 0.0;
    ResetState();
}
