// Diode and thyristor models.
//
// CDiodeModel follows the exponential I = 2.2962e-8 * 2^((v - d) / 0.0178)
// above its knee d by chords of 0.0178 V, across each of which the current
// doubles (0.0178 V / ln 2 = 25.7 mV, the thermal voltage).  Segments:
//   0  off, v < 0:            slope 5e-11
//   2  0 <= v < d:            slope 2.2962e-8 / d
//   3+k  d + k*0.0178 ..:     slope 1.29e-6 * 2^k, k = 0..29
//   1  v >= d + 0.534:        slope 1.29e-6 * 2^30
// The largest voltage error of a chord against the exponential is
// 0.0178 * (log2(1/ln 2) - (1/ln 2 - 1)) = 1.53 mV.
#pragma once

#include "model/solver/state.h"

class CDiodeModel : public CState {
public:
    static constexpr double kStep = 0.0178;
    static constexpr double kFirstSlope = 1.29e-6;
    static constexpr double kKneeCurrent = 2.2962e-8;
    static constexpr double kSpan = 0.534;  // 30 steps from the knee to the top segment

    CDiodeModel() { SetKnee(0.35); }
    // Stores the knee voltage and chooses the segment for 0 V again.
    double SetKnee(double knee);
    double Update() override;
    void Commit();
    double GetKnee() const { return m_Knee; }
    // Past the knee: one of the exponential segments or fully on.  (Each
    // doubling of the current is a segment of its own, so a test for the
    // first exponential segment alone would stop at 46 nA.)
    bool IsConducting() const { return m_Segment == 1 || m_Segment >= 3; }

private:
    void SetOff();
    void SetBelowKnee();
    void SetExponential(int step, double lower, double upper, double slope);
    void SetFullyOn();

    double m_Knee = 0.35;
    int m_Changes = 0;
};

// Thyristor: a main (anode) diode and a gate diode; states 3 off, 4 on,
// 2 turning off.
class CThyristorModel : public CState {
public:
    CThyristorModel() { m_Segment = 3; }
    // Off again with both diodes at 0 V (a new run).
    void Reset();
    void LimitStep(CState** out, double* fraction, double gate, double anode);
    double Update() override;
    void Commit();

    double GetOnConductance() const { return m_Segment == 4 ? 0.1 : 0.0; }
    double GetGateConductance() const;
    double GetAnodeConductance() const;
    double GetAnodeSource() const;
    int GetState() const { return m_Segment; }
    int GetNextState() const { return m_Next; }
    CDiodeModel& MainDiode() { return m_Main; }
    CDiodeModel& GateDiode() { return m_Gate; }

private:
    double Divisor() const;

    CDiodeModel m_Main;
    CDiodeModel m_Gate;
    int m_Next = 3;
    double m_Hold = 32.0;
};
