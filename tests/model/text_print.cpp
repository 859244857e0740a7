// A label printed through the drawing layer: its picture and its redraw on
// the printer both take the twips branch of rich-text layout.
#include <gtest/gtest.h>

#include "model/display/render.h"
#include "model/text/textlabel.h"
#include "tests/model/display_support.h"
#include "text_qtapp.h"

using TextPrintPage = DisplayTest;

TEST_F(TextPrintPage, SelectedLabelPrintsWithItsTextAndWiderBackground)
{
    EnsureTextGuiApp();
    CTextLabel label(nullptr, CPoint(100, 50), nullptr);  // 140 x 22
    const COLORREF paleYellow = 0x80FFFF;
    label.background = paleYellow;
    label.m_bSelected = 1;
    CImageView page(400, 400);
    CDC printer;
    printer.AttachSurface(&page.Image());
    printer.SetPrinting(true);
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 20, 400, 400);
    CDisplay::PrintPart(&printer, &info, &label, 0, "");
    // The picture is the label inflated by 8: 156 x 38 at
    // x = (400 - 156) / 2 = 122, y = 20 + 90 = 110; the label at (130, 118).
    EXPECT_EQ(page.Pixel(130, 118), paleYellow);
    EXPECT_EQ(page.Pixel(129, 117), paleYellow);  // one pixel more, selected
    EXPECT_EQ(page.Pixel(128, 116), kWhite);
    int ink = 0, outside = 0;
    for (int y = 100; y < 160; ++y)
        for (int x = 110; x < 290; ++x) {
            const COLORREF c = page.Pixel(x, y);
            const int grey = (int(c & 0xFF) * 11 + int((c >> 8) & 0xFF) * 16 + int((c >> 16) & 0xFF) * 5) / 32;
            if (grey >= 128) continue;
            if (x >= 130 && x < 270 && y >= 118 && y < 140) ++ink;
            else ++outside;
        }
    EXPECT_GT(ink, 20);  // "Text"
    EXPECT_EQ(outside, 0);
    EXPECT_FALSE(CDisplay::IsPrinting());
}
