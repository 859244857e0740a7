#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "model/display/fonts.h"
#include "tests/model/display_support.h"

namespace {

class DisplayText : public DisplayTest {
protected:
    void SetUp() override
    {
        if (!EnsureGuiApp() || !LoadDrawingFaces()) GTEST_SKIP() << "no GUI application or Liberation fonts";
        DisplayTest::SetUp();
    }
};

// Advance width of a text at a pixel size measured straight with FreeType
// (hinted, whole pixels per glyph), independent of Qt.
int FreeTypeAdvance(const char* text, int ppem)
{
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) return -1;
    FT_Face face;
    if (FT_New_Face(lib, "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", 0, &face)) {
        FT_Done_FreeType(lib);
        return -1;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
    int width = 0;
    for (const char* p = text; *p; ++p) {
        FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO);
        width += static_cast<int>(face->glyph->advance.x >> 6);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return width;
}

TEST_F(DisplayText, CellHeightToPixelsPerEm)
{
    // 2048 / 2288 of the cell height, rounded: Arial's (and Liberation
    // Sans's) ascent 1854 + descent 434 on a 2048 em.
    EXPECT_EQ(PixelsPerEmForCellHeight(16), 14);
    EXPECT_EQ(PixelsPerEmForCellHeight(14), 13);
    EXPECT_EQ(PixelsPerEmForCellHeight(12), 11);
    EXPECT_EQ(PixelsPerEmForCellHeight(-12), 12);
}

TEST_F(DisplayText, ExtentsAgreeWithFreeType)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    for (int height : {8, 10, 12, 14, 16, 20, 24}) {
        CFont font;
        font.CreateFont(height);
        dc.SelectObject(&font);
        for (const char* text : {"888gMV", "Resistor 10k", "Wij"}) {
            const int ft = FreeTypeAdvance(text, PixelsPerEmForCellHeight(height));
            ASSERT_GE(ft, 0);
            EXPECT_EQ(dc.GetTextExtent(text).cx, ft) << text << " at " << height;
        }
        dc.SelectObject(static_cast<CFont*>(nullptr));
    }
}

TEST_F(DisplayText, FittingFontIsTallestThatFits)
{
    CImageView view(10, 10);
    CDC* dc = view.GetDC();
    CFont font;
    int created = 0;
    const int h = CDisplay::CreateFittingFont(dc, font, created, "Default Tesk Font", 0, 0, false);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(font.Face(), "Arial");
    // The chosen height measures narrower than 41 and lower than 14; one
    // pixel taller does not.
    auto fits = [&](int height) {
        CFont f;
        f.CreateFont(height, 400, false, false, "Arial");
        dc->SelectObject(&f);
        const CSize ext = dc->GetTextExtent("888gMV");
        dc->SelectObject(static_cast<CFont*>(nullptr));
        return ext.cx < 41 && ext.cy < 14;
    };
    EXPECT_TRUE(fits(h));
    EXPECT_FALSE(fits(h + 1));
    EXPECT_LE(h, 16);
    EXPECT_GE(h, 7);
    view.ReleaseDC(dc);
}

TEST_F(DisplayText, FittingFontFallsBackToSeven)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont font;
    int created = 0;
    EXPECT_EQ(CDisplay::CreateFittingFont(&dc, font, created, "Arial", 3, 3, false), 7);
    EXPECT_EQ(font.Height(), 7);
}

TEST_F(DisplayText, ScreenFontMadeByFirstViewScope)
{
    CImageView view(200, 40);
    CDisplay display(&view);
    EXPECT_GE(CDisplay::GetScreenFontHeight(), 7);
    ASSERT_NE(GetDefaultFont(), nullptr);
    EXPECT_GT(CDisplay::GetTextMetrics().tmHeight, 0);
}

TEST_F(DisplayText, LimitMeasuresWithoutDrawing)
{
    CImageView view(200, 40);
    CDisplay display(&view);
    const CString text = "Voltmeter";
    const int width = CDisplay::GetTextExtent(text).cx;
    ASSERT_GT(width, 10);
    // A rect wider than the text: no squeeze; too wide exactly when
    // width >= limit + rect width.
    const CRect rect(10, 10, 10 + width + 3, 30);
    const QImage before = view.Image().copy();
    EXPECT_EQ(CDisplay::DrawText(text, rect, 10, 10, TA_LEFT, nullptr, 0, kBlack, -3), 0);
    EXPECT_EQ(CDisplay::DrawText(text, rect, 10, 10, TA_LEFT, nullptr, 0, kBlack, -2), 1);
    // A narrower rect squeezes the spacing by one pixel per character
    // first, so the text measures `length` pixels narrower.
    const CRect narrow(10, 10, 10 + width - 4, 30);
    const int squeezed = width - text.GetLength();
    EXPECT_EQ(CDisplay::DrawText(text, narrow, 10, 10, TA_LEFT, nullptr, 0, kBlack, squeezed - narrow.Width()), 0);
    EXPECT_EQ(CDisplay::DrawText(text, narrow, 10, 10, TA_LEFT, nullptr, 0, kBlack, squeezed - narrow.Width() + 1), 1);
    // Flag bit 1 turns the squeeze off.
    EXPECT_EQ(CDisplay::DrawText(text, narrow, 10, 10, TA_LEFT, nullptr, 2, kBlack, squeezed - narrow.Width() + 1), 0);
    EXPECT_EQ(view.Image(), before);
    EXPECT_EQ(CDisplay::DrawText(text, rect, 10, 10, TA_LEFT, nullptr, 0, kBlack, -1), 1);
    EXPECT_NE(view.Image(), before);
}

TEST_F(DisplayText, TextDrawsInsideItsOpaqueRect)
{
    CImageView view(200, 40, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    const CRect rect(10, 10, 120, 30);
    CDisplay::DrawText("Hello", rect, 12, 12, TA_LEFT, nullptr, 0, ColourRGB(255, 0, 0), -1);
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = view.Pixel(x, y);
            if (!rect.PtInRect({x, y})) EXPECT_EQ(c, ColourRGB(0, 255, 0)) << x << "," << y;
            else if (c == ColourRGB(255, 0, 0)) ++red;
            else EXPECT_EQ(c, kWhite) << x << "," << y;   // not antialiased
        }
    EXPECT_GT(red, 20);
}

} // namespace

namespace {

TEST_F(DisplayText, ZoomFontMeasuredAtDoubleSize)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont plain, zoomed;
    int created = 0;
    const int h1 = CDisplay::CreateFittingFont(&dc, plain, created, "Default Tesk Font", 0, 0, false);
    const int h2 = CDisplay::CreateFittingFont(&dc, zoomed, created, "Default Tesk Font", 0, 0, true);
    EXPECT_EQ(dc.GetScale(), 1);
    // Both fit the same logical box; their heights stay within a pixel.
    EXPECT_LE(std::abs(h1 - h2), 1);
    dc.SetScale(2);
    dc.SelectObject(&zoomed);
    const CSize ext = dc.GetTextExtent("888gMV");
    EXPECT_LT(ext.cx, 41);
    EXPECT_LT(ext.cy, 14);
    dc.SelectObject(static_cast<CFont*>(nullptr));
}

TEST_F(DisplayText, WordBreakDrawsInTheRect)
{
    CImageView view(120, 80, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    const CRect rect(10, 10, 60, 70);
    EXPECT_EQ(CDisplay::DrawText("many short words wrap here", rect, 0, 0, 0, nullptr, 1, kBlack, -1), 1);
    int below = 0, outside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            if (view.Pixel(x, y) != kBlack) continue;
            if (!rect.PtInRect({x, y})) ++outside;
            else if (y > 30) ++below;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(below, 0);   // more than one line
}

} // namespace
