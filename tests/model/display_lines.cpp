#include <gtest/gtest.h>

#include <random>

#include "model/display/line_raster.h"
#include "tests/model/display_support.h"

namespace {

TEST(DisplayLineRaster, FastPathMatchesReference)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> d(-40, 40);
    for (int i = 0; i < 5000; ++i) {
        const int x1 = d(rng), y1 = d(rng), x2 = d(rng), y2 = d(rng);
        std::vector<CPoint> fast;
        RasterLine(x1, y1, x2, y2, [&](int x, int y, int) { fast.push_back({x, y}); });
        ASSERT_EQ(fast, RasterLineReference(x1, y1, x2, y2)) << x1 << "," << y1 << " -> " << x2 << "," << y2;
    }
}

TEST(DisplayLineRaster, RuleByHand)
{
    // Start included, end left out, one pixel per step of the longer axis.
    EXPECT_EQ(RasterLineReference(0, 0, 4, 0), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(RasterLineReference(0, 0, 3, 3), (std::vector<CPoint>{{0, 0}, {1, 1}, {2, 2}}));
    // Exact halves round towards the end point.
    EXPECT_EQ(RasterLineReference(0, 0, 2, 1), (std::vector<CPoint>{{0, 0}, {1, 1}}));
    EXPECT_EQ(RasterLineReference(0, 0, 4, 1), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_TRUE(RasterLineReference(5, 5, 5, 5).empty());
}

using DisplayLines = DisplayTest;

TEST_F(DisplayLines, LineLeavesOutItsLastPixel)
{
    CImageView view(20, 10);
    CDisplay display(&view);
    CDisplay::DrawLine(2, 3, 8, 3, kBlack, PS_SOLID, 1);
    EXPECT_EQ(Row(view, 3, 0, 10), "..######..");
    CDisplay::DrawLine(12, 8, 12, 2, kBlack, PS_SOLID, 1);
    EXPECT_EQ(Column(view, 12, 0, 10), "...######.");
}

TEST_F(DisplayLines, ZeroLengthLineIsOnePixel)
{
    CImageView view(10, 10);
    CDisplay display(&view);
    CDisplay::DrawLine(4, 4, 4, 4, ColourRGB(255, 0, 0), PS_SOLID, 1);
    EXPECT_EQ(view.Pixel(4, 4), ColourRGB(255, 0, 0));
    EXPECT_EQ(view.Pixel(5, 4), kWhite);
    EXPECT_EQ(view.Pixel(3, 4), kWhite);
}

TEST_F(DisplayLines, DashedPensPaintGapsWhite)
{
    CImageView view(60, 6, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    // Dash: 18 on, 6 off; dot: 3 on, 3 off; the gaps are opaque white.
    CDisplay::DrawLine(0, 1, 50, 1, kBlack, PS_DASH, 1);
    CDisplay::DrawLine(0, 3, 14, 3, kBlack, PS_DOT, 1);
    EXPECT_EQ(Row(view, 1, 0, 51), std::string(18, '#') + "......" + std::string(18, '#') + "......" + "##?");
    EXPECT_EQ(Row(view, 3, 0, 15), "###...###...##?");
}

TEST_F(DisplayLines, DrawDashedLineLengths)
{
    CImageView view(40, 10);
    CDisplay display(&view);
    DrawDashedLine(0, 1, 30, 1, 0, 1);   // dash and gap 6
    DrawDashedLine(0, 3, 12, 3, 0, 2);   // dash and gap 2
    DrawDashedLine(0, 4, 6, 10, 0, 2);   // exact diagonal: 1
    EXPECT_EQ(Row(view, 1, 0, 31), "######......######......######.");
    EXPECT_EQ(Row(view, 3, 0, 13), "##..##..##..." );
    std::string diag;
    for (int i = 0; i < 6; ++i) diag += view.Pixel(i, 4 + i) == kBlack ? '#' : '.';
    EXPECT_EQ(diag, "#.#.#.");
}

TEST_F(DisplayLines, XorLineDrawnTwiceErases)
{
    CImageView view(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) view.Image().setPixel(x, y, PixelOf(ColourRGB(x * 8, y * 8, 77)));
    const QImage before = view.Image().copy();
    CDisplay display(&view);
    DrawXorLine(2, 3, 27, 19, 0);
    EXPECT_NE(view.Image(), before);
    // With the black rubber-band pen NOTXOR inverts what is there.
    const COLORREF under = ColourOf(before.pixel(2, 3));
    EXPECT_EQ(view.Pixel(2, 3), (~under) & 0xFFFFFF);
    DrawXorLine(2, 3, 27, 19, 0);
    EXPECT_EQ(view.Image(), before);
    DrawXorLine(1, 1, 25, 1, 2);
    DrawXorLine(1, 1, 25, 1, 2);
    EXPECT_EQ(view.Image(), before);
}

TEST_F(DisplayLines, ZoomCompensationShortensAndShifts)
{
    CImageView view(20, 20);
    CDisplay display(&view);
    CDisplay::SetZoomWord(1);
    CDisplay::DrawLine(2, 5, 8, 5, kBlack, PS_SOLID, 1);
    // Shifted by one pixel on both axes and one pixel shorter.
    EXPECT_EQ(Row(view, 6, 0, 10), "...#####..");
    EXPECT_EQ(Row(view, 5, 0, 10), "..........");
    CDisplay::SetZoomLineCompensation(0);
    CDisplay::DrawLine(2, 10, 8, 10, kBlack, PS_SOLID, 1);
    EXPECT_EQ(Row(view, 10, 0, 10), "..######..");
    CDisplay::SetZoomWord(0);
}

TEST_F(DisplayLines, ZoomCompensationNotOnPrinter)
{
    CImageView view(20, 20);
    CDC printer;
    printer.AttachSurface(&view.Image());
    printer.SetPrinting(true);
    CDisplay display(&printer, nullptr);
    EXPECT_TRUE(CDisplay::IsPrinting());
    CDisplay::SetZoomWord(1);
    CDisplay::DrawLine(2, 5, 8, 5, kBlack, PS_SOLID, 1);
    EXPECT_EQ(Row(view, 5, 0, 10), "..######..");
    CDisplay::SetZoomWord(0);
}

TEST_F(DisplayLines, FrameSecondColour)
{
    const COLORREF red = ColourRGB(255, 0, 0);
    CImageView view(12, 12);
    {
        CDisplay display(&view);
        CDisplay::DrawFrame({2, 2}, {8, 8}, red, 0, 1, kSameColour);
    }
    // All four sides in the first colour, each corner painted once.
    EXPECT_EQ(Row(view, 2, 0, 10, red), "..#######.");
    EXPECT_EQ(Row(view, 8, 0, 10, red), "..#######.");
    EXPECT_EQ(Column(view, 2, 0, 10, red), "..#######.");
    EXPECT_EQ(Column(view, 8, 0, 10, red), "..#######.");
    CImageView two(12, 12);
    {
        CDisplay display(&two);
        CDisplay::DrawFrame({2, 2}, {8, 8}, red, 0, 1, kBlack);
    }
    EXPECT_EQ(two.Pixel(2, 5), red);    // left
    EXPECT_EQ(two.Pixel(5, 2), red);    // top
    EXPECT_EQ(two.Pixel(8, 5), kBlack); // right
    EXPECT_EQ(two.Pixel(5, 8), kBlack); // bottom
}

TEST_F(DisplayLines, WideFrameBarsLieOutside)
{
    const COLORREF blue = ColourRGB(0, 0, 255);
    CImageView view(20, 20);
    CDisplay display(&view);
    CDisplay::DrawFrame({5, 5}, {12, 12}, blue, 255, 3);
    EXPECT_EQ(Row(view, 8, 0, 17, blue), "..###.......###..");
    EXPECT_EQ(Column(view, 8, 0, 17, blue), "..###.......###..");
}

TEST_F(DisplayLines, HatchedSelectionFrame)
{
    const COLORREF grey = ColourRGB(100, 100, 100);
    CImageView view(20, 20, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    CDisplay::FrameRectHatched(CRect(0, 0, 16, 16), nullptr, grey);
    // One pixel frame in the colour, with white where the forward diagonal
    // hatch (x - y divisible by 8) crosses it; the inside is untouched.
    for (int x = 0; x < 16; ++x) EXPECT_EQ(view.Pixel(x, 0), (x % 8 == 0) ? kWhite : grey) << x;
    for (int y = 1; y < 15; ++y) EXPECT_EQ(view.Pixel(15, y), ((15 - y) % 8 == 0) ? kWhite : grey) << y;
    EXPECT_EQ(view.Pixel(5, 5), ColourRGB(0, 255, 0));
    EXPECT_EQ(view.Pixel(16, 0), ColourRGB(0, 255, 0));
}

TEST_F(DisplayLines, InvertRectTwiceRestores)
{
    CImageView view(10, 10, ColourRGB(12, 34, 56));
    CDisplay display(&view);
    CDisplay::InvertRect(CRect(2, 2, 6, 6));
    EXPECT_EQ(view.Pixel(2, 2), ColourRGB(243, 221, 199));
    EXPECT_EQ(view.Pixel(6, 6), ColourRGB(12, 34, 56));
    CDisplay::InvertRect(CRect(2, 2, 6, 6));
    EXPECT_EQ(view.Pixel(2, 2), ColourRGB(12, 34, 56));
}

TEST_F(DisplayLines, CircleRadiusFromSize)
{
    CImageView view(30, 30, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    // size 50: radius sqrt(100) = 10, filled white inside a black outline.
    CDisplay::DrawCircle({15, 15}, 50, 0, 1, kBlack);
    EXPECT_EQ(view.Pixel(15, 15), kWhite);
    EXPECT_EQ(view.Pixel(5, 15), kBlack);
    EXPECT_EQ(view.Pixel(4, 15), ColourRGB(0, 255, 0));
    EXPECT_EQ(view.Pixel(15, 5), kBlack);
}

using DisplayScopes = DisplayTest;

TEST_F(DisplayScopes, NestedScopesShareOneDC)
{
    CImageView view(10, 10);
    EXPECT_TRUE(CDisplay::IsIdle());
    {
        CDisplay outer(&view);
        CDC* dc = CDisplay::GetCurrentDC();
        ASSERT_NE(dc, nullptr);
        EXPECT_FALSE(CDisplay::IsIdle());
        {
            CDisplay inner(&view);
            EXPECT_EQ(CDisplay::GetCurrentDC(), dc);
            EXPECT_EQ(CDisplay::GetNesting(), 2);
        }
        EXPECT_EQ(CDisplay::GetCurrentDC(), dc);
        EXPECT_EQ(view.OpenDCs(), 1);
        CDisplay::DrawThinLine(0, 0, 3, 0);
    }
    EXPECT_TRUE(CDisplay::IsIdle());
    EXPECT_EQ(view.OpenDCs(), 0);
    EXPECT_EQ(Row(view, 0, 0, 5), "###..");
}

TEST_F(DisplayScopes, SuspendAndResume)
{
    CImageView view(10, 10);
    CDisplay display(&view);
    CDC* dc = CDisplay::GetCurrentDC();
    EXPECT_EQ(CDisplay::SuspendDrawing(), 0);
    EXPECT_EQ(CDisplay::GetCurrentDC(), nullptr);
    EXPECT_FALSE(CDisplay::IsIdle());
    CDisplay::DrawThinLine(0, 0, 5, 0);   // nothing while parked
    EXPECT_EQ(Row(view, 0, 0, 5), ".....");
    EXPECT_EQ(CDisplay::ResumeDrawing(), dc);
    EXPECT_EQ(CDisplay::ResumeDrawing(), nullptr);
    CDisplay::DrawThinLine(0, 0, 5, 0);
    EXPECT_EQ(Row(view, 0, 0, 5), "#####");
}

TEST_F(DisplayScopes, ViewWithoutDCThrows)
{
    CImageView view(10, 10);
    view.m_failGetDC = true;
    EXPECT_THROW(CDisplay display(&view), CResourceException);
    EXPECT_TRUE(CDisplay::IsIdle());
    EXPECT_EQ(CDisplay::GetNesting(), 0);
}

TEST_F(DisplayScopes, OperationsWithoutDCDoNothing)
{
    CDisplay::DrawThinLine(0, 0, 5, 5);
    CDisplay::EraseRect(CRect(0, 0, 5, 5));
    EXPECT_EQ(CDisplay::BeginBuffer(CRect(0, 0, 5, 5)), 0);
    EXPECT_EQ(CDisplay::DrawText("x", CRect(0, 0, 5, 5), 0, 0, 0, nullptr, 0, kBlack, -1), 1);
}

TEST_F(DisplayScopes, EndBufferLeavesOuterRing)
{
    CImageView view(20, 20, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    const CRect rect(4, 4, 14, 12);
    ASSERT_EQ(CDisplay::BeginBuffer(rect), 1);
    // Drawing goes to the buffer at coordinates relative to the rect.
    CDisplay::FillRectColour(CRect(0, 0, 10, 8), ColourRGB(255, 0, 0));
    EXPECT_EQ(view.Pixel(5, 5), ColourRGB(0, 255, 0));
    CDisplay::EndBuffer(rect, false);
    EXPECT_EQ(view.Pixel(4, 4), ColourRGB(0, 255, 0));
    EXPECT_EQ(view.Pixel(13, 8), ColourRGB(0, 255, 0));
    EXPECT_EQ(view.Pixel(5, 5), ColourRGB(255, 0, 0));
    EXPECT_EQ(view.Pixel(12, 10), ColourRGB(255, 0, 0));
    ASSERT_EQ(CDisplay::BeginBuffer(rect), 1);
    CDisplay::EndBuffer(rect, true);
    EXPECT_EQ(view.Pixel(4, 4), kWhite);
    EXPECT_EQ(view.Pixel(13, 11), kWhite);
    EXPECT_EQ(view.Pixel(14, 12), ColourRGB(0, 255, 0));
}

TEST_F(DisplayScopes, AnInvertedOrVastRectangleGetsNoBufferAndDrawsStraight)
{
    // Rectangles from a damaged file: no buffer (and no exception), and
    // drawing goes on to the view.
    CImageView view(20, 20, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    for (const CRect& r : {CRect(14, 4, 4, 12), CRect(4, 12, 14, 4), CRect(0, 0, 20000, 5)})
        EXPECT_EQ(CDisplay::BeginBuffer(r), 0);
    CDisplay::FillRectColour(CRect(1, 1, 3, 3), ColourRGB(255, 0, 0));
    EXPECT_EQ(view.Pixel(2, 2), ColourRGB(255, 0, 0));
}

TEST_F(DisplayScopes, ScrolledViewDrawsAtDesignCoordinates)
{
    CImageView view(20, 20);
    view.m_scroll = {100, 50};
    CDisplay display(&view);
    CDisplay::DrawThinLine(102, 53, 105, 53);
    EXPECT_EQ(Row(view, 3, 0, 6), "..###.");
}

} // namespace

namespace {

using DisplayMisc = DisplayTest;

TEST_F(DisplayMisc, PolygonFillsAlternate)
{
    CImageView view(20, 20, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    CBrush red(ColourRGB(255, 0, 0));
    const CPoint square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    FillPolygon(square, 4, &red);
    EXPECT_EQ(view.Pixel(7, 7), ColourRGB(255, 0, 0));
    EXPECT_EQ(view.Pixel(2, 7), kBlack);    // outlined with the default pen
    EXPECT_EQ(view.Pixel(15, 7), ColourRGB(0, 255, 0));
}

TEST_F(DisplayMisc, BlitMemoryBitmapAndPixelRead)
{
    CBitmap bitmap;
    bitmap.CreateBitmap(4, 3, 1, 32);
    bitmap.Image().fill(PixelOf(ColourRGB(9, 8, 7)));
    bitmap.Image().setPixel(1, 2, PixelOf(ColourRGB(200, 100, 50)));
    EXPECT_EQ(CDisplay::GetBitmapPixel(&bitmap, 1, 2), ColourRGB(200, 100, 50));
    CImageView view(20, 20);
    {
        CDisplay display(&view);
        CDisplay::BlitMemoryBitmap(&bitmap, CRect(5, 6, 9, 9), nullptr);
        EXPECT_EQ(CDisplay::GetBitmapPixel(&bitmap, 0, 0), ColourRGB(9, 8, 7));
    }
    EXPECT_EQ(view.Pixel(6, 8), ColourRGB(200, 100, 50));
    EXPECT_EQ(view.Pixel(5, 6), ColourRGB(9, 8, 7));
    EXPECT_EQ(view.Pixel(9, 6), kWhite);
    // Not on a printer.
    CImageView page(20, 20);
    CDC printer;
    printer.AttachSurface(&page.Image());
    printer.SetPrinting(true);
    CDisplay display(&printer, nullptr);
    CDisplay::BlitMemoryBitmap(&bitmap, CRect(5, 6, 9, 9), nullptr);
    EXPECT_EQ(page.Pixel(6, 8), kWhite);
}

TEST_F(DisplayMisc, EraseClipBoxAndPtVisible)
{
    CImageView view(10, 10, ColourRGB(1, 1, 1));
    CDisplay display(&view);
    CDisplay::GetCurrentDC()->IntersectClipRect(CRect(2, 2, 6, 6));
    EXPECT_TRUE(CDisplay::PtVisible({3, 3}));
    EXPECT_FALSE(CDisplay::PtVisible({7, 7}));
    EraseClipBox();
    EXPECT_EQ(view.Pixel(3, 3), kWhite);
    EXPECT_EQ(view.Pixel(7, 7), ColourRGB(1, 1, 1));
    CDisplay::GetCurrentDC()->SelectClipRect(nullptr);
}

} // namespace

namespace {

TEST_F(DisplayMisc, MemoryDCScopeInsideAViewScope)
{
    CImageView view(10, 10);
    CBitmap bitmap;
    bitmap.CreateBitmap(10, 10, 1, 32);
    bitmap.Image().fill(0xFFFFFFFFu);
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    mem.SelectObject(&bitmap);
    {
        CDisplay outer(&view);
        {
            CDisplay inner(&mem, nullptr);
            EXPECT_EQ(CDisplay::GetCurrentDC(), &mem);
            CDisplay::DrawThinLine(0, 1, 4, 1);
        }
        ASSERT_NE(CDisplay::GetCurrentDC(), nullptr);
        EXPECT_NE(CDisplay::GetCurrentDC(), &mem);
        CDisplay::DrawThinLine(0, 2, 4, 2);
    }
    EXPECT_TRUE(CDisplay::IsIdle());
    EXPECT_EQ(view.OpenDCs(), 0);
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(2, 1)), kBlack);
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(2, 2)), kWhite);
    EXPECT_EQ(view.Pixel(2, 2), kBlack);
    EXPECT_EQ(view.Pixel(2, 1), kWhite);
}

} // namespace
