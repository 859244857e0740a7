#include "movieplayer/chunkallocator.h"
#include "movieplayer/colortransform.h"
#include "movieplayer/fixed.h"
#include "movieplayer/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace movie;

namespace {

struct Case2 {
    int32_t a, b, want;
};

}  // namespace

TEST(MovieFixed, MulAndDivTruncateTowardZero)
{
    const Case2 mul[] = {
        {0x10000, 0x10000, 0x10000},      {-1, 1, 0},
        {1, -1, 0},                       {-0x18000, 0x10000, -0x18000},
        {3, 0x8000, 1},                   {-3, 0x8000, -1},
        {0x7FFFFFFF, 0x7FFFFFFF, INT32_MAX},  // saturates, no overflow
        {INT32_MIN, 0x7FFFFFFF, INT32_MIN},   {0x20000, 0x38000, 0x70000},
    };
    for (const auto& c : mul) EXPECT_EQ(FixedMul(c.a, c.b), c.want) << c.a << " * " << c.b;
    const Case2 div[] = {
        {1, 0, 0},        {-5, 0, 0},       {1, 3, 21845},   {-1, 3, -21845},
        {0x100, 2, 0x800000}, {7, -2, -229376},
        {0x7FFFFFFF, 1, INT32_MAX},  {INT32_MIN, 1, INT32_MIN},
    };
    for (const auto& c : div) EXPECT_EQ(FixedDiv(c.a, c.b), c.want) << c.a << " / " << c.b;
}

TEST(MovieFixed, MulShiftAndDivShift)
{
    EXPECT_EQ(MulShift(3, 5, 1), 7);
    EXPECT_EQ(MulShift(-3, 5, 1), -7);
    EXPECT_EQ(MulShift(0x40000000, 0x40000000, 40), 0x100000);
    EXPECT_EQ(DivShift(5, 0, 4), 0x7FFFFFFF);
    EXPECT_EQ(DivShift(0, 0, 4), 0x7FFFFFFF);
    EXPECT_EQ(DivShift(-5, 0, 4), INT32_MIN);
    EXPECT_EQ(DivShift(1, 3, 16), 21845);
    EXPECT_EQ(DivShift(-7, 2, 0), -3);
    EXPECT_EQ(DivShift(0x7FFFFFFF, 1, 8), INT32_MAX);
}

TEST(MovieFixed, TrigAndAngles)
{
    EXPECT_EQ(FixedSin(0), 0);
    EXPECT_EQ(FixedCos(0), 0x10000);
    EXPECT_EQ(FixedSin(90 << 16), 0x10000);
    // atan2 results truncate: 90 degrees comes out one unit short of 90·65536.
    EXPECT_NEAR(FixedCos(60 << 16), 0x8000, 1);
    EXPECT_NEAR(FixedTan(45 << 16), 0x10000, 2);
    EXPECT_EQ(FixedAtan2(0, 0), 0);
    EXPECT_EQ(FixedAtan2(1, 0), (90 << 16) - 1);
    EXPECT_NEAR(FixedAtan2(0, -1), 180 << 16, 1);
    EXPECT_NEAR(FixedAtan2(-100, 100), -(45 << 16), 1);
}

TEST(MovieFixed, RoundingAndChannels)
{
    const Case2 round[] = {{-5, 10, -10}, {5, 10, 10}, {4, 10, 0}, {-4, 10, 0}, {15, 10, 20}, {14, 20, 20}, {7, 0, 7}};
    for (const auto& c : round) EXPECT_EQ(RoundToMultiple(c.a, c.b), c.want) << c.a << " " << c.b;
    EXPECT_EQ(ChannelScaleAdd(200, 512, 0), 255);
    EXPECT_EQ(ChannelScaleAdd(10, 256, -20), 0);
    EXPECT_EQ(ChannelScaleAdd(100, 128, 10), 60);
    EXPECT_EQ(ChannelScaleAdd(3, -256, 0), 0);
    EXPECT_EQ(ChannelAdd(250, 10), 255);
    EXPECT_EQ(ChannelAdd(5, -10), 0);
}

TEST(MovieFixed, DoublesSaturate)
{
    EXPECT_EQ(SaturateDouble(1e300), INT32_MAX);
    EXPECT_EQ(SaturateDouble(-1e300), INT32_MIN);
    EXPECT_EQ(SaturateDouble(std::numeric_limits<double>::infinity()), INT32_MAX);
    EXPECT_EQ(SaturateDouble(std::nan("")), 0);
    EXPECT_EQ(SaturateDouble(-2.9), -2);
    EXPECT_EQ(SaturateDouble(2147483646.5), 2147483646);
}

TEST(MovieFixed, PixelFormatForDepth)
{
    const int table[][2] = {{1, 0}, {4, 2}, {8, 3}, {16, 4}, {24, 6}, {32, 7}, {15, 15}, {2, 2}};
    for (auto& t : table) EXPECT_EQ(PixelFormatForDepth(t[0]), t[1]);
}

TEST(MoviePoint, Lengths)
{
    EXPECT_EQ(PointLength({0, 0}), 0);
    EXPECT_NEAR(PointLength({3 << 16, 4 << 16}), 5 << 16, 8);
    EXPECT_NEAR(PointLength({-3 << 16, 4 << 16}), 5 << 16, 8);
    EXPECT_EQ(PointLength({7, 0}), 7);
    // Against the exact Euclidean length over a spread of directions.
    for (int i = 0; i < 90; ++i) {
        const double a = i * 3.14159265358979 / 180.0;
        const MoviePoint v{static_cast<int32_t>(std::lround(100000 * std::cos(a))), static_cast<int32_t>(std::lround(100000 * std::sin(a)))};
        EXPECT_NEAR(PointLength(v), std::hypot(v.x, v.y), 100000 * 4e-5) << i;
    }
    EXPECT_EQ(PointApproxLength({-10, 4}), 12);
    EXPECT_EQ(PointHalfChebyshev({0, 0}, {7, -3}), 3);
    MoviePoint n = PointSetLength({300, 400}, 50);
    EXPECT_NEAR(n.x, 30, 1);
    EXPECT_NEAR(n.y, 40, 1);
    EXPECT_EQ(PointSetLength({0, 0}, 50), (MoviePoint{0, 0}));
}

TEST(MoviePoint, ShiftsAndInterpolation)
{
    EXPECT_EQ(PointShift({3, -3}, 2), (MoviePoint{12, -12}));
    EXPECT_EQ(PointShift({5, -5}, -1), (MoviePoint{3, -2}));  // +1 then >> 1
    EXPECT_EQ(PointShift({6, -6}, -2), (MoviePoint{2, -1}));
    EXPECT_EQ(PointInterpolate({100, 0}, {0, 100}, 0x4000), (MoviePoint{25, 75}));
    EXPECT_TRUE(PointEqualWithin({0, 0}, {3, -3}, 3));
    EXPECT_FALSE(PointEqualWithin({0, 0}, {4, 0}, 3));
    const MoviePoint o{10, 20};
    const MoviePoint p = PointFromPolar(100, 90 << 16, &o);
    EXPECT_EQ(p, (MoviePoint{10, 120}));
    EXPECT_NEAR(PointAngle({0, 5}, nullptr), 90 << 16, 1);
}

TEST(MoviePoint, NearestPointOnSegment)
{
    struct C {
        MoviePoint a, b, p, want;
    };
    const C cases[] = {
        {{0, 0}, {1000, 0}, {500, 300}, {500, 0}},     // flat
        {{0, 0}, {1000, 0}, {-50, 10}, {0, 0}},        // before the start
        {{0, 0}, {0, 1000}, {30, 1200}, {0, 1000}},    // steep, beyond the end
        {{0, 0}, {1000, 1000}, {1000, 0}, {500, 500}}, // diagonal
        {{0, 0}, {1000, 1000}, {-500, -100}, {0, 0}},  // diagonal, clamped
    };
    for (const auto& c : cases) {
        MoviePoint out;
        const Fixed d = NearestPointOnSegment(c.a, c.b, c.p, &out);
        EXPECT_NEAR(out.x, c.want.x, 1);
        EXPECT_NEAR(out.y, c.want.y, 1);
        EXPECT_NEAR(d, std::hypot(c.p.x - c.want.x, c.p.y - c.want.y), 2);
    }
}

TEST(MovieRect, Operations)
{
    MovieRect e;
    RectSetEmpty(e);
    const MovieRect r = RectFromCorners(10, 40, 0, 20);
    EXPECT_EQ(r, (MovieRect{0, 10, 20, 40}));
    EXPECT_EQ(RectUnion(e, r), r);
    EXPECT_EQ(RectUnion(r, e), r);
    EXPECT_TRUE(RectIsEmpty(RectIntersect(r, RectFromCorners(20, 20, 30, 30))));
    EXPECT_EQ(RectIntersect(r, RectFromCorners(5, 0, 30, 30)), (MovieRect{5, 10, 20, 30}));
    MovieRect in = r;
    RectInset(in, 6);
    EXPECT_TRUE(RectIsEmpty(in));
    MovieRect grow = r;
    RectInset(grow, -2);
    EXPECT_EQ(grow, (MovieRect{-2, 12, 18, 42}));
    EXPECT_TRUE(RectTestIntersect(r, RectFromCorners(10, 40, 20, 50)));  // shares a corner
    EXPECT_FALSE(RectTestIntersect(e, r));
    EXPECT_TRUE(RectContainsPoint(r, {10, 40}));
    EXPECT_FALSE(RectContainsPoint(r, {11, 40}));
    EXPECT_TRUE(RectEqualWithin(e, MovieRect{}, 0));
    EXPECT_FALSE(RectEqualWithin(e, r, 1000));
    EXPECT_TRUE(RectEqualWithin(r, {1, 9, 21, 39}, 1));
    EXPECT_EQ(RectCentre(r), (MoviePoint{5, 30}));
    EXPECT_EQ(RectCentre(e), (MoviePoint{0, 0}));
    MovieRect a = e;
    RectAddPoint(a, {3, 4});
    RectAddPoint(a, {-1, 8});
    EXPECT_EQ(a, (MovieRect{-1, 3, 4, 8}));
    MovieRect o = r;
    RectOffset(o, 1, -1);
    EXPECT_EQ(o, (MovieRect{1, 11, 19, 39}));
    MovieRect s = r;
    RectShift(s, -1);
    EXPECT_EQ(s, (MovieRect{0, 5, 10, 20}));
    EXPECT_EQ(RectSize(r), (MoviePoint{10, 20}));
    EXPECT_EQ(RectDistanceToPoint(r, {5, 30}), 0);
    EXPECT_NEAR(RectDistanceToPoint(r, {13, 44}), 5, 1);
    EXPECT_NEAR(RectDistance(r, RectFromCorners(13, 44, 20, 50)), 5, 1);
    EXPECT_EQ(RectDistance(r, RectFromCorners(5, 50, 20, 60)), 10);
    MovieRect h;
    RectSetHuge(h);
    EXPECT_EQ(h, (MovieRect{-4194304, 4194303, -4194304, 4194303}));
}

TEST(MovieRect, Handles)
{
    const MovieRect r{0, 10, 20, 41};
    const MoviePoint want[] = {{0, 41}, {10, 41}, {10, 20}, {0, 20}, {5, 41}, {10, 30}, {5, 20}, {0, 30}, {5, 30}};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(RectHandlePoint(r, i), want[i]) << i;
    const int opp[] = {2, 3, 0, 1, 6, 7, 4, 5, 8, 8};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(RectOppositeHandle(i), opp[i]);
    EXPECT_EQ(RectOppositeHandle(-1), 8);
}

TEST(MovieMatrix, MapConcatInvert)
{
    MovieMatrix m = MatrixScale(0x20000, 0x30000);
    m.tx = 5;
    m.ty = -7;
    EXPECT_EQ(MatrixMapPoint(m, {10, 10}), (MoviePoint{25, 23}));
    EXPECT_EQ(MatrixMapVector(m, {10, 10}), (MoviePoint{20, 30}));
    EXPECT_EQ(MatrixMapRect(m, {0, 10, -10, 0}), (MovieRect{5, 25, -37, -7}));
    EXPECT_TRUE(RectIsEmpty(MatrixMapRect(m, MovieRect{})));

    // Rotation by 90 degrees then translation.
    MovieMatrix rot = MatrixRotation(90 << 16);
    EXPECT_EQ(MatrixMapPoint(rot, {100, 0}), (MoviePoint{0, 100}));
    MovieMatrix both;
    MatrixConcat(rot, MatrixTranslation(10, 20), both);
    EXPECT_EQ(MatrixMapPoint(both, {100, 0}), (MoviePoint{10, 120}));
    MatrixConcat(MatrixTranslation(10, 20), rot, both);
    EXPECT_EQ(MatrixMapPoint(both, {100, 0}), (MoviePoint{-20, 110}));

    // Pure scale: fast path.
    MovieMatrix inv;
    MatrixInvert(m, inv);
    EXPECT_EQ(inv.a, 0x8000);
    EXPECT_EQ(inv.d, 0x5555);
    EXPECT_EQ(inv.b, 0);
    EXPECT_EQ(MatrixMapPoint(inv, {25, 23}), (MoviePoint{10, 9}));  // 23+7=30 · 0x5555 truncates to 9

    // General matrix: m·inv(m) close to the identity.
    MovieMatrix g{0x12000, 0x3000, -0x5000, 0xE000, 1000, -500};
    MatrixInvert(g, inv);
    MovieMatrix id;
    MatrixConcat(g, inv, id);
    EXPECT_TRUE(MatrixEqualWithin(id, MatrixIdentity(), 8)) << id.a << " " << id.b << " " << id.c << " " << id.d << " " << id.tx << " " << id.ty;

    // Zero and singular matrices give the identity.
    MatrixInvert({0, 0, 0, 0, 5, 5}, inv);
    EXPECT_TRUE(MatrixIsIdentity(inv));
    MatrixInvert({0x10000, 0x10000, 0x10000, 0x10000, 0, 0}, inv);
    EXPECT_TRUE(MatrixIsIdentity(inv));
}

TEST(MovieMatrix, FittingAndDecomposition)
{
    const MovieMatrix m = MatrixRectToRect({0, 100, 0, 50}, {10, 210, 20, 70});
    EXPECT_EQ(m.a, 0x20000);
    EXPECT_EQ(m.d, 0x10000);
    EXPECT_EQ(MatrixMapPoint(m, {100, 50}), (MoviePoint{210, 70}));
    const MovieMatrix f = MatrixFitRect({0, 100, 0, 50}, {0, 400, 0, 400});
    EXPECT_EQ(f.a, 0x40000);
    EXPECT_EQ(f.d, 0x40000);
    EXPECT_EQ(MatrixMapPoint(f, {50, 25}), (MoviePoint{200, 200}));
    const MatrixParts parts = MatrixDecompose(MatrixRotation(30 << 16));
    EXPECT_NEAR(parts.xScale, 0x10000, 4);
    EXPECT_NEAR(parts.yScale, 0x10000, 4);
    EXPECT_NEAR(parts.rotation, 30 << 16, 64);
    EXPECT_TRUE(MatrixIsAxisAligned({0x10000, 16, -16, 5, 0, 0}));
    EXPECT_FALSE(MatrixIsAxisAligned({0x10000, 17, 0, 5, 0, 0}));
    EXPECT_FALSE(MatrixIsAxisAligned({-0x10000, 0, 0, 5, 0, 0}));
    EXPECT_EQ(MatrixMapLength(MatrixScale(0x20000, 0x20000), 100), 199);  // 2·100·sqrt2·(1/sqrt2), truncated
    EXPECT_EQ(MatrixMapLength(MatrixScale(1, 1), 1), 1);
}

TEST(MovieColorTransform, ConcatAndApply)
{
    ColorTransform half;
    half.rMul = 128;
    ColorTransformUpdateFlags(half);
    EXPECT_EQ(half.flags, uint32_t{kCxMultiply});
    ColorTransform x = half;
    ColorTransformConcat(x, half);
    EXPECT_EQ(x.rMul, 64);
    ColorTransform id;
    ColorTransformConcat(id, half);
    EXPECT_TRUE(ColorTransformEqual(id, half));
    ColorTransform add;
    add.gAdd = 10;
    add.gMul = 128;
    ColorTransformUpdateFlags(add);
    ColorTransform y = half;
    ColorTransformConcat(y, add);  // add applies first, then half
    EXPECT_EQ(y.gMul, 128);
    EXPECT_EQ(y.gAdd, 10);
    EXPECT_EQ(ColorTransformApplyRgba(half, PackRgba(200, 10, 20, 255)), PackRgba(100, 10, 20, 255));
    EXPECT_EQ(ColorTransformApplyRgba(ColorTransform{}, 0x12345678u), 0x12345678u);

    // Pixels: with only offsets the multipliers are not applied.
    ColorTransform off;
    off.rAdd = 300;
    off.rMul = 0;
    off.flags = kCxAdd;
    RGBI px[2] = {{1, 2, 3, 4}, {0, 0, 250, 0}};
    ColorTransformApplyPixels(off, px, 2);
    EXPECT_EQ(px[0].red, 255);
    EXPECT_EQ(px[1].red, 255);
    uint8_t grad[1 + 5] = {1, 0, 200, 100, 50, 255};
    ColorTransformApplyGradient(half, grad);
    EXPECT_EQ(grad[2], 100);
    EXPECT_EQ(grad[3], 100);
}

TEST(MovieChunkAllocator, ReusesOldestBlocksAndFreesEmptyOnes)
{
    ChunkAllocator a;
    a.Init(12, 4, false, 0x33333333);
    std::vector<void*> items;
    for (int i = 0; i < 10; ++i) {
        items.push_back(a.Alloc());
        ASSERT_NE(items.back(), nullptr);
        std::memset(items.back(), 0xAB, 12);
    }
    EXPECT_EQ(a.BlockCount(), 3);
    EXPECT_EQ(a.SlotsInUse(), 10);
    // Emptying the last block frees it at once (keep-empty is off).
    a.Free(items[8]);
    a.Free(items[9]);
    EXPECT_EQ(a.BlockCount(), 2);
    // A slot freed in the first block is the next one handed out.
    a.Free(items[1]);
    EXPECT_EQ(a.Alloc(), items[1]);
    for (int i = 0; i < 8; ++i) a.Free(items[i]);
    EXPECT_EQ(a.BlockCount(), 0);

    ChunkAllocator k;
    k.Init(40, 2, true, 0);
    void* p = k.Alloc();
    void* q = k.Alloc();
    void* r = k.Alloc();
    k.Free(p);
    k.Free(q);
    k.Free(r);
    EXPECT_EQ(k.BlockCount(), 2);
    k.Compact();
    EXPECT_EQ(k.BlockCount(), 0);
    EXPECT_NE(k.Alloc(), nullptr);
    k.FreeAll();
    EXPECT_EQ(k.BlockCount(), 0);
}
