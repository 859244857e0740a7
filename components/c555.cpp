#include "components/c555.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(C555, "CComponent", 2)

// Ratings of the 555: 0.6 W, 16 V supply, 1 V beyond the rails.
constexpr UINT IDS_555_RATINGS = 27;

C555::C555()
{
    m_pVisual = &LogicVisual(155, 1, 32, 40);
    m_nOrientationMask = 15;
    LoadRatings(IDS_555_RATINGS);
}

void C555::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int C555::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void C555::Stamp(CMatrix* matrix)
{
    if (GetTerminalCount() < kPins) return;
    CTerminal* supply = GetTerminal(kSupply);
    CTerminal* ground = GetTerminal(kGround);
    CTerminal* output = GetTerminal(kOutput);
    matrix->StampConductance(kDividerTop, supply, GetTerminal(kControl));
    matrix->StampConductance(kDividerBottom, GetTerminal(kControl), ground);
    matrix->StampConductance(kQuiescent, supply, ground);
    if (!m_bPowered) return;
    if (m_bLatch) {
        matrix->StampConductance(kOutputOn, output, supply);
    } else {
        matrix->StampConductance(kOutputOn, output, ground);
        matrix->StampConductance(kDischargeOn, GetTerminal(kDischarge), ground);
    }
}

int C555::AfterStep()
{
    const int broken = CComponent::AfterStep();
    if (GetTerminalCount() < kPins) return broken;
    auto v = [&](int pin) { return GetTerminal(pin)->GetVoltage(); };
    m_bPowered = v(kSupply) - v(kGround) > kPoweredAbove;
    const double level = (v(kGround) + v(kControl)) / 2;
    if (v(kReset) < level)
        m_bLatch = 0;
    else if (v(kTrigger) < level)
        m_bLatch = 1;
    else if (v(kThreshold) > v(kControl))
        m_bLatch = 0;
    if (CCircuit* design = GetDesign()) design->SetChanged();
    return broken;
}

int C555::GetSupplyRails(double* high, double* low)
{
    if (GetTerminalCount() < kPins) return 0;
    CTerminal* supply = GetTerminal(kSupply);
    CTerminal* ground = GetTerminal(kGround);
    if (!supply->IsJoined() && !ground->IsJoined()) return 0;
    *high = supply->GetVoltage();
    *low = ground->GetVoltage();
    if (ground->IsJoined()) {
        if (*high < ground->GetVoltage() + m_dMaxV) *high = ground->GetVoltage() + m_dMaxV;
    } else {
        *low = supply->GetVoltage() - m_dMaxV;
    }
    return 1;
}
