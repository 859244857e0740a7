// MOSFET square law with gate overdrive and drain voltage quantised in steps
// s = 0.05 V; threshold Vt = 1.000001 V.  The mode flag says which outer
// terminal acts as source (it flips when the drain voltage turns negative).
// Each segment is the chord of the square law between two levels:
//   off (gate level e < 0): output conductance 1e-11, no transconductance;
//   saturation (e < drain level f): gm = s(2e + 1), level current e^2;
//   linear: output conductance s(2e - 2f + 1) + 1e-11, gm = 2sf, level
//   current 2ef - f^2;
// intercept = level current * s^2 - (e s + Vt) gm - (f s) * output conductance.
#pragma once

#include "model/solver/state.h"

class CFET_Model : public CState {
public:
    // gate: V(gate) - V(outer A); drain: V(gate) - V(outer B).
    void LimitStep(CState** out, double* fraction, double gate, double drain);
    double Update() override;

    double GetTransconductance() const { return m_Gm; }
    int GetMode() const { return m_Mode; }
    int GetGateLevel() const { return m_GateLevel; }
    int GetDrainLevel() const { return m_DrainLevel; }
    int GetGateChange() const { return m_GateChange; }
    int GetDrainChange() const { return m_DrainChange; }
    double GetLevelStep() const { return m_Step; }
    double GetThreshold() const { return m_Vt; }

private:
    double m_Step = 0.05;
    double m_Vt = 1.000001;
    int m_Mode = 1;
    int m_GateLevel = 0;
    int m_GateChange = 0;
    int m_DrainLevel = 0;
    int m_DrainChange = 0;
    double m_Gm = 0.0;
};
