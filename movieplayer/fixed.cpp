#include "movieplayer/fixed.h"

#include <cmath>

namespace movie {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Truncating division of a 128-bit numerator, saturated into 32 bits.
int32_t DivideSaturate(__int128 num, int64_t den)
{
    __int128 q = num / den;
    if (q > INT32_MAX) return INT32_MAX;
    if (q < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(q);
}

}  // namespace

int32_t SaturateDouble(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

Fixed FixedMul(Fixed a, Fixed b)
{
    return SaturateToInt32(static_cast<int64_t>(a) * b / 65536);
}

Fixed FixedDiv(Fixed a, Fixed b)
{
    if (b == 0) return 0;
    return DivideSaturate(static_cast<__int128>(a) * 65536, b);
}

int32_t MulShift(int32_t a, int32_t b, int n)
{
    const __int128 p = static_cast<__int128>(a) * b;
    if (n < 0) {
        // a·b·2^-n: a shift the other way.
        const int s = -n > 62 ? 62 : -n;
        return DivideSaturate(p * (static_cast<__int128>(1) << s), 1);
    }
    if (n > 100) return 0;
    const __int128 q = p / (static_cast<__int128>(1) << n);
    return DivideSaturate(q, 1);
}

int32_t DivShift(int32_t a, int32_t b, int n)
{
    if (b == 0) return a >= 0 ? INT32_MAX : INT32_MIN;
    if (n >= 0) {
        const int s = n > 90 ? 90 : n;
        return DivideSaturate(static_cast<__int128>(a) * (static_cast<__int128>(1) << s), b);
    }
    const int s = -n > 62 ? 62 : -n;
    return DivideSaturate(static_cast<__int128>(a), static_cast<int64_t>(b) << s);
}

Fixed FixedSin(Fixed angle)
{
    return SaturateDouble(std::sin(angle * kPi / 180.0 / 65536.0) * 65536.0);
}

Fixed FixedCos(Fixed angle)
{
    return SaturateDouble(std::cos(angle * kPi / 180.0 / 65536.0) * 65536.0);
}

Fixed FixedTan(Fixed angle)
{
    return FixedDiv(FixedSin(angle), FixedCos(angle));
}

Fixed FixedAtan2(int32_t y, int32_t x)
{
    if (x == 0 && y == 0) return 0;
    // 180/π·65536
    return SaturateDouble(std::atan2(static_cast<double>(y), static_cast<double>(x)) * 3754936.20567907);
}

int32_t RoundToMultiple(int32_t a, int32_t m)
{
    if (m == 0) return a;
    const int64_t half = m / 2;
    const int64_t adj = a >= 0 ? a + half : a - half;
    return SaturateToInt32(static_cast<int64_t>(m) * (adj / m));
}

int PixelFormatForDepth(int bits)
{
    switch (bits) {
    case 1: return 0;
    case 4: return 2;
    case 8: return 3;
    case 16: return 4;
    case 24: return 6;
    case 32: return 7;
    default: return bits;
    }
}

}  // namespace movie
