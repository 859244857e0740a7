#include "model/solver/fet_model.h"

#include "platform/random15.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void CFET_Model::LimitStep(CState** out, double* fraction, double gate, double drain)
{
    const double s = m_Step;
    double overdrive = (m_Mode ? drain : gate) - m_Vt;
    double vds = m_Mode ? drain - gate : gate - drain;
    // NaN clamps to the low end, so a poisoned solve cannot index levels.
    overdrive = overdrive > -100.0 ? std::min(overdrive, 100.0) : -100.0;
    vds = vds > -100.0 ? std::min(vds, 100.0) : -100.0;
    // A value just past the next boundary stays in its level (no flicker on
    // the boundary itself).
    if (overdrive >= (m_GateLevel + 1) * s) overdrive -= 1e-6;
    if (vds >= (m_DrainLevel + 1) * s) vds -= 1e-6;
    int dg = static_cast<int>(std::floor(overdrive / s)) - m_GateLevel;
    int dd = static_cast<int>(std::floor(vds / s)) - m_DrainLevel;

    const double r = Rand15() / 32768.0;
    // Whole change half of the time, else a random part of it (at least one).
    auto partial = [r](int change) {
        if (r >= 0.5) return change;
        int part = static_cast<int>(std::floor(r * std::abs(change))) + 1;
        return change > 0 ? part : -part;
    };
    if (dg != 0) {
        const int g = partial(dg);
        if (dd != 0) {
            const int pick = Rand15() * 10 / 32768;
            dd = pick == 0 ? partial(dd) : g - (m_DrainLevel - m_GateLevel);
        }
        dg = g;
    } else if (dd != 0) {
        dd = partial(dd);
    }
    m_GateChange = dg;
    m_DrainChange = dd;
    if (dg != 0 || dd != 0) Offer(out, fraction, r);
}

double CFET_Model::Update()
{
    if (m_DrainLevel == 0 && m_DrainChange < 0) {
        m_Mode = !m_Mode;
        return m_Committed;
    }
    m_GateLevel += m_GateChange;
    m_DrainLevel = std::max(0, m_DrainLevel + m_DrainChange);
    m_GateChange = 0;
    m_DrainChange = 0;
    const double s = m_Step;
    const double e = m_GateLevel, f = m_DrainLevel;
    double current;
    if (m_GateLevel < 0) {
        m_Slope = 1e-11;
        m_Gm = 0.0;
        m_Intercept = 0.0;
        return m_Committed;
    }
    if (m_GateLevel < m_DrainLevel) {
        m_Slope = 1e-11;
        m_Gm = s * (2.0 * e + 1.0);
        current = e * e;
    } else {
        m_Slope = s * (2.0 * e - 2.0 * f + 1.0) + 1e-11;
        m_Gm = 2.0 * s * f;
        current = 2.0 * e * f - f * f;
    }
    m_Intercept = current * s * s - (e * s + m_Vt) * m_Gm - (f * s) * m_Slope;
    return m_Committed;
}
