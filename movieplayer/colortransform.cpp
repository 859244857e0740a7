#include "movieplayer/colortransform.h"

#include "movieplayer/fixed.h"

namespace movie {

void ColorTransformInit(ColorTransform& x) { x = ColorTransform{}; }

void ColorTransformUpdateFlags(ColorTransform& x)
{
    x.flags = 0;
    if (x.aMul != 256 || x.rMul != 256 || x.gMul != 256 || x.bMul != 256) x.flags |= kCxMultiply;
    if (x.aAdd != 0 || x.rAdd != 0 || x.gAdd != 0 || x.bAdd != 0) x.flags |= kCxAdd;
}

namespace {

int16_t Clamp16(int v) { return static_cast<int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v); }

void ConcatPair(int16_t& dMul, int16_t& dAdd, int16_t sMul, int16_t sAdd)
{
    dAdd = Clamp16(dAdd + ((dMul * sAdd) >> 8));
    dMul = Clamp16((dMul * sMul) >> 8);
}

}  // namespace

void ColorTransformConcat(ColorTransform& dst, const ColorTransform& src)
{
    if (src.flags == 0) return;
    if (dst.flags == 0) {
        dst = src;
        return;
    }
    ConcatPair(dst.aMul, dst.aAdd, src.aMul, src.aAdd);
    ConcatPair(dst.rMul, dst.rAdd, src.rMul, src.rAdd);
    ConcatPair(dst.gMul, dst.gAdd, src.gMul, src.gAdd);
    ConcatPair(dst.bMul, dst.bAdd, src.bMul, src.bAdd);
    ColorTransformUpdateFlags(dst);
}

uint32_t ColorTransformApplyRgba(const ColorTransform& x, uint32_t c)
{
    if (x.flags == 0) return c;
    return PackRgba(ChannelScaleAdd(c & 255, x.rMul, x.rAdd), ChannelScaleAdd((c >> 8) & 255, x.gMul, x.gAdd),
                    ChannelScaleAdd((c >> 16) & 255, x.bMul, x.bAdd), ChannelScaleAdd(c >> 24, x.aMul, x.aAdd));
}

void ColorTransformApplyGradient(const ColorTransform& x, uint8_t* g)
{
    if (x.flags == 0) return;
    const int n = g[0];
    for (int i = 0; i < n; ++i) {
        uint8_t* e = g + 1 + i * 5 + 1;
        e[0] = static_cast<uint8_t>(ChannelScaleAdd(e[0], x.rMul, x.rAdd));
        e[1] = static_cast<uint8_t>(ChannelScaleAdd(e[1], x.gMul, x.gAdd));
        e[2] = static_cast<uint8_t>(ChannelScaleAdd(e[2], x.bMul, x.bAdd));
        e[3] = static_cast<uint8_t>(ChannelScaleAdd(e[3], x.aMul, x.aAdd));
    }
}

void ColorTransformApplyPixels(const ColorTransform& x, RGBI* p, int n)
{
    if (x.flags & kCxMultiply) {
        for (int i = 0; i < n; ++i) {
            p[i].red = static_cast<uint16_t>(ChannelScaleAdd(p[i].red, x.rMul, x.rAdd));
            p[i].green = static_cast<uint16_t>(ChannelScaleAdd(p[i].green, x.gMul, x.gAdd));
            p[i].blue = static_cast<uint16_t>(ChannelScaleAdd(p[i].blue, x.bMul, x.bAdd));
            p[i].alpha = static_cast<uint16_t>(ChannelScaleAdd(p[i].alpha, x.aMul, x.aAdd));
        }
    } else if (x.flags & kCxAdd) {
        for (int i = 0; i < n; ++i) {
            p[i].red = static_cast<uint16_t>(ChannelAdd(p[i].red, x.rAdd));
            p[i].green = static_cast<uint16_t>(ChannelAdd(p[i].green, x.gAdd));
            p[i].blue = static_cast<uint16_t>(ChannelAdd(p[i].blue, x.bAdd));
            p[i].alpha = static_cast<uint16_t>(ChannelAdd(p[i].alpha, x.aAdd));
        }
    }
}

bool ColorTransformEqual(const ColorTransform& a, const ColorTransform& b) { return a == b; }

}  // namespace movie
