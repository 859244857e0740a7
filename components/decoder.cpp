#include "components/decoder.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CDecoder, "CComponent", 3)

CDecoder::CDecoder()
{
    m_pVisual = &LogicVisual(217, 1, 32, 120);
    m_nOrientationMask = 15;
    for (int i = 0; i < kOutputs; ++i) m_models[i].SetInputs(0, kInputs, 15, static_cast<unsigned>(i), true);
    LoadRatings(IDS_LOGIC_RATINGS);
}

void CDecoder::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CDecoder::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void CDecoder::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    ResetSimulation();
}

void CDecoder::ResetSimulation()
{
    if (CCircuit* design = GetDesign())
        for (CLogic& m : m_models) m.SetFromCircuit(*design);
}

void CDecoder::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kInputs + kOutputs) return;
    for (int i = 0; i < kOutputs; ++i)
        StampGateCurrent(matrix, m_models[i], GetTerminal(m_models[i].GetPresentPin()), GetTerminal(OutputPin(i)),
                         *design);
    for (int i = 0; i < kOutputs; ++i) StampLogicLoad(matrix, GetTerminal(OutputPin(i)), *design);
}

void CDecoder::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kInputs + kOutputs) return;
    const LogicPinArray pins(*this);
    for (CLogic& m : m_models) m.LimitStep(out, fraction, nodeValues, pins.Get(), *design);
}

int CDecoder::AfterStep()
{
    const int broken = CComponent::AfterStep();
    for (CLogic& m : m_models) m.Commit();
    return broken;
}
