#include "components/dtype.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CDtype, "CComponent", 2)

namespace {
enum Pin { kD, kClock, kNotQ, kQ, kPins };
}

CDtype::CDtype()
{
    m_pVisual = &LogicVisual(301, 2, 24, 24);
    m_nOrientationMask = 15;
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CDtype::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CDtype::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

int CDtype::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainLogicSymbols); }

void CDtype::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return;
    StampQAndNotQ(matrix, GetTerminal(kQ), GetTerminal(kNotQ), m_bQ != 0, *design);
}

int CDtype::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return broken;
    if (TakeRisingEdge(m_bPreviousClock, IsLogicHigh(GetTerminal(kClock), *design))) {
        m_bQ = IsLogicHigh(GetTerminal(kD), *design);
        design->SetChanged();
    }
    return broken;
}
