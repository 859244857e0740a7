#include "model/display/gdi.h"
#include "model/text/richtext.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

struct Ink {
    int count = 0;
    QRect box;
};

// Dark pixels of the image inside `area`.
Ink InkIn(const QImage& img, const QRect& area)
{
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                ++ink.count;
                ink.box |= QRect(x, y, 1, 1);
            }
    return ink;
}

QImage Paint(const CRTFData& block, const CRect& rect, uint32_t background = kNoBackground)
{
    QImage img(200, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    PaintRichText(p, block, cf, rect, background);
    p.end();
    return img;
}

CRTFData Rtf(const char* bytes)
{
    CRTFData d;
    d.mode = 2;
    d.buffer = bytes;
    return d;
}

}  // namespace

TEST(RichTextRender, LabelTextIsDrawnInsideItsRectangle)
{
    EnsureTextGuiApp();
    const QImage img = Paint(Rtf("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 Hello label}"), CRect(10, 10, 190, 50));
    EXPECT_GT(InkIn(img, QRect(10, 10, 180, 40)).count, 50);
    EXPECT_EQ(InkIn(img, QRect(0, 0, 200, 10)).count, 0);
    EXPECT_EQ(InkIn(img, QRect(0, 50, 200, 30)).count, 0);
    EXPECT_EQ(InkIn(img, QRect(0, 0, 10, 80)).count, 0);
}

TEST(RichTextRender, SizeAsStored)
{
    EnsureTextGuiApp();
    // Capital H of a 10-point and a 20-point font at 96 pixels per inch:
    // the em is 13.3 and 26.7 pixels, capitals about 0.7 of it.
    const Ink small = InkIn(Paint(Rtf("{\\rtf1\\fs20 HHH}"), CRect(0, 0, 200, 80)), QRect(0, 0, 200, 80));
    const Ink large = InkIn(Paint(Rtf("{\\rtf1\\fs40 HHH}"), CRect(0, 0, 200, 80)), QRect(0, 0, 200, 80));
    EXPECT_NEAR(small.box.height(), 9.5, 1.6);
    EXPECT_NEAR(large.box.height(), 19, 2.0);
    EXPECT_NEAR(double(large.box.width()) / small.box.width(), 2.0, 0.25);
}

TEST(RichTextRender, BackgroundUnlessWhiteAndTextWrapsToTheWidth)
{
    EnsureTextGuiApp();
    const CRTFData block = Rtf("{\\rtf1\\fs20 x}");
    const QImage blue = Paint(block, CRect(20, 20, 60, 40), 0xFF0000);
    EXPECT_EQ(QColor(blue.pixel(55, 35)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(blue.pixel(65, 35)), QColor(Qt::white));
    const QImage white = Paint(block, CRect(20, 20, 60, 40), 0xFFFFFF);
    EXPECT_EQ(QColor(white.pixel(55, 35)), QColor(Qt::white));

    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    const CRTFData words = Rtf("{\\rtf1\\fs20 one two three four five six}");
    EXPECT_GT(MeasureRichTextHeight(words, cf, 40), 2 * MeasureRichTextHeight(words, cf, 400));
}

TEST(RichTextRender, PlainTextBecomesRichTextInTheFormat)
{
    EnsureTextGuiApp();
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    cf.effects = kCfeBold;
    cf.height = 240;
    cf.mask |= kCfmSize;
    CRTFData out;
    RenderRichText(&out, "Type here", &cf);
    EXPECT_EQ(out.mode, 2);
    EXPECT_EQ(out.text, "Type here");
    RtfDocument d = ReadRtf(out.buffer, BaseFormatOf(cf));
    ASSERT_EQ(d.paragraphs.size(), 1u);
    EXPECT_TRUE(d.paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(d.paragraphs[0].runs[0].format.halfPoints, 24);
    // Read with the plain default format, the bytes still say bold, 12 points.
    RtfDocument plain = ReadRtf(out.buffer);
    EXPECT_TRUE(plain.paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(plain.paragraphs[0].runs[0].format.halfPoints, 24);
    CString text;
    GetPlainText(&text, out);
    EXPECT_EQ(text, "Type here");
}

TEST(RichTextRender, TextFontsForTheDrawingLayer)
{
    EnsureTextGuiApp();
    EXPECT_EQ(InitTextFonts(nullptr), 1);
    EXPECT_EQ(SymbolPaletteFont().Face(), "Symbol");
    EXPECT_EQ(SymbolPaletteFont().Height(), 16);
}
