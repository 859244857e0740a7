#include "movie_raster_util.h"

#include "movieplayer/bitbuffer.h"
#include "movieplayer/pixelformats.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace movie;
using namespace movietest;

namespace {

struct Buffer {
    std::vector<uint8_t> bytes;
    PixelTarget t;
    Buffer(int format, int w, int h, const uint32_t* palette = nullptr, const uint8_t* inverse = nullptr)
    {
        t.format = format;
        t.width = w;
        t.height = h;
        t.rowBytes = ((BitsPerPixelOfFormat(format) * w + 31) / 32) * 4;
        bytes.assign(static_cast<size_t>(t.rowBytes) * h, 0);
        t.bits = bytes.data();
        t.palette = palette;
        t.inverse = inverse;
    }
};

}  // namespace

TEST(MoviePixelFormat, Tables)
{
    EXPECT_EQ(kExpand5[0], 0);
    EXPECT_EQ(kExpand5[1], 15);
    EXPECT_EQ(kExpand5[31], 255);
    EXPECT_EQ(kExpand6[63], 255);
    EXPECT_EQ(kExpand6[1], 7);
    for (int fy = 0; fy < 8; ++fy)
        for (int fx = 0; fx < 8; ++fx) {
            const uint8_t* w = kBilinear[fy][fx];
            EXPECT_EQ(w[0] + w[1] + w[2] + w[3], 8) << fx << "," << fy;
        }
    EXPECT_EQ(kBilinear[0][0][0], 8);
    EXPECT_EQ(kBilinear[4][4][0], 2);  // the centre: four equal weights
    EXPECT_EQ(kBilinear[4][4][3], 2);
    EXPECT_EQ(kSquares[0], 0);
    EXPECT_EQ(kSquares[255], 65025);
    EXPECT_EQ(kSquares[256], 0xFFFF);
    EXPECT_EQ(kSquares[257], 0xFFFF);
}

TEST(MoviePixelFormat, ReadersAndWriters)
{
    {
        Buffer b(4, 2, 1);
        const uint16_t v[2] = {0x7FFF, 0x0000};
        std::memcpy(b.bytes.data(), v, 4);
        ColorRecord out[2];
        ReaderForFormat(4)(b.t, 0, 0, 2, out);
        EXPECT_EQ(out[0], MakeRecord(255, 255, 255, 255));
        EXPECT_EQ(out[1], MakeRecord(0, 0, 0, 255));
    }
    {
        // White to 5-6-5 with dithering: 0xFFFF for every matrix entry.
        Buffer b(5, 4, 4);
        b.t.ditherMode = 1;
        ColorRecord white[4];
        std::fill(white, white + 4, MakeRecord(255, 255, 255, 255));
        for (int y = 0; y < 4; ++y) WriterForFormat(5)(b.t, y, 0, 4, white);
        for (size_t i = 0; i < b.bytes.size(); ++i) EXPECT_EQ(b.bytes[i], 0xFF);
        b.t.ditherMode = 0;
        const ColorRecord c = MakeRecord(0x80, 0x40, 0x20, 255);
        WriterForFormat(5)(b.t, 0, 0, 1, &c);
        uint16_t v;
        std::memcpy(&v, b.bytes.data(), 2);
        EXPECT_EQ(v, (0x80 >> 3) << 11 | (0x40 >> 2) << 5 | 0x20 >> 3);
    }
    {
        // 24 and 32 bits round-trip.
        for (int f : {6, 7, 8}) {
            Buffer b(f, 3, 1);
            const ColorRecord in[3] = {MakeRecord(1, 2, 3, 255), MakeRecord(200, 100, 50, 255), MakeRecord(9, 8, 7, 255)};
            ColorRecord out[3];
            WriterForFormat(f)(b.t, 0, 0, 3, in);
            ReaderForFormat(f)(b.t, 0, 0, 3, out);
            for (int i = 0; i < 3; ++i) EXPECT_EQ(out[i], in[i]) << f;
        }
        Buffer b(7, 1, 1);
        const ColorRecord c = MakeRecord(0x11, 0x22, 0x33, 0x44);
        WriterForFormat(7)(b.t, 0, 0, 1, &c);
        uint32_t w;
        std::memcpy(&w, b.bytes.data(), 4);
        EXPECT_EQ(w, 0x44112233u);
    }
}

TEST(MoviePixelFormat, SubBytePaletteFormatsKeepTheirBitOrder)
{
    // Sixteen greys on the inverse table's own levels (nibble × 16, 255 for 15).
    auto level = [](int i) { return i == 15 ? 255 : i * 16; };
    uint32_t pal[256] = {};
    for (int i = 0; i < 16; ++i) pal[i] = 0xFF000000u | uint32_t(level(i)) * 0x010101u;
    InverseColorTable* inv = InverseColorTable::Build(pal, 16);
    ASSERT_NE(inv, nullptr);
    for (int f : {0, 1, 2, 3}) {
        const int bits = BitsPerPixelOfFormat(f);
        const int levels = 1 << std::min(bits, 4);
        Buffer b(f, 16, 1, pal, inv->table);
        ColorRecord in[16];
        for (int x = 0; x < 16; ++x) {
            const int idx = x % levels;
            in[x] = MakeRecord(level(idx), level(idx), level(idx), 255);
        }
        WriterForFormat(f)(b.t, 0, 0, 16, in);
        ColorRecord out[16];
        ReaderForFormat(f)(b.t, 0, 0, 16, out);
        for (int x = 0; x < 16; ++x) EXPECT_EQ(out[x], in[x]) << "format " << f << " x " << x;
        // The first pixel sits in the highest bits of the first byte.
        const uint8_t firstByte[3] = {0x55, 0x1B, 0x01};  // pixels 0,1,0,1.. / 0,1,2,3 / 0,1
        if (f < 3) {
            EXPECT_EQ(b.bytes[0], firstByte[f]) << f;
        }
    }
    inv->Release();
}

TEST(MoviePixelFormat, SolidPaintersMatchTheWriters)
{
    uint32_t pal[256] = {};
    for (int i = 0; i < 256; ++i) pal[i] = 0xFF000000u | uint32_t((i & 7) * 36) << 16 | uint32_t(((i >> 3) & 7) * 36) << 8 | uint32_t((i >> 6) * 85);
    InverseColorTable* inv = InverseColorTable::Build(pal, 256);
    const ColorRecord a = MakeRecord(200, 40, 90, 255), bcol = MakeRecord(10, 250, 30, 255);
    const int spans[][2] = {{3, 33}, {0, 37}, {5, 6}, {9, 10}, {8, 16}, {1, 31}};
    for (int f = 0; f <= 8; ++f)
        for (int ox : {0, 3, -1})
            for (const auto& span : spans) {
                Buffer painted(f, 37, 4, pal, inv->table), written(f, 37, 4, pal, inv->table);
                painted.t.xOrigin = ox;
                // Something to keep outside the span.
                std::fill(painted.bytes.begin(), painted.bytes.end(), 0xA5);
                std::fill(written.bytes.begin(), written.bytes.end(), 0xA5);
                SolidPattern p;
                const int ia = inv->table[InverseIndex(200, 40, 90)], ib = inv->table[InverseIndex(10, 250, 30)];
                MakeSolidPattern(painted.t, a, bcol, ia, ib, 0x33CC, 1, p);
                for (int y = 0; y < 4; ++y) {
                    PaintSolid(painted.t, p, y, span[0], span[1], 0);
                    // The same pixels one by one through the writer.
                    for (int x = span[0]; x < span[1]; ++x) {
                        unsigned nib = (0x33CC >> (12 - 4 * y)) & 15;
                        nib = ((nib << 1) | (nib >> 3)) & 15;
                        const bool takeA = (nib >> (3 - ((x + ox) & 3))) & 1;
                        const ColorRecord c = takeA ? a : bcol;
                        written.t.ditherMode = 0;
                        WriterForFormat(f)(written.t, y, x, x + 1, &c);
                    }
                }
                ASSERT_EQ(painted.bytes, written.bytes) << "format " << f << " origin " << ox << " span " << span[0] << "-" << span[1];
            }
    inv->Release();
}

TEST(MoviePixelFormat, ErrorDiffusionAveragesToTheGrey)
{
    // A palette of black and white only: mid grey must come out half white.
    uint32_t pal[2] = {0xFF000000u, 0xFFFFFFFFu};
    InverseColorTable* inv = InverseColorTable::Build(pal, 2);
    Buffer b(3, 64, 64, pal, inv->table);
    b.t.ditherMode = 2;
    ColorRecord grey[64];
    std::fill(grey, grey + 64, MakeRecord(128, 128, 128, 255));
    for (int y = 0; y < 64; ++y) {
        b.t.NewLine();
        WriterForFormat(3)(b.t, y, 0, 64, grey);
    }
    int white = 0;
    for (uint8_t v : b.bytes) white += v;
    EXPECT_NEAR(white / double(64 * 64), 128 / 255.0, 0.03);
    // Ordered dither moves a channel by up to 15/16 of a table cell: a grey
    // just below the cell border mixes the two.
    Buffer o(3, 64, 8, pal, inv->table);
    o.t.ditherMode = 1;
    std::fill(grey, grey + 64, MakeRecord(120, 120, 120, 255));
    for (int y = 0; y < 8; ++y) WriterForFormat(3)(o.t, y, 0, 64, grey);
    int ow = 0;
    for (uint8_t v : o.bytes) ow += v;
    EXPECT_GT(ow, 0);
    EXPECT_LT(ow, 64 * 8);
    inv->Release();
}

TEST(MovieBitBuffer, InverseTableEdgeCases)
{
    const uint32_t bw[2] = {0x000000, 0xFFFFFF};
    InverseColorTable* t = InverseColorTable::Build(bw, 2);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->table[7 << 8 | 7 << 4 | 7], 0);
    EXPECT_EQ(t->table[8 << 8 | 8 << 4 | 8], 1);
    EXPECT_EQ(t->table[0xFFF], 1);
    EXPECT_EQ(t->table[0], 0);
    t->AddRef();
    t->Release();
    t->Release();
    // The nearest colour of a richer palette.
    uint32_t pal[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    InverseColorTable* c = InverseColorTable::Build(pal, 3);
    EXPECT_EQ(c->table[InverseIndex(250, 10, 10)], 0);
    EXPECT_EQ(c->table[InverseIndex(10, 200, 30)], 1);
    EXPECT_EQ(c->table[InverseIndex(0, 0, 255)], 2);
    c->Release();
}

TEST(MovieBitBuffer, NativeBitmapLayout)
{
    NativeBitmap nb;
    ASSERT_TRUE(nb.Create(101, 10, 24, 6));
    EXPECT_EQ(nb.width, 104);
    EXPECT_EQ(nb.rowBytes, 312);
    EXPECT_EQ(nb.header.sizeImage, 3120u);
    EXPECT_EQ(nb.header.height, 10);
    EXPECT_EQ(nb.header.clrUsed, 0u);
    ASSERT_TRUE(nb.Create(5, 5, 8, 3));
    EXPECT_EQ(nb.header.clrUsed, 256u);

    CBitBuffer buf;
    ASSERT_TRUE(buf.Create(32, 50, 20));
    EXPECT_TRUE(buf.HasBits());
    PixelTarget t = buf.Target();
    EXPECT_EQ(t.format, 7);
    EXPECT_TRUE(t.bottomUp);
    EXPECT_EQ(t.width, 52);
    // Row 0 of the picture is the last row in memory.
    EXPECT_EQ(t.Row(0), buf.Bitmap()->bits + 19 * t.rowBytes);
    // Drawing a rectangle through the rasteriser lands upside down in memory.
    Rasteriser r;
    r.Attach(t, 0, 0, 50, 20, false);
    r.BeginFrame();
    FillRecord* f = r.NewSolidFill(Rgba(255, 0, 0));
    Shape s;
    s.Rect(0, 0, 4, 1, f);
    r.AddEdges(s.Edges(), f, nullptr);
    r.Paint();
    r.EndFrame();
    uint32_t first;
    std::memcpy(&first, buf.Bitmap()->bits + 19 * t.rowBytes, 4);
    EXPECT_EQ(first, Argb(255, 0, 0));
    buf.FreeBits();
    EXPECT_FALSE(buf.HasBits());

    const uint32_t pal[2] = {0x000000, 0xFFFFFF};
    CBitBuffer p8;
    ASSERT_TRUE(p8.Create(8, 10, 10, pal, 2));
    EXPECT_EQ(p8.Target().format, 3);
    ASSERT_NE(p8.Inverse(), nullptr);
    CBitBuffer low;
    ASSERT_TRUE(low.Create(4, 10, 10, pal, 2));  // below 8 bits: drawn through 8 bits
    EXPECT_EQ(low.Target().format, 3);
    CBitBuffer bad;
    EXPECT_FALSE(bad.Create(32, 0, 10));
}

TEST(MovieRaster, PaletteAnd16BitTargets)
{
    // The same scene on 8-, 16- and 24-bit targets: solid fills come out in
    // the nearest colours of each format.
    uint32_t pal[256];
    for (int i = 0; i < 256; ++i) pal[i] = uint32_t((i & 7) * 36) << 16 | uint32_t(((i >> 3) & 7) * 36) << 8 | uint32_t((i >> 6) * 85);
    for (int depth : {8, 16, 24}) {
        CBitBuffer buf;
        ASSERT_TRUE(buf.Create(depth, 16, 8, pal, 256));
        PixelTarget t = buf.Target();
        Rasteriser r;
        r.solidColorMode = 0;
        r.Attach(t, 0, 0, 16, 8, false);
        r.BeginFrame();
        FillRecord* f = r.NewSolidFill(Rgba(252, 0, 255));
        Shape s;
        s.Rect(2, 2, 10, 6, f);
        r.AddEdges(s.Edges(), f, nullptr);
        r.Paint();
        r.EndFrame();
        ColorRecord c;
        ReaderForFormat(t.format)(t, 3, 4, 5, &c);
        EXPECT_NEAR(RecRed(c), 252, 8) << depth;
        EXPECT_NEAR(RecGreen(c), 0, 8) << depth;
        EXPECT_NEAR(RecBlue(c), 255, 8) << depth;
        if (depth > 8) {
            ReaderForFormat(t.format)(t, 0, 0, 1, &c);
            EXPECT_EQ(c, MakeRecord(255, 255, 255, 255)) << depth;  // untouched white
        }
    }
}

TEST(MovieRaster, HighlightPatternsAndPaletteMixing)
{
    // Highlight mode 1: the 0xA5A5 pattern of white (set bits) and black.
    Image img(8, 4);
    Rasteriser r;
    r.Attach(img.Target(), 0, 0, 8, 4, false);
    r.BeginFrame();
    FillRecord* f = r.NewSolidFill(Rgba(10, 200, 30));
    f->highlight = 1;
    Shape s;
    s.Rect(0, 0, 8, 4, f);
    r.AddEdges(s.Edges(), f, nullptr);
    r.Paint();
    r.EndFrame();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool set = (0xA5A5 >> (15 - (4 * y + (x & 3)))) & 1;
            EXPECT_EQ(img.At(x, y), set ? Argb(255, 255, 255) : Argb(0, 0, 0)) << x << "," << y;
        }

    // On a black-and-white palette a mid grey mixes the two colours.
    const uint32_t bw[2] = {0x000000, 0xFFFFFF};
    CBitBuffer buf;
    ASSERT_TRUE(buf.Create(8, 8, 8, bw, 2));
    Rasteriser p;
    p.solidColorMode = 1;
    p.Attach(buf.Target(), 0, 0, 8, 8, false);
    p.BeginFrame();
    FillRecord* grey = p.NewSolidFill(Rgba(100, 100, 100));
    Shape g;
    g.Rect(0, 0, 8, 8, grey);
    p.AddEdges(g.Edges(), grey, nullptr);
    p.Paint();
    p.EndFrame();
    int white = 0;
    const PixelTarget t = buf.Target();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) white += t.Row(y)[x];
    EXPECT_GT(white, 8);
    EXPECT_LT(white, 56);
}
