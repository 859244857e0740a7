// Brush fills: the row-at-a-time fill of solid brushes against the
// pixel-by-pixel reference, on colour and monochrome surfaces, with clips.
#include "model/display/gdi.h"

#include <gtest/gtest.h>

#include <QImage>

#include <random>

TEST(DisplayFill, SolidFillMatchesTheReference)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-20, 80);
    for (int round = 0; round < 200; ++round) {
        QImage a(64, 48, QImage::Format_RGB32), b(64, 48, QImage::Format_RGB32);
        a.fill(0xFF123456);
        b.fill(0xFF123456);
        CDC fast, slow;
        fast.AttachSurface(&a);
        slow.AttachSurface(&b);
        if (round % 3 == 0) {
            const CRect clip(coord(rng) & 31, coord(rng) & 31, 40, 40);
            fast.SelectClipRect(&clip);
            slow.SelectClipRect(&clip);
        }
        const CBrush brush(COLORREF(rng() & 0xFFFFFF));
        CRect r(coord(rng), coord(rng), coord(rng), coord(rng));
        r.NormalizeRect();
        fast.FillDeviceRect(r, brush);
        slow.FillDeviceRectReference(r, brush);
        ASSERT_EQ(a, b) << "round " << round;
    }
}

TEST(DisplayFill, MonochromeSolidFillMatchesTheReference)
{
    CBitmap fastBits, slowBits;
    ASSERT_TRUE(fastBits.CreateBitmap(32, 16, 1, 1));
    ASSERT_TRUE(slowBits.CreateBitmap(32, 16, 1, 1));
    CDC fast, slow;
    ASSERT_TRUE(fast.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(slow.CreateCompatibleDC(nullptr));
    fast.SelectObject(&fastBits);
    slow.SelectObject(&slowBits);
    for (COLORREF c : {COLORREF(0x000000), COLORREF(0xFFFFFF), COLORREF(0x808080), COLORREF(0x00FF00)}) {
        fast.FillDeviceRect(CRect(3, 2, 29, 14), CBrush(c));
        slow.FillDeviceRectReference(CRect(3, 2, 29, 14), CBrush(c));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) ASSERT_EQ(fast.GetPixel(x, y), slow.GetPixel(x, y)) << x << "," << y;
    }
}
