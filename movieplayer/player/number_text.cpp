#include "movieplayer/player/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace movie {

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (Lower(*a) != Lower(*b)) return false;
    return *a == *b;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool StartsWithNoCase(const std::string& s, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= s.size() || Lower(s[i]) != Lower(prefix[i])) return false;
    return true;
}

std::string NumberToText(double v)
{
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
    if (v == 0) return "0";
    std::string out;
    if (v < 0) {
        out = "-";
        v = -v;
    }
    // Fifteen significant digits, correctly rounded, and the decimal
    // exponent of the first (the rounding may carry into a new digit, which
    // "%.14e" already accounts for).
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    char digits[16];
    digits[0] = buf[0];
    std::memcpy(digits + 1, buf + 2, 14);
    digits[15] = 0;
    const int d = std::atoi(std::strchr(buf, 'e') + 1);
    std::string body;
    if (d >= -5 && d < 0) {
        body = "0.";
        body.append(size_t(-d - 1), '0');
        body += digits;
    } else if (d >= 0 && d < 15) {
        body.assign(digits, size_t(d) + 1);
        body += '.';
        body += digits + d + 1;
    } else {
        body.assign(digits, 1);
        body += '.';
        body += digits + 1;
    }
    // Trailing zeros, then a trailing point.
    while (body.back() == '0') body.pop_back();
    if (body.back() == '.') body.pop_back();
    if (body.size() > 1 && body[0] == '0' && body[1] >= '0' && body[1] <= '9') body.erase(0, 1);
    out += body;
    if (d >= 15 || d < -5) {
        out += 'e';
        out += std::to_string(d);
    }
    return out;
}

bool TextToNumber(const char* text, double* out)
{
    *out = 0;
    if (!text) return false;
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char* start = p;
    int mantissaDigits = 0;
    while (*p >= '0' && *p <= '9') ++p, ++mantissaDigits;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') ++p, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-') ++e;
        if (!(*e >= '0' && *e <= '9')) return false;
        while (*e >= '0' && *e <= '9') ++e;
        p = e;
    }
    if (*p != 0) return false;
    // from_chars ignores the locale; it takes no "+" in the exponent.
    std::string s(start, p);
    if (size_t e = s.find_first_of("eE"); e != std::string::npos && e + 1 < s.size() && s[e + 1] == '+') s.erase(e + 1, 1);
    if (!s.empty() && s[0] == '.') s.insert(s.begin(), '0');
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large saturates to infinity, too small to 0.
        v = s.find_first_of("eE") != std::string::npos && s[s.find_first_of("eE") + 1] == '-' ? 0.0 : HUGE_VAL;
    } else if (r.ec != std::errc()) {
        return false;
    }
    *out = negative ? -v : v;
    return true;
}

double TextNumber(const char* text)
{
    double v;
    return TextToNumber(text, &v) ? v : 0;
}

bool TextIsTrue(const char* text)
{
    double v;
    if (TextToNumber(text, &v)) return v != 0;
    return text && (EqualNoCase(text, "true") || EqualNoCase(text, "yes"));
}

}  // namespace movie
