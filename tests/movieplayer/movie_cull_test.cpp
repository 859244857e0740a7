// Edges culled to the clip rectangle (EdgeSink::cull) against every piece
// kept: random outlines and strokes with coordinates anywhere in the 16-bit
// range, on random clip rectangles, must paint the same pixels bit for bit,
// with far fewer edge records.
#include "movie_raster_util.h"

#include <gtest/gtest.h>

#include <random>

using namespace movie;
using namespace movietest;

namespace {

constexpr int kW = 40, kH = 30;

struct Scene {
    Rasteriser r;
    std::vector<std::unique_ptr<Shape>> shapes;
    int edges = 0;

    // The same seed gives the same scene; cull decides only the sinks.
    void Build(uint32_t seed, bool aa, bool cull)
    {
        std::mt19937 rng(seed);
        auto rnd = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        const int s = aa ? 4 : 1;
        // Near the target, or anywhere a 16-bit coordinate reaches.
        auto coord = [&](int limitPx) {
            switch (rnd(3)) {
            case 0: return rnd((limitPx + 8) * s) - 4 * s;
            case 1: return rnd(2400 * s) - 1200 * s;
            default: return rnd(65536) - 32768;
            }
        };
        auto point = [&] { return MoviePoint{coord(kW), coord(kH)}; };
        if (rnd(2)) r.FillBackground(Rgba(240, 240, 230));
        FillRecord* clip = nullptr;
        int clipped = 0;
        const int objects = 2 + rnd(6);
        for (int o = 0; o < objects; ++o) {
            const bool isClip = !clip && rnd(5) == 0;
            FillRecord* f = isClip ? r.NewClipFill() : r.NewSolidFill(Rgba(rnd(256), rnd(256), rnd(256), rnd(3) ? 255 : 128));
            auto& sh = *shapes.emplace_back(std::make_unique<Shape>());
            if (cull) sh.sink.cull = r.EdgeClip();
            sh.sink.guard = rnd(4) == 0;
            const int rule = rnd(3);
            if (rnd(3) == 0) {
                StrokeBuilder stroke(sh.sink, aa);
                stroke.Begin(rnd(3) ? s * (1 + rnd(6)) : rnd(4000), f);
                const int n = 1 + rnd(5);
                for (int k = 0; k < n; ++k) stroke.AddSegment(rnd(2) ? MakeLine(point(), point()) : MakeCurve(point(), point(), point()));
                stroke.End();
            } else {
                // A closed outline, so that every fill is left again.
                const int n = 2 + rnd(5);
                std::vector<MoviePoint> pts;
                for (int k = 0; k < n; ++k) pts.push_back(point());
                for (int k = 0; k < n; ++k) {
                    const MoviePoint a = pts[size_t(k)], b = pts[size_t((k + 1) % n)];
                    const Curve c = rnd(2) ? MakeLine(a, b) : MakeCurve(a, point(), b);
                    AddFillEdge(c, f, nullptr, rule == kRuleTwoFillsParity ? kRuleOneFillParity : rule, sh.sink);
                }
            }
            for (EdgeRecord* e = sh.Edges(); e; e = e->next) ++edges;
            // As in a movie, a clip layer gates the objects right after it.
            if (isClip) {
                r.AddEdges(sh.Edges(), f, ClipChainEnd());
                clip = f;
                clipped = 1 + rnd(3);
            } else {
                r.AddEdges(sh.Edges(), f, clipped-- > 0 ? clip : nullptr);
            }
        }
    }
};

struct Result {
    Image image;
    int edges;
};

Result Render(uint32_t seed, bool cull)
{
    std::mt19937 rng(seed * 7919u);
    auto rnd = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const bool aa = seed % 2 == 0;
    Image img(kW, kH, Argb(static_cast<int>(seed * 37 % 256), 90, 200));
    Scene sc;
    const int left = rnd(3) ? rnd(12) : 0, top = rnd(3) ? rnd(10) : 0;
    sc.r.Attach(img.Target(), left, top, kW - rnd(12), kH - rnd(10), aa);
    sc.r.BeginFrame();
    sc.Build(seed, aa, cull);
    sc.r.Paint();
    sc.r.EndFrame();
    return {img, sc.edges};
}

}  // namespace

TEST(MovieEdgeCull, RandomShapesPaintTheSamePixelsAsEveryPieceKept)
{
    int culledEdges = 0, allEdges = 0, drawn = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        const Result culled = Render(seed, true);
        const Result all = Render(seed, false);
        int differ = 0;
        for (size_t i = 0; i < all.image.px.size(); ++i) differ += culled.image.px[i] != all.image.px[i];
        ASSERT_EQ(differ, 0) << "seed " << seed << (seed % 2 == 0 ? " aa" : " plain");
        EXPECT_LE(culled.edges, all.edges) << "seed " << seed;
        culledEdges += culled.edges;
        allEdges += all.edges;
        const Image start(kW, kH, Argb(static_cast<int>(seed * 37 % 256), 90, 200));
        drawn += all.image.px != start.px;
    }
    // Most scenes paint something, and most pieces lie outside the target.
    EXPECT_GE(drawn, 300);
    EXPECT_LT(culledEdges * 4, allEdges);
}

TEST(MovieEdgeCull, PiecesBesideTheClipBecomeOneLineOfItsHeight)
{
    // A tall curve wholly left (or right) of the clip: one vertical line
    // just outside it, spanning the clip's lines, in the curve's direction.
    struct Case {
        Curve curve;
        int x;
    };
    const Case cases[] = {
        {MakeCurve({-30000, -20000}, {-5000, 100}, {-100, 25000}), 38},
        {MakeCurve({30000, -20000}, {5000, 100}, {163, 25000}), 162},
        {MakeLine({37, 0}, {30, 150}), 38},
    };
    for (const Case& k : cases)
        for (int dir : {1, -1}) {
            RecordPool<EdgeRecord> pool;
            pool.Init(600, false, 0);
            EdgeSink sink;
            sink.pool = &pool;
            sink.cull = MovieRect{40, 160, 20, 140};  // x 40..160, y 20..140
            AddFillEdge(dir > 0 ? k.curve : Reverse(k.curve), nullptr, nullptr, kRuleWinding, sink);
            ASSERT_NE(sink.head, nullptr);
            EXPECT_EQ(sink.head->next, nullptr);
            EXPECT_EQ(sink.head->x0, k.x);
            EXPECT_EQ(sink.head->x1, k.x);
            EXPECT_EQ(sink.head->y0, 20);
            EXPECT_EQ(sink.head->y1, 140);
            EXPECT_EQ(sink.head->direction, dir);
            EXPECT_EQ(sink.dropped, 0);
            FreeEdgeList(sink);
        }
}

TEST(MovieEdgeCull, PiecesAboveOrBelowTheClipAreLeftOut)
{
    RecordPool<EdgeRecord> pool;
    pool.Init(600, false, 0);
    EdgeSink sink;
    sink.pool = &pool;
    sink.cull = MovieRect{40, 160, 20, 140};
    for (const Curve& c : {MakeLine({0, -30000}, {100, 20}), MakeCurve({50, 140}, {30000, 9000}, {-30000, 30000}),
                           MakeCurve({-30000, -30000}, {0, 30000}, {30000, -30000})}) {
        AddFillEdge(c, nullptr, nullptr, kRuleWinding, sink);
        EXPECT_EQ(sink.head, nullptr);
    }
    // A piece that reaches one line into the clip is kept.
    AddFillEdge(MakeLine({0, -30000}, {100, 21}), nullptr, nullptr, kRuleWinding, sink);
    EXPECT_NE(sink.head, nullptr);
    FreeEdgeList(sink);
}
