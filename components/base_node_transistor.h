// The transistor of the opto parts: the NPN's two-junction model (forward
// gain 100, reverse gain 5) around a base that is an internal node of the
// part, not a pin.  Its base current comes from light.
#pragma once

#include "model/solver/diode_model.h"
#include "model/solver/matrix.h"

class CTerminal;

class CBaseNodeTransistor {
public:
    // Stamps the four junction terms with the base at node n.
    void Stamp(CMatrix* m, uint16_t n, CTerminal* collector, CTerminal* emitter) const;
    // A current leaving the base node n towards the emitter:
    // g (V(a) - V(b)) + I0 (g and I0 negative inject into the base).
    void StampBaseSource(CMatrix* m, double g, double i0, CTerminal* a, CTerminal* b, uint16_t n,
                         CTerminal* emitter) const;
    void LimitStep(CState** out, double* fraction, const double* nodeValues, uint16_t n, CTerminal* collector,
                   CTerminal* emitter);
    void Commit();

    CDiodeModel& BaseEmitter() { return m_be; }
    CDiodeModel& BaseCollector() { return m_bc; }

    static constexpr double kForwardGain = 100.0;
    static constexpr double kReverseGain = 5.0;

private:
    CDiodeModel m_be;
    CDiodeModel m_bc;
};
