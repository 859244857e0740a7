#include "platform/numtext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <locale.h>
#include <stdlib.h>
#include <string>

namespace {

CString Pad(std::string s, int width)
{
    if (width > 0 && static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return CString(std::move(s));
}

std::string NonFinite(double v)
{
    if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
    return v < 0 ? "-inf" : "inf";
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

} // namespace

CString FormatFixed(double v, int width, int precision)
{
    if (!std::isfinite(v)) return Pad(NonFinite(v), width);
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, std::max(precision, 0));
    return Pad(std::string(buf, r.ptr), width);
}

CString FormatGeneral(double v, int precision)
{
    if (!std::isfinite(v)) return NonFinite(v);
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision <= 0 ? 1 : precision);
    return CString(std::string(buf, r.ptr));
}

CString FormatExponent(double v, int width, int precision)
{
    if (!std::isfinite(v)) return Pad(NonFinite(v), width);
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, std::max(precision, 0));
    return Pad(std::string(buf, r.ptr), width);
}

CString FormatInt(long long v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return CString(std::string(buf, r.ptr));
}

double ParseDoublePrefix(std::string_view text, size_t* used)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        neg = text[i] == '-';
        ++i;
    }
    // The sign was consumed above; from_chars reads the rest (and would
    // accept a second '-', which strtod does not).
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (used) *used = 0;
        return 0.0;
    }
    double v = 0.0;
    auto r = std::from_chars(text.data() + i, text.data() + text.size(), v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument || r.ptr == text.data() + i) {
        if (used) *used = 0;
        return 0.0;
    }
    if (r.ec == std::errc::result_out_of_range) {
        // Overflow gives infinity and underflow zero or a subnormal, as
        // strtod does.  Whether a text overflows depends on where its first
        // non-zero digit stands, not on whether it has an exponent
        // ("0.000...01" with 400 zeros underflows), so the C library reads
        // these rare texts, in the "C" locale whatever the process's is.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        const std::string digits(text.data() + i, static_cast<size_t>(r.ptr - (text.data() + i)));
        v = cLocale ? strtod_l(digits.c_str(), nullptr, cLocale) : 0.0;
    }
    if (used) *used = static_cast<size_t>(r.ptr - text.data());
    return neg ? -v : v;
}

long long ParseIntPrefix(std::string_view text, size_t* used)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        neg = text[i] == '-';
        ++i;
    }
    unsigned long long v = 0;
    auto r = std::from_chars(text.data() + i, text.data() + text.size(), v, 10);
    if (r.ptr == text.data() + i) {
        if (used) *used = 0;
        return 0;
    }
    if (used) *used = static_cast<size_t>(r.ptr - text.data());
    constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    if (r.ec == std::errc::result_out_of_range || v > kMax + (neg ? 1 : 0))
        return neg ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    if (neg) return v == kMax + 1 ? std::numeric_limits<long long>::min() : -static_cast<long long>(v);
    return static_cast<long long>(v);
}

bool ParseDouble(std::string_view text, double& out)
{
    size_t used = 0;
    double v = ParseDoublePrefix(text, &used);
    if (used == 0) return false;
    for (size_t i = used; i < text.size(); ++i)
        if (!IsBlank(text[i])) return false;
    out = v;
    return true;
}

bool ParseInt(std::string_view text, long long& out)
{
    size_t used = 0;
    long long v = ParseIntPrefix(text, &used);
    if (used == 0) return false;
    for (size_t i = used; i < text.size(); ++i)
        if (!IsBlank(text[i])) return false;
    out = v;
    return true;
}
