#include <gtest/gtest.h>

#include "tests/model/display_support.h"

namespace {

constexpr COLORREF kRed = ColourRGB(255, 0, 0);
constexpr COLORREF kGreen = ColourRGB(0, 255, 0);
constexpr COLORREF kBlue = ColourRGB(0, 0, 255);

struct MemoryBitmap {
    CBitmap bitmap;
    CDC dc;
    MemoryBitmap(int w, int h, int bits = 32)
    {
        bitmap.CreateBitmap(w, h, 1, bits);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
    COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
};

TEST(DisplayBlit, TruthTablesOfTheCommonOperations)
{
    struct Case {
        std::uint32_t rop;
        COLORREF src, dst, expect;
    };
    const COLORREF s = ColourRGB(0xF0, 0x0F, 0x55);
    const COLORREF d = ColourRGB(0x3C, 0xC3, 0xAA);
    const Case cases[] = {
        {SRCCOPY, s, d, s},
        {SRCAND, s, d, s & d},
        {SRCPAINT, s, d, s | d},
        {SRCINVERT, s, d, s ^ d},
        {NOTSRCCOPY, s, d, ~s & 0xFFFFFF},
        {DSTINVERT, s, d, ~d & 0xFFFFFF},
        {SRCERASE, s, d, s & ~d & 0xFFFFFF},
        {MERGEPAINT, s, d, (~s | d) & 0xFFFFFF},
        {BLACKNESS, s, d, 0},
        {WHITENESS, s, d, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        MemoryBitmap src(2, 2), dst(2, 2);
        src.dc.SetPixel(0, 0, c.src);
        dst.dc.SetPixel(0, 0, c.dst);
        dst.dc.BitBlt(0, 0, 1, 1, &src.dc, 0, 0, c.rop);
        EXPECT_EQ(dst.At(0, 0), c.expect) << std::hex << c.rop;
    }
}

TEST(DisplayBlit, MonochromeConversions)
{
    // Colour to monochrome: the source DC's background colour gives white.
    MemoryBitmap colour(3, 1), mono(3, 1, 1);
    colour.dc.SetPixel(0, 0, kRed);
    colour.dc.SetPixel(1, 0, kGreen);
    colour.dc.SetPixel(2, 0, kRed);
    colour.dc.SetBkColor(kRed);
    mono.dc.BitBlt(0, 0, 3, 1, &colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(mono.At(0, 0), kWhite);
    EXPECT_EQ(mono.At(1, 0), kBlack);
    EXPECT_EQ(mono.At(2, 0), kWhite);
    // Monochrome to colour: black takes the text colour, white the
    // background colour of the destination DC.
    MemoryBitmap out(3, 1);
    out.dc.SetTextColor(kBlue);
    out.dc.SetBkColor(kGreen);
    out.dc.BitBlt(0, 0, 3, 1, &mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.At(0, 0), kGreen);
    EXPECT_EQ(out.At(1, 0), kBlue);
    // A bitmap made compatible with a DC holding a monochrome bitmap is
    // monochrome too.
    CBitmap b;
    b.CreateCompatibleBitmap(&mono.dc, 4, 4);
    EXPECT_TRUE(b.IsMonochrome());
}

TEST(DisplayBlit, ReplaceColour)
{
    MemoryBitmap m(3, 1);
    m.dc.SetPixel(0, 0, kRed);
    m.dc.SetPixel(1, 0, kGreen);
    m.dc.SetPixel(2, 0, kRed);
    for (COLORREF to : {kBlue, kBlack, kWhite}) {
        MemoryBitmap c(3, 1);
        c.dc.BitBlt(0, 0, 3, 1, &m.dc, 0, 0, SRCCOPY);
        c.dc.SelectObject(static_cast<CBitmap*>(nullptr));
        ReplaceBitmapColour(c.bitmap, kRed, to);
        c.dc.SelectObject(&c.bitmap);
        EXPECT_EQ(c.At(0, 0), to);
        EXPECT_EQ(c.At(1, 0), kGreen);
        EXPECT_EQ(c.At(2, 0), to);
    }
    // The same colour twice: a silhouette, that colour white and the rest grey.
    ReplaceBitmapColour(m.bitmap, kRed, kRed);
    EXPECT_EQ(m.At(0, 0), kWhite);
    EXPECT_EQ(m.At(1, 0), ColourRGB(0x80, 0x80, 0x80));
}

TEST(DisplayBlit, StretchUnderDoubleZoom)
{
    CImageView view(20, 20);
    view.m_zoom = 2;
    CDC* dc = view.GetDC();
    view.OnPrepareDC(dc);
    MemoryBitmap src(2, 1);
    src.dc.SetPixel(0, 0, kRed);
    src.dc.SetPixel(1, 0, kBlue);
    dc->BitBlt(3, 3, 2, 1, &src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(view.Pixel(6, 6), kRed);
    EXPECT_EQ(view.Pixel(7, 7), kRed);
    EXPECT_EQ(view.Pixel(8, 6), kBlue);
    EXPECT_EQ(view.Pixel(9, 7), kBlue);
    EXPECT_EQ(view.Pixel(10, 6), kWhite);
    view.ReleaseDC(dc);
}

TEST(DisplayBlit, HatchBrushesAndBackgroundMode)
{
    MemoryBitmap m(8, 8);
    CBrush hatch(HS_CROSS, kRed);
    m.dc.SetBkColor(kBlue);
    m.dc.FillRect(CRect(0, 0, 8, 8), &hatch);
    EXPECT_EQ(m.At(7, 0), kRed);
    EXPECT_EQ(m.At(0, 7), kRed);
    EXPECT_EQ(m.At(3, 3), kBlue);
    m.dc.FillSolidRect(CRect(0, 0, 8, 8), kGreen);
    m.dc.SetBkMode(TRANSPARENT);
    m.dc.FillRect(CRect(0, 0, 8, 8), &hatch);
    EXPECT_EQ(m.At(3, 3), kGreen);
    EXPECT_EQ(m.At(3, 7), kRed);
}

TEST(DisplayBlit, ClippingLimitsEveryOperation)
{
    MemoryBitmap m(10, 10);
    m.dc.FillSolidRect(CRect(0, 0, 10, 10), kWhite);
    m.dc.IntersectClipRect(CRect(2, 2, 5, 5));
    EXPECT_EQ(m.dc.GetClipBox(), CRect(2, 2, 5, 5));
    m.dc.FillSolidRect(CRect(0, 0, 10, 10), kRed);
    CPen pen(PS_SOLID, 1, kBlue);
    m.dc.SelectObject(&pen);
    m.dc.MoveTo(0, 6);
    m.dc.LineTo(10, 6);
    m.dc.SelectClipRect(nullptr);
    EXPECT_EQ(m.At(2, 2), kRed);
    EXPECT_EQ(m.At(4, 4), kRed);
    EXPECT_EQ(m.At(5, 5), kWhite);
    EXPECT_EQ(m.At(1, 1), kWhite);
    EXPECT_EQ(m.At(3, 6), kWhite);
}

} // namespace

#include <random>

namespace {

TEST(DisplayBlit, FastRasterOpsMatchTheTruthTables)
{
    std::mt19937 rng(3);
    for (unsigned table = 0; table < 256; ++table)
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t p = rng() & 0xFFFFFF, s = rng() & 0xFFFFFF, d = rng() & 0xFFFFFF;
            ASSERT_EQ(RasterOp3(table, p, s, d), RasterOp3Reference(table, p, s, d)) << std::hex << table;
        }
}

} // namespace
