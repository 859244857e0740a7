#include "components/nand.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CNAND, "CComponent", 2)

CNAND::CNAND() : CNAND(&LogicVisual(295, 2, 24, 24), 2, 15, false) {}

CNAND::CNAND(CVisual* visual, int inputs, unsigned wantedHigh, bool direct) : m_nInputs(inputs)
{
    m_pVisual = visual;
    m_nOrientationMask = 15;
    m_model.SetInputs(0, inputs, 15, wantedHigh, direct);
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CNAND::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CNAND::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void CNAND::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    // A part read from a file has not been through Initialise: its ramp
    // comes from the design's logic family here.
    ResetSimulation();
}

void CNAND::ResetSimulation()
{
    if (CCircuit* design = GetDesign()) m_model.SetFromCircuit(*design);
}

int CNAND::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainLogicSymbols); }

void CNAND::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() <= m_nInputs) return;
    CTerminal* out = GetTerminal(m_nInputs);
    StampGateCurrent(matrix, m_model, GetTerminal(m_model.GetPresentPin()), out, *design);
    StampLogicLoad(matrix, out, *design);
}

void CNAND::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() <= m_nInputs) return;
    m_model.LimitStep(out, fraction, nodeValues, LogicPinArray(*this).Get(), *design);
}

int CNAND::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    return broken;
}
