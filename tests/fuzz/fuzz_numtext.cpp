// fuzz-links: wb_model
// Number text from files and typed into the property toolbar: the
// locale-free readers must agree with the C library's strtod/strtoll in the
// "C" locale (the slow, obvious reference) on every input they both accept,
// formatting must read back to the same double, and a value label must take
// any typed text.
#include "model/text/number.h"
#include "platform/numtext.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool SameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

// strtod also reads hexadecimal numbers and "infinity"/"nan(...)" forms
// that our reader leaves alone on purpose; only decimal texts are compared.
bool DecimalOnly(const std::string& s)
{
    for (char c : s)
        if (c == 'x' || c == 'X' || c == 'i' || c == 'I' || c == 'n' || c == 'N') return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::setlocale(LC_ALL, "C");
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string cstr(text.c_str());  // strtod stops at the first NUL

    if (DecimalOnly(cstr)) {
        size_t used = 0;
        const double ours = ParseDoublePrefix(cstr, &used);
        char* end = nullptr;
        const double ref = std::strtod(cstr.c_str(), &end);
        const size_t refUsed = static_cast<size_t>(end - cstr.c_str());
        if (used != refUsed || !SameDouble(ours, refUsed ? ref : 0.0)) std::abort();

        size_t iused = 0;
        const long long iv = ParseIntPrefix(cstr, &iused);
        const long long iref = std::strtoll(cstr.c_str(), &end, 10);
        if (iused != static_cast<size_t>(end - cstr.c_str()) || iv != iref) std::abort();
    }

    // Formatting reads back: %.17g is exact for every finite double.
    if (size >= sizeof(double)) {
        double v;
        std::memcpy(&v, data, sizeof v);
        double back = 0.0;
        if (!ParseDouble(FormatGeneral(v, 17), back)) {
            if (std::isfinite(v)) std::abort();
        } else if (std::isfinite(v) && !SameDouble(v, back)) {
            std::abort();
        }
        FormatFixed(v, static_cast<int>(data[0] % 40), static_cast<int>(data[1] % 20));
        FormatExponent(v, static_cast<int>(data[0] % 40), static_cast<int>(data[1] % 20));
    }

    // A value label takes any typed text; what it keeps is finite.
    CNumber n;
    n.SetFromText(cstr.c_str(), nullptr);
    n.SetPrefixFromText(cstr.c_str(), nullptr);
    n.StepValue(size % 2 ? 1 : -1, nullptr);
    if (!std::isfinite(n.value)) std::abort();
    n.Format();
    return 0;
}
