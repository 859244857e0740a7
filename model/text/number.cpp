#include "model/text/number.h"

#include "platform/archive.h"
#include "platform/numtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::array<char, 8> kLetters = {'p', 'n', '\xB5', 'm', ' ', 'k', 'M', 'G'};
constexpr std::array<double, 8> kFactors = {1e-12, 1e-9, 1e-6, 1e-3, 1.0, 1e3, 1e6, 1e9};

// The value-limits table.  Row 15 is replaced at run time by
// SetEditValueLimits; the rows carry no names, the components choose them.
std::array<CValueLimits, kValueLimitRows> g_limits = {{
    {0.05, 9999, 0, 6},  {-9999, 9999, 0, 6}, {-9999, 9999, 0, 6}, {0, 9999, 4, 4},
    {-9999, 0, 4, 4},    {0.05, 9999, 0, 6},  {0.1, 9990, 4, 7},   {0.1, 9990, 3, 4},
    {0.1, 9999, 4, 4},   {0.1, 9999, 0, 5},   {0.2, 9999, 0, 6},   {0.1, 9999, 4, 5},
    {-999, 999, 2, 6},   {0.1, 999, 0, 4},    {-999, 999, 0, 3},   {0.05, 9999, 0, 6},
    {-999, 999, 0, 5},   {10, 1000, 4, 4},    {380, 780, 4, 4},    {-360, 360, 4, 4},
    {1, 10, 4, 4},       {1, 20, 4, 4},       {1, 200, 4, 4},      {1, 400, 4, 4},
    {1, 120, 4, 4},      {0, 600, 4, 4},      {0, 1000, 4, 4},     {0, 100, 4, 4},
    {0, 3, 4, 4},        {0, 7, 4, 4},
}};

// Set when the last single step had to be widened to the shown precision, so
// that a following multi-step keeps that coarser base.
bool g_coarseStep = false;

// Typed text as the number it shows; text that is not a number is 0.
double ParseTyped(const char* text)
{
    double v = text ? ParseDoublePrefix(text) : 0.0;
    return std::isnan(v) ? 0.0 : v;
}

}  // namespace

bool HoldsNumber(const char* text)
{
    if (!text) return false;
    size_t used = 0;
    const double v = ParseDoublePrefix(text, &used);
    return used > 0 && !std::isnan(v);
}

char PrefixLetter(int code)
{
    return code >= 0 && code < 8 ? kLetters[static_cast<size_t>(code)] : ' ';
}

int PrefixCode(char letter)
{
    for (int i = 0; i < 8; ++i)
        if (kLetters[static_cast<size_t>(i)] == letter) return i;
    return kPrefixNone;
}

double PrefixFactor(int code)
{
    return code >= 0 && code < 8 ? kFactors[static_cast<size_t>(code)] : 1.0;
}

int EngineeringPrefix(double baseValue, int lowPrefix, int highPrefix)
{
    lowPrefix = std::clamp(lowPrefix, 0, 7);
    highPrefix = std::clamp(highPrefix, lowPrefix, 7);
    const double a = std::fabs(baseValue);
    int code = kPrefixNone;
    if (a != 0.0 && std::isfinite(a)) {
        // Four significant digits: 999.95 shows as "1000", so it takes the
        // next letter up; 0.99995 shows as "1" and keeps its letter.
        code = 0;
        for (int c = 7; c >= 0; --c) {
            if (a / kFactors[static_cast<size_t>(c)] >= 0.99995) {
                code = c;
                break;
            }
        }
        if (code < 7 && a / kFactors[static_cast<size_t>(code)] >= 999.95) ++code;
    }
    return std::clamp(code, lowPrefix, highPrefix);
}

CValueLimits GetValueLimits(int typeCode)
{
    if (typeCode < 0 || typeCode >= kValueLimitRows) typeCode = 5;
    return g_limits[static_cast<size_t>(typeCode)];
}

void SetEditValueLimits(double min, double max, int lowPrefix, int highPrefix)
{
    g_limits[kEditLimitsRow] = {min, max, lowPrefix, highPrefix};
}

CNumber::CNumber(double mantissa, int prefixCode, const CString& unitText, uint16_t type)
{
    Assign(mantissa, prefixCode, unitText, type);
}

double CNumber::SetValue(double mantissa, int prefixCode)
{
    value = mantissa * PrefixFactor(prefixCode);
    prefix = PrefixLetter(prefixCode);
    return mantissa * scale;
}

double CNumber::SetBaseValue(double baseValue)
{
    const CValueLimits row = GetValueLimits(typeCode);
    const int code = EngineeringPrefix(baseValue, row.lowPrefix, row.highPrefix);
    return SetValue(baseValue / PrefixFactor(code), code);
}

int CNumber::GetMantissa(double* out) const
{
    int code = PrefixCode(prefix);
    if (out) *out = value / PrefixFactor(code);
    return code;
}

void CNumber::Format(CString* out) const
{
    double m = 0.0;
    GetMantissa(&m);
    *out = FormatGeneral(m * scale, 4);
}

CString CNumber::Format() const
{
    CString s;
    Format(&s);
    return s;
}

void CNumber::GetPrefixText(CString* out) const
{
    *out = prefix == ' ' ? CString() : CString(1, prefix);
}

void CNumber::GetUnitText(CString* out) const
{
    *out = unit.empty() || unit[0] == ' ' ? CString() : unit;
}

CString CNumber::GetFullText() const
{
    CString p, u;
    GetPrefixText(&p);
    GetUnitText(&u);
    return Format() + p + u;
}

void CNumber::Assign(double mantissa, int prefixCode, const CString& unitText, uint16_t type)
{
    SetValue(mantissa, prefixCode);
    unit = unitText;
    typeCode = type;
}

CNumber& CNumber::operator=(double baseValue)
{
    value = baseValue;
    prefix = ' ';
    return *this;
}

int CNumber::Normalise(double* mantissa, int* prefixCode) const
{
    const CValueLimits row = GetValueLimits(typeCode);
    int result = 1;
    if (*prefixCode < row.lowPrefix) { *prefixCode = row.lowPrefix; result = 2; }
    else if (*prefixCode > row.highPrefix) { *prefixCode = row.highPrefix; result = 2; }
    if (*mantissa < row.min) { *mantissa = row.min; result = 2; }
    else if (*mantissa > row.max) { *mantissa = row.max; result = 2; }
    return result;
}

int CNumber::SetFromText(const char* text, CNumberOwner* owner)
{
    if (!HoldsNumber(text)) return 4;
    const double typed = ParseTyped(text);
    if (scale <= 0.01) return typed == 0.0 ? 0 : 4;
    double old = 0.0;
    int code = GetMantissa(&old);
    const double asked = typed / scale;
    double m = asked;
    int result = Normalise(&m, &code);
    SetValue(m, code);
    if (owner) owner->OnNumberChanged(this);
    if (m != old) return result;
    return asked == old ? 0 : 4;
}

bool CNumber::ReadsAs(const char* text) const
{
    if (scale <= 0.01) return false;
    double m = 0.0;
    GetMantissa(&m);
    return ParseTyped(text) / scale == m;
}

int CNumber::SetPrefixFromText(const char* text, CNumberOwner* owner)
{
    int asked = kPrefixNone;
    if (text && *text) {
        switch (*text) {
        case 'G': asked = 7; break;
        case 'M': asked = 6; break;
        case 'k': asked = 5; break;
        case 'm': asked = 3; break;
        case 'n': asked = 1; break;
        case 'p': asked = 0; break;
        case '\xB5': asked = 2; break;
        default: return 4;
        }
    }
    double m = 0.0;
    const int old = GetMantissa(&m);
    int code = asked;
    int result = Normalise(&m, &code);
    SetValue(m, code);
    if (owner) owner->OnNumberChanged(this);
    if (code != old) return result;
    return asked == old ? 0 : 4;
}

int CNumber::StepPrefix(int direction, CNumberOwner* owner)
{
    double m = 0.0;
    const int old = GetMantissa(&m);
    int code = old + (direction > 0 ? 1 : -1);
    Normalise(&m, &code);
    SetValue(m, code);
    if (owner) owner->OnNumberChanged(this);
    return code != old ? 1 : 0;
}

// The step works on the shown number written out in positions (never in
// exponent form, which would make "5e-05" look like a five-digit integer):
// the last of its four significant digits weighs p = 10^(e - 3), e the
// exponent of the leading digit; a single step finer than p is widened to p
// (and a following multi-step keeps p); the step q is at most 50 shown
// units; the shown number is truncated to q's decimal r = floor(log10 q)
// and q added.
int CNumber::StepValue(int amount, CNumberOwner* owner, double step)
{
    if (scale <= 0.01) return 0;
    double old = 0.0;
    int code = GetMantissa(&old);
    const double shown = ParseDoublePrefix(FormatGeneral(old * scale, 4).c_str());
    if (!std::isfinite(shown)) return 0;
    const double magnitude = std::fabs(shown);
    const int precision = magnitude == 0.0 ? 0 : std::max(0, 3 - static_cast<int>(std::floor(std::log10(magnitude))));
    CString s = FormatFixed(magnitude, 0, precision);
    int n = s.Find('.');
    if (n < 0) n = s.GetLength();
    // The weight of the last of four significant digits counted from the
    // point of the fixed text (never its exponent form): 10^(n - 4).
    const double p = std::pow(10.0, n - 4);

    double q = step != 0.0 ? step : 0.01;
    const int count = std::abs(amount);
    if (count == 1) {
        g_coarseStep = q < p;
        if (g_coarseStep) q = p;
    } else if (g_coarseStep) {
        q = p;
    }
    q = std::min(q * std::pow(10.0, count - 1), 50.0);
    if (!(q > 0.0)) return 0;

    const int r = static_cast<int>(std::floor(std::log10(q)));
    const int keep = n - (r >= 1 ? 1 : 0) - r;
    for (int i = std::max(keep + 1, 0); i < s.GetLength(); ++i)
        if (s[static_cast<size_t>(i)] != '.') s[static_cast<size_t>(i)] = '0';
    double d = ParseDoublePrefix(s.c_str());
    if (shown < 0) d = -d;
    d += amount < 0 ? -q : q;

    double m = d / scale;
    Normalise(&m, &code);
    SetValue(m, code);
    if (owner) owner->OnNumberChanged(this);
    return m != old ? 1 : 0;
}

void CNumber::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << value << scale << static_cast<BYTE>(prefix) << unit << static_cast<WORD>(typeCode);
    } else {
        BYTE p = 0;
        WORD t = 0;
        ar >> value >> scale >> p >> unit >> t;
        prefix = static_cast<char>(p);
        typeCode = t;
    }
}

CArchive& operator<<(CArchive& ar, const CNumber& n)
{
    const_cast<CNumber&>(n).Serialize(ar);
    return ar;
}

CArchive& operator>>(CArchive& ar, CNumber& n)
{
    n.Serialize(ar);
    return ar;
}
