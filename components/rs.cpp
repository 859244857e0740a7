#include "components/rs.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CRS, "CComponent", 2)

namespace {
enum Pin { kSet, kReset, kQ, kNotQ, kPins };
}

CRS::CRS()
{
    m_pVisual = &LogicVisual(300, 2, 24, 24);
    m_nOrientationMask = 15;
    // Pins 0 and 2 (set, Q), and 1 and 3 (reset, not-Q): mask 5 of three.
    m_toNotQ.SetInputs(kSet, 3, 5, 0, true);
    m_toQ.SetInputs(kReset, 3, 5, 0, true);
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CRS::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CRS::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void CRS::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    ResetSimulation();
}

void CRS::ResetSimulation()
{
    if (CCircuit* design = GetDesign()) {
        m_toNotQ.SetFromCircuit(*design);
        m_toQ.SetFromCircuit(*design);
    }
}

int CRS::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainLogicSymbols); }

void CRS::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return;
    CTerminal* q = GetTerminal(kQ);
    CTerminal* notQ = GetTerminal(kNotQ);
    StampGateCurrent(matrix, m_toQ, GetTerminal(m_toQ.GetPresentPin()), q, *design);
    StampGateCurrent(matrix, m_toNotQ, GetTerminal(m_toNotQ.GetPresentPin()), notQ, *design);
    StampLogicLoad(matrix, q, *design);
    StampLogicLoad(matrix, notQ, *design);
}

void CRS::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return;
    const LogicPinArray pins(*this);
    m_toNotQ.LimitStep(out, fraction, nodeValues, pins.Get(), *design);
    m_toQ.LimitStep(out, fraction, nodeValues, pins.Get(), *design);
}

int CRS::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_toNotQ.Commit();
    m_toQ.Commit();
    return broken;
}
