// Movies built with the fixture writer, drawn through the display list and
// the rasteriser, checked pixel by pixel against what the geometry says.
// The test movies use 16 twips per pixel so that the stage scale (1/16) is
// exact in 16.16, and are at least 16 pixels each way (the camera treats
// smaller sizes as 16).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>


#include "movieplayer/image/png_writer.h"
#include "movieplayer/moviefile_jpeg.h"
#include "movieplayer/moviefile_scenes.h"
#include "movieplayer/reference_rasteriser.h"
#include "movieplayer/render/movie_renderer.h"

using namespace moviefile_test;
using namespace movie;

namespace {

constexpr int T = 16;   // twips per pixel in these movies

int R(uint32_t p) { return int((p >> 16) & 0xFF); }
int G(uint32_t p) { return int((p >> 8) & 0xFF); }
int B(uint32_t p) { return int(p & 0xFF); }
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;

struct Render {
    MovieRenderer r;
    Render(MovieWriter& w, int width, int height, bool aa, int frame = 0)
    {
        w.width = width * T;
        w.height = height * T;
        Bytes file = w.Finish();
        EXPECT_TRUE(r.Load(file.data(), file.size()));
        EXPECT_TRUE(r.SetSize(width, height, aa, 2));
        r.Seek(frame);
        r.Draw();
    }
    uint32_t At(int x, int y) const { return r.At(x, y); }
    // Pixels of the given colour.
    int Count(uint32_t colour) const
    {
        int n = 0;
        for (uint32_t p : r.Pixels()) n += p == colour;
        return n;
    }
    void Save(const char* name) const
    {
        if (std::getenv("WB_MOVIE_PNG")) {
            auto px = r.Pixels();
            WritePng(std::string(std::getenv("WB_MOVIE_PNG")) + "/" + name + ".png", px.data(), r.Width(), r.Height(),
                     r.Width());
        }
    }
};

void PlaceAt(MovieWriter& w, uint16_t depth, int id, int32_t x = 0, int32_t y = 0, int ratio = -1,
             int clipDepth = -1)
{
    Matrix m = Matrix::Translate(x, y);
    Place p;
    p.depth = depth;
    p.id = id;
    p.matrix = &m;
    p.ratio = ratio;
    p.clipDepth = clipDepth;
    w.Add(PlaceObject2(p));
}

}  // namespace

TEST(MovieRender, RectangleOnWholePixelsCoversExactlyItsPixels)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 4 * T, 3 * T, 14 * T, 9 * T, 0xFF0000FF));
    PlaceAt(w, 1, 1);
    w.ShowFrame();
    Render s(w, 20, 16, false);
    s.Save("whole_pixels");
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 4 && x < 14 && y >= 3 && y < 9;
            EXPECT_EQ(s.At(x, y), inside ? kRed : kWhite) << x << "," << y;
        }
    EXPECT_EQ(s.Count(kRed), 60);
}

TEST(MovieRender, HalfPixelEdgeWithAntiAliasingIsHalfCovered)
{
    MovieWriter w;
    w.Background(0, 0, 0);
    w.Add(DefineRectShape(2, 1, 4 * T + T / 2, 0, 14 * T, 10 * T, 0xFFFFFFFF));
    PlaceAt(w, 1, 1);
    w.ShowFrame();
    Render s(w, 20, 16, true);
    s.Save("half_pixel_aa");
    EXPECT_NEAR(R(s.At(4, 5)), 128, 8);   // half the samples
    EXPECT_EQ(s.At(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(s.At(3, 5), 0xFF000000u);
    EXPECT_EQ(s.At(13, 5), 0xFFFFFFFFu);
    EXPECT_EQ(s.At(14, 5), 0xFF000000u);
}

TEST(MovieRender, TransparentFillsBlendOver)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 10 * T, 10 * T, 0x0000FFFF));
    w.Add(DefineRectShape(32, 2, 5 * T, 0, 10 * T, 10 * T, 0xFF000080));   // half-transparent red
    PlaceAt(w, 1, 1);
    PlaceAt(w, 2, 2);
    w.ShowFrame();
    Render s(w, 16, 16, false);
    uint32_t p = s.At(7, 5);
    EXPECT_NEAR(R(p), 128, 2);
    EXPECT_NEAR(B(p), 127, 2);
    EXPECT_EQ(s.At(2, 5), 0xFF0000FFu);
}

TEST(MovieRender, CurvesAndStrokes)
{
    for (const auto& scene : Scenes()) {
        if (scene.name != "shapes") continue;
        MovieRenderer r;
        ASSERT_TRUE(r.Load(scene.file.data(), scene.file.size()));
        ASSERT_TRUE(r.SetSize(550, 400, true, 2));
        r.Seek(0);
        r.Draw();
        if (std::getenv("WB_MOVIE_PNG")) {
            auto px = r.Pixels();
            WritePng(std::string(std::getenv("WB_MOVIE_PNG")) + "/shapes.png", px.data(), 550, 400, 550);
        }
        // The curved shape: filled green under the curve, a black outline
        // along its straight bottom (y = 2400 twips, x 2400-4000).
        uint32_t inside = r.At(160, 110);
        EXPECT_EQ(G(inside), 0xAA);
        EXPECT_EQ(R(inside), 0);
        uint32_t line = r.At(160, 120);
        EXPECT_LT(G(line), 0x40);
        EXPECT_EQ(r.At(160, 60), kWhite);   // above the curve's top (y 80 px)
    }
}

TEST(MovieRender, CurvedShapeMatchesItsGeometry)
{
    // A lens: a curve from (0, 0) over control (10, -10) px to (20, 0) and
    // back along the straight chord; its highest point is y = -5 px.
    MovieWriter w;
    BitWriter c;
    c.UI16(1);
    WriteRect(c, 0, 20 * T, -5 * T, 0);
    WriteStyleCount(c, 1);
    WriteSolidFill(c, 0xFF0000FF, false);
    WriteStyleCount(c, 0);
    WriteIndexBits(c, 1, 0);
    StyleChange sc;
    sc.move = true;
    sc.fill1 = 1;
    WriteStyleChange(c, sc, 1, 0);
    WriteCurve(c, 10 * T, -10 * T, 10 * T, 10 * T);
    WriteLine(c, -20 * T, 0);
    WriteEndShape(c);
    w.Add(Tag(2, c.Take()));
    PlaceAt(w, 1, 1, 2 * T, 8 * T);
    w.ShowFrame();
    Render s(w, 24, 16, false);
    s.Save("lens");
    // Without anti-aliasing a curve is sampled in the middle of each row:
    // the apex lies on line 3, so column 12 (the apex) fills rows 3..7.
    EXPECT_EQ(s.At(12, 2), kWhite);
    EXPECT_EQ(s.At(12, 3), kRed);
    EXPECT_EQ(s.At(12, 4), kRed);
    EXPECT_EQ(s.At(12, 7), kRed);
    EXPECT_EQ(s.At(12, 8), kWhite);
    // Depth below the chord: y(x) = x(20 - x)/40 px.  Line 7 (depth 1) runs
    // from x = 2.1 to 17.9, line 4 (depth 4) from 7.6 to 12.4 (+2 px offset).
    EXPECT_EQ(s.At(6, 7), kRed);
    EXPECT_EQ(s.At(1, 7), kWhite);
    EXPECT_EQ(s.At(22, 7), kWhite);
    EXPECT_EQ(s.At(6, 4), kWhite);
    EXPECT_EQ(s.At(17, 4), kWhite);
}

TEST(MovieRender, GradientsAndBitmapFills)
{
    MovieWriter w;
    // A linear gradient from red to blue over 256 pixels: the gradient square
    // (32768 units) onto 256 px = 4096 twips, factor 1/8.
    w.Add(DefineFilledRect(1, 0, 0, 256 * T, 4 * T, [](BitWriter& b) {
        WriteGradientFill(b, 0x10, Matrix::Scale(0x2000, 0x2000, 128 * T, 0), {{0, 0xFF0000FF}, {255, 0x0000FFFF}},
                          true);
    }));
    w.Add(DefineLosslessBitmap(9));
    // The 2 x 2 bitmap, one bitmap pixel per 8 screen pixels, clipped, no smoothing.
    w.Add(DefineFilledRect(2, 0, 8 * T, 16 * T, 24 * T, [](BitWriter& b) {
        WriteBitmapFill(b, 0x43, 9, Matrix::Scale(0x80000 * T, 0x80000 * T, 0, 8 * T));
    }));
    PlaceAt(w, 1, 1);
    PlaceAt(w, 2, 2);
    w.ShowFrame();
    Render s(w, 256, 24, false);
    s.Save("gradient_bitmap");
    uint32_t left = s.At(0, 2), mid = s.At(128, 2), right = s.At(255, 2);
    EXPECT_GT(R(left), 250);
    EXPECT_LT(B(left), 5);
    EXPECT_NEAR(R(mid), 128, 4);
    EXPECT_NEAR(B(mid), 128, 4);
    EXPECT_GT(B(right), 250);
    // Bitmap: red, green / blue, half-white over the white background.
    EXPECT_EQ(s.At(3, 11), 0xFFFF0000u);
    EXPECT_EQ(s.At(12, 11), 0xFF00FF00u);
    EXPECT_EQ(s.At(3, 20), 0xFF0000FFu);
    EXPECT_EQ(s.At(12, 20), 0xFFFFFFFFu);   // half white over white
}

TEST(MovieRender, JpegBitmap)
{
    MovieWriter w;
    BitWriter j;
    j.UI16(9);
    j.Append(EncodeFlatJpeg(8, 8, 40, 160, 220));
    w.Add(Tag(21, j.Take(), true));
    w.Add(DefineFilledRect(1, 0, 0, 8 * T, 8 * T, [](BitWriter& b) {
        WriteBitmapFill(b, 0x43, 9, Matrix::Scale(0x10000 * T, 0x10000 * T, 0, 0));
    }));
    PlaceAt(w, 1, 1, 2 * T, 2 * T);
    w.ShowFrame();
    Render s(w, 16, 16, false);
    uint32_t p = s.At(6, 6);
    EXPECT_NEAR(R(p), 40, 4);
    EXPECT_NEAR(G(p), 160, 4);
    EXPECT_NEAR(B(p), 220, 4);
    EXPECT_EQ(s.At(1, 1), kWhite);
}

TEST(MovieRender, MorphAtThreeRatios)
{
    MovieWriter w;
    w.Add(DefineMorphPolygon(1, {{0, 0}, {4 * T, 0}, {4 * T, 4 * T}, {0, 4 * T}},
                             {{0, 0}, {12 * T, 0}, {12 * T, 8 * T}, {0, 8 * T}}, 0xFF0000FF, 0x0000FFFF));
    PlaceAt(w, 1, 1, 0, 0, 0);
    PlaceAt(w, 2, 1, 0, 10 * T, 0x8000);
    PlaceAt(w, 3, 1, 0, 20 * T, 0xFFFF);
    w.ShowFrame();
    Render s(w, 16, 30, false);
    s.Save("morph");
    // Ratio 0: 4 x 4 red.  Ratio 1/2: 8 x 6, half red half blue.  Ratio
    // 65535/65536: 11.9998 x 7.9998 px, which the truncating arithmetic
    // makes 11 x 7 px of blue.
    EXPECT_EQ(s.At(3, 3), kRed);
    EXPECT_EQ(s.At(4, 3), kWhite);
    EXPECT_EQ(s.At(7, 15), s.At(0, 10));
    EXPECT_EQ(s.At(8, 15), kWhite);
    EXPECT_NEAR(R(s.At(0, 10)), 127, 2);
    EXPECT_NEAR(B(s.At(0, 10)), 127, 2);
    EXPECT_EQ(s.At(10, 26), s.At(0, 20));
    EXPECT_GT(B(s.At(0, 20)), 250);
    EXPECT_EQ(s.At(11, 26), kWhite);
    EXPECT_EQ(s.At(10, 27), kWhite);
}

TEST(MovieRender, StaticTextDrawsItsGlyphs)
{
    MovieWriter w;
    // Glyph 0: a square 512 wide and 1024 tall on the baseline; height 512
    // twips makes it 16 x 32 twips... here: height 16·T·2 = 512 -> 1 x 2 px
    // per 32 em units; a glyph is 16 px wide and 32 tall at height 512 px.
    w.Add(DefineFont2(2, {{{0, -1024}, {512, -1024}, {512, 0}, {0, 0}}}));
    w.Add(DefineText(11, 3, 0, 40 * T, 0, 20 * T, 2, uint16_t(16 * T), 0xFF0000FF, int16_t(2 * T), int16_t(18 * T),
                     {{0, 12 * T}, {0, 12 * T}}));
    PlaceAt(w, 1, 3);
    w.ShowFrame();
    Render s(w, 40, 20, false);
    s.Save("text");
    // Height 16 px: each glyph is 8 px wide, 16 tall, standing on y = 18.
    EXPECT_EQ(s.At(2, 2), kRed);
    EXPECT_EQ(s.At(9, 17), kRed);
    EXPECT_EQ(s.At(10, 10), kWhite);
    EXPECT_EQ(s.At(14, 10), kRed);    // the second glyph starts at 2 + 12
    EXPECT_EQ(s.At(22, 10), kWhite);
    EXPECT_EQ(s.At(5, 1), kWhite);
    EXPECT_EQ(s.At(5, 18), kWhite);
}

TEST(MovieRender, SpritePlacementAndRemovalAcrossFrames)
{
    MovieWriter w;
    w.frameCount = 3;
    w.Add(DefineRectShape(2, 1, 0, 0, 4 * T, 4 * T, 0xFF0000FF));
    Place inner;
    inner.depth = 1;
    inner.id = 1;
    BitWriter sp;
    sp.UI16(5);
    sp.UI16(1);
    sp.Append(PlaceObject2(inner));
    sp.Append(Tag(1, {}));
    sp.UI16(0);
    w.Add(Tag(39, sp.Take(), true));
    PlaceAt(w, 1, 5, 10 * T, 2 * T);   // the sprite
    PlaceAt(w, 2, 1, 2 * T, 2 * T);    // a plain shape
    w.ShowFrame();
    w.Add(RemoveObject2(2));
    w.ShowFrame();
    w.Add(RemoveObject2(1));
    w.ShowFrame();
    MovieRenderer r;
    w.width = 20 * T;
    w.height = 16 * T;
    Bytes file = w.Finish();
    ASSERT_TRUE(r.Load(file.data(), file.size()));
    ASSERT_TRUE(r.SetSize(20, 16, false, 2));
    r.Seek(0);
    r.Draw();
    EXPECT_EQ(r.At(11, 3), kRed);   // inside the sprite's shape
    EXPECT_EQ(r.At(3, 3), kRed);
    r.Seek(1);
    r.Draw(false);                  // only what changed is redrawn
    EXPECT_EQ(r.At(3, 3), kWhite);
    EXPECT_EQ(r.At(11, 3), kRed);
    r.Seek(2);
    r.Draw(false);
    EXPECT_EQ(r.At(11, 3), kWhite);
    r.Seek(0);                      // back again: a rebuild
    r.Draw(false);
    EXPECT_EQ(r.At(11, 3), kRed);
    EXPECT_EQ(r.At(3, 3), kRed);
}

TEST(MovieRender, ClipLayersMaskTheirSiblings)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 10 * T, 10 * T, 0x00000000));   // the mask: left half
    w.Add(DefineRectShape(2, 2, 0, 0, 20 * T, 10 * T, 0xFF0000FF));
    w.Add(DefineRectShape(2, 3, 0, 0, 20 * T, 2 * T, 0x0000FFFF));
    PlaceAt(w, 1, 1, 0, 0, -1, 2);   // clips depth 2 only
    PlaceAt(w, 2, 2);
    PlaceAt(w, 3, 3, 0, 8 * T);
    w.ShowFrame();
    Render s(w, 20, 16, false);
    s.Save("clip");
    EXPECT_EQ(s.At(5, 5), kRed);
    EXPECT_EQ(s.At(15, 5), kWhite);        // masked away
    EXPECT_EQ(s.At(15, 9), 0xFF0000FFu);   // depth 3 is not clipped
    EXPECT_EQ(s.Count(0xFF000000u), 0);    // the mask itself never paints
}

TEST(MovieRender, RedrawingOnlyTheDirtyPartGivesTheSameImage)
{
    for (const auto& scene : Scenes()) {
        MovieRenderer a, b;
        ASSERT_TRUE(a.Load(scene.file.data(), scene.file.size()));
        ASSERT_TRUE(b.Load(scene.file.data(), scene.file.size()));
        a.SetSize(275, 200, false);
        b.SetSize(275, 200, false);
        a.Seek(0);
        a.Draw();
        b.Seek(0);
        b.Draw();
        for (int f = 1; f < 3; ++f) {
            a.Seek(f);
            a.Draw(false);
            b.Seek(f);
            b.Draw(true);
            EXPECT_EQ(a.Pixels(), b.Pixels()) << scene.name << " frame " << f;
        }
    }
}

TEST(MovieRender, StrokesAndClipLayersWithLines)
{
    // A 4 px wide black line along y = 8 px from x = 4 to 16 px, no fill.
    auto lineShape = [](uint16_t id) {
        BitWriter c;
        c.UI16(id);
        WriteRect(c, 2 * T, 18 * T, 6 * T, 10 * T);
        WriteStyleCount(c, 0);
        WriteStyleCount(c, 1);
        WriteLineStyle(c, 4 * T, 0x000000FF, false);
        WriteIndexBits(c, 0, 1);
        StyleChange sc;
        sc.move = true;
        sc.x = 4 * T;
        sc.y = 8 * T;
        sc.line = 1;
        WriteStyleChange(c, sc, 0, 1);
        WriteLine(c, 12 * T, 0);
        WriteEndShape(c);
        return Tag(2, c.Take());
    };
    MovieWriter w;
    w.Add(lineShape(1));
    PlaceAt(w, 1, 1);
    w.ShowFrame();
    Render s(w, 20, 16, false);
    s.Save("stroke");
    for (int x = 4; x < 16; ++x) {
        EXPECT_EQ(s.At(x, 6), 0xFF000000u) << x;
        EXPECT_EQ(s.At(x, 9), 0xFF000000u) << x;
        EXPECT_EQ(s.At(x, 4), kWhite) << x;
        EXPECT_EQ(s.At(x, 11), kWhite) << x;
    }

    // The same line as a clip layer: no line is drawn, and the clipped red
    // square shows only inside the stroke's outline... a clip shape has no
    // lines, so nothing of the square shows.
    MovieWriter c;
    c.Add(lineShape(1));
    c.Add(DefineRectShape(2, 2, 0, 0, 20 * T, 16 * T, 0xFF0000FF));
    PlaceAt(c, 1, 1, 0, 0, -1, 2);
    PlaceAt(c, 2, 2);
    c.ShowFrame();
    Render clip(c, 20, 16, false);
    EXPECT_EQ(clip.Count(kWhite), 20 * 16);
}

TEST(MovieRender, GlyphsWoundTwiceStayFilledAndHalfAlphaTextBlends)
{
    // One glyph whose outline runs around its square twice: with the winding
    // rule it stays filled (parity would empty it).
    MovieWriter w;
    w.Background(0, 0, 0);
    w.Add(DefineFont2(2, {{{0, -1024}, {512, -1024}, {512, 0}, {0, 0}, {0, -1024}, {512, -1024}, {512, 0}, {0, 0}}}));
    w.Add(DefineText(33, 3, 0, 20 * T, 0, 16 * T, 2, uint16_t(16 * T), 0xFFFFFF80, int16_t(2 * T), int16_t(16 * T),
                     {{0, 10 * T}}));
    PlaceAt(w, 1, 3);
    w.ShowFrame();
    Render s(w, 20, 16, false);
    uint32_t p = s.At(5, 8);
    // White at alpha 128 over black: premultiplied 128 per channel.
    EXPECT_NEAR(R(p), 128, 2);
    EXPECT_EQ(R(p), G(p));
    EXPECT_EQ(s.At(12, 8), 0xFF000000u);
}

TEST(MovieRender, ScenesMatchTheReferenceRasteriser)
{
    // The scan-line rasteriser against the slow one that solves every
    // sample from scratch, over the edges and fills the display list builds
    // for real movie content: the images are identical.
    for (const auto& scene : Scenes()) {
        for (bool aa : {false, true}) {
            MovieRenderer r;
            ASSERT_TRUE(r.Load(scene.file.data(), scene.file.size()));
            ASSERT_TRUE(r.SetSize(276, 200, aa));   // a multiple of 4: no padding columns
            r.Seek(0);
            std::vector<uint32_t> expected;
            int rects = 0;
            r.Display().SetPaintHook([&](Rasteriser& raster) {
                PixelTarget t = raster.Target();
                // The reference draws into a top-down copy of the buffer.
                expected.assign(size_t(t.width) * size_t(t.height), 0);
                for (int y = 0; y < t.height; ++y)
                    std::memcpy(&expected[size_t(y) * size_t(t.width)], t.Row(y), size_t(t.width) * 4);
                PixelTarget out = t;
                out.bits = reinterpret_cast<uint8_t*>(expected.data());
                out.rowBytes = t.width * 4;
                out.bottomUp = false;
                ReferenceRender(raster, out);
                ++rects;
            });
            r.Draw();
            ASSERT_EQ(rects, 1) << scene.name;
            EXPECT_EQ(r.Pixels(), expected) << scene.name << (aa ? " anti-aliased" : "");
        }
    }
}
