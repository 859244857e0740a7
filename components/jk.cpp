#include "components/jk.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CJK, "CComponent", 3)

namespace {
enum Pin { kSet, kJ, kClock, kK, kReset, kNotQ, kQ, kPins };
}

CJK::CJK()
{
    m_pVisual = &LogicVisual(218, 2, 32, 40);
    m_nOrientationMask = 15;
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CJK::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CJK::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

int CJK::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainLogicSymbols); }

void CJK::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return;
    StampQAndNotQ(matrix, GetTerminal(kQ), GetTerminal(kNotQ), m_bQ != 0, *design);
}

int CJK::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return broken;
    auto high = [&](int pin) { return IsLogicHigh(GetTerminal(pin), *design); };
    const int before = m_bQ;
    if (TakeRisingEdge(m_bPreviousClock, high(kClock))) {
        const bool j = high(kJ), k = high(kK);
        if (j && k)
            m_bQ = !m_bQ;
        else if (j)
            m_bQ = 1;
        else if (k)
            m_bQ = 0;
    }
    if (high(kSet)) m_bQ = 1;
    if (high(kReset)) m_bQ = 0;
    if (m_bQ != before) design->SetChanged();
    return broken;
}
