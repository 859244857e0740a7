// CLR: companion model of an inductance L with series resistance R.  Per step
// the inductor is a conductance g = 1 / (R + c) with a source carrying its
// present current (c = t * k, doubled for the trapezoid rule).  The member
// state's segment 1 marks a decaying current whose residual has grown too
// large: the inductor then lets go (no conductance, its last current as a
// source), so a switched-off coil does not ring numerically.
#pragma once

#include "model/solver/state.h"

class CLR {
public:
    explicit CLR(double resistance = 0.0) : m_Resistance(resistance) { Reset(); }

    void Reset();
    double Prepare(double t, double k, bool trapezoid);
    double GetConductance() const { return m_State.GetSegment() == 1 ? 0.0 : m_Conductance; }
    double GetSource() const
    {
        return m_State.GetSegment() == 1 ? m_Source + m_Value * m_Conductance : m_Source;
    }
    void LimitStep(CState** out, double* fraction, double v);
    double AfterStep(double v);

    double GetCurrent() const { return m_Current; }
    double GetResidual() const { return m_Residual; }
    double GetResidualAverage() const { return m_Average; }
    int GetSettleCounter() const { return m_Settle; }
    CState& State() { return m_State; }
    const CState& State() const { return m_State; }

private:
    double m_Conductance = 0.0;
    double m_Source = 0.0;
    double m_Current = 0.0;
    double m_Value = 0.0;
    double m_Residual = 0.0;
    double m_Average = 0.0;
    double m_Resistance = 0.0;
    CState m_State;
    int m_Settle = 2;
};
