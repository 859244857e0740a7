// The pictures of the diodes, LEDs and meters: each loads, has the frame
// count its part draws from (LED levels 0-10, meter ranges 0-2) and two pins
// on opposite edges in every orientation the part allows.
#include "components/ammeter.h"
#include "components/diode.h"
#include "components/led.h"
#include "components/voltmeter.h"
#include "model/display/picture_source.h"
#include "model/display/visual.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

template <class T>
void CheckPicture(int bitmapId, int frames, CSize size, int mask)
{
    T part;
    CVisual* v = part.m_pVisual;
    ASSERT_NE(v, nullptr);
    ASSERT_NE(FindPicture(bitmapId), nullptr) << bitmapId;
    EXPECT_EQ(v->GetBitmapId(0), bitmapId);
    EXPECT_EQ(v->GetFrameCount(), frames);
    EXPECT_EQ(v->GetSize(), size);
    EXPECT_EQ(v->GetOrientationMask(), mask);
    ASSERT_TRUE(v->LoadFrames());
    for (int o = 0; o < 8; ++o) {
        if (!(mask & (1 << o))) continue;
        const std::vector<PinStub> pins = v->LayoutPins(o);
        ASSERT_EQ(pins.size(), 2u) << bitmapId << " orientation " << o;
        // Opposite edges: the pins' outward directions are opposite.
        const CPoint d0 = pins[0].to - pins[0].from, d1 = pins[1].to - pins[1].from;
        EXPECT_EQ(d0.x, -d1.x) << bitmapId << " orientation " << o;
        EXPECT_EQ(d0.y, -d1.y) << bitmapId << " orientation " << o;
    }
}

TEST(DiodesPictures, PicturesFitTheirParts)
{
    EXPECT_TRUE(PictureLoadErrors().isEmpty()) << PictureLoadErrors().join("\n").toStdString();
    CheckPicture<CDiode>(325, 1, CSize(24, 24), 15);
    CheckPicture<CLED>(110, 12, CSize(32, 24), 135);
    CheckPicture<CLED_G>(208, 12, CSize(32, 24), 135);
    CheckPicture<CLED_Y>(205, 12, CSize(32, 24), 135);
    CheckPicture<CAmmeter>(159, 3, CSize(24, 24), 75);
    CheckPicture<CVoltmeter>(158, 3, CSize(24, 24), 75);
}

TEST(DiodesPictures, SegmentPictureHasDarkAndLitFrames)
{
    const PictureSource* pic = FindPicture(273);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->frames, 6);
    EXPECT_EQ(pic->frameSize, CSize(16, 16));
    // The middle of each shape (upright bar, level bar, point): dark in
    // frames 0-2, red in 3-5.
    const CPoint middle[3] = {{3, 8}, {6, 1}, {3, 3}};
    for (int k = 0; k < 6; ++k) {
        const CPoint m = middle[k % 3];
        const QRgb c = pic->image.pixel(pic->frameOffset.x + k * pic->frameStep + m.x, pic->frameOffset.y + m.y);
        EXPECT_EQ(qRed(c) == 255 && qGreen(c) == 0, k >= 3) << k;
        EXPECT_NE(c, pic->image.pixel(0, 0)) << k;
    }
}

TEST(DiodesPictures, LedFramesBrightenWithTheLevel)
{
    // The triangle's inside (column 10, row 10 of a frame) darkens from the
    // white of level 0 to the full colour of level 10.
    const PictureSource* pic = FindPicture(110);
    ASSERT_NE(pic, nullptr);
    int lastGreen = 256;
    for (int k = 0; k <= 10; ++k) {
        const QRgb c = pic->image.pixel(pic->frameOffset.x + k * pic->frameStep + 10, pic->frameOffset.y + 10);
        EXPECT_EQ(qRed(c), 255) << k;
        EXPECT_LT(qGreen(c), lastGreen) << k;
        lastGreen = qGreen(c);
    }
    EXPECT_EQ(lastGreen, 0);
}

} // namespace
