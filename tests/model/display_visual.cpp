#include <gtest/gtest.h>

#include <set>

#include "model/display/visual.h"
#include "tests/model/display_support.h"

namespace {

constexpr COLORREF kNavy = ColourRGB(0, 0, 0x80);
constexpr COLORREF kRed = ColourRGB(255, 0, 0);

std::vector<CPoint> Starts(const std::vector<PinStub>& pins)
{
    std::vector<CPoint> out;
    for (const PinStub& p : pins) out.push_back(p.from);
    return out;
}

class DisplayVisual : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        ASSERT_TRUE(LoadTestPicture("pins_test.pic"));
    }
};

TEST(DisplayTurn, DoubledOffsetsFollowThePartRule)
{
    // Code 1 turns clockwise on screen: a point to the right goes below.
    EXPECT_EQ(TurnDoubled({4, 0}, 1), CPoint(0, 4));
    EXPECT_EQ(TurnDoubled({4, 0}, 2), CPoint(-4, 0));
    EXPECT_EQ(TurnDoubled({4, 0}, 3), CPoint(0, -4));
    // Mirrored forms: x negated for even codes, y for odd ones.
    EXPECT_EQ(TurnDoubled({4, 2}, 4), CPoint(-4, 2));
    EXPECT_EQ(TurnDoubled({4, 2}, 5), CPoint(-2, -4));
    for (int o = 0; o < 8; ++o) EXPECT_EQ(TurnPoint(TurnDoubled({3, 7}, o), {0, 0}, 0, o), CPoint(3, 7)) << o;
}

TEST_F(DisplayVisual, PinsInClockwiseOrder)
{
    CVisual visual(0, 0, 9001, 2, 0, 0, 9, 7);
    EXPECT_EQ(visual.GetPinInset(), CPoint(1, 1));
    const auto pins = visual.LayoutPins(0);
    EXPECT_EQ(Starts(pins), (std::vector<CPoint>{{9, 2}, {9, 5}, {6, 7}, {0, 3}, {2, 0}}));
    EXPECT_EQ(pins[0].to, CPoint(13, 2));
    EXPECT_EQ(pins[2].to, CPoint(6, 11));
    EXPECT_EQ(pins[3].to, CPoint(-4, 3));
    EXPECT_EQ(pins[4].to, CPoint(2, -4));
    COLORREF colour = 0;
    EXPECT_TRUE(visual.HasPinAt(8, 5, 0, &colour, 0));
    EXPECT_EQ(colour, kRed);
    EXPECT_FALSE(visual.HasPinAt(4, 0, 0, &colour, 0));
    EXPECT_EQ(colour, kWhite);
}

TEST_F(DisplayVisual, PinsOfTurnedAndMirroredFrames)
{
    CVisual visual(0, 0, 9001, 2, 0, 0, 9, 7);
    visual.SetOrientationMask(0xFF);
    EXPECT_EQ(visual.GetSize(1), CSize(7, 9));
    EXPECT_EQ(Starts(visual.LayoutPins(1)), (std::vector<CPoint>{{7, 2}, {4, 9}, {1, 9}, {0, 6}, {3, 0}}));
    EXPECT_EQ(Starts(visual.LayoutPins(4)), (std::vector<CPoint>{{9, 3}, {2, 7}, {0, 5}, {0, 2}, {6, 0}}));
    // Every orientation keeps five pins, each where the turn puts it.
    for (int o = 0; o < 8; ++o) {
        const CSize s = visual.GetSize(o);
        std::set<std::pair<int, int>> expected;
        for (CPoint p : std::vector<CPoint>{{8, 2}, {8, 5}, {6, 6}, {0, 3}, {2, 0}}) {
            const CPoint t = TurnDoubled({2 * p.x - 8, 2 * p.y - 6}, o);
            expected.insert({(t.x + s.cx - 1) / 2, (t.y + s.cy - 1) / 2});
        }
        std::set<std::pair<int, int>> found;
        for (int y = 0; y < s.cy; ++y)
            for (int x = 0; x < s.cx; ++x)
                if (visual.HasPinAt(x, y, 0, nullptr, o) && (x == 0 || y == 0 || x == s.cx - 1 || y == s.cy - 1))
                    found.insert({x, y});
        EXPECT_EQ(found, expected) << "orientation " << o;
        EXPECT_EQ(visual.LayoutPins(o).size(), 5u) << "orientation " << o;
    }
}

TEST_F(DisplayVisual, TurnedFramesMapEveryPixel)
{
    CVisual visual(0, 0, 9001, 2, 0, 0, 9, 7);
    visual.SetOrientationMask(0xFF);
    const QImage& src = visual.GetBitmap(0)->Image();
    const QImage& half = visual.GetBitmap(2)->Image();
    const QImage& quarter = visual.GetBitmap(1)->Image();
    ASSERT_EQ(half.size(), QSize(18, 7));
    ASSERT_EQ(quarter.size(), QSize(14, 9));
    for (int k = 0; k < 2; ++k)
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                EXPECT_EQ(half.pixel(k * 9 + 8 - x, 6 - y), src.pixel(k * 9 + x, y));
                EXPECT_EQ(quarter.pixel(k * 7 + 6 - y, x), src.pixel(k * 9 + x, y));
            }
    EXPECT_EQ(visual.GetFrameOrigin(1, 0), CPoint(9, 0));
    EXPECT_EQ(visual.GetFrameOrigin(1, 1), CPoint(7, 0));
    EXPECT_EQ(visual.GetFrameOrigin(1, 2), CPoint(9, 0));
}

TEST_F(DisplayVisual, TopLeftColourIsNeverAPin)
{
    // A picture whose background is the ink colour: marks in ink vanish,
    // marks in any other colour (white here) count.
    PictureSource pic;
    QString error;
    ASSERT_TRUE(ParsePictureSource("picture 9002 t\nframe-size 5 5\nframes 1\ncolour k 000080\ncolour . FFFFFF\n"
                                   "background k\nframe 0\npin 4 2 k\npin 2 4 .\n",
                                   pic, error)) << error.toStdString();
    AddPicture(pic);
    CVisual visual(0, 0, 9002, 1, 0, 0, 5, 5);
    EXPECT_EQ(Starts(visual.LayoutPins(0)), (std::vector<CPoint>{{2, 5}}));
}

TEST_F(DisplayVisual, MarginPins)
{
    // Negative image code: pin marks just outside the frame, inset (0, 0).
    PictureSource pic;
    QString error;
    ASSERT_TRUE(ParsePictureSource("picture 9003 m\nframe-size 5 5\nframes 1\nframe-offset 1 1\n"
                                   "bitmap-size 7 7\ncolour . FFFFFF\ncolour k 000000\nframe 0\n"
                                   "rect 0 0 5 5 k\npin 5 2 k\npin -1 3 k\n",
                                   pic, error)) << error.toStdString();
    AddPicture(pic);
    CVisual visual(-4, 0, 9003, 1, 1, 1, 5, 5);
    EXPECT_TRUE(visual.HasMarginPins());
    EXPECT_EQ(visual.GetPinInset(), CPoint(0, 0));
    EXPECT_EQ(visual.GetImageIndex(), 4);
    // A negative test position is the background: never a pin, although
    // the ring pixel (-1, 3) is marked.
    EXPECT_FALSE(visual.HasPinAt(-1, 3, 0, nullptr, 0));
    EXPECT_EQ(Starts(visual.LayoutPins(0)), (std::vector<CPoint>{{5, 2}}));
}

TEST_F(DisplayVisual, CogOutline)
{
    // A 4-tooth wheel of pitch radius 6 about (8, 8): the tips reach radius
    // 8 and the first tooth stands straight up; a turn of 4 sixteenths of a
    // tooth (a sixteenth of the wheel) moves it anticlockwise.
    const QByteArray head = "picture 9005 c\nframe-size 17 17\nframes 2\ncolour . FFFFFF\ncolour k 000080\n";
    PictureSource pic;
    QString error;
    ASSERT_TRUE(ParsePictureSource(head + "frame 0\ncog 8 8 4 6 0 k\nframe 1\ncog 8 8 4 6 4 k\n", pic, error))
        << error.toStdString();
    const QRgb ink = pic.image.pixel(8, 0);
    EXPECT_NE(ink, pic.image.pixel(0, 0));
    // Four-fold: the tips at the top, left, bottom and right.
    for (auto [x, y] : {std::pair{8, 0}, {0, 8}, {8, 16}, {16, 8}}) EXPECT_EQ(pic.image.pixel(x, y), ink) << x << "," << y;
    // Turned, the top tip has gone to the left of the top.
    EXPECT_NE(pic.image.pixel(17 + 8, 0), ink);
    for (const char* bad : {"cog 8 8 2 6 0 k\n", "cog 8 8 4 6 0 z\n", "cog 8 8 4\n", "cog 8 8 65 6 0 k\n"})
        EXPECT_FALSE(ParsePictureSource(head + "frame 0\n" + bad, pic, error)) << bad;
}

TEST_F(DisplayVisual, RestFrameOfAnAnimatedPicture)
{
    const QByteArray head = "picture 9004 glow\nframe-size 4 4\nframes 3\ncolour . FFFFFF\ncolour k 000080\n";
    struct Case {
        const char* line;
        bool ok;
        int rest;
    };
    for (const Case& c : {Case{"", true, -1}, Case{"rest-frame 0\n", true, 0}, Case{"rest-frame 2\n", true, 2},
                          Case{"rest-frame 3\n", false, 0}, Case{"rest-frame -1\n", false, 0},
                          Case{"rest-frame\n", false, 0}}) {
        PictureSource pic;
        QString error;
        EXPECT_EQ(ParsePictureSource(head + c.line + "frame 0\npixel 1 1 k\n", pic, error), c.ok) << c.line;
        if (c.ok) EXPECT_EQ(pic.restFrame, c.rest) << c.line;
        else EXPECT_FALSE(error.isEmpty()) << c.line;
    }
    PictureSource pic;
    QString error;
    ASSERT_TRUE(ParsePictureSource(head + "rest-frame 1\nframe 0\npixel 1 1 k\n", pic, error));
    AddPicture(pic);
    EXPECT_EQ(CVisual(0, 0, 9004, 3, 0, 0, 4, 4).GetRestFrame(), 1);
    // A picture set that uses fewer frames than the rest frame has none.
    EXPECT_EQ(CVisual(0, 0, 9004, 1, 0, 0, 4, 4).GetRestFrame(), -1);
}

TEST_F(DisplayVisual, DrawBitmapAndRecolour)
{
    CVisual visual(0, 0, 9001, 2, 0, 0, 9, 7);
    CImageView view(40, 20, ColourRGB(0, 255, 0));
    CDisplay display(&view);
    visual.DrawWhole(3, 4, 1, 0, 0);
    const QImage& src = visual.GetBitmap(0)->Image();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(view.Pixel(3 + x, 4 + y), ColourOf(src.pixel(9 + x, y)));
    EXPECT_EQ(view.Pixel(2, 4), ColourRGB(0, 255, 0));
    EXPECT_EQ(view.Pixel(12, 4), ColourRGB(0, 255, 0));
    // Recolour mode 1: scheme colour 0 (navy ink) becomes scheme colour 1.
    visual.DrawWhole(20, 4, 0, 1, 0);
    EXPECT_EQ(view.Pixel(21, 5), GetSchemeColour(1));
    EXPECT_EQ(view.Pixel(21 + 7, 4 + 5), kRed);
    // Mode 2: a silhouette, pixels of scheme colour 1 white, the rest grey.
    visual.DrawWhole(30, 4, 0, 2, 0);
    EXPECT_EQ(view.Pixel(31, 5), ColourRGB(0x80, 0x80, 0x80));
    // A partial draw with a source offset lands at the same offset.
    visual.DrawBitmap(3, 12, 0, 0, {4, 2}, {3, 3}, 0);
    EXPECT_EQ(view.Pixel(3 + 4, 12 + 2), ColourOf(src.pixel(4, 2)));
    EXPECT_EQ(view.Pixel(3 + 3, 12 + 2), ColourRGB(0, 255, 0));
}

TEST_F(DisplayVisual, UnknownBitmapDrawsNothing)
{
    CVisual visual(0, 0, 8999, 1, 0, 0, 4, 4);
    CImageView view(10, 10);
    CDisplay display(&view);
    const QImage before = view.Image().copy();
    EXPECT_EQ(visual.DrawWhole(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(view.Image(), before);
    EXPECT_EQ(visual.GetBitmapId(0), 0);
    EXPECT_TRUE(visual.LayoutPins(0).empty());
}

TEST_F(DisplayVisual, OrientationImages)
{
    CVisual visual(5, 0, 9001, 2, 0, 0, 9, 7);
    visual.SetOrientationMask(0b10011);
    std::vector<int> commands;
    EXPECT_EQ(visual.GetOrientationImages(commands, nullptr), 0b10011);
    EXPECT_EQ(commands, (std::vector<int>{36043, 36047, 36044}));
    // With a bitmap: the toolbar icon (slot 5, cell 0) turned per command.
    GetSharedBitmap(5)->LoadBitmap256(418);
    CBitmap images;
    ASSERT_EQ(visual.GetOrientationImages(commands, &images), 0b10011);
    ASSERT_EQ(images.GetSize(), CSize(96, 32));
    const QImage& icon = GetSharedBitmap(5)->Image();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(images.Image().pixel(x, y), icon.pixel(x, y));
            EXPECT_EQ(images.Image().pixel(32 + 31 - x, y), icon.pixel(x, y));
            EXPECT_EQ(images.Image().pixel(64 + 31 - y, x), icon.pixel(x, y));
        }
    GetSharedBitmap(5)->DeleteObject();
    EXPECT_EQ(visual.GetOrientationImages(commands, &images), -1);
}

TEST_F(DisplayVisual, SchemeColours)
{
    EXPECT_EQ(GetSchemeColour(0), kNavy);
    EXPECT_EQ(GetSchemeColour(1), kBlack);
    EXPECT_EQ(GetSchemeColour(2), ColourRGB(0x80, 0x80, 0x80));
    EXPECT_EQ(GetSchemeColour(3), ColourRGB(0xC0, 0xC0, 0xC0));
    CImageView view(10, 10);
    CDisplay display(&view);
    CDisplay::DrawEdgeLine(0, 1, 5, 1, true);
    CDisplay::DrawEdgeLine(0, 2, 5, 2, false);
    EXPECT_EQ(view.Pixel(2, 1), GetSchemeColour(3));
    EXPECT_EQ(view.Pixel(2, 2), GetSchemeColour(2));
}

} // namespace

namespace {

TEST_F(DisplayVisual, IdTablesAndFrameLayouts)
{
    // With an id table the high-colour half (entries 8-15) is chosen.
    const int ids[16] = {8990, 0, 0, 0, 0, 0, 0, 0, 9001, 0, 0, 0, 0, 0, 0, 0};
    CVisual table(0, 0, 0, 2, 0, 0, 9, 7, 0, ids);
    EXPECT_EQ(table.GetBitmapId(0), 9001);
    EXPECT_TRUE(table.LoadFrames());
    // A high-colour id wins over the plain one.
    CVisual high(0, 0, 8990, 2, 0, 0, 9, 7, 0, nullptr, nullptr, 9001);
    EXPECT_EQ(high.GetBitmapId(0), 9001);
    // Resource layout: the offset, and 2 more pixels after frame 0 with
    // margin pins.
    CVisual offset(0, 0, 9001, 3, 4, 1, 9, 7);
    EXPECT_EQ(offset.GetFrameOrigin(0, 0), CPoint(4, 1));
    EXPECT_EQ(offset.GetFrameOrigin(2, 0), CPoint(22, 1));
    CVisual margin(-1, 0, 9001, 3, 1, 1, 9, 7);
    EXPECT_EQ(margin.GetFrameOrigin(0, 0), CPoint(1, 1));
    EXPECT_EQ(margin.GetFrameOrigin(1, 0), CPoint(12, 1));
    EXPECT_EQ(margin.GetFrameOrigin(2, 0), CPoint(21, 1));
    // An orientation with a bitmap of its own uses the resource layout only
    // with the same-layout flag.
    const int own[16] = {9001, 9001, 0, 0, 0, 0, 0, 0, 9001, 9001, 0, 0, 0, 0, 0, 0};
    CVisual plain(0, 0, 0, 2, 3, 0, 9, 7, 0, own);
    plain.SetOrientationMask(0b11);
    CVisual same(0, 0, 0, 2, 3, 0, 9, 7, 0, own, nullptr, 0, 1);
    same.SetOrientationMask(0b11);
    EXPECT_EQ(plain.GetFrameOrigin(1, 1), CPoint(7, 0));
    EXPECT_EQ(same.GetFrameOrigin(1, 1), CPoint(12, 0));
    // The alternate look's picture.
    CVisual withAlternate(0, 0, 9001, 2, 0, 0, 9, 7, 0, nullptr, &plain);
    EXPECT_EQ(withAlternate.GetAlternate(), &plain);
}

TEST_F(DisplayVisual, OffsetRowShiftsTurnedFrames)
{
    CVisual shifted(0, 0, 9001, 2, 0, 0, 9, 7);
    shifted.SetOrientationMask(0b11);
    shifted.SetOffsetRow(1);
    CVisual plain(0, 0, 9001, 2, 0, 0, 9, 7);
    plain.SetOrientationMask(0b11);
    const QImage& a = plain.GetBitmap(1)->Image();
    const QImage& b = shifted.GetBitmap(1)->Image();
    // Row 1 moves quarter-turned frames one pixel right.
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(b.pixel(x + 1, y), a.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(CVisual::OffsetTable(0, 5), CPoint(0, 0));
    EXPECT_EQ(CVisual::OffsetTable(25, 1), CPoint(0, 0));
}

} // namespace
