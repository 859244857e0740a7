#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <cstdlib>

#include "model/display/visual.h"
#include "tests/model/display_support.h"

namespace {

// What each registered picture must be: frame size, frame count and the
// number of pin marks on frame 0 (-1: not a part outline, no pins).  Classes that bring their
// own pictures add their rows here.
struct PictureRule {
    int id;
    const char* what;
    int width, height, frames;
    int pins;
};
const PictureRule kRules[] = {
    {113, "level bar", 4, 8, 12, -1},
    {118, "horizontal current arrow", 6, 3, 3, -1},
    {119, "vertical current arrow", 4, 5, 3, -1},
    {169, "crossover bridge", 6, 8, 3, -1},
    {170, "vertical terminal stub", 1, 20, 6, -1},
    {171, "horizontal terminal stub", 20, 1, 6, -1},
    {172, "open-end dot", 3, 3, 1, -1},
    {199, "scheme colours", 4, 8, 1, -1},
    {203, "explosion", 40, 40, 5, -1},
    {351, "junction dot", 7, 7, 1, -1},
    {418, "back icon", 32, 32, 1, -1},
    {457, "delete icon", 32, 32, 1, -1},
    {580, "kind-4 vertical stub", 5, 56, 6, -1},
    {581, "kind-5 horizontal stub", 48, 1, 6, -1},
    {600, "kind-4 horizontal stub", 56, 1, 6, -1},
    {1242, "cog wheel of 8 teeth", 39, 39, 17, 0},
    {1267, "cog wheel of 16 teeth, frames 0-7", 71, 71, 8, 0},
    {1279, "cog wheel of 16 teeth, frames 8-15 and blur", 71, 71, 9, 0},
    {1273, "cog wheel of 24 teeth, frames 0-7", 103, 103, 8, 0},
    {1274, "cog wheel of 24 teeth, frames 8-15 and blur", 103, 103, 9, 0},
    {1280, "cog wheel of 40 teeth, frames 0-3", 167, 167, 4, 0},
    {1281, "cog wheel of 40 teeth, frames 4-7", 167, 167, 4, 0},
    {1282, "cog wheel of 40 teeth, frames 8-11", 167, 167, 4, 0},
    {1283, "cog wheel of 40 teeth, frames 12-15 and blur", 167, 167, 5, 0},
    {1320, "velocity source", 24, 24, 3, 1},
    {347, "velocity source direction buttons", 32, 32, 2, -1},
    {1314, "flywheel", 47, 47, 17, 0},
    {400, "rotational coupling", 20, 20, 1, 2},
    {1340, "torque", 24, 24, 3, 1},
    {349, "torque direction buttons", 32, 32, 2, -1},
    {1341, "force", 32, 16, 1, 1},
    {1342, "mass on a track", 32, 18, 1, -1},
    {1343, "wall of a fixed spring", 4, 19, 1, -1},
    {120, "rack of the rack and pinion", 24, 17, 3, -1},
    {122, "weight of the pulley", 16, 16, 1, -1},
    {123, "pulley wheel", 10, 10, 1, -1},
    {9001, "test part (tests/data/display)", 9, 7, 2, 5},
};

TEST(DisplayPictures, AllSourcesLoad)
{
    EXPECT_TRUE(PictureLoadErrors().isEmpty()) << PictureLoadErrors().join("\n").toStdString();
    EXPECT_GE(RegisteredPictureIds().size(), std::size(kRules) - 1);
}

TEST(DisplayPictures, EveryPictureFollowsItsRule)
{
    ASSERT_TRUE(LoadTestPicture("pins_test.pic"));
    for (const PictureRule& r : kRules) {
        const PictureSource* pic = FindPicture(r.id);
        ASSERT_NE(pic, nullptr) << r.what;
        EXPECT_EQ(pic->frameSize, CSize(r.width, r.height)) << r.what;
        EXPECT_EQ(pic->frames, r.frames) << r.what;
        EXPECT_GE(pic->image.width(), r.width * r.frames) << r.what;
        EXPECT_GE(pic->image.height(), r.height) << r.what;
        if (r.pins < 0) continue;   // not a part outline: no pin rule
        CVisual visual(0, 0, r.id, r.frames, 0, 0, r.width, r.height);
        EXPECT_EQ(static_cast<int>(visual.LayoutPins(0).size()), r.pins) << r.what;
        // Pictures with a pin rule have a background ring free of corner marks.
        const QImage& img = pic->image;
        const QRgb bg = img.pixel(0, 0);
        for (int k = 0; k < r.frames; ++k) {
            const int x0 = k * r.width;
            for (auto [x, y] : {std::pair{0, 0}, {r.width - 1, 0}, {0, r.height - 1}, {r.width - 1, r.height - 1}})
                EXPECT_EQ(img.pixel(x0 + x, y), bg) << r.what << " frame " << k << " corner " << x << "," << y;
        }
    }
}

TEST(DisplayPictures, EveryVisualLoadsItsFrames)
{
    for (CVisual* v : CVisual::All()) {
        if (!FindPicture(v->GetBitmapId(0))) continue;   // test pictures registered later
        ASSERT_TRUE(v->LoadFrames());
        for (int o = 0; o < 8; ++o) {
            if (!(v->GetOrientationMask() & (1 << o))) continue;
            CBitmap256* b = v->GetBitmap(o);
            ASSERT_NE(b, nullptr);
            const CPoint last = v->GetFrameOrigin(v->GetFrameCount() - 1, o);
            EXPECT_LE(last.x + v->GetSize(o).cx, b->GetSize().cx);
            EXPECT_LE(last.y + v->GetSize(o).cy, b->GetSize().cy);
        }
    }
}

// Writes a contact sheet of every picture: each frame at four times its
// size on a grey mat, every allowed orientation of the picture sets in use
// (a row each), so a person can look at them all at once.  The file goes to
// $WB_CONTACT_SHEET, or picture_contact_sheet.png in the build folder.
TEST(DisplayPictures, ContactSheet)
{
    ASSERT_TRUE(LoadTestPicture("pins_test.pic"));
    struct Row {
        QString label;
        QImage image;
        CSize frame;
        int frames;
        std::vector<CPoint> origins;
    };
    std::vector<Row> rows;
    for (int id : RegisteredPictureIds()) {
        const PictureSource* pic = FindPicture(id);
        // A picture that leaves 2 pixels after its first frame is laid out
        // as a picture set with pin marks outside its frames.
        CVisual visual(pic->firstGap == 2 ? -1 : 0, 0, id, pic->frames, pic->frameOffset.x, pic->frameOffset.y,
                       pic->frameSize.cx, pic->frameSize.cy);
        // Square pictures of parts may turn; show all eight forms of the
        // test part and orientation 0 of the rest.
        visual.SetOrientationMask(id == 9001 ? 0xFF : 1);
        for (int o = 0; o < 8; ++o) {
            if (!(visual.GetOrientationMask() & (1 << o))) continue;
            CBitmap256* b = visual.GetBitmap(o);
            if (!b) continue;
            std::vector<CPoint> origins;
            for (int k = 0; k < pic->frames; ++k) origins.push_back(visual.GetFrameOrigin(k, o));
            rows.push_back({QStringLiteral("%1 %2 o%3").arg(id).arg(pic->name).arg(o), b->Image().copy(),
                            visual.GetSize(o), pic->frames, origins});
        }
    }
    const int scale = 4, gap = 6, labelWidth = 260;
    int width = 0, height = gap;
    for (const Row& r : rows) {
        width = std::max(width, labelWidth + r.frames * (r.frame.cx * scale + gap));
        height += r.frame.cy * scale + gap;
    }
    QImage sheet(width + gap, height, QImage::Format_RGB32);
    sheet.fill(qRgb(0xB0, 0xB0, 0xB0));
    int y = gap;
    for (const Row& r : rows) {
        for (int k = 0; k < r.frames; ++k) {
            const QImage frame = r.image.copy(r.origins[k].x, r.origins[k].y, r.frame.cx, r.frame.cy);
            const QImage big = frame.scaled(r.frame.cx * scale, r.frame.cy * scale);
            const int x = labelWidth + k * (r.frame.cx * scale + gap);
            for (int yy = 0; yy < big.height(); ++yy)
                for (int xx = 0; xx < big.width(); ++xx) sheet.setPixel(x + xx, y + yy, big.pixel(xx, yy));
        }
        // Labels are drawn only when text is available (offscreen GUI).
        if (EnsureGuiApp()) {
            QPainter painter(&sheet);
            painter.drawText(QPoint(gap, y + 12), r.label);
        }
        y += r.frame.cy * scale + gap;
    }
    const char* env = std::getenv("WB_CONTACT_SHEET");
    const QString path = env ? QString::fromLocal8Bit(env) : QString(WB_BUILD_DIR "/picture_contact_sheet.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::printf("contact sheet: %s\n", path.toLocal8Bit().constData());
}

} // namespace
