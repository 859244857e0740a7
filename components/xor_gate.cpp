#include "components/xor_gate.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CXOR, "CComponent", 2)

CXOR::CXOR()
{
    m_pVisual = &LogicVisual(299, 2, 24, 24);
    m_nOrientationMask = 15;
    m_nand.SetInputs(0, 2, 15, 15, false);
    m_nor.SetInputs(0, 2, 15, 0, true);
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CXOR::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CXOR::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void CXOR::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    ResetSimulation();
}

void CXOR::ResetSimulation()
{
    if (CCircuit* design = GetDesign()) {
        m_nand.SetFromCircuit(*design);
        m_nor.SetFromCircuit(*design);
    }
}

int CXOR::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainLogicSymbols); }

void CXOR::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < 3) return;
    CTerminal* out = GetTerminal(2);
    StampGateCurrent(matrix, m_nand, GetTerminal(m_nand.GetPresentPin()), out, *design);
    StampGateCurrent(matrix, m_nor, GetTerminal(m_nor.GetPresentPin()), out, *design, -1.0);
    StampLogicLoad(matrix, out, *design);
}

void CXOR::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < 3) return;
    const LogicPinArray pins(*this);
    m_nand.LimitStep(out, fraction, nodeValues, pins.Get(), *design);
    m_nor.LimitStep(out, fraction, nodeValues, pins.Get(), *design);
}

int CXOR::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_nand.Commit();
    m_nor.Commit();
    return broken;
}
