// Fixed-point arithmetic of the movie engine.
//
// Fixed is a signed 16.16 number (0x10000 = 1.0); angles are Fixed degrees.
// Every product and quotient is formed exactly in 64-bit (or 128-bit) integers
// and truncated toward zero; only the final conversion to 32 bits saturates,
// so no intermediate overflow is possible and the rounding is reproducible
// on every compiler.
#pragma once

#include <cstdint>

namespace movie {

using Fixed = int32_t;

constexpr Fixed kFixedOne = 0x10000;
constexpr int32_t kEmptyMarker = INT32_MIN;  // 0x80000000

// Clamps a wide integer into the 32-bit range.
constexpr int32_t SaturateToInt32(int64_t v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// Converts a double to a 32-bit integer, truncating toward zero; values out
// of range (and NaN, as 0) saturate instead of being undefined.
int32_t SaturateDouble(double v);

// a·b / 65536
Fixed FixedMul(Fixed a, Fixed b);
// a / b · 65536; 0 when b is 0
Fixed FixedDiv(Fixed a, Fixed b);
// a·b / 2^n
int32_t MulShift(int32_t a, int32_t b, int n);
// a / b · 2^n; b = 0 gives 0x7FFFFFFF for a >= 0 and 0x80000000 for a < 0
int32_t DivShift(int32_t a, int32_t b, int n);

Fixed FixedSin(Fixed angle);
Fixed FixedCos(Fixed angle);
Fixed FixedTan(Fixed angle);
Fixed FixedAtan2(int32_t y, int32_t x);

// m·((a ± m/2) / m), halves rounded away from zero.
int32_t RoundToMultiple(int32_t a, int32_t m);

// c·mul/256 (arithmetic shift) + add, clamped to 0..255.
constexpr int ChannelScaleAdd(int c, int mul, int add)
{
    int v = ((c * mul) >> 8) + add;
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// c + add, clamped to 0..255.
constexpr int ChannelAdd(int c, int add)
{
    int v = c + add;
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Screen depth in bits to pixel format number: 1→0, 4→2, 8→3, 16→4, 24→6,
// 32→7; any other value is returned unchanged.
int PixelFormatForDepth(int bits);

}  // namespace movie
