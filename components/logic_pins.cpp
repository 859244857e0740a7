#include "components/logic_pins.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

LogicPinArray::LogicPinArray(const CComponent& part)
{
    const int n = std::min<int>(part.GetTerminalCount(), static_cast<int>(m_pins.size()));
    for (int i = 0; i < n; ++i) m_pins[i] = part.GetTerminal(i);
}

void StampLogicLevel(CMatrix* matrix, CTerminal* pin, bool high, const CCircuit& design)
{
    matrix->StampTransfer(design.GetLogicConductance(), high ? design.GetLogicHighCurrent() : 0.0, pin, nullptr,
                          pin, nullptr);
}

void StampQAndNotQ(CMatrix* matrix, CTerminal* q, CTerminal* notQ, bool bit, const CCircuit& design)
{
    StampLogicLevel(matrix, q, bit, design);
    StampLogicLevel(matrix, notQ, !bit, design);
}

bool TakeRisingEdge(int& previous, bool now)
{
    const bool rising = !previous && now;
    previous = now;
    return rising;
}

int DrawSymbolFor(CComponent& part, DWORD flags, DWORD plainBit)
{
    return (flags & plainBit) ? part.CComponent::Draw(flags) : part.DrawSecondPicture(flags);
}

GateTransfer GateTransferOf(const CLogic& model, const CCircuit& design)
{
    // The present sense flag is set for a pin wanted low; the ramp rises
    // with the pin, so it is the output as it stands for a wanted-high pin
    // of a direct gate or a wanted-low pin of a complementing one.
    const bool wantedHigh = !model.GetPresentSense();
    if (wantedHigh == model.IsDirect()) return {model.GetSlope(), model.GetIntercept()};
    return {-model.GetSlope(), design.GetLogicHighCurrent() - model.GetIntercept()};
}

void StampGateCurrent(CMatrix* matrix, const CLogic& model, CTerminal* control, CTerminal* out,
                      const CCircuit& design, double sign)
{
    const GateTransfer t = GateTransferOf(model, design);
    matrix->StampTransfer(sign * t.g, sign * t.i0, control, nullptr, out, nullptr);
}

void StampGateCurrentFromNode(CMatrix* matrix, const CLogic& model, uint16_t control, CTerminal* out,
                              const CCircuit& design)
{
    const GateTransfer t = GateTransferOf(model, design);
    matrix->StampTransferFromNodes(t.g, t.i0, control, 0, out, nullptr);
}

void StampLogicLoad(CMatrix* matrix, CTerminal* pin, const CCircuit& design)
{
    matrix->StampConductance(design.GetLogicConductance(), pin, nullptr);
}

bool IsLogicHigh(const CTerminal* pin, const CCircuit& design)
{
    return pin && pin->GetVoltage() > design.GetLogicThreshold();
}

int TurnKeepingPinOrder(CComponent* part, int newCode, int oldCode, int flag, const CPoint* anchor)
{
    const std::vector<CTerminal*> order = part->m_terminals;
    const int result = part->CComponent::SetOrientation(newCode, oldCode, flag, anchor);
    SetTerminalOrder(part, order);
    return result;
}
