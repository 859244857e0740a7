#include "model/text/numtext.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

CString FormatGeneral(double v, int precision)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    return CString(buf, r.ptr);
}

CString FormatFixed(double v, int precision, int width)
{
    // Fixed notation of a double can run to 309 integer digits.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    CString s(buf, r.ptr);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

CString FormatInt(long long v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return CString(buf, r.ptr);
}

double ParseLeadingDouble(const char* text)
{
    if (!text) return 0.0;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    // from_chars reads no sign of its own beyond a minus; the sign was taken above.
    if (*p == '-' || *p == '+') return 0.0;
    const char* end = p + std::strlen(p);
    double v = 0.0;
    auto r = std::from_chars(p, end, v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return 0.0;
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow when the exponent is negative, overflow otherwise.
        bool tiny = false;
        for (const char* q = p; q < r.ptr; ++q)
            if ((*q == 'e' || *q == 'E') && q + 1 < r.ptr && q[1] == '-') tiny = true;
        v = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -v : v;
}
