// The pictures of the transistors, lamps, displays and sources: each loads,
// has the frames its part draws from, and shows the part's pins in every
// orientation the part allows (the terminals are found from them).
#include "components/bulb.h"
#include "components/current_source.h"
#include "components/filament.h"
#include "components/isolator.h"
#include "components/mosfet_n.h"
#include "components/mosfet_p.h"
#include "components/npn.h"
#include "components/photoq.h"
#include "components/pnp.h"
#include "components/resistors.h"
#include "components/seven_segment.h"
#include "components/thyristor.h"
#include "components/zener.h"
#include "model/circuit/circuit.h"
#include "model/display/picture_source.h"
#include "model/display/visual.h"

#include <gtest/gtest.h>

namespace {

template <class T>
void CheckPicture(int bitmapId, int frames, CSize size, int mask, size_t pins)
{
    T part;
    CVisual* v = part.m_pVisual;
    ASSERT_NE(v, nullptr);
    ASSERT_NE(FindPicture(bitmapId), nullptr) << bitmapId;
    EXPECT_EQ(v->GetBitmapId(0), bitmapId);
    EXPECT_EQ(v->GetFrameCount(), frames) << bitmapId;
    EXPECT_EQ(v->GetSize(), size) << bitmapId;
    EXPECT_EQ(v->GetOrientationMask(), mask) << bitmapId;
    ASSERT_TRUE(v->LoadFrames());
    for (int o = 0; o < 8; ++o) {
        if (!(mask & (1 << o))) continue;
        EXPECT_EQ(v->LayoutPins(o).size(), pins) << bitmapId << " orientation " << o;
        // And the part built in that orientation has one terminal a pin.
        CCircuit d;
        auto* p = new T;
        p->m_pCircuit = &d;
        p->m_nOrientation = o;
        p->Initialise();
        EXPECT_EQ(static_cast<size_t>(p->GetTerminalCount()), pins) << bitmapId << " orientation " << o;
        delete p;
    }
}

TEST(SemisPictures, PicturesFitTheirParts)
{
    EXPECT_TRUE(PictureLoadErrors().isEmpty()) << PictureLoadErrors().join("\n").toStdString();
    CheckPicture<CNPN>(321, 1, CSize(28, 24), 255, 3);
    CheckPicture<CPNP>(322, 1, CSize(28, 24), 255, 3);
    CheckPicture<CZener>(323, 1, CSize(24, 24), 15, 2);
    CheckPicture<CThyristor>(324, 1, CSize(24, 24), 255, 3);
    CheckPicture<CMOSFETn>(4245, 1, CSize(28, 24), 51, 3);
    CheckPicture<CMOSFETp>(4246, 1, CSize(28, 24), 51, 3);
    CheckPicture<CPhotoQ>(4241, 2, CSize(20, 24), 1, 2);
    CheckPicture<CIsolator>(4239, 1, CSize(48, 24), 15, 4);
    CheckPicture<CBulb>(111, 11, CSize(24, 24), 3, 2);
    CheckPicture<CFilament>(4236, 11, CSize(24, 24), 9, 2);
    CheckPicture<CSevenSegmentDisplay>(272, 1, CSize(48, 64), 1, 9);
    CheckPicture<CCurrent>(317, 1, CSize(16, 24), 15, 2);
    CheckPicture<CResistors>(4242, 1, CSize(24, 122), 3, 16);
}

TEST(SemisPictures, LampFramesBrightenWithTheLevel)
{
    // The middle of the lamp, left of its cross or filament: white when
    // dark, yellower (less blue) level by level.
    for (int id : {111, 4236}) {
        const PictureSource* pic = FindPicture(id);
        ASSERT_NE(pic, nullptr);
        ASSERT_EQ(pic->frames, 11);
        int lastBlue = 256;
        for (int k = 0; k <= 10; ++k) {
            const QRgb c = pic->image.pixel(pic->frameOffset.x + k * pic->frameStep + 6, pic->frameOffset.y + 12);
            EXPECT_LT(qBlue(c), lastBlue) << id << " frame " << k;
            lastBlue = qBlue(c);
        }
    }
}

} // namespace
