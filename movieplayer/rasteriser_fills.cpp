// Fill records of the rasteriser: creation, the once-per-frame set-up and
// the colour generators of solid, gradient and bitmap fills.
#include "movieplayer/rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <new>

namespace movie {

namespace {

ColorRecord RecordFromRgba(uint32_t rgba)
{
    return Premultiply(rgba & 255, (rgba >> 8) & 255, (rgba >> 16) & 255, rgba >> 24);
}

// Inverse of an affine map given as Fixed a..d and a Fixed-pixel
// translation; done once per fill in doubles, then saturated to integers.
struct Inverse {
    double a, b, c, d, tx, ty;
    bool ok;
};

Inverse InvertToPixels(const MovieMatrix& m)
{
    const double a = m.a / 65536.0, b = m.b / 65536.0, c = m.c / 65536.0, d = m.d / 65536.0;
    const double tx = m.tx / 65536.0, ty = m.ty / 65536.0;
    const double det = a * d - b * c;
    if (std::fabs(det) < 1e-12) return {0, 0, 0, 0, 0, 0, false};
    // p = M s + t  =>  s = M^-1 (p - t);  x' = ia·x + ic·y + itx, y' = ib·x + id·y + ity
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty), true};
}

int64_t Saturate64(double v)
{
    if (std::isnan(v)) return 0;
    if (v > 9.0e18) return INT64_C(9000000000000000000);
    if (v < -9.0e18) return -INT64_C(9000000000000000000);
    return static_cast<int64_t>(v);
}

}  // namespace

FillRecord* Rasteriser::NewFill()
{
    FillRecord* f = fills_.New();
    if (!f) return nullptr;
    madeFills_.push_back(f);
    f->owner = this;
    return f;
}

FillRecord* Rasteriser::NewSolidFill(uint32_t rgba)
{
    FillRecord* f = NewFill();
    if (!f) return nullptr;
    f->kind = kFillSolid;
    f->color = RecordFromRgba(rgba);
    f->transparent = (rgba >> 24) < 255;
    return f;
}

FillRecord* Rasteriser::NewGradientFill(uint8_t type, const GradientStop* stops, int count, const MovieMatrix& toPixels)
{
    FillRecord* f = NewFill();
    if (!f) return nullptr;
    f->kind = kFillGradient;
    f->type = type;
    // At most eight stops fit the record; a movie may name up to 255.
    f->stopCount = std::clamp(count, 0, 8);
    uint8_t last = 0;
    for (int i = 0; i < f->stopCount; ++i) {
        // Ratios must not fall: a falling ratio is raised to the previous one.
        f->ratios[i] = std::max(stops[i].ratio, last);
        last = f->ratios[i];
        f->stopColors[i] = stops[i].rgba;
        if ((stops[i].rgba >> 24) < 255) f->transparent = true;
    }
    f->color = f->stopCount ? RecordFromRgba(f->stopColors[0]) : 0;
    if (f->stopCount == 0) f->transparent = true;
    const Inverse inv = InvertToPixels(toPixels);
    if (inv.ok) {
        // Pixel (x << 8, y << 8) maps to gradient units × 256.
        f->ga = SaturateDouble(inv.a * 65536.0);
        f->gb = SaturateDouble(inv.b * 65536.0);
        f->gc = SaturateDouble(inv.c * 65536.0);
        f->gd = SaturateDouble(inv.d * 65536.0);
        f->gtx = Saturate64(inv.tx * 256.0);
        f->gty = Saturate64(inv.ty * 256.0);
    }
    return f;
}

FillRecord* Rasteriser::NewBitmapFill(BitmapRecord* bitmap, uint8_t type, const MovieMatrix& toPixels, const ColorTransform* cx)
{
    FillRecord* f = NewFill();
    if (!f) return nullptr;
    f->kind = kFillBitmap;
    f->type = type;
    f->bitmap = bitmap;
    if (cx) f->cx = *cx;
    const Inverse inv = InvertToPixels(toPixels);
    if (inv.ok) {
        f->ia = SaturateDouble(inv.a * 65536.0);
        f->ib = SaturateDouble(inv.b * 65536.0);
        f->ic = SaturateDouble(inv.c * 65536.0);
        f->id = SaturateDouble(inv.d * 65536.0);
        f->itx = Saturate64(inv.tx * 65536.0);
        f->ity = Saturate64(inv.ty * 65536.0);
    }
    // A bitmap is transparent when its record says so: some table entry, or
    // for 32-bit bitmaps some pixel, has alpha below 255 (the decoder sets
    // the flag), or the colour transform lowers alpha.
    f->transparent = !bitmap || bitmap->hasAlpha || (f->cx.flags != 0 && (f->cx.aMul < 256 || f->cx.aAdd < 0));
    return f;
}

FillRecord* Rasteriser::NewClipFill()
{
    FillRecord* f = NewFill();
    if (!f) return nullptr;
    f->kind = kFillClip;
    f->transparent = true;
    return f;
}

void Rasteriser::SetUpFill(FillRecord* f)
{
    if (f->setUpDone) return;
    f->setUpDone = true;
    f->cacheKey = 0x80008000u;
    switch (f->kind) {
    case kFillSolid: SetUpSolid(f); break;
    case kFillGradient: SetUpGradient(f); break;
    case kFillBitmap: SetUpBitmap(f); break;
    default: f->transparent = true; break;
    }
}

void Rasteriser::SetUpSolid(FillRecord* f)
{
    f->plainPainter = solidColorMode == 2;
    const ColorRecord c = f->color;
    ColorRecord a = c, b = c;
    uint16_t bits = 0xFFFF;
    if (f->highlight == 1) {
        a = MakeRecord(255, 255, 255, 255);
        b = MakeRecord(0, 0, 0, 255);
        bits = 0xA5A5;
    } else if (f->highlight == 2 || f->highlight == 3) {
        b = MakeRecord(RecRed(c) ^ 255, RecGreen(c) ^ 255, RecBlue(c) ^ 255, 255);
        bits = f->highlight == 2 ? 0x33CC : 0x39C6;
    }
    int ia = 0, ib = 0;
    if (target_.format <= 3 && target_.inverse) {
        auto nearest = [&](ColorRecord r) { return target_.inverse[InverseIndex(RecRed(r), RecGreen(r), RecBlue(r))]; };
        auto pal = [&](int i) {
            const uint32_t p = target_.palette ? target_.palette[i] : 0;
            return MakeRecord((p >> 16) & 255, (p >> 8) & 255, p & 255, 255);
        };
        auto dist = [](ColorRecord x, ColorRecord y) {
            return std::abs(int(RecRed(x)) - int(RecRed(y))) + std::abs(int(RecGreen(x)) - int(RecGreen(y))) +
                   std::abs(int(RecBlue(x)) - int(RecBlue(y)));
        };
        ia = nearest(a);
        ib = nearest(b);
        if (bits == 0xFFFF && solidColorMode == 1) {
            // Mix two palette colours when the nearest one is off by 8 or more.
            const int i1 = dist(pal(ia), c);
            if (i1 >= 8) {
                auto cl = [](int v) { return unsigned(std::clamp(v, 0, 255)); };
                const ColorRecord pa = pal(ia);
                const ColorRecord want2 = MakeRecord(cl(2 * int(RecRed(c)) - int(RecRed(pa))), cl(2 * int(RecGreen(c)) - int(RecGreen(pa))),
                                                     cl(2 * int(RecBlue(c)) - int(RecBlue(pa))), 255);
                ib = nearest(want2);
                const int i2 = dist(pal(ib), c);
                static constexpr uint16_t kMix[16] = {0xFFFF, 0x7FFF, 0x7FDF, 0x5FDF, 0x5F5F, 0x5B5F, 0x5B5E, 0x5A5E,
                                                      0x5A5A, 0x1A5A, 0x1A4A, 0x0A4A, 0x0A0A, 0x020A, 0x0208, 0x0008};
                const int r = std::min(15, 16 * i1 / std::max(1, i1 + i2));
                bits = kMix[r];
            }
        }
    }
    MakeSolidPattern(target_, a, b, ia, ib, bits, xPatternPhase, f->pattern);
    if (f->highlight) f->plainPainter = false;
}

void Rasteriser::SetUpGradient(FillRecord* f)
{
    f->ramp = ramps_.New();
    if (!f->ramp || f->stopCount == 0) {
        // No ramp: painted as a plain solid fill of its first colour.
        if (f->ramp) ramps_.Delete(f->ramp);
        f->ramp = nullptr;
        f->kind = kFillSolid;
        SetUpSolid(f);
        return;
    }
    const int n = f->stopCount;
    for (int j = 0; j <= 256; ++j) {
        int k = 0;
        while (k < n && f->ratios[k] < j) ++k;
        uint32_t c;
        if (k == 0) {
            c = f->stopColors[0];
        } else if (k == n) {
            c = f->stopColors[n - 1];
        } else {
            const int r0 = f->ratios[k - 1], r1 = f->ratios[k];
            const uint32_t a = f->stopColors[k - 1], b = f->stopColors[k];
            if (r1 == r0) {
                // Equal ratios: a hard step, no division by zero.
                c = b;
            } else {
                c = 0;
                for (int s = 0; s < 32; s += 8) {
                    const int ca = (a >> s) & 255, cb = (b >> s) & 255;
                    const int v = (ca * (r1 - j) + cb * (j - r0)) / (r1 - r0);
                    c |= uint32_t(v & 255) << s;
                }
            }
        }
        const ColorRecord rec = RecordFromRgba(c);
        f->ramp->c[j] = rec;
        f->ramp->packed[j] = static_cast<uint32_t>(RecBlue(rec) | RecGreen(rec) << 8 | RecRed(rec) << 16 | RecAlpha(rec) << 24);
    }
}

void Rasteriser::SetUpBitmap(FillRecord* f)
{
    BitmapRecord* bm = f->bitmap;
    if (!bm || !bm->pixels) {
        f->kind = kFillSolid;
        f->color = 0;
        f->transparent = true;
        SetUpSolid(f);
        return;
    }
    ++bm->refCount;
    if (f->cx.flags != 0) {
        f->tables = tables_.New();
        if (f->tables) {
            ChannelTables& t = *f->tables;
            for (int i = 0; i < 256; ++i) {
                auto ch = [i](int mul, int add) { return static_cast<uint8_t>(std::clamp((i * mul + add * 256) >> 8, 0, 255)); };
                t.red[i] = ch(f->cx.rMul, f->cx.rAdd);
                t.green[i] = ch(f->cx.gMul, f->cx.gAdd);
                t.blue[i] = ch(f->cx.bMul, f->cx.bAdd);
                t.alpha[i] = ch(f->cx.aMul, f->cx.aAdd);
            }
            t.alpha[0] = 0;
            t.unpremultiply = f->cx.aMul < 256 || f->cx.aAdd < 0 || f->transparent;
            if (f->cx.aMul < 256 || f->cx.aAdd < 0) f->transparent = true;
        }
    }
    // In 64 bits: an inverse matrix may hold INT_MIN, whose negation
    // overflows an int.
    const int64_t scaleX = std::abs(int64_t{f->ia});
    const bool oneToOne = scaleX >= 0xFFF1 && scaleX <= 0x10010 && f->ib == 0 && f->ic == 0;
    f->smooth = smoothBitmaps && !(f->type & 2) && !oneToOne;
}

void Rasteriser::ApplyHighlight(int mode, int y, int x, ColorRecord* c, int n)
{
    if (mode == 1) {
        for (int i = 0; i < n; ++i)
            c[i] = MakeRecord(RecRed(c[i]) / 2 + 128, RecGreen(c[i]) / 2 + 128, RecBlue(c[i]) / 2 + 128, 255);
    } else if (mode == 2 || mode == 3) {
        const unsigned word = mode == 2 ? 0x33CC : 0x39C6;
        const unsigned row = word >> (4 * (y & 3));
        for (int i = 0; i < n; ++i)
            if ((row >> ((x + i) & 3)) & 1)
                c[i] = MakeRecord(RecRed(c[i]) ^ 255, RecGreen(c[i]) ^ 255, RecBlue(c[i]) ^ 255, 255);
    }
}

void Rasteriser::FillColors(FillRecord* f, int y, int x, int n, ColorRecord* out)
{
    switch (f->kind) {
    case kFillGradient: GradientColors(f, y, x, n, out); break;
    case kFillBitmap: BitmapColors(f, y, x, n, out); break;
    case kFillSolid: std::fill(out, out + n, f->color); break;
    default: std::fill(out, out + n, ColorRecord{0}); break;
    }
}

ColorRecord Rasteriser::ColorAt(FillRecord* f, int x, int y)
{
    if (f->kind == kFillSolid) return f->color;
    const uint32_t key = static_cast<uint32_t>(y) << 16 | (static_cast<uint32_t>(x) & 0xFFFF);
    if (key != f->cacheKey) {
        FillColors(f, y, x, 1, &f->cacheColor);
        f->cacheKey = key;
    }
    return f->cacheColor;
}

void Rasteriser::GradientColors(FillRecord* f, int y, int x, int n, ColorRecord* out)
{
    const ColorRecord* ramp = f->ramp->c;
    int64_t u = ((static_cast<int64_t>(f->ga) * (int64_t{x} << 8)) >> 16) + ((static_cast<int64_t>(f->gc) * (int64_t{y} << 8)) >> 16) + f->gtx;
    const int64_t du = f->ga >> 8;
    if (f->type != kTypeRadialGradient) {
        for (int i = 0; i < n; ++i, u += du) {
            int index;
            if (u >= 0x408000) index = 256;
            else if (u < -0x400000) index = 0;
            else index = static_cast<int>((u >> 15) + 128);
            out[i] = ramp[index];
        }
        return;
    }
    int64_t v = ((static_cast<int64_t>(f->gb) * (int64_t{x} << 8)) >> 16) + ((static_cast<int64_t>(f->gd) * (int64_t{y} << 8)) >> 16) + f->gty;
    const int64_t dv = f->gb >> 8;
    // Start from the length at the first pixel, then walk the index so that
    // squares[index] <= (u >> 14)² + (v >> 14)² < squares[index + 1].
    // A coordinate of 256 or more (in either sign) lies outside the ramp
    // whatever the other is; testing it first also keeps the squares of
    // far-off points (a huge gradient matrix) from overflowing.
    auto outside = [](int64_t us, int64_t vs) { return us <= -256 || us >= 256 || vs <= -256 || vs >= 256; };
    auto exactIndex = [&outside](int64_t uu, int64_t vv) {
        const int64_t us = uu >> 14, vs = vv >> 14;
        if (outside(us, vs)) return 256;
        const int64_t r2 = us * us + vs * vs;
        if (r2 >= 256 * 256) return 256;
        int idx = static_cast<int>(std::sqrt(static_cast<double>(r2)));
        while (idx > 0 && int64_t{kSquares[idx]} > r2) --idx;
        while (idx < 256 && int64_t{kSquares[idx + 1]} <= r2) ++idx;
        return idx;
    };
    int index = exactIndex(u, v);
    for (int i = 0; i < n; ++i, u += du, v += dv) {
        const int64_t us = u >> 14, vs = v >> 14;
        const int64_t r2 = outside(us, vs) ? 256 * 256 : us * us + vs * vs;
        if (r2 >= 256 * 256) {
            index = 256;
        } else {
            while (index > 0 && int64_t{kSquares[index]} > r2) --index;
            while (index < 256 && int64_t{kSquares[index + 1]} <= r2) ++index;
        }
        out[i] = ramp[index];
    }
}

void Rasteriser::GradientSpan32(FillRecord* f, int y, int x0, int x1)
{
    // The linear gradient written straight into a 32-bit row: the index is
    // (u >> 15) + 128 clamped to the ramp, u growing by a >> 8 per pixel.
    uint32_t* row = reinterpret_cast<uint32_t*>(target_.Row(y));
    const uint32_t* ramp = f->ramp->packed;
    int64_t u = ((static_cast<int64_t>(f->ga) * (int64_t{x0} << 8)) >> 16) + ((static_cast<int64_t>(f->gc) * (int64_t{y} << 8)) >> 16) + f->gtx;
    const int64_t du = f->ga >> 8;
    for (int x = x0; x < x1; ++x, u += du) {
        const int64_t i = (u >> 15) + 128;
        row[x] = ramp[u >= 0x408000 ? 256 : u < -0x400000 ? 0 : i];
    }
}

void Rasteriser::ForgetGradientRows()
{
    for (GradientRow& g : gradientRows_) g.fill = nullptr;
}

void Rasteriser::GradientSpan32Fast(FillRecord* f, int y, int x0, int x1)
{
    // GradientSpan32 gives u(x) = u(x0) + (x - x0)·du exactly, so:
    // - du = 0 (0 <= ga < 256) makes the span one colour;
    // - gc = 0 drops y from u(x0), so a span from the same x0 is the same
    //   pixels on every line: kept once, copied afterwards (a horizontal
    //   gradient costs a copy per line), and extended from u at the end of
    //   the kept part when a later span is longer.
    uint32_t* row = reinterpret_cast<uint32_t*>(target_.Row(y));
    const uint32_t* ramp = f->ramp->packed;
    const int64_t u0 = ((static_cast<int64_t>(f->ga) * (int64_t{x0} << 8)) >> 16) + ((static_cast<int64_t>(f->gc) * (int64_t{y} << 8)) >> 16) + f->gtx;
    const int64_t du = f->ga >> 8;
    auto index = [](int64_t u) { return u >= 0x408000 ? 256 : u < -0x400000 ? 0 : static_cast<int>((u >> 15) + 128); };
    if (du == 0) {
        Fill32(row + x0, static_cast<size_t>(x1 - x0), ramp[index(u0)]);
        return;
    }
    auto compute = [&](uint32_t* out, int from, int to) {
        int64_t u = u0 + (from - x0) * du;
        for (int x = from; x < to; ++x, u += du) out[x - from] = ramp[index(u)];
    };
    if (f->gc != 0) {
        compute(row + x0, x0, x1);
        return;
    }
    GradientRow* g = nullptr;
    for (GradientRow& c : gradientRows_)
        if (c.fill == f && c.x0 == x0) g = &c;
    if (!g) {
        g = &gradientRows_[nextGradientRow_++ & 3];
        g->fill = f;
        g->x0 = g->x1 = x0;
    }
    if (x1 > g->x1) {
        if (g->pixels.size() < static_cast<size_t>(x1 - x0)) {
            try {
                g->pixels.resize(static_cast<size_t>(x1 - x0));
            } catch (const std::bad_alloc&) {
                g->fill = nullptr;
                compute(row + x0, x0, x1);
                return;
            }
        }
        compute(g->pixels.data() + (g->x1 - x0), g->x1, x1);
        g->x1 = x1;
    }
    std::memcpy(row + x0, g->pixels.data(), sizeof(uint32_t) * static_cast<size_t>(x1 - x0));
}

namespace {

// One bitmap pixel as a premultiplied colour record.
inline ColorRecord BitmapPixel(const BitmapRecord& b, int px, int py)
{
    const uint8_t* row = b.pixels + static_cast<long>(py) * b.rowBytes;
    switch (b.format) {
    case kBitmap32: {
        const uint8_t* p = row + 4 * px;
        return MakeRecord(p[2], p[1], p[0], p[3]);
    }
    case kBitmap555: {
        uint16_t v;
        std::memcpy(&v, row + 2 * px, 2);
        return MakeRecord(kExpand5[(v >> 10) & 31], kExpand5[(v >> 5) & 31], kExpand5[v & 31], 255);
    }
    default: {
        const int bpp = BitmapBitsPerPixel(b.format);
        const int perByte = 8 / bpp;
        const unsigned index = bpp == 8 ? row[px] : (row[px / perByte] >> (8 - bpp * (px % perByte + 1))) & ((1u << bpp) - 1);
        const uint32_t c = b.colors && index < b.colors->count ? b.colors->entries[index] : 0;
        return MakeRecord((c >> 16) & 255, (c >> 8) & 255, c & 255, c >> 24);
    }
    }
}

inline int64_t FloorMod(int64_t a, int64_t m)
{
    const int64_t r = a % m;
    return r < 0 ? r + m : r;
}

template <int Format>
inline ColorRecord Fetch(const BitmapRecord& b, int px, int py)
{
    if constexpr (Format == kBitmap32) {
        const uint8_t* p = b.pixels + static_cast<long>(py) * b.rowBytes + 4 * px;
        uint32_t v;
        std::memcpy(&v, p, 4);
        // bytes b, g, r, a into the 16-bit lanes
        const uint64_t w = v;
        return (w & 0xFF) | (w & 0xFF00) << 8 | (w & 0xFF0000) << 16 | (w & 0xFF000000) << 24;
    } else if constexpr (Format == kBitmap8) {
        const uint8_t index = b.pixels[static_cast<long>(py) * b.rowBytes + px];
        const uint32_t c = b.colors && index < b.colors->count ? b.colors->entries[index] : 0;
        return MakeRecord((c >> 16) & 255, (c >> 8) & 255, c & 255, c >> 24);
    } else {
        return BitmapPixel(b, px, py);
    }
}

// Where the sample at (u, v), in 16.16 bitmap pixels, reads the bitmap.
// Repeated bitmaps first wrap u and v into the bitmap.  Nearest sampling
// reads (px, py); bilinear sampling on an 8 x 8 sub-position grid reads the
// four neighbours with weights wt: repeated bitmaps wrap to the first column
// and row, clipped ones fold outside neighbours onto the edge pixels
// (negative coordinates count as 0).
struct SamplePoint {
    int px, py, px1, py1;
    const uint8_t* wt;
};

template <bool Smooth, bool Clipped>
inline SamplePoint LocateSample(int64_t& u, int64_t& v, int64_t w16, int64_t h16, int wmax, int hmax)
{
    if constexpr (!Clipped) {
        while (u >= w16) u -= w16;
        while (u < 0) u += w16;
        while (v >= h16) v -= h16;
        while (v < 0) v += h16;
    }
    int64_t su = u, sv = v;
    if constexpr (Clipped) {
        // Bounded in 64 bits, before the pixel index becomes an int: a far
        // sample (a huge translation or scale) would wrap past INT_MAX to a
        // negative column that the edge tests below let through.  The
        // sub-pixel bits stay, so the smoothing weights are unchanged.
        su = su < 0 ? 0 : su > w16 ? (w16 | (su & 0xFFFF)) : su;
        sv = sv < 0 ? 0 : sv > h16 ? (h16 | (sv & 0xFFFF)) : sv;
    }
    SamplePoint s{};
    if constexpr (!Smooth) {
        s.px = static_cast<int>(su >> 16);
        s.py = static_cast<int>(sv >> 16);
        if constexpr (Clipped) {
            s.px = s.px > wmax ? wmax : s.px;
            s.py = s.py > hmax ? hmax : s.py;
        }
    } else {
        s.px = static_cast<int>(su >> 16);
        s.py = static_cast<int>(sv >> 16);
        s.wt = kBilinear[(sv >> 13) & 7][(su >> 13) & 7];
        s.px1 = s.px + 1;
        s.py1 = s.py + 1;
        if constexpr (Clipped) {
            s.px = s.px > wmax ? wmax : s.px;
            s.py = s.py > hmax ? hmax : s.py;
            s.px1 = s.px1 > wmax ? wmax : s.px1;
            s.py1 = s.py1 > hmax ? hmax : s.py1;
        } else {
            if (s.px1 > wmax) s.px1 = 0;
            if (s.py1 > hmax) s.py1 = 0;
        }
    }
    return s;
}

// Samples n pixels from (u, v) stepping (du, dv), all 16.16 bitmap pixels;
// repeated bitmaps arrive with u, v already reduced into the bitmap.
template <int Format, bool Smooth, bool Clipped>
void SampleRun(const BitmapRecord& b, int64_t u, int64_t v, int64_t du, int64_t dv, int n, ColorRecord* out)
{
    const int64_t w16 = int64_t{b.width} << 16, h16 = int64_t{b.height} << 16;
    const int wmax = b.width - 1, hmax = b.height - 1;
    for (int i = 0; i < n; ++i, u += du, v += dv) {
        const SamplePoint sp = LocateSample<Smooth, Clipped>(u, v, w16, h16, wmax, hmax);
        if constexpr (!Smooth) {
            out[i] = Fetch<Format>(b, sp.px, sp.py);
        } else {
            const int px = sp.px, py = sp.py, px1 = sp.px1, py1 = sp.py1;
            const uint8_t* wt = sp.wt;
            const ColorRecord p00 = Fetch<Format>(b, px, py), p10 = Fetch<Format>(b, px1, py);
            const ColorRecord p01 = Fetch<Format>(b, px, py1), p11 = Fetch<Format>(b, px1, py1);
            // Weights sum to 8: each 16-bit lane stays below 8 × 255.
            out[i] = ((p00 * wt[0] + p10 * wt[1] + p01 * wt[2] + p11 * wt[3]) >> 3) & kChannelMask;
        }
    }
}

template <int Format>
void SampleByMode(const BitmapRecord& b, bool smooth, bool clipped, int64_t u, int64_t v, int64_t du, int64_t dv, int n, ColorRecord* out)
{
    if (smooth) {
        if (clipped) SampleRun<Format, true, true>(b, u, v, du, dv, n, out);
        else SampleRun<Format, true, false>(b, u, v, du, dv, n, out);
    } else {
        if (clipped) SampleRun<Format, false, true>(b, u, v, du, dv, n, out);
        else SampleRun<Format, false, false>(b, u, v, du, dv, n, out);
    }
}

// The bilinear sum of SampleRun on four 32-bit pixels (weights summing to
// 8), as a 32-bit pixel. Every channel's sum stays below 8 × 256, so it fits
// any 16-bit lane and sum >> 3 is the record sampler's channel exactly.
// With SSE2 (always present on x86-64) the two upper and the two lower
// pixels are each spread to eight 16-bit lanes, multiplied by their weights,
// and the halves added; without it, two channels per 32-bit word (blue and
// red, green and alpha, 16 bits apart).
#if defined(__SSE2__)
// A pair of neighbouring pixels of one bitmap row as eight 16-bit lanes; one
// 8-byte load when they are next to each other in memory.
inline __m128i PixelPair(const uint8_t* row, int px, int px1)
{
    const __m128i zero = _mm_setzero_si128();
    if (px1 == px + 1) return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 4 * px)), zero);
    uint32_t a, b;
    std::memcpy(&a, row + 4 * px, 4);
    std::memcpy(&b, row + 4 * px1, 4);
    return _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b))), zero);
}

inline uint32_t Bilinear32(__m128i top, __m128i bottom, const uint8_t* wt)
{
    const __m128i zero = _mm_setzero_si128();
    uint32_t wword;
    std::memcpy(&wword, wt, 4);
    const __m128i w8 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(wword)), zero);
    const __m128i w = _mm_unpacklo_epi16(w8, w8);  // w0 w0 w1 w1 w2 w2 w3 w3
    const __m128i wTop = _mm_unpacklo_epi32(w, w), wBottom = _mm_unpackhi_epi32(w, w);
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(top, wTop), _mm_mullo_epi16(bottom, wBottom));
    sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_srli_si128(sum, 8)), 3);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
}
#else
inline uint32_t Bilinear32(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, const uint8_t* wt)
{
    constexpr uint32_t m = 0x00FF00FF;
    const uint32_t w0 = wt[0], w1 = wt[1], w2 = wt[2], w3 = wt[3];
    const uint32_t br = (p00 & m) * w0 + (p10 & m) * w1 + (p01 & m) * w2 + (p11 & m) * w3;
    const uint32_t ga = (p00 >> 8 & m) * w0 + (p10 >> 8 & m) * w1 + (p01 >> 8 & m) * w2 + (p11 >> 8 & m) * w3;
    return (br >> 3 & m) | (ga >> 3 & m) << 8;
}
#endif

// The 32-bit bitmap sampler of SampleRun written straight into a 32-bit row.
// A bitmap pixel's bytes (blue, green, red, alpha) are the screen pixel's, so
// an unsmoothed sample is a copy of the word.
#if defined(__SSE2__)
// SampleRow32 smoothed along a bitmap row (dv = 0, the bitmap neither turned
// nor sheared): the two source rows and the eight weight pairs of the row's
// vertical sub-position are fixed for the whole span.
template <bool Clipped>
void SmoothAlongRow32(const BitmapRecord& b, int64_t u, int64_t v, int64_t du, int n, uint32_t* out)
{
    const int64_t w16 = int64_t{b.width} << 16;
    const int wmax = b.width - 1, hmax = b.height - 1;
    int64_t sv = v;
    if constexpr (Clipped) sv = sv < 0 ? 0 : sv;
    int py = static_cast<int>(sv >> 16), py1 = py + 1;
    if constexpr (Clipped) {
        py = py > hmax ? hmax : py;
        py1 = py1 > hmax ? hmax : py1;
    } else if (py1 > hmax) {
        py1 = 0;
    }
    const uint8_t* row0 = b.pixels + static_cast<long>(py) * b.rowBytes;
    const uint8_t* row1 = b.pixels + static_cast<long>(py1) * b.rowBytes;
    const __m128i zero = _mm_setzero_si128();
    __m128i wTop[8], wBottom[8];
    for (int fx = 0; fx < 8; ++fx) {
        uint32_t wword;
        std::memcpy(&wword, kBilinear[(sv >> 13) & 7][fx], 4);
        const __m128i w8 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(wword)), zero);
        const __m128i w = _mm_unpacklo_epi16(w8, w8);
        wTop[fx] = _mm_unpacklo_epi32(w, w);
        wBottom[fx] = _mm_unpackhi_epi32(w, w);
    }
    for (int i = 0; i < n; ++i, u += du) {
        if constexpr (!Clipped) {
            while (u >= w16) u -= w16;
            while (u < 0) u += w16;
        }
        int64_t su = u;
        if constexpr (Clipped) su = su < 0 ? 0 : su;
        int px = static_cast<int>(su >> 16), px1 = px + 1;
        const int fx = static_cast<int>((su >> 13) & 7);
        if constexpr (Clipped) {
            px = px > wmax ? wmax : px;
            px1 = px1 > wmax ? wmax : px1;
        } else if (px1 > wmax) {
            px1 = 0;
        }
        __m128i sum = _mm_add_epi16(_mm_mullo_epi16(PixelPair(row0, px, px1), wTop[fx]), _mm_mullo_epi16(PixelPair(row1, px, px1), wBottom[fx]));
        sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_srli_si128(sum, 8)), 3);
        out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
    }
}
#endif

template <bool Smooth, bool Clipped>
void SampleRow32(const BitmapRecord& b, int64_t u, int64_t v, int64_t du, int64_t dv, int n, uint32_t* out)
{
    const int64_t w16 = int64_t{b.width} << 16, h16 = int64_t{b.height} << 16;
    const int wmax = b.width - 1, hmax = b.height - 1;
#if defined(__SSE2__)
    if constexpr (Smooth) {
        if (dv == 0) {
            if constexpr (!Clipped) {
                while (v >= h16) v -= h16;
                while (v < 0) v += h16;
            }
            SmoothAlongRow32<Clipped>(b, u, v, du, n, out);
            return;
        }
    }
#endif
    auto word = [&b](int px, int py) {
        uint32_t w;
        std::memcpy(&w, b.pixels + static_cast<long>(py) * b.rowBytes + 4 * px, 4);
        return w;
    };
    for (int i = 0; i < n; ++i, u += du, v += dv) {
        const SamplePoint sp = LocateSample<Smooth, Clipped>(u, v, w16, h16, wmax, hmax);
        if constexpr (!Smooth) {
            out[i] = word(sp.px, sp.py);
        } else {
            const int px = sp.px, py = sp.py, px1 = sp.px1, py1 = sp.py1;
            const uint8_t* wt = sp.wt;
#if defined(__SSE2__)
            const uint8_t* row0 = b.pixels + static_cast<long>(py) * b.rowBytes;
            const uint8_t* row1 = b.pixels + static_cast<long>(py1) * b.rowBytes;
            out[i] = Bilinear32(PixelPair(row0, px, px1), PixelPair(row1, px, px1), wt);
#else
            out[i] = Bilinear32(word(px, py), word(px1, py), word(px, py1), word(px1, py1), wt);
#endif
        }
    }
}

}  // namespace

ColorRecord SampleClamped(const BitmapRecord& b, int x, int y)
{
    if (!b.pixels || b.width <= 0 || b.height <= 0) return 0;
    ColorRecord c;
    SampleRun<-1, false, true>(b, int64_t{x} << 16, int64_t{y} << 16, 0, 0, 1, &c);
    return c;
}

ColorRecord SampleSmoothed(const BitmapRecord& b, int64_t u, int64_t v)
{
    if (!b.pixels || b.width <= 0 || b.height <= 0) return 0;
    ColorRecord c;
    SampleRun<-1, true, true>(b, u, v, 0, 0, 1, &c);
    return c;
}

bool Rasteriser::BitmapSpan32(FillRecord* f, int y, int x0, int x1)
{
    // Opaque 32-bit bitmaps without a colour transform on 32-bit screens:
    // sampled straight into the row, the start and steps exactly as in
    // BitmapColors.
    const BitmapRecord& b = *f->bitmap;
    if (f->tables || f->highlight || b.format != kBitmap32 || (target_.format != 7 && target_.format != 8)) return false;
    const int64_t w16 = int64_t{b.width} << 16, h16 = int64_t{b.height} << 16;
    int64_t u = ((static_cast<int64_t>(f->ia) * (int64_t{x0} << 16)) >> 16) + ((static_cast<int64_t>(f->ic) * (int64_t{y} << 16)) >> 16) + f->itx;
    int64_t v = ((static_cast<int64_t>(f->ib) * (int64_t{x0} << 16)) >> 16) + ((static_cast<int64_t>(f->id) * (int64_t{y} << 16)) >> 16) + f->ity;
    const bool clipped = f->type & 1;
    int64_t du = f->ia, dv = f->ib;
    if (!clipped) {
        u = FloorMod(u, w16);
        v = FloorMod(v, h16);
        du = FloorMod(du, w16);
        dv = FloorMod(dv, h16);
    }
    uint32_t* row = reinterpret_cast<uint32_t*>(target_.Row(y)) + x0;
    const int n = x1 - x0;
    if (f->smooth) {
        if (clipped) SampleRow32<true, true>(b, u, v, du, dv, n, row);
        else SampleRow32<true, false>(b, u, v, du, dv, n, row);
    } else {
        if (clipped) SampleRow32<false, true>(b, u, v, du, dv, n, row);
        else SampleRow32<false, false>(b, u, v, du, dv, n, row);
    }
    return true;
}

void Rasteriser::BitmapColors(FillRecord* f, int y, int x, int n, ColorRecord* out)
{
    const BitmapRecord& b = *f->bitmap;
    const int64_t w16 = int64_t{b.width} << 16, h16 = int64_t{b.height} << 16;
    int64_t u = ((static_cast<int64_t>(f->ia) * (int64_t{x} << 16)) >> 16) + ((static_cast<int64_t>(f->ic) * (int64_t{y} << 16)) >> 16) + f->itx;
    int64_t v = ((static_cast<int64_t>(f->ib) * (int64_t{x} << 16)) >> 16) + ((static_cast<int64_t>(f->id) * (int64_t{y} << 16)) >> 16) + f->ity;
    const bool clipped = f->type & 1;
    int64_t du = f->ia, dv = f->ib;
    if (!clipped) {
        // Floor modulo of the start and of the steps, so that the per-pixel
        // wrap is at most one subtraction.
        u = FloorMod(u, w16);
        v = FloorMod(v, h16);
        du = FloorMod(du, w16);
        dv = FloorMod(dv, h16);
    }
    switch (b.format) {
    case kBitmap32: SampleByMode<kBitmap32>(b, f->smooth, clipped, u, v, du, dv, n, out); break;
    case kBitmap8: SampleByMode<kBitmap8>(b, f->smooth, clipped, u, v, du, dv, n, out); break;
    default: SampleByMode<-1>(b, f->smooth, clipped, u, v, du, dv, n, out); break;
    }
    if (f->tables) {
        for (int i = 0; i < n; ++i) {
            ColorRecord c = out[i];
            const ChannelTables& t = *f->tables;
            unsigned r = RecRed(c), g = RecGreen(c), bl = RecBlue(c), a = RecAlpha(c);
            if (t.unpremultiply) {
                const unsigned na = t.alpha[a];
                if (na == 0 || a == 0) {
                    c = 0;
                } else {
                    const unsigned k = 65280 / a;
                    auto un = [k](unsigned ch) { return std::min(255u, (ch * k) >> 8); };
                    r = t.red[un(r)];
                    g = t.green[un(g)];
                    bl = t.blue[un(bl)];
                    c = MakeRecord(r * (na + 1) >> 8, g * (na + 1) >> 8, bl * (na + 1) >> 8, na);
                }
            } else {
                c = MakeRecord(t.red[r], t.green[g], t.blue[bl], t.alpha[a]);
            }
            out[i] = c;
        }
    }
}

}  // namespace movie
