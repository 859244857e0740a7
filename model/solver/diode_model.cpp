#include "model/solver/diode_model.h"

#include "platform/random15.h"

#include <cmath>

void CDiodeModel::SetOff()
{
    SetSegment(0);
    m_Upper = 0.0;
    m_Slope = 5e-11;
    m_Intercept = 0.0;
}

void CDiodeModel::SetBelowKnee()
{
    SetSegment(2);
    m_Lower = 0.0;
    m_Upper = m_Knee;
    m_Slope = kKneeCurrent / m_Knee;
    m_Intercept = 0.0;
}

void CDiodeModel::SetExponential(int step, double lower, double upper, double slope)
{
    SetSegment(3 + step);
    m_Lower = lower;
    m_Upper = upper;
    m_Slope = slope;
    m_Intercept = -(lower - kStep) * slope;
}

void CDiodeModel::SetFullyOn()
{
    SetSegment(1);
    m_Lower = m_Knee + kSpan;
    m_Upper = 1e9;
    m_Slope = kFirstSlope * 1073741824.0;  // 2^30
    m_Intercept = -(m_Lower - kStep) * m_Slope;
}

double CDiodeModel::SetKnee(double knee)
{
    m_Knee = knee;
    m_Tried = 0.0;
    m_Changes = 0;
    return Update();
}

double CDiodeModel::Update()
{
    const double v = m_Tried;
    const int seg = m_Segment;
    if (seg != 1 && v > m_Upper) {
        if (seg == 2) {
            SetExponential(0, m_Knee, m_Knee + kStep, kFirstSlope);
            m_Committed = m_Knee;
        } else if (seg >= 3) {
            // Jump as many doublings as the overshoot asks for, at most 10.
            const double crossed = m_Upper;
            const double q = (v - m_Upper) / kStep + 2.0;
            const int n = q >= 1024.0 ? 10 : static_cast<int>(std::floor(std::log2(q)));
            const double upper = m_Upper + n * kStep;
            if (upper > m_Knee + kSpan + 1e-6) SetFullyOn();
            else SetExponential(seg - 3 + n, upper - kStep, upper, m_Slope * std::ldexp(1.0, n));
            m_Committed = crossed;
        } else {
            SetBelowKnee();
            m_Committed = 0.0;
        }
        return m_Committed;
    }
    if (seg > 3 && m_Lower > m_Knee + 1e-6 && v < m_Lower - kStep - 1e-6 &&
        (m_Changes < 2 || Rand15() > 0x3FFF)) {
        ++m_Changes;
        SetExponential(seg - 4, m_Lower - kStep, m_Upper - kStep, m_Slope * 0.5);
        m_Committed = m_Upper;
        return m_Committed;
    }
    ++m_Changes;
    if (seg == 2) {
        SetOff();
        m_Committed = 0.0;
    } else {
        SetBelowKnee();
        m_Committed = seg == 0 ? 0.0 : m_Knee;
    }
    return m_Committed;
}

void CDiodeModel::Commit()
{
    CState::Commit();
    m_Changes = 0;
}

double CThyristorModel::Divisor() const
{
    const double k = m_Segment == 4 ? 1.0 : 100.0;
    return k * m_Main.GetSlope() + 1.0;
}

double CThyristorModel::GetGateConductance() const
{
    return (m_Segment == 3 && m_Gate.IsConducting()) ? m_Hold * m_Gate.GetSlope() : 0.0;
}

double CThyristorModel::GetAnodeConductance() const
{
    if (m_Segment == 3) return 0.0;
    return m_Main.GetSlope() / Divisor();
}

double CThyristorModel::GetAnodeSource() const
{
    if (m_Segment == 3) return m_Hold * m_Gate.GetIntercept();
    return m_Main.GetIntercept() / Divisor();
}

void CThyristorModel::LimitStep(CState** out, double* fraction, double gate, double anode)
{
    if (m_Gate.LimitStep(out, fraction, gate)) return;
    const double o = m_Hold * m_Gate.GetValue();
    const bool fires = o > 0.006;
    double proposed = 2.0;
    if (m_Segment == 3) {
        const double t = gate + 100.0 * o + 0.089;
        if (anode >= t || !m_Gate.IsConducting()) {
            if (fires) {
                m_Next = 4;
                proposed = 0.006 / o;
            }
        } else {
            m_Next = 2;
            proposed = t / (t + (t - anode));
        }
    } else {
        const double k = m_Segment == 4 ? 1.0 : 100.0;
        const double a = GetAnodeSource() + GetAnodeConductance() * anode;
        if (m_Main.LimitStep(out, fraction, anode - k * a)) return;
        if (m_Segment == 4) {
            const double held = (anode - gate) * GetOnConductance() + a;
            if (held < 0.005) {
                m_Next = 2;
                proposed = 0.005 / (0.005 - held + 0.005);
            }
        } else if (a > 0.006 && fires) {
            m_Next = 4;
            proposed = 0.006 / a;
        } else if (a > o || !m_Gate.IsConducting()) {
            m_Next = 3;
            proposed = Rand15() / 32767.0;
        }
    }
    Offer(out, fraction, proposed);
}

void CThyristorModel::Reset()
{
    ResetState();
    SetSegment(3);
    m_Next = 3;
    m_Main.SetKnee(m_Main.GetKnee());
    m_Gate.SetKnee(m_Gate.GetKnee());
    m_Main.Commit();
    m_Gate.Commit();
}

double CThyristorModel::Update()
{
    SetSegment(m_Next);
    return m_Committed;
}

void CThyristorModel::Commit()
{
    CState::Commit();
    m_Main.Commit();
    m_Gate.Commit();
}
