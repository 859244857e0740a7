// Bitmap characters: lossless formats through zlib, JPEG through libjpeg,
// and the bounds every decoder keeps on untrusted sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <zlib.h>

#include "movieplayer/character/bitmap_decode.h"
#include "movieplayer/moviefile_jpeg.h"
#include "movieplayer/moviefile_writer.h"

using namespace moviefile_test;
using namespace movie;

namespace {

Bytes Deflate(const Bytes& raw)
{
    uLongf n = compressBound(uLong(raw.size()));
    Bytes out(n);
    EXPECT_EQ(compress(out.data(), &n, raw.data(), uLong(raw.size())), Z_OK);
    out.resize(n);
    return out;
}

Bytes LosslessBody(int format, int w, int h, const Bytes& raw, int tableEntries = 0)
{
    BitWriter b;
    b.UI8(format);
    b.UI16(w);
    b.UI16(h);
    if (format <= 3) b.UI8(tableEntries - 1);
    b.Append(Deflate(raw));
    return b.Take();
}


int Channel(uint32_t p, int shift) { return int((p >> shift) & 0xFF); }

}  // namespace

TEST(MovieBitmaps, ColourMappedWithAnIndexBeyondTheTable)
{
    // 3 x 2 pixels, two table entries, rows padded to 4 bytes; index 7 is
    // beyond the table and draws nothing.
    Bytes raw = {255, 0, 0, 0, 0, 255,   // table: red, blue
                 0, 1, 7, 0,             // row 0
                 1, 1, 0, 0};            // row 1
    Bytes body = LosslessBody(3, 3, 2, raw, 2);
    auto bm = DecodeLossless(body.data(), body.size(), false);
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(bm->width, 3);
    EXPECT_EQ(bm->At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bm->At(1, 0), 0xFF0000FFu);
    EXPECT_EQ(bm->At(2, 0), 0u);
    EXPECT_EQ(bm->At(0, 1), 0xFF0000FFu);
    // Once drawn, the pixels live in the rasteriser's record only.
    ASSERT_NE(bm->Record(), nullptr);
    EXPECT_TRUE(bm->pixels.empty());
    EXPECT_EQ(bm->record->format, kBitmap32);
    EXPECT_EQ(bm->At(1, 0), 0xFF0000FFu);
    EXPECT_EQ(bm->At(0, 1), 0xFF0000FFu);
}

TEST(MovieBitmaps, DirectColourFormats)
{
    // 16-bit big-endian 5-5-5: pure red, white.
    Bytes raw16 = {0x7C, 0x00, 0x7F, 0xFF};
    Bytes body = LosslessBody(4, 2, 1, raw16);
    auto bm = DecodeLossless(body.data(), body.size(), false);
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(bm->At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bm->At(1, 0), 0xFFFFFFFFu);

    // 32-bit alpha, red, green, blue; with alpha the colour never exceeds it.
    Bytes raw32 = {0x80, 0x80, 0x40, 0x00, 0x80, 0xFF, 0xFF, 0xFF};
    body = LosslessBody(5, 2, 1, raw32);
    auto withAlpha = DecodeLossless(body.data(), body.size(), true);
    ASSERT_NE(withAlpha, nullptr);
    EXPECT_TRUE(withAlpha->hasAlpha);
    EXPECT_EQ(withAlpha->At(0, 0), 0x80804000u);
    EXPECT_EQ(withAlpha->At(1, 0), 0x80808080u);
    auto opaque = DecodeLossless(body.data(), body.size(), false);
    EXPECT_EQ(opaque->At(0, 0), 0xFF804000u);
}

TEST(MovieBitmaps, SizesAreCheckedBeforeAllocating)
{
    struct Case {
        const char* what;
        int format, w, h;
    };
    for (Case c : {Case{"zero width", 5, 0, 10}, Case{"wide", 5, 65535, 65535}, Case{"tall", 3, 1, 9000},
                   Case{"format 9", 9, 4, 4}}) {
        Bytes body = LosslessBody(c.format, c.w, c.h, Bytes(64, 0), 1);
        EXPECT_EQ(DecodeLossless(body.data(), body.size(), false), nullptr) << c.what;
    }
    // Corrupt zlib data fails; a short stream leaves the rest transparent.
    Bytes corrupt = {5, 2, 0, 2, 0, 0x78, 0x9C, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(DecodeLossless(corrupt.data(), corrupt.size(), true), nullptr);
    Bytes body = LosslessBody(5, 2, 2, Bytes{0xFF, 1, 2, 3});
    auto shortData = DecodeLossless(body.data(), body.size(), true);
    ASSERT_NE(shortData, nullptr);
    EXPECT_EQ(shortData->At(0, 0), 0xFF010203u);
    EXPECT_EQ(shortData->At(1, 1), 0u);
}

TEST(MovieBitmaps, JpegDecodesAndBadJpegReturns)
{
    Bytes jpeg = EncodeFlatJpeg(16, 8, 200, 100, 50, 95);
    auto bm = DecodeJpeg(nullptr, 0, jpeg.data(), jpeg.size());
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(bm->width, 16);
    EXPECT_EQ(bm->height, 8);
    uint32_t p = bm->At(5, 5);
    EXPECT_NEAR(Channel(p, 16), 200, 3);
    EXPECT_NEAR(Channel(p, 8), 100, 3);
    EXPECT_NEAR(Channel(p, 0), 50, 3);
    EXPECT_EQ(p >> 24, 0xFFu);

    // A stray end-of-image marker before the image is tolerated.
    Bytes prefixed = {0xFF, 0xD9, 0xFF, 0xD8};
    prefixed.insert(prefixed.end(), jpeg.begin(), jpeg.end());
    EXPECT_NE(DecodeJpeg(nullptr, 0, prefixed.data(), prefixed.size()), nullptr);

    // Garbage and a truncated image fail or stop without ending the process.
    Bytes garbage(100, 0x5A);
    EXPECT_EQ(DecodeJpeg(nullptr, 0, garbage.data(), garbage.size()), nullptr);
    Bytes cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2));
    DecodeJpeg(nullptr, 0, cut.data(), cut.size());
}

TEST(MovieBitmaps, JpegWithAlphaPlane)
{
    Bytes jpeg = EncodeFlatJpeg(2, 1, 200, 200, 200, 95);
    BitWriter b;
    b.UI32(uint32_t(jpeg.size()));
    b.Append(jpeg);
    b.Append(Deflate(Bytes{0x40, 0xFF}));
    Bytes body = b.Take();
    auto bm = DecodeJpegWithAlpha(body.data(), body.size());
    ASSERT_NE(bm, nullptr);
    EXPECT_TRUE(bm->hasAlpha);
    EXPECT_EQ(bm->At(0, 0), 0x40404040u);   // colour lowered to the alpha
    EXPECT_EQ(bm->At(1, 0) >> 24, 0xFFu);
    // A JPEG length beyond the body is refused.
    body[0] = 0xFF;
    body[3] = 0x7F;
    EXPECT_EQ(DecodeJpegWithAlpha(body.data(), body.size()), nullptr);
}
