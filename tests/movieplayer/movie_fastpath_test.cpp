// The rasteriser's fast paths (repeated anti-aliasing sub-lines and carried
// runs, cached gradient rows, direct 32-bit bitmap spans) against the same
// rasteriser with them switched off: random scenes must come out identical
// bit for bit, and close to the reference rasteriser.
#include "movie_raster_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace movie;
using namespace movietest;

namespace {

struct Bitmaps {
    BitmapRecord opaque32, alpha32, indexed8;
    Bitmaps()
    {
        std::mt19937 rng(99);
        opaque32.Init(kBitmap32, 13, 9, nullptr);
        alpha32.Init(kBitmap32, 7, 11, nullptr);
        for (BitmapRecord* b : {&opaque32, &alpha32})
            for (int y = 0; y < b->height; ++y)
                for (int x = 0; x < b->width; ++x) {
                    uint8_t* p = b->pixels + y * b->rowBytes + 4 * x;
                    const unsigned a = b == &alpha32 ? rng() % 256 : 255;
                    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(rng() % (a + 1));  // premultiplied
                    p[3] = static_cast<uint8_t>(a);
                }
        alpha32.hasAlpha = true;
        ColorTable table;
        table.count = 200;  // indices 200-255 draw nothing
        for (uint32_t i = 0; i < 256; ++i) table.entries[i] = 0xFF000000u | (rng() & 0xFFFFFF);
        indexed8.Init(kBitmap8, 10, 6, &table);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x) indexed8.pixels[y * indexed8.rowBytes + x] = static_cast<uint8_t>(rng() % 256);
    }
};

Bitmaps& TestBitmaps()
{
    static Bitmaps b;
    return b;
}

constexpr int kW = 90, kH = 70;

// A random scene drawn by one rasteriser; the same seed gives the same scene.
struct RandomScene {
    Rasteriser r;
    std::vector<std::unique_ptr<Shape>> shapes;

    void Build(uint32_t seed, bool aa)
    {
        std::mt19937 rng(seed);
        auto rnd = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        const int s = aa ? 4 : 1;
        // Units: whole pixels half of the time, so edges stay vertical on
        // many sub-lines and whole pixel rows (carried runs).
        auto unit = [&](int limitPx) { return rnd(2) ? rnd(limitPx + 8) * s - 4 * s : rnd((limitPx + 8) * s) - 4 * s; };
        r.FillBackground(rnd(3) ? int64_t{Rgba(240, 240, 230)} : -1);
        FillRecord* clip = nullptr;
        int clipped = 0;
        const int objects = 4 + rnd(6);
        for (int o = 0; o < objects; ++o) {
            FillRecord* f = MakeFill(rng);
            auto& sh = *shapes.emplace_back(std::make_unique<Shape>());
            const int rule = rnd(2) ? kRuleWinding : kRuleOneFillParity;
            switch (rnd(4)) {
            case 0: {  // rectangle
                int x0 = unit(kW), x1 = unit(kW), y0 = unit(kH), y1 = unit(kH);
                if (x0 > x1) std::swap(x0, x1);
                if (y0 > y1) std::swap(y0, y1);
                sh.Rect(x0, y0, x1, y1 + 1, f, rule);
                break;
            }
            case 1: {  // vertical left edge, slanted right edge: spans from one x growing or shrinking
                const int x0 = unit(kW / 2), y0 = unit(kH / 2), y1 = y0 + (10 + rnd(kH)) * s;
                sh.Poly({{x0, y0}, {x0, y1}, {x0 + rnd(kW) * s, y1}, {x0 + rnd(kW) * s, y0}}, f, rule);
                break;
            }
            default: {  // curved outline
                const int n = 3 + rnd(3);
                std::vector<MoviePoint> pts;
                for (int i = 0; i < n; ++i) pts.push_back({unit(kW), unit(kH)});
                for (int i = 0; i < n; ++i) {
                    const MoviePoint a = pts[static_cast<size_t>(i)], b = pts[static_cast<size_t>((i + 1) % n)];
                    if (rnd(2)) sh.Add(MakeLine(a, b), f, rule);
                    else sh.Add(MakeCurve(a, {unit(kW), unit(kH)}, b), f, rule);
                }
                break;
            }
            }
            if (!clip && rnd(5) == 0) {
                // This object's outline becomes a clip layer for the next two.
                FillRecord* c = r.NewClipFill();
                for (EdgeRecord* e = sh.Edges(); e; e = e->next) e->fillA = c;
                r.AddEdges(sh.Edges(), c, ClipChainEnd());
                clip = c;
                clipped = 2;
                continue;
            }
            r.AddEdges(sh.Edges(), f, clipped > 0 ? clip : nullptr);
            if (clipped > 0) --clipped;
        }
    }

    // Fill matrices map to pixels whether or not units are quarter pixels.
    FillRecord* MakeFill(std::mt19937& rng)
    {
        auto rnd = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto color = [&](int alpha) { return Rgba(rnd(256), rnd(256), rnd(256), alpha); };
        auto fixed = [&](int lo, int hi) { return static_cast<Fixed>(lo + rnd(hi - lo)); };
        const int px = 65536;  // one pixel of translation
        GradientStop stops[4];
        const int count = 2 + rnd(3);
        for (int i = 0; i < count; ++i) stops[i] = {static_cast<uint8_t>(i * 255 / (count - 1)), color(rnd(6) ? 255 : 60 + rnd(196))};
        switch (rnd(10)) {
        case 0: return r.NewSolidFill(color(255));
        case 1: return r.NewSolidFill(color(rnd(255)));
        case 2:  // linear, constant down the screen (c = 0), any scale and sign
            return r.NewGradientFill(kTypeLinearGradient, stops, count,
                                     MovieMatrix{fixed(-0x300, 0x300) | 1, fixed(-0x100, 0x100), 0, fixed(0x40, 0x200), rnd(kW) * px, rnd(kH) * px});
        case 3:  // linear, constant along the row (a = d = 0)
            return r.NewGradientFill(kTypeLinearGradient, stops, count, MovieMatrix{0, fixed(0x40, 0x200), -fixed(0x40, 0x200), 0, rnd(kW) * px, rnd(kH) * px});
        case 4: {  // linear at an angle, or large so that whole rows clamp
            const double a = rnd(628) / 100.0, k = (rnd(4) ? 0x80 : 0x8000) + rnd(0x200);
            return r.NewGradientFill(kTypeLinearGradient, stops, count,
                                     MovieMatrix{static_cast<Fixed>(k * std::cos(a)), static_cast<Fixed>(k * std::sin(a)), static_cast<Fixed>(-k * std::sin(a)),
                                                 static_cast<Fixed>(k * std::cos(a)), rnd(kW) * px, rnd(kH) * px});
        }
        case 5: return r.NewGradientFill(kTypeRadialGradient, stops, count, MovieMatrix{fixed(0x40, 0x200), 0, 0, fixed(0x40, 0x200), rnd(kW) * px, rnd(kH) * px});
        default: {
            Bitmaps& b = TestBitmaps();
            BitmapRecord* bm = rnd(4) ? &b.opaque32 : rnd(2) ? &b.alpha32 : &b.indexed8;
            const uint8_t type = static_cast<uint8_t>(kTypeBitmapRepeat | rnd(4));  // repeated or clipped, smoothed or not
            MovieMatrix m;
            switch (rnd(4)) {
            case 0: m = MovieMatrix{0x10000, 0, 0, 0x10000, rnd(kW) * px, rnd(kH) * px}; break;  // one to one
            case 1: m = MovieMatrix{fixed(0x4000, 0x60000), 0, 0, fixed(0x4000, 0x60000), rnd(kW) * px, rnd(kH) * px}; break;
            case 2: m = MovieMatrix{-fixed(0x8000, 0x30000), 0, 0, fixed(0x8000, 0x30000), rnd(kW) * px, rnd(kH) * px}; break;  // mirrored
            default: {
                const double a = rnd(628) / 100.0, k = 0x6000 + rnd(0x30000);
                m = MovieMatrix{static_cast<Fixed>(k * std::cos(a)), static_cast<Fixed>(k * std::sin(a)), static_cast<Fixed>(-k * std::sin(a)),
                                static_cast<Fixed>(k * std::cos(a)), rnd(kW) * px, rnd(kH) * px};
            }
            }
            return r.NewBitmapFill(bm, type, m, nullptr);
        }
        }
    }
};

Image Render(uint32_t seed, bool aa, bool fast, Image start)
{
    RandomScene sc;
    sc.r.fastPaths = fast;
    sc.r.Attach(start.Target(), 0, 0, kW, kH, aa);
    sc.r.BeginFrame();
    sc.Build(seed, aa);
    sc.r.Paint();
    sc.r.EndFrame();
    return start;
}

}  // namespace

TEST(MovieFastPaths, RandomScenesMatchTheSlowPathsExactly)
{
    int drawn = 0;
    for (uint32_t seed = 1; seed <= 120; ++seed) {
        const bool aa = seed % 2 == 0;
        const Image start(kW, kH, Argb(static_cast<int>(seed * 37 % 256), 90, 200));
        const Image fast = Render(seed, aa, true, start);
        const Image slow = Render(seed, aa, false, start);
        int differ = 0;
        for (size_t i = 0; i < fast.px.size(); ++i) differ += fast.px[i] != slow.px[i];
        ASSERT_EQ(differ, 0) << "seed " << seed << (aa ? " aa" : " plain");
        drawn += fast.px != start.px;
    }
    EXPECT_GE(drawn, 110);
}

TEST(MovieFastPaths, GradientRowsFromTheCacheMatchEveryLine)
{
    // One horizontal gradient under spans that start at the same x and grow,
    // shrink and alternate with a second gradient on the same rows, so the
    // cached rows are extended, cut and replaced.
    for (bool aa : {false, true}) {
        Image imgs[2] = {Image(200, 60), Image(200, 60)};
        for (int fast = 0; fast < 2; ++fast) {
            Rasteriser r;
            r.fastPaths = fast == 1;
            r.Attach(imgs[fast].Target(), 0, 0, 200, 60, aa);
            r.BeginFrame();
            const int s = aa ? 4 : 1;
            const GradientStop stops[3] = {{0, Rgba(255, 0, 0)}, {100, Rgba(0, 255, 0)}, {255, Rgba(0, 0, 255)}};
            std::vector<std::unique_ptr<Shape>> shapes;
            FillRecord* fills[2] = {r.NewGradientFill(kTypeLinearGradient, stops, 3, MovieMatrix{0x1F3, 0x22, 0, 0x100, 90 << 16, 0}),
                                    r.NewGradientFill(kTypeLinearGradient, stops, 3, MovieMatrix{-0x171, 0, 0, 0x100, 110 << 16, 0})};
            for (int i = 0; i < 2; ++i) {
                auto& sh = *shapes.emplace_back(std::make_unique<Shape>());
                // Left edge vertical at x = 10 (or 17); right edge in and out.
                const int x0 = (10 + 7 * i) * s;
                sh.Poly({{x0, 0}, {x0, 60 * s}, {(60 + 100 * i) * s, 60 * s}, {190 * s, 30 * s}, {(150 - 100 * i) * s, 0}}, fills[i], kRuleOneFillParity);
                r.AddEdges(sh.Edges(), fills[i], nullptr);
            }
            r.Paint();
            r.EndFrame();
        }
        EXPECT_EQ(imgs[0].px, imgs[1].px) << (aa ? "aa" : "plain");
    }
}

TEST(MovieFastPaths, CarriedRunsStayCloseToTheReference)
{
    // Axis-aligned rectangles with fractional edges: whole rows are carried.
    for (int trial = 0; trial < 6; ++trial) {
        std::mt19937 rng(static_cast<unsigned>(trial));
        Image img(40, 40, Argb(10, 20, 30));
        Rasteriser r;
        r.Attach(img.Target(), 0, 0, 40, 40, true);
        r.BeginFrame();
        r.FillBackground(Rgba(250, 250, 250));
        std::vector<std::unique_ptr<Shape>> shapes;
        for (int o = 0; o < 5; ++o) {
            FillRecord* f = r.NewSolidFill(Rgba(static_cast<int>(rng() % 256), 100, 50, o % 2 ? 255 : 128));
            auto& sh = *shapes.emplace_back(std::make_unique<Shape>());
            const int x0 = static_cast<int>(rng() % 120), y0 = static_cast<int>(rng() % 120);
            sh.Rect(x0, y0, x0 + 1 + static_cast<int>(rng() % 60), y0 + 1 + static_cast<int>(rng() % 60), f);
            r.AddEdges(sh.Edges(), f, nullptr);
        }
        Image ref = img;
        PixelTarget rt = ref.Target();
        ReferenceRender(r, rt);
        r.Paint();
        int worst = 0;
        for (size_t i = 0; i < img.px.size(); ++i)
            for (int k = 0; k < 32; k += 8) worst = std::max(worst, std::abs(int((img.px[i] >> k) & 255) - int((ref.px[i] >> k) & 255)));
        // Vertical and horizontal edges cross no sample ambiguously: only the
        // rounding of "over" chains differs.
        EXPECT_LE(worst, 2) << "trial " << trial;
        r.EndFrame();
    }
}

TEST(MovieFastPaths, RectanglesStartingAndEndingOnEverySubLine)
{
    // Carried rows are cut back when an edge starts or ends inside a pixel
    // row; with and without a background under the rectangles.
    for (int background = 0; background < 2; ++background)
        for (int top = 0; top < 4; ++top)
            for (int bottom = 0; bottom < 4; ++bottom) {
                Image imgs[2] = {Image(24, 16, Argb(1, 2, 3)), Image(24, 16, Argb(1, 2, 3))};
                for (int fast = 0; fast < 2; ++fast) {
                    Rasteriser r;
                    r.fastPaths = fast == 1;
                    r.Attach(imgs[fast].Target(), 0, 0, 24, 16, true);
                    r.BeginFrame();
                    if (background) r.FillBackground(Rgba(200, 210, 220));
                    Shape a, b, c;
                    FillRecord* fa = r.NewSolidFill(Rgba(255, 0, 0));
                    FillRecord* fb = r.NewSolidFill(Rgba(0, 0, 255, 100));
                    FillRecord* fc = r.NewSolidFill(Rgba(0, 255, 0));
                    a.Rect(4 + top, 8 + top, 40 + bottom, 40 + bottom, fa);
                    b.Rect(20 + bottom, 12 + top, 90 - top, 52 + bottom, fb);
                    c.Rect(60, 30 + bottom, 70 + top, 34 + bottom, fc);
                    r.AddEdges(a.Edges(), fa, nullptr);
                    r.AddEdges(b.Edges(), fb, nullptr);
                    r.AddEdges(c.Edges(), fc, nullptr);
                    r.Paint();
                    r.EndFrame();
                }
                ASSERT_EQ(imgs[0].px, imgs[1].px) << background << " " << top << " " << bottom;
            }
}
