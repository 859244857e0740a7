// Rectangles, matrices, colour transforms, style arrays and shape records.
#include <gtest/gtest.h>

#include "movieplayer/character/morph.h"
#include "movieplayer/moviefile_writer.h"
#include "movieplayer/stream/records.h"

using namespace moviefile_test;
using namespace movie;

namespace {

StreamCursor Cursor(const Bytes& b) { return StreamCursor(b.data(), 0, b.size()); }

}  // namespace

TEST(MovieRecords, ShapeRecordsMatchHandWorkedBytes)
{
    // Straight edge dx 100: 1 1 0110 0 0 01100100.
    BitWriter a;
    WriteLine(a, 100, 0);
    EXPECT_EQ(a.Take(), (Bytes{0xD8, 0x64}));
    // Style change: MoveTo (0, 0) with 1-bit fields, fill1 = 1 (1 bit):
    // 0 00101 00001 0 0 1.
    BitWriter b;
    StyleChange s;
    s.move = true;
    s.fill1 = 1;
    WriteStyleChange(b, s, 1, 0);
    EXPECT_EQ(b.Take(), (Bytes{0x14, 0x24}));
}

TEST(MovieRecords, RectMatrixAndColourTransform)
{
    struct Case {
        int32_t xmin, xmax, ymin, ymax;
    };
    for (Case c : {Case{0, 0, 0, 0}, Case{-1, 1, -20, 20}, Case{-0x40000000, 0x3FFFFFFF, 5, 6}}) {
        BitWriter w;
        WriteRect(w, c.xmin, c.xmax, c.ymin, c.ymax);
        Bytes b = w.Take();
        StreamCursor cur = Cursor(b);
        MovieRect r = ReadRect(cur);
        EXPECT_EQ(r, (MovieRect{c.xmin, c.xmax, c.ymin, c.ymax}));
        EXPECT_TRUE(cur.AtEnd());
    }

    Matrix rot;
    rot.a = 0xB505;
    rot.b = 0xB505;
    rot.c = -0xB505;
    rot.d = 0xB505;
    rot.tx = -300;
    rot.ty = 4000;
    for (const Matrix& m : {Matrix{}, Matrix::Translate(20, -40), Matrix::Scale(0x20000, -0x8000, 7, 9), rot}) {
        BitWriter w;
        WriteMatrix(w, m);
        Bytes b = w.Take();
        StreamCursor cur = Cursor(b);
        MovieMatrix r = ReadMatrix(cur);
        EXPECT_EQ(r, (MovieMatrix{m.a, m.b, m.c, m.d, m.tx, m.ty}));
    }

    Cxform x;
    x.mul[0] = 128;
    x.add[2] = -20;
    x.mul[3] = 64;
    x.add[3] = 10;
    BitWriter w;
    WriteCxform(w, x, true);
    WriteCxform(w, x, false);
    Bytes b = w.Take();
    StreamCursor cur = Cursor(b);
    ColorTransform withAlpha = ReadColorTransform(cur, true);
    EXPECT_EQ(withAlpha.rMul, 128);
    EXPECT_EQ(withAlpha.gMul, 256);
    EXPECT_EQ(withAlpha.bAdd, -20);
    EXPECT_EQ(withAlpha.aMul, 64);
    EXPECT_EQ(withAlpha.aAdd, 10);
    EXPECT_EQ(withAlpha.flags, uint32_t(kCxMultiply | kCxAdd));
    ColorTransform noAlpha = ReadColorTransform(cur, false);
    EXPECT_EQ(noAlpha.rMul, 128);
    EXPECT_EQ(noAlpha.aMul, 256);   // without alpha terms alpha stays 1.0 + 0
    EXPECT_EQ(noAlpha.aAdd, 0);
    EXPECT_TRUE(cur.AtEnd());
}

TEST(MovieRecords, EscapedStyleCountReads300Styles)
{
    BitWriter w;
    WriteStyleCount(w, 300);
    for (int i = 0; i < 300; ++i) WriteSolidFill(w, 0x10203000u | uint32_t(i & 0xFF), true);
    WriteStyleCount(w, 1);
    WriteLineStyle(w, 40, 0xFF0000FF, true);
    WriteIndexBits(w, 9, 1);
    WriteEndShape(w);
    Bytes b = w.Take();
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{true});
    ASSERT_TRUE(r.ReadStyles());
    ASSERT_EQ(r.Fills().size(), 300u);
    EXPECT_EQ(r.Fills()[299].colour, PackRgba(0x10, 0x20, 0x30, 299 & 0xFF));
    EXPECT_TRUE(r.Fills()[0].transparent);     // alpha 0
    EXPECT_FALSE(r.Fills()[255].transparent);  // alpha 255
    EXPECT_EQ(r.Fills()[299].globalIndex, 300);
    ASSERT_EQ(r.Lines().size(), 1u);
    EXPECT_EQ(r.Lines()[0].width, 40);
    EXPECT_EQ(r.Lines()[0].colour, PackRgba(0xFF, 0, 0, 0xFF));
    EXPECT_EQ(r.Next().flags, ShapeRecord::kEnd);
}

TEST(MovieRecords, GradientStopsBeyondEightAreReadPastAndDropped)
{
    BitWriter w;
    WriteStyleCount(w, 2);
    std::vector<Stop> stops;
    for (int i = 0; i < 10; ++i) stops.push_back({uint8_t(i * 25), 0x00FF00FFu | (uint32_t(i) << 24)});
    WriteGradientFill(w, 0x10, Matrix::Scale(0x8000, 0x8000, 100, 200), stops, false);
    WriteSolidFill(w, 0x11223344, false);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 2, 0);
    WriteEndShape(w);
    Bytes b = w.Take();
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{});
    ASSERT_TRUE(r.ReadStyles());
    ASSERT_EQ(r.Fills().size(), 2u);
    const FillStyle& g = r.Fills()[0];
    EXPECT_TRUE(g.IsGradient());
    EXPECT_EQ(g.stopCount, kMaxGradientStops);
    EXPECT_EQ(g.stops[7].ratio, 175);
    EXPECT_EQ(g.stops[7].colour, PackRgba(7, 0xFF, 0, 0xFF));
    EXPECT_EQ(g.matrix.a, 0x8000);
    EXPECT_EQ(g.matrix.ty, 200);
    EXPECT_FALSE(g.transparent);
    EXPECT_EQ(r.Fills()[1].colour, PackRgba(0x11, 0x22, 0x33, 0xFF));   // no alpha in the record
}

TEST(MovieRecords, EdgesAreMappedAndStraightOnesGetTheirMidpoint)
{
    BitWriter w;
    WriteStyleCount(w, 1);
    WriteSolidFill(w, 0xFF0000FF, false);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 1, 0);
    StyleChange s;
    s.move = true;
    s.x = 100;
    s.y = 200;
    s.fill1 = 1;
    WriteStyleChange(w, s, 1, 0);
    WriteLine(w, 40, 0);
    WriteCurve(w, 20, 20, -20, 20);
    WriteLine(w, -40, -40);
    WriteEndShape(w);
    Bytes b = w.Take();
    // Twips to pixels times 4: scale 0.2 (13107).
    MovieMatrix m = MatrixScale(0x20000, 0x20000);
    ShapeReader r(Cursor(b), m, ShapeFormat{});
    ASSERT_TRUE(r.ReadStyles());
    const ShapeRecord& change = r.Next();
    EXPECT_EQ(change.flags, ShapeRecord::kMoveTo | ShapeRecord::kFill1);
    EXPECT_EQ(change.fill1, 1);
    ShapeRecord e = r.Next();
    EXPECT_EQ(e.flags, ShapeRecord::kEdge);
    EXPECT_TRUE(e.line);
    EXPECT_EQ(e.start, (MoviePoint{200, 400}));
    EXPECT_EQ(e.end, (MoviePoint{280, 400}));
    EXPECT_EQ(e.control, (MoviePoint{240, 400}));
    e = r.Next();
    EXPECT_FALSE(e.line);
    EXPECT_EQ(e.start, (MoviePoint{280, 400}));
    EXPECT_EQ(e.control, (MoviePoint{320, 440}));
    EXPECT_EQ(e.end, (MoviePoint{280, 480}));
    e = r.Next();
    EXPECT_EQ(e.end, (MoviePoint{200, 400}));
    EXPECT_EQ(r.Next().flags, ShapeRecord::kEnd);
    EXPECT_EQ(r.Next().flags, ShapeRecord::kEnd);
}

TEST(MovieRecords, AShapeWithoutEndRecordStopsAtTheTagEnd)
{
    BitWriter w;
    WriteStyleCount(w, 1);
    WriteSolidFill(w, 0xFF0000FF, false);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 1, 0);
    WritePolygon(w, {{0, 0}, {100, 0}, {100, 100}}, 1, -1, 1, 0);
    Bytes b = w.Take();   // no end record; the last byte's padding is zero
    b.pop_back();         // and the last edge is cut in half
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{});
    ASSERT_TRUE(r.ReadStyles());
    int edges = 0, records = 0;
    while (r.Next().flags != ShapeRecord::kEnd && records < 100) {
        ++records;
        if (r.Record().flags == ShapeRecord::kEdge) ++edges;
    }
    EXPECT_LT(records, 100);
    EXPECT_EQ(edges, 2);
}

TEST(MovieRecords, StyleIndicesBeyondTheArraysReadAsNone)
{
    BitWriter w;
    WriteStyleCount(w, 1);
    WriteSolidFill(w, 0xFF0000FF, false);
    WriteStyleCount(w, 1);
    WriteLineStyle(w, 20, 0x000000FF, false);
    WriteIndexBits(w, 4, 4);
    StyleChange s;
    s.fill0 = 1;
    s.fill1 = 9;
    s.line = 15;
    WriteStyleChange(w, s, 4, 4);
    WriteEndShape(w);
    Bytes b = w.Take();
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{});
    ASSERT_TRUE(r.ReadStyles());
    const ShapeRecord& c = r.Next();
    EXPECT_EQ(c.fill0, 1);
    EXPECT_EQ(c.fill1, 0);
    EXPECT_EQ(c.lineStyle, 0);
}

TEST(MovieRecords, NewStylesRaiseTheStyleBase)
{
    BitWriter w;
    WriteStyleCount(w, 2);
    WriteSolidFill(w, 0xFF0000FF, false);
    WriteSolidFill(w, 0x00FF00FF, false);
    WriteStyleCount(w, 1);
    WriteLineStyle(w, 20, 0x000000FF, false);
    WriteIndexBits(w, 2, 1);
    StyleChange s;
    s.newStyles = true;
    WriteStyleChange(w, s, 2, 1);
    WriteStyleCount(w, 1);
    WriteSolidFill(w, 0x0000FFFF, false);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 1, 0);
    WriteEndShape(w);
    Bytes b = w.Take();
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{});
    ASSERT_TRUE(r.ReadStyles());
    EXPECT_EQ(r.Next().flags, ShapeRecord::kNewStyles);
    ASSERT_EQ(r.Fills().size(), 1u);
    EXPECT_EQ(r.StyleBase(), 3);
    EXPECT_EQ(r.Fills()[0].globalIndex, 4);
    EXPECT_EQ(r.Next().flags, ShapeRecord::kEnd);
}

TEST(MovieRecords, MorphStylesAreTakenAtTheRatio)
{
    BitWriter w;
    WriteStyleCount(w, 1);
    w.UI8(0);                          // solid
    w.Rgba(0, 0, 0, 255);
    w.Rgba(200, 100, 40, 255);
    WriteStyleCount(w, 1);
    w.UI16(20);
    w.UI16(60);
    w.Rgba(0, 0, 0, 255);
    w.Rgba(0, 0, 0, 127);              // an end alpha below 255: transparent
    WriteIndexBits(w, 1, 1);
    WriteEndShape(w);
    Bytes b = w.Take();
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{true, true, 0x8000});
    ASSERT_TRUE(r.ReadStyles());
    EXPECT_EQ(r.Fills()[0].colour, PackRgba(100, 50, 20, 255));
    EXPECT_EQ(r.Lines()[0].width, 40);
    EXPECT_TRUE(r.Lines()[0].transparent);
}

TEST(MovieRecords, TruncatedStylesFail)
{
    BitWriter w;
    WriteStyleCount(w, 200);   // claims 200 styles, holds 1
    WriteSolidFill(w, 0xFF0000FF, false);
    Bytes b = w.Take();
    ShapeReader r(Cursor(b), MatrixIdentity(), ShapeFormat{});
    EXPECT_FALSE(r.ReadStyles());
    EXPECT_EQ(r.Next().flags, ShapeRecord::kEnd);
}

TEST(MovieMorph, Interpolation)
{
    EXPECT_EQ(InterpolateValue(0, 100, 0), 0);
    EXPECT_EQ(InterpolateValue(0, 100, 0x8000), 50);
    EXPECT_EQ(InterpolateValue(0, 100, 0x10000), 100);
    EXPECT_EQ(InterpolateValue(INT32_MIN, INT32_MAX, 0x10000), INT32_MAX);   // no wrap
    EXPECT_EQ(InterpolateValue(0, -3, 0x8000), -1);                          // toward zero
    EXPECT_EQ(RgbaInterpolate(0x00000000, 0xFFFFFFFF, -5), 0u);
    EXPECT_EQ(RgbaInterpolate(0x00000000, 0xFFFFFFFF, 0x20000), 0xFFFFFFFFu);
    EXPECT_EQ(RgbaInterpolate(0x00000000, 0x80808080, 0x8000), 0x40404040u);
    MovieRect a{0, 100, 0, 100}, b{100, 300, 100, 200};
    EXPECT_EQ(RectInterpolate(a, b, 0x4000), (MovieRect{25, 150, 25, 125}));
}
