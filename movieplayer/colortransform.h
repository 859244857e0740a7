// Colour transforms: per channel a multiplier in 8.8 (256 = 1.0) and an
// offset in 0..255 units, applied as c·mul/256 + add and clamped.
#pragma once

#include <cstdint>

namespace movie {

enum ColorTransformFlags : uint32_t {
    kCxMultiply = 1,  // some multiplier differs from 256
    kCxAdd = 2,       // some offset differs from 0
};

// The four pairs are kept in the order alpha, red, green, blue.
struct ColorTransform {
    uint32_t flags = 0;
    int16_t aMul = 256, aAdd = 0;
    int16_t rMul = 256, rAdd = 0;
    int16_t gMul = 256, gAdd = 0;
    int16_t bMul = 256, bAdd = 0;
    bool operator==(const ColorTransform&) const = default;
};

// A packed colour: red in the low byte, then green, blue, alpha.
constexpr uint32_t PackRgba(int r, int g, int b, int a)
{
    return uint32_t(r & 255) | uint32_t(g & 255) << 8 | uint32_t(b & 255) << 16 | uint32_t(a & 255) << 24;
}

// A colour record of the rasteriser: 16-bit channel slots blue, green, red,
// alpha (each 0..255), premultiplied by alpha.
struct RGBI {
    uint16_t blue = 0, green = 0, red = 0, alpha = 0;
    bool operator==(const RGBI&) const = default;
};

void ColorTransformInit(ColorTransform& x);
void ColorTransformUpdateFlags(ColorTransform& x);
void ColorTransformConcat(ColorTransform& dst, const ColorTransform& src);
uint32_t ColorTransformApplyRgba(const ColorTransform& x, uint32_t rgba);
// A gradient record: count byte, then per entry a ratio byte and red, green,
// blue, alpha bytes.
void ColorTransformApplyGradient(const ColorTransform& x, uint8_t* gradient);
void ColorTransformApplyPixels(const ColorTransform& x, RGBI* pixels, int n);
bool ColorTransformEqual(const ColorTransform& a, const ColorTransform& b);

}  // namespace movie
