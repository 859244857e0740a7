#include <gtest/gtest.h>

#include "model/display/bitmap256.h"
#include "model/display/render.h"
#include "model/parts/part.h"
#include "tests/model/display_support.h"

namespace {

constexpr COLORREF kInk = ColourRGB(0, 0, 0x80);

class CInkPart : public CPart {
public:
    explicit CInkPart(const CRect& r) { m_rect = r; }
    int Draw(DWORD) override
    {
        CDisplay::FillRectColour(m_rect, kInk);
        return 1;
    }
};

using DisplayRender = DisplayTest;

TEST_F(DisplayRender, PartIntoBitmapWithMarginAndCopyColours)
{
    CInkPart part(CRect(100, 50, 120, 60));
    CBitmap bitmap;
    const CRect r = RenderPartToBitmap(bitmap, &part, 0, false, false, nullptr);
    EXPECT_EQ(r, CRect(92, 42, 128, 68));
    EXPECT_EQ(bitmap.GetSize(), CSize(36, 26));
    EXPECT_EQ(part.m_rect, CRect(100, 50, 120, 60));
    // Scheme colour 0 (screen ink) becomes scheme colour 1 in copies.
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(8, 8)), GetSchemeColour(1));
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(7, 8)), kWhite);
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(27, 17)), GetSchemeColour(1));
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(28, 18)), kWhite);
    CBitmap kept;
    RenderPartToBitmap(kept, &part, 0, false, true, nullptr);
    EXPECT_EQ(ColourOf(kept.Image().pixel(8, 8)), kInk);
    EXPECT_TRUE(CDisplay::IsIdle());
}

TEST_F(DisplayRender, PrintPartCentresAndAdvances)
{
    CImageView page(400, 400);
    CDC printer;
    printer.AttachSurface(&page.Image());
    printer.SetPrinting(true);
    CInkPart part(CRect(100, 50, 120, 60));
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 20, 400, 400);
    CDisplay::PrintPart(&printer, &info, &part, 0, "");
    // The 36 x 26 picture at x = (400 - 36) / 2 = 182, y = 20 + 90 = 110;
    // the part over it at its place in the picture.
    EXPECT_EQ(page.Pixel(182 + 8, 110 + 8), kInk);
    EXPECT_EQ(page.Pixel(182 + 7, 110 + 8), kWhite);
    EXPECT_EQ(page.Pixel(182 + 27, 110 + 17), kInk);
    EXPECT_EQ(info.m_rectDraw.top, 20 + 26 + 120);
    EXPECT_FALSE(CDisplay::IsPrinting());
    EXPECT_EQ(part.m_rect, CRect(100, 50, 120, 60));
}

TEST_F(DisplayRender, ComposeIcons)
{
    CBitmap source;
    source.CreateBitmap(10, 32, 1, 32);
    source.Image().fill(PixelOf(ColourRGB(1, 2, 3)));
    CBitmap both, left, none;
    ASSERT_TRUE(ComposeIconBitmap(source, both, 457, 418));
    EXPECT_EQ(both.GetSize(), CSize(74, 32));
    CBitmap256 del, back;
    ASSERT_TRUE(del.LoadBitmap256(457));
    ASSERT_TRUE(back.LoadBitmap256(418));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(both.Image().pixel(x, y), del.Image().pixel(x, y));
            EXPECT_EQ(both.Image().pixel(42 + x, y), back.Image().pixel(x, y));
        }
    EXPECT_EQ(ColourOf(both.Image().pixel(32, 5)), ColourRGB(1, 2, 3));
    ASSERT_TRUE(ComposeIconBitmap(source, left, 0, 418));
    EXPECT_EQ(left.GetSize(), CSize(42, 32));
    EXPECT_EQ(ColourOf(left.Image().pixel(0, 5)), ColourRGB(1, 2, 3));
    EXPECT_FALSE(ComposeIconBitmap(source, none, 0, 8999));
}

TEST_F(DisplayRender, SharedBitmapsLoadByIdOrThrow)
{
    CDisplay::LoadSharedBitmap(7, 203);
    EXPECT_EQ(GetSharedBitmap(7)->GetSize(), CSize(200, 40));
    EXPECT_THROW(CDisplay::LoadSharedBitmap(7, 8999), CResourceException);
    EXPECT_THROW(CDisplay::LoadSharedBitmap(kSharedBitmapSlots, 203), CResourceException);
    GetSharedBitmap(7)->DeleteObject();
}

} // namespace
