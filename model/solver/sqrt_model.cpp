#include "model/solver/sqrt_model.h"

#include "platform/random15.h"

#include <cmath>

double CSqrtModel::Update()
{
    const double p = m_Width;
    double q = std::trunc(m_Tried / p);
    if (!(q >= -kTopLevel)) q = -kTopLevel;  // also NaN
    if (q > kTopLevel) q = kTopLevel;
    const int target = static_cast<int>(q);
    const int c = m_Level;
    // A random part of the way, at least one level, so a long run of levels
    // is crossed in few re-solves on average.
    int b = c;
    if (target > c) b = c + 1 + static_cast<int>(std::floor(Rand15() * static_cast<double>(target - c) / 32768.0));
    else if (target < c) b = c - 1 - static_cast<int>(std::floor(Rand15() * static_cast<double>(c - target) / 32768.0));
    const bool up = b > c;
    m_Level = b;

    const int e = b >= 1 ? b : b - 1;
    m_Lower = p * e;
    m_Upper = b == 0 ? p : m_Lower + p;
    m_Committed = up ? m_Lower : m_Upper;
    const double sign = e > 0 ? 1.0 : -1.0;
    const double l = sign * (std::sqrt(std::fabs(static_cast<double>(e)) + 1.0) - 1.0);
    const double m = sign * (std::sqrt(std::fabs(e + 1.0) + 1.0) - 1.0);
    m_Slope = (m - l) / p;
    m_Intercept = b == 0 ? 0.0 : l - m_Slope * m_Lower;
    SetSegment(b >= kTopLevel ? 1 : (b <= -kTopLevel ? 0 : 2));
    return m_Committed;
}
