// The logic pin model that every gate and chip shares.  An output pin is a
// Norton source: a transfer into the pin that follows a controlling voltage,
// in parallel with the design's logic conductance G to ground.  The design's
// logic-high current is -(supply x G), so a high output alone sits at the
// logic supply and a low one at 0 V.  Input pins stamp nothing.
#pragma once

#include "model/components/component.h"

#include <array>

class CCircuit;
class CTerminal;

// The solver's view of a component's terminals, for CLogic::LimitStep (a
// CTerminal pointer is not a CSolverTerminal pointer without adjustment).
class LogicPinArray {
public:
    explicit LogicPinArray(const CComponent& part);
    CSolverTerminal* const* Get() const { return m_pins.data(); }

private:
    std::array<CSolverTerminal*, 24> m_pins{};
};

// A fixed level: transfer g = G, I0 = logic-high current (high) or 0 (low),
// controlled by the pin itself; this is also the pin's G to ground.
void StampLogicLevel(CMatrix* matrix, CTerminal* pin, bool high, const CCircuit& design);

// The outputs of a stored flip-flop bit: Q at the level of the bit and
// not-Q at the other, both fixed levels.
void StampQAndNotQ(CMatrix* matrix, CTerminal* q, CTerminal* notQ, bool bit, const CCircuit& design);

// A clock input's rising edge: true when the previous accepted step was low
// and `now` is high; `previous` takes `now`.
bool TakeRisingEdge(int& previous, bool now);

// The symbol the design asks for: the plain picture (CComponent::Draw) while
// the flags carry `plainBit` (IEC symbols off: 0x400000 for logic, 0x200000
// for analogue parts), else the IEC symbol, the picture's second frame.
int DrawSymbolFor(CComponent& part, DWORD flags, DWORD plainBit);
constexpr DWORD kPlainLogicSymbols = 0x400000;
constexpr DWORD kPlainAnalogSymbols = 0x200000;

// The output current of a gate model into out, controlled by the model's
// present pin (pins[present]): the model's ramp unchanged when the pin's
// wanted level agrees with the direct flag, else inverted.  sign = -1
// subtracts the current (the second half of an exclusive OR).  No G.
void StampGateCurrent(CMatrix* matrix, const CLogic& model, CTerminal* control, CTerminal* out,
                      const CCircuit& design, double sign = 1.0);

// The same with the controlling value on a solver node.
void StampGateCurrentFromNode(CMatrix* matrix, const CLogic& model, uint16_t control, CTerminal* out,
                              const CCircuit& design);

// G from the pin to ground.
void StampLogicLoad(CMatrix* matrix, CTerminal* pin, const CCircuit& design);

// Above the design's switching threshold.
bool IsLogicHigh(const CTerminal* pin, const CCircuit& design);

// Slope and intercept of a gate's output current as a function of its
// controlling value (the rule above), for stamping and for tests.
struct GateTransfer {
    double g;
    double i0;
};
GateTransfer GateTransferOf(const CLogic& model, const CCircuit& design);

// Turns the part as CComponent::SetOrientation does but keeps the terminal
// array in its order: the array is sorted by position along each side,
// which reverses the pins of a side for some quarter turns, and a chip's
// pins must keep their meaning whichever way it faces.
int TurnKeepingPinOrder(CComponent* part, int newCode, int oldCode, int flag, const CPoint* anchor);
