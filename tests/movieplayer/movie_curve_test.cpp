#include "movieplayer/bitmaprecord.h"
#include "movieplayer/curve.h"
#include "movieplayer/stroke.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace movie;

namespace {

struct Edges {
    RecordPool<EdgeRecord> pool;
    EdgeSink sink;
    Edges()
    {
        pool.Init(600, false, 0);
        sink.pool = &pool;
    }
    ~Edges() { FreeEdgeList(sink); }
    std::vector<EdgeRecord*> List() const
    {
        std::vector<EdgeRecord*> v;
        for (EdgeRecord* e = sink.head; e; e = e->next) v.push_back(e);
        return v;
    }
};

// x of a monotonic quadratic edge at height y, solved exactly.
double EdgeXAt(const EdgeRecord& e, double y)
{
    const double a = e.y0 - 2.0 * e.cy + e.y1, b = 2.0 * (e.cy - e.y0), c = e.y0 - y;
    double t;
    if (std::fabs(a) < 1e-12) {
        t = b == 0 ? 0 : -c / b;
    } else {
        const double disc = std::max(0.0, b * b - 4 * a * c);
        const double r1 = (-b + std::sqrt(disc)) / (2 * a), r2 = (-b - std::sqrt(disc)) / (2 * a);
        t = (r1 >= -1e-9 && r1 <= 1 + 1e-9) ? r1 : r2;
    }
    return (1 - t) * (1 - t) * e.x0 + 2 * t * (1 - t) * e.cx + t * t * e.x1;
}

// Winding number of the edges around a point (ray toward +x).
int Winding(const Edges& edges, double x, double y)
{
    int w = 0;
    for (const EdgeRecord* e : edges.List())
        if (y >= e->y0 && y < e->y1 && EdgeXAt(*e, y) > x) w += e->direction;
    return w;
}

}  // namespace

TEST(MovieCurve, FlatnessAndSplitting)
{
    const Curve line = MakeLine({0, 0}, {10, 20});
    EXPECT_EQ(line.control, (MoviePoint{5, 10}));
    EXPECT_EQ(Flatness(line), 0);
    const Curve c = MakeCurve({0, 0}, {100, 40}, {0, 100});
    EXPECT_EQ(Flatness(c), 100 + 10 - 5);  // dx 100, dy 10
    Curve a, b;
    SplitHalf(c, a, b);
    EXPECT_EQ(a.start, c.start);
    EXPECT_EQ(a.control, (MoviePoint{50, 20}));
    EXPECT_EQ(a.end, (MoviePoint{50, 45}));
    EXPECT_EQ(b.start, a.end);
    EXPECT_EQ(b.control, (MoviePoint{50, 70}));
    EXPECT_EQ(PointAt(c, 0x8000), (MoviePoint{50, 45}));
    EXPECT_EQ(PointAt(c, 0), c.start);
    EXPECT_EQ(PointAt(c, 0x10000), c.end);
    Curve s1, s2;
    SplitAt(c, 0x4000, s1, s2);
    EXPECT_NEAR(s1.end.x, PointAt(c, 0x4000).x, 1);  // two roundings apart
    EXPECT_NEAR(s1.end.y, PointAt(c, 0x4000).y, 1);
    EXPECT_EQ(s2.end, c.end);
    Curve p1, p2, p3;
    SplitBetween(c, 0xC000, 0x4000, p1, p2, p3);
    EXPECT_EQ(p1.end, s1.end);
    EXPECT_NEAR(p2.end.x, PointAt(c, 0xC000).x, 1);
    EXPECT_NEAR(p2.end.y, PointAt(c, 0xC000).y, 1);
    EXPECT_EQ(Reverse(c).start, c.end);
}

TEST(MovieCurve, ExtremesAndBounds)
{
    EXPECT_EQ(AxisExtreme(0, 100, 0), 50);
    EXPECT_EQ(AxisExtreme(0, 50, 100), 0);  // monotonic: no turn inside
    const Curve c = MakeCurve({0, 0}, {100, 40}, {0, 100});
    EXPECT_EQ(Bounds(c), (MovieRect{0, 50, 0, 100}));
    EXPECT_EQ(ControlBounds(c), (MovieRect{0, 100, 0, 100}));
    EXPECT_NEAR(Length(MakeLine({0, 0}, {300, 400})), 500, 1);
    // A quarter-circle-like curve is longer than its chord, shorter than its legs.
    const Curve q = MakeCurve({0, 0}, {1000, 0}, {1000, 1000});
    EXPECT_GT(Length(q), 1414);
    EXPECT_LT(Length(q), 2000);
    EXPECT_NEAR(ParamAtLength(MakeLine({0, 0}, {1000, 0}), 250), 0x4000, 80);
    EXPECT_EQ(ParamAtLength(q, 100000), 0x10000);
    EXPECT_NEAR(Tangent(q, 0), 0, 1);
    EXPECT_NEAR(Tangent(q, 0x10000), 90 << 16, 1);
    const Curve mapped = Map(q, MatrixScale(0x20000, 0x10000));
    EXPECT_EQ(mapped.control, (MoviePoint{2000, 0}));
}

TEST(MovieCurve, NearestAndCrossings)
{
    const Curve q = MakeCurve({0, 0}, {1000, 0}, {1000, 1000});
    const Fixed t = Nearest(q, PointAt(q, 0x6000), 10);
    EXPECT_NEAR(t, 0x6000, 0x400);
    EXPECT_EQ(Nearest(q, {-5000, 5000}, 10), -0x10000);
    // A closed outline: a square of lines; crossings odd inside, even outside.
    const Curve sq[4] = {MakeLine({0, 0}, {100, 0}), MakeLine({100, 0}, {100, 100}), MakeLine({100, 100}, {0, 100}),
                         MakeLine({0, 100}, {0, 0})};
    auto count = [&](MoviePoint p) {
        int n = 0;
        for (const Curve& c : sq) n += Crossings(c, p);
        return n;
    };
    EXPECT_EQ(count({50, 50}) % 2, 1);
    EXPECT_EQ(count({150, 50}) % 2, 0);
    EXPECT_EQ(count({-10, 50}) % 2, 0);
    // The same with a curved outline (a lens).
    const Curve lens[2] = {MakeCurve({0, 0}, {200, 100}, {0, 200}), MakeCurve({0, 200}, {-200, 100}, {0, 0})};
    int inside = 0, outside = 0;
    for (const Curve& c : lens) {
        inside += Crossings(c, {50, 100});
        outside += Crossings(c, {120, 100});
    }
    EXPECT_EQ(inside % 2, 1);
    EXPECT_EQ(outside % 2, 0);
    EXPECT_TRUE(Overlap(MakeLine({0, 0}, {10, 0}), MakeLine({15, 0}, {20, 0}), 3, 2));
    EXPECT_FALSE(Overlap(MakeLine({0, 0}, {10, 0}), MakeLine({15, 0}, {20, 0}), 2, 2));
}

TEST(MovieEdges, DirectionSplittingAndClamping)
{
    {
        Edges e;
        AddFillEdge(MakeLine({0, 10}, {0, 0}), nullptr, nullptr, kRuleOneFillParity, e.sink);
        const auto l = e.List();
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0]->y0, 0);
        EXPECT_EQ(l[0]->y1, 10);
        EXPECT_EQ(l[0]->direction, -1);
        EXPECT_TRUE(l[0]->isLine);
    }
    {
        Edges e;
        AddFillEdge(MakeLine({0, 5}, {100, 5}), nullptr, nullptr, 1, e.sink);
        EXPECT_TRUE(e.List().empty());
    }
    {
        // Control point 2 units above the top: clamped, one edge.
        Edges e;
        AddFillEdge(MakeCurve({0, 0}, {50, -2}, {100, 100}), nullptr, nullptr, 1, e.sink);
        const auto l = e.List();
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0]->cy, 0);
        EXPECT_FALSE(l[0]->isLine);
    }
    {
        // A curve that turns in y becomes two monotonic edges.
        Edges e;
        AddFillEdge(MakeCurve({0, 0}, {50, 100}, {100, 0}), nullptr, nullptr, 1, e.sink);
        const auto l = e.List();
        ASSERT_EQ(l.size(), 2u);
        for (const EdgeRecord* r : l) {
            EXPECT_LE(r->y0, r->cy);
            EXPECT_LE(r->cy, r->y1);
        }
        EXPECT_EQ(l[0]->direction + l[1]->direction, 0);
    }
    {
        Edges e;
        AddFillEdge(MakeLine({0, 0}, {30, 600}), nullptr, nullptr, 1, e.sink);
        const auto l = e.List();
        EXPECT_GE(l.size(), 3u);
        int covered = 0;
        for (const EdgeRecord* r : l) {
            EXPECT_LE(r->y1 - r->y0, 256);
            covered += r->y1 - r->y0;
        }
        EXPECT_EQ(covered, 600);
    }
    {
        // Guard mode: a piece far off to the left is folded onto x = -32000.
        Edges e;
        e.sink.guard = true;
        AddFillEdge(MakeLine({-90000, 0}, {-80000, 100}), nullptr, nullptr, 1, e.sink);
        const auto l = e.List();
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0]->x0, -32000);
        EXPECT_EQ(l[0]->x1, -32000);
        Edges f;
        f.sink.guard = true;
        AddFillEdge(MakeLine({0, 20000}, {10, 30000}), nullptr, nullptr, 1, f.sink);
        EXPECT_TRUE(f.List().empty());
    }
}

TEST(MovieStroke, ThinSquareHasNoGapsAtCorners)
{
    Edges e;
    StrokeBuilder s(e.sink, false);
    s.Begin(1, nullptr);
    EXPECT_FALSE(s.Thick());
    const MoviePoint p[5] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    for (int i = 0; i < 4; ++i) s.AddSegment(MakeLine(p[i], p[i + 1]));
    s.End();
    for (const EdgeRecord* r : e.List()) EXPECT_EQ(r->rule, kRuleWinding);
    // Sample every pixel centre of an 14x14 area: the band is exactly the
    // one-pixel ring from (0,0) to (10,10) inclusive.
    for (int y = -2; y < 12; ++y)
        for (int x = -2; x < 12; ++x) {
            const bool ring = (x >= 0 && x <= 10 && y >= 0 && y <= 10) && (x == 0 || x == 10 || y == 0 || y == 10);
            EXPECT_EQ(Winding(e, x + 0.5, y + 0.5) != 0, ring) << x << "," << y;
        }
}

TEST(MovieStroke, ThickCornerIsRoundAndPointIsDisc)
{
    Edges e;
    StrokeBuilder s(e.sink, true);
    s.Begin(40, nullptr);
    EXPECT_TRUE(s.Thick());
    s.AddSegment(MakeLine({0, 0}, {200, 0}));
    s.AddSegment(MakeLine({200, 0}, {200, 200}));
    s.End();
    // Covered: within 20 of the polyline; the outer corner is round.
    auto distToPath = [](double x, double y) {
        auto seg = [](double px, double py, double ax, double ay, double bx, double by) {
            const double vx = bx - ax, vy = by - ay;
            double t = ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy);
            t = std::clamp(t, 0.0, 1.0);
            return std::hypot(px - ax - t * vx, py - ay - t * vy);
        };
        return std::min(seg(x, y, 0, 0, 200, 0), seg(x, y, 200, 0, 200, 200));
    };
    int checked = 0;
    for (int y = -40; y < 240; y += 3)
        for (int x = -40; x < 240; x += 3) {
            const double d = distToPath(x + 0.5, y + 0.5);
            if (std::fabs(d - 20) < 1.5) continue;  // too close to the outline to call
            EXPECT_EQ(Winding(e, x + 0.5, y + 0.5) != 0, d < 20) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 5000);

    Edges dot;
    StrokeBuilder d(dot.sink, true);
    d.Begin(40, nullptr);
    d.AddPoint({100, 100});
    d.End();
    EXPECT_NE(Winding(dot, 100.5, 100.5), 0);
    EXPECT_NE(Winding(dot, 100 + 13.5, 100 + 13.5), 0);  // inside the radius-20 disc
    EXPECT_EQ(Winding(dot, 100 + 15.5, 100 + 15.5), 0);  // outside it
}

TEST(MovieStroke, ThickCurveFollowsTheCurve)
{
    Edges e;
    StrokeBuilder s(e.sink, true);
    s.Begin(24, nullptr);
    const Curve c = MakeCurve({0, 0}, {400, 0}, {400, 400});
    s.AddSegment(c);
    s.End();
    for (int i = 1; i < 16; ++i) {
        const MoviePoint p = PointAt(c, i << 12);
        EXPECT_NE(Winding(e, p.x + 0.5, p.y + 0.5), 0) << i;
    }
    EXPECT_EQ(Winding(e, 200.5, 200.5), 0);  // well inside the bend
}

TEST(MovieBitmap, RowBytesAndSwapping)
{
    struct C {
        int format, width, rowBytes;
    };
    const C cases[] = {{0, 33, 8}, {0, 32, 4}, {1, 17, 8}, {2, 9, 8}, {3, 5, 8}, {3, 4, 4}, {4, 3, 8}, {4, 2, 4}, {5, 3, 12}, {6, 3, 0}};
    for (const C& c : cases) EXPECT_EQ(BitmapRowBytes(c.format, c.width), c.rowBytes) << c.format << " " << c.width;
    const int bits[] = {1, 2, 4, 8, 16, 32, 0};
    for (int f = 0; f < 7; ++f) EXPECT_EQ(BitmapBitsPerPixel(f), bits[f]);

    uint8_t px32[6] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    SwapToNative(px32, 6, kBitmap32);  // only whole 4-byte groups
    const uint8_t want32[6] = {0x44, 0x33, 0x22, 0x11, 0x55, 0x66};
    EXPECT_EQ(std::memcmp(px32, want32, 6), 0);
    uint8_t px16[4] = {0x7C, 0x00, 0x01, 0x02};
    SwapToNative(px16, 4, kBitmap555);
    const uint8_t want16[4] = {0x00, 0x7C, 0x02, 0x01};
    EXPECT_EQ(std::memcmp(px16, want16, 4), 0);
    uint8_t px8[4] = {1, 2, 3, 4};
    SwapToNative(px8, 4, kBitmap8);
    EXPECT_EQ(px8[0], 1);
}

TEST(MovieBitmap, InitTableAndAlpha)
{
    ColorTable t;
    t.count = 2;
    t.entries[0] = 0xFF000000;
    t.entries[1] = 0xFFFFFFFF;
    BitmapRecord b;
    ASSERT_TRUE(b.Init(kBitmap8, 5, 3, &t));
    EXPECT_FALSE(b.hasAlpha);
    EXPECT_EQ(b.rowBytes, 8);
    ASSERT_NE(b.colors, nullptr);
    EXPECT_EQ(b.colors->count, 2u);
    t.entries[1] = 0xFEFFFFFF;
    ASSERT_TRUE(b.Init(kBitmap8, 5, 3, &t));
    EXPECT_TRUE(b.hasAlpha);
    BitmapRecord d;
    ASSERT_TRUE(d.Init(kBitmap32, 4, 4, nullptr));
    EXPECT_EQ(d.colors, nullptr);
    BitmapRecord bad;
    EXPECT_FALSE(bad.Init(kBitmap32, 0, 4, nullptr));
    EXPECT_FALSE(bad.Init(9, 4, 4, nullptr));
}

#include "movieplayer/rasteriser.h"

TEST(MovieBitmap, ClampedAndSmoothedSamples)
{
    BitmapRecord b;
    ASSERT_TRUE(b.Init(kBitmap555, 2, 1, nullptr));
    const uint16_t px[2] = {0x7C00, 0x001F};  // red, blue
    std::memcpy(b.pixels, px, 4);
    EXPECT_EQ(SampleClamped(b, -5, 3), MakeRecord(255, 0, 0, 255));
    EXPECT_EQ(SampleClamped(b, 9, 0), MakeRecord(0, 0, 255, 255));
    // Halfway between the two pixels: weights 4 and 4 of 8.
    EXPECT_EQ(SampleSmoothed(b, 0x8000, 0), MakeRecord(127, 0, 127, 255));
    // Beyond the right edge the neighbour folds onto the last pixel.
    EXPECT_EQ(SampleSmoothed(b, 0x18000, 0), MakeRecord(0, 0, 255, 255));
    EXPECT_EQ(SampleSmoothed(b, -0x40000, -7), MakeRecord(255, 0, 0, 255));
}
