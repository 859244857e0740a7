#include "measure/scope_limits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void CScopeLimits::Normalise(double value)
{
    m_nExponent = 0;
    m_nSign = 1;
    if (!(value != 0.0) || !std::isfinite(value)) {
        m_dMantissa = 0.0;
        m_nExponent = -20;
        return;
    }
    if (value < 0) {
        value = -value;
        m_nSign = -1;
    }
    while (value >= 1.0) {
        value /= 10.0;
        ++m_nExponent;
    }
    while (value < 0.1) {
        value *= 10.0;
        --m_nExponent;
    }
    m_dMantissa = value;
}

void CScopeLimits::Step()
{
    // 0.99 rounds up what is not already whole; 0.01 forgives the last bit
    // of a value that is whole but was stored a little low.
    m_nResult = static_cast<int>(m_nMultiplier * m_dMantissa + (m_bUpward ? 0.99 : 0.01));
    if (m_nResult == m_nMultiplier) {
        m_dMantissa /= 10.0;
        ++m_nExponent;
        m_nResult /= 10;
    }
}

void CScopeLimits::Set(double value, int multiplier, bool upward)
{
    Normalise(value);
    m_nMultiplier = multiplier;
    m_bUpward = m_nSign > 0 ? upward : !upward;
    Step();
}

void CScopeLimits::Shift(int n)
{
    m_nExponent += n;
    for (int i = 0; i < n; ++i) m_dMantissa /= 10.0;
    Step();
}

double CScopeLimits::GetValue() const
{
    return m_nSign * static_cast<double>(m_nResult) * std::pow(10.0, m_nExponent) / m_nMultiplier;
}

int NiceStep(int n)
{
    if (n <= 5) return std::max(n, 1);
    if (n <= 10) return 10;
    if (n <= 15) return 15;
    if (n <= 20) return 20;
    if (n <= 25) return 25;
    if (n <= 60) return (n + 9) / 10 * 10;
    if (n <= 75) return 75;
    return (n + 49) / 50 * 50;
}

namespace {

// Exponents whose prefix group the labels can name: -5 (hundredths of
// micro) up to 12 (hundreds of giga).
constexpr int kLowestExponent = -5;
constexpr int kHighestExponent = 12;

// The prefix group of an exponent: -1 micro, 0 milli, 1 none, 2 kilo, ...
int PrefixGroup(int exponent)
{
    return exponent < -2 ? exponent / 3 : (exponent + 2) / 3;
}

const char* GroupLetter(int group)
{
    switch (group) {
    case -1: return "\xB5";
    case 0: return "m";
    case 2: return "k";
    case 3: return "M";
    case 4: return "G";
    default: return "";
    }
}

} // namespace

CGraphScale ScaleGraph(double maxMantissa, double minMantissa, int prefixCode, int height)
{
    CGraphScale s;
    if (!std::isfinite(maxMantissa)) maxMantissa = 0.0;
    if (!std::isfinite(minMantissa)) minMantissa = 0.0;
    int p = prefixCode;
    if (std::fabs(maxMantissa) < 0.1 && std::fabs(minMantissa) < 0.1 && p > 2) {
        maxMantissa *= 1000.0;
        minMantissa *= 1000.0;
        --p;
    }
    if (std::fabs(maxMantissa) < 0.1) maxMantissa = 0.0;
    if (std::fabs(minMantissa) < 0.1) minMantissa = 0.0;
    if (maxMantissa < minMantissa) std::swap(maxMantissa, minMantissa);
    // The prefix's own factor, nano and pico too: below micro the
    // exponent is lifted to -5 below, which keeps the magnitude.
    p = std::clamp(p, 0, 7);
    const double factor = std::pow(10.0, 3 * (p - 4));
    s.upper.Set(maxMantissa * factor, 1000, true);
    s.lower.Set(minMantissa * factor, 1000, false);
    if (s.upper.GetExponent() < s.lower.GetExponent())
        s.upper.Shift(s.lower.GetExponent() - s.upper.GetExponent());
    else if (s.lower.GetExponent() < s.upper.GetExponent())
        s.lower.Shift(s.upper.GetExponent() - s.lower.GetExponent());
    if (s.upper.GetExponent() < kLowestExponent) {
        const int n = kLowestExponent - s.upper.GetExponent();
        s.upper.Shift(n);
        s.lower.Shift(n);
    }
    // A range beyond what the prefixes name: the top group, the range as
    // wide as that group's three digits allow.
    if (s.upper.GetExponent() > kHighestExponent) {
        s.upper.Set(std::pow(10.0, kHighestExponent) * 0.999, 1000, true);
        s.lower.Set(s.lower.GetSign() < 0 ? -std::pow(10.0, kHighestExponent) * 0.999 : 0.0, 1000, false);
        s.lower.Shift(s.upper.GetExponent() - s.lower.GetExponent());
    }
    s.exponent = s.upper.GetExponent();
    const int group = PrefixGroup(s.exponent);
    s.prefix = GroupLetter(group);
    s.prefixScale = std::pow(10.0, 3 * (group - 1));

    const int divisions = std::max(height / kPixelsPerYDivision, 1);
    s.divisions = divisions;
    const long long upper = s.upper.GetSignedResult();
    const long long lower = s.lower.GetSignedResult();
    long long step = 1;
    long long bottom = lower;
    if (upper > 0 && lower < 0 && divisions >= 2) {
        // Zero on a division line: the divisions are shared in proportion
        // to the parts above and below zero, each part at least one.
        const long long below = -lower;
        int dAbove = 0, dBelow = 0;
        if (upper >= below) {
            dAbove = std::clamp(static_cast<int>(divisions * upper / (upper + below)), 1, divisions - 1);
            dBelow = divisions - dAbove;
        } else {
            dBelow = std::clamp(static_cast<int>(divisions * below / (upper + below)), 1, divisions - 1);
            dAbove = divisions - dBelow;
        }
        step = std::max(NiceStep(static_cast<int>((upper - 1) / dAbove + 1)),
                        NiceStep(static_cast<int>((below - 1) / dBelow + 1)));
        bottom = -dBelow * step;
    } else {
        step = NiceStep(static_cast<int>((upper - lower - 1) / divisions + 1));
        bottom = upper < 0 && lower < 0 ? upper - divisions * step : lower;
    }
    s.decimals = 2 - ((s.exponent + 5) % 3);
    double labelFactor = 1.0;
    for (int i = s.decimals; i > 0; --i) {
        if (bottom % 10 == 0 && step % 10 == 0) {
            bottom /= 10;
            step /= 10;
            --s.decimals;
        } else {
            labelFactor *= 0.1;
        }
    }
    s.labelBottom = static_cast<double>(bottom) * labelFactor;
    s.labelStep = static_cast<double>(step) * labelFactor;
    s.unitsPerPixel = s.labelStep * s.prefixScale / kPixelsPerYDivision;
    s.bottomValue = s.labelBottom * s.prefixScale;
    return s;
}

CString GraphCaption(const CString& quantityName, const CGraphScale& scale, const CString& unit)
{
    return quantityName + " (" + scale.prefix + unit + ")";
}

CString FormatGraphLabel(double value, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 2), value);
    // "-0" and "-0.00" read as zero.
    CString text(buf);
    if (text.find_first_of("123456789") == CString::npos && !text.empty() && text[0] == '-') text.erase(0, 1);
    return text;
}
