#include "movieplayer/character/morph.h"

namespace movie {

int32_t InterpolateValue(int32_t a, int32_t b, Fixed t)
{
    int64_t d = int64_t(b) - int64_t(a);
    return SaturateToInt32(int64_t(a) + d * t / 65536);
}

MoviePoint InterpolatePoint(MoviePoint a, MoviePoint b, Fixed t)
{
    return {InterpolateValue(a.x, b.x, t), InterpolateValue(a.y, b.y, t)};
}

MovieRect RectInterpolate(const MovieRect& a, const MovieRect& b, Fixed t)
{
    if (RectIsEmpty(a)) return b;
    if (RectIsEmpty(b)) return a;
    MovieRect r;
    r.xmin = InterpolateValue(a.xmin, b.xmin, t);
    r.xmax = InterpolateValue(a.xmax, b.xmax, t);
    r.ymin = InterpolateValue(a.ymin, b.ymin, t);
    r.ymax = InterpolateValue(a.ymax, b.ymax, t);
    return r;
}

MovieMatrix MatrixInterpolate(const MovieMatrix& a, const MovieMatrix& b, Fixed t)
{
    MovieMatrix m;
    m.a = InterpolateValue(a.a, b.a, t);
    m.b = InterpolateValue(a.b, b.b, t);
    m.c = InterpolateValue(a.c, b.c, t);
    m.d = InterpolateValue(a.d, b.d, t);
    m.tx = InterpolateValue(a.tx, b.tx, t);
    m.ty = InterpolateValue(a.ty, b.ty, t);
    return m;
}

uint32_t RgbaInterpolate(uint32_t a, uint32_t b, Fixed t)
{
    if (t <= 0) return a;
    if (t >= kFixedOne) return b;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= uint32_t(InterpolateValue(ca, cb, t) & 0xFF) << shift;
    }
    return out;
}

RGBI ColourInterpolate(const RGBI& a, const RGBI& b, Fixed t)
{
    if (t <= 0) return a;
    if (t >= kFixedOne) return b;
    RGBI c;
    c.blue = uint16_t(InterpolateValue(a.blue, b.blue, t));
    c.green = uint16_t(InterpolateValue(a.green, b.green, t));
    c.red = uint16_t(InterpolateValue(a.red, b.red, t));
    c.alpha = uint16_t(InterpolateValue(a.alpha, b.alpha, t));
    return c;
}

}  // namespace movie
