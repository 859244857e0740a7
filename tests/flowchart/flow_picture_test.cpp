// The element pictures: each class's set loads with three frames of the
// class's size, its pins stand where the element's connectors must be
// (input on top, output below, a decision's second exit on the right,
// heads and ends with one connector), and the three frames are the idle,
// running and error looks.
#include "flowchart/flow_visuals.h"
#include "model/display/picture_source.h"
#include "model/display/visual.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

// Pin sides: 0 top, 1 right, 2 bottom, 3 left (outward direction of the stub).
int SideOf(const PinStub& p)
{
    const CPoint d = p.to - p.from;
    if (d.y < 0) return 0;
    if (d.x > 0) return 1;
    if (d.y > 0) return 2;
    return 3;
}

struct PictureCase {
    const char* cls;
    int bitmap;
    CSize size;
    std::vector<int> sides; // pin sides, in pin order
};

class FlowPictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(FlowPictures, FitTheirElements)
{
    EXPECT_TRUE(PictureLoadErrors().isEmpty()) << PictureLoadErrors().join("\n").toStdString();
    const PictureCase& c = GetParam();
    CVisual* v = FlowVisual(c.cls);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetBitmapId(0), c.bitmap);
    EXPECT_EQ(v->GetFrameCount(), 3);
    EXPECT_EQ(v->GetSize(), c.size);
    ASSERT_TRUE(v->LoadFrames());
    const std::vector<PinStub> pins = v->LayoutPins(0);
    std::vector<int> sides;
    for (const PinStub& p : pins) sides.push_back(SideOf(p));
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(sides, c.sides);
    // The three looks differ inside the shape: white, green, red.
    const PictureSource* pic = FindPicture(c.bitmap);
    ASSERT_NE(pic, nullptr);
    const CPoint inside(c.size.cx / 2 + 10, c.size.cy / 2);
    const QRgb idle = pic->image.pixel(pic->frameOffset.x + inside.x, pic->frameOffset.y + inside.y);
    const QRgb run = pic->image.pixel(pic->frameOffset.x + pic->frameStep + inside.x, pic->frameOffset.y + inside.y);
    const QRgb err =
        pic->image.pixel(pic->frameOffset.x + 2 * pic->frameStep + inside.x, pic->frameOffset.y + inside.y);
    EXPECT_EQ(idle, qRgb(255, 255, 255));
    EXPECT_GT(qGreen(run), qRed(run));
    EXPECT_GT(qRed(err), qGreen(err));
}

INSTANTIATE_TEST_SUITE_P(
    Elements, FlowPictures,
    ::testing::Values(PictureCase{"CFlowStart", 491, CSize(112, 24), {2}},
                      PictureCase{"CFlowSubStart", 491, CSize(112, 24), {2}},
                      PictureCase{"CFlowStop", 497, CSize(112, 24), {0}},
                      PictureCase{"CFlowReturn", 497, CSize(112, 24), {0}},
                      PictureCase{"CFlowWait", 492, CSize(112, 32), {0, 2}},
                      PictureCase{"CFlowGoSub", 550, CSize(112, 32), {0, 2}},
                      PictureCase{"CFlowOutput", 551, CSize(120, 32), {0, 2}},
                      PictureCase{"CFlowDecision", 494, CSize(152, 48), {0, 1, 2}},
                      PictureCase{"CFlowTestBit", 494, CSize(152, 48), {0, 1, 2}}));

TEST(FlowPicturesTable, UnknownClassHasNoPicture)
{
    EXPECT_EQ(FlowVisual("CResistor"), nullptr);
    EXPECT_EQ(FlowVisual(nullptr), nullptr);
}

} // namespace

namespace {

// The element pictures side by side, three times their size, for review:
//   WB_FLOW_SHEET=out.png test_flowchart --gtest_filter=FlowPicturesTable.ContactSheet
TEST(FlowPicturesTable, ContactSheet)
{
    const char* out = std::getenv("WB_FLOW_SHEET");
    if (!out) GTEST_SKIP() << "WB_FLOW_SHEET not set";
    const int ids[] = {491, 497, 492, 550, 551, 494, 553, 585, 578, 603};
    const int scale = 3;
    QImage sheet(3 * 160 * scale, static_cast<int>(std::size(ids)) * 56 * scale, QImage::Format_RGB32);
    sheet.fill(qRgb(220, 220, 220));
    QPainter painter(&sheet);
    int y = 0;
    for (int id : ids) {
        const PictureSource* pic = FindPicture(id);
        if (!pic) continue;
        for (int k = 0; k < pic->frames; ++k) {
            const QImage frame = pic->image.copy(pic->frameOffset.x + k * pic->frameStep, pic->frameOffset.y,
                                                 pic->frameSize.cx, pic->frameSize.cy);
            painter.drawImage(QRect(k * 160 * scale, y, frame.width() * scale, frame.height() * scale), frame);
        }
        y += (pic->frameSize.cy + 8) * scale;
    }
    painter.end();
    EXPECT_TRUE(sheet.save(out));
}

} // namespace
