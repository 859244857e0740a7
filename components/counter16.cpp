#include "components/counter16.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CCounter16, "CComponent", 3)

CCounter16::CCounter16() : CCounter16(&LogicVisual(216, 1, 32, 56), 16) {}

CCounter16::CCounter16(CVisual* visual, int modulus) : m_wModulus(static_cast<WORD>(modulus))
{
    m_pVisual = visual;
    m_nOrientationMask = 15;
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CCounter16::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CCounter16::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void CCounter16::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kFirstOutput + 4) return;
    // Bit 3 on the first output pin, bit 0 on the last.
    for (int bit = 0; bit < 4; ++bit)
        StampLogicLevel(matrix, GetTerminal(kFirstOutput + 3 - bit), (m_wCount >> bit) & 1, *design);
}

int CCounter16::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() <= kReset) return broken;
    const bool gate = IsLogicHigh(GetTerminal(kClockA), *design) && IsLogicHigh(GetTerminal(kClockB), *design);
    if (m_bPreviousGate && !gate) {
        ++m_wCount;
        design->SetChanged();
    }
    if (IsLogicHigh(GetTerminal(kReset), *design) || m_wCount >= m_wModulus) {
        m_wCount = 0;
        design->SetChanged();
    }
    m_bPreviousGate = gate;
    return broken;
}
