#include "components/schmitt.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CSchmitt, "CComponent", 3)

CSchmitt::CSchmitt()
{
    m_pVisual = &LogicVisual(292, 2, 24, 24);
    m_nOrientationMask = 15;
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CSchmitt::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CSchmitt::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void CSchmitt::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    ResetSimulation();
}

void CSchmitt::ResetSimulation()
{
    CCircuit* design = GetDesign();
    if (!design) return;
    const double t = design->GetSchmittThreshold();
    m_model.SetRamp(t, design->GetLogicHighCurrent(), t + 0.01, 0.0);
}

double CSchmitt::Offset() const
{
    CCircuit* design = GetDesign();
    return m_bOutputHigh && design ? design->GetSchmittHysteresis() : 0.0;
}

int CSchmitt::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainLogicSymbols); }

void CSchmitt::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < 2) return;
    CTerminal* in = GetTerminal(0);
    CTerminal* out = GetTerminal(1);
    const double g = m_model.GetSlope();
    matrix->StampTransfer(g, m_model.GetIntercept() - g * Offset(), in, nullptr, out, nullptr);
    StampLogicLoad(matrix, out, *design);
}

void CSchmitt::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (GetTerminalCount() < 2) return;
    m_model.LimitStep(out, fraction, nodeValues[GetTerminal(0)->GetNode()] - Offset());
}

int CSchmitt::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    // Inside the ramp the output keeps its side.
    if (m_model.GetSegment() == 0)
        m_bOutputHigh = 1;
    else if (m_model.GetSegment() == 1)
        m_bOutputHigh = 0;
    return broken;
}
