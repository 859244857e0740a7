#include "model/solver/lr_model.h"

void CLR::Reset()
{
    m_Conductance = m_Source = m_Current = m_Value = m_Residual = m_Average = 0.0;
    m_State.ResetState();
    m_Settle = 2;
}

double CLR::Prepare(double t, double k, bool trapezoid)
{
    double c = t * k;
    if (trapezoid) c *= 2.0;
    m_Conductance = 1.0 / (m_Resistance + c);
    m_Source = trapezoid ? m_Conductance * (m_Current * c + m_Residual) : c * m_Conductance * m_Current;
    return m_Conductance;
}

void CLR::LimitStep(CState** out, double* fraction, double v)
{
    if (m_Settle != 0) return;
    const double i = v * m_Conductance + m_Source;
    const double r = v - i * m_Resistance - m_Residual;
    const bool decaying = m_State.GetSegment() == 1 || (m_Current > 1e-6 && i < m_Current) ||
                          (m_Current < -1e-6 && i > m_Current);
    m_State.LimitStep(out, fraction, (decaying && r * r > 2.0 * m_Average + 1e-12) ? 1.0 : -1.0);
}

double CLR::AfterStep(double v)
{
    if (m_State.GetSegment() == 1) {
        m_State.ResetState();
        m_Settle = 2;
        return m_Current;
    }
    m_Value = v;
    m_Current = v * m_Conductance + m_Source;
    m_Residual = v - m_Current * m_Resistance;
    m_Average = 0.1 * m_Residual * m_Residual + 0.9 * m_Average;
    if (m_Settle > 0) --m_Settle;
    return m_Current;
}
