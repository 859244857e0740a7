// One cog wheel: its tooth counts, the frame and handle point of an angle,
// the fast-wheel animation, its record and its pictures.
#include "mechanics/cog.h"
#include "model/display/display.h"
#include "model/display/picture_source.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

CCog Placed(int teeth, int x = 0, int y = 0)
{
    CCog c;
    EXPECT_EQ(c.SetTeeth(teeth), 1);
    c.Place(x, y, CRect(0, 0, 100, 100));
    c.SetRestAngle(0.0);
    return c;
}

TEST(Cog, ToothCounts)
{
    struct Case {
        int teeth, radius, size;
    };
    for (const Case& k : {Case{8, 16, 39}, Case{16, 32, 71}, Case{24, 48, 103}, Case{40, 80, 167}}) {
        CCog c;
        ASSERT_EQ(c.SetTeeth(k.teeth), 1);
        EXPECT_EQ(c.GetPitchRadius(), k.radius);
        EXPECT_EQ(c.GetSize(), CSize(k.size, k.size));
        EXPECT_DOUBLE_EQ(c.GetToothAngle(), 2 * kPi / k.teeth);
        c.Place(10, 20, CRect(0, 0, 5, 5));
        // The picture's corner lies pitch radius + 3 before the centre.
        EXPECT_EQ(c.GetCentre(), CPoint(10 + k.radius + 3, 20 + k.radius + 3));
        // Every frame and the blur frame have a picture of the wheel's size.
        for (int f = 0; f <= 16; ++f) {
            int index = -1;
            CVisual* v = CCog::PictureOf(k.teeth, f, &index);
            ASSERT_NE(v, nullptr) << k.teeth << " frame " << f;
            EXPECT_EQ(v->GetSize(), CSize(k.size, k.size));
            EXPECT_LT(index, v->GetFrameCount());
        }
    }
    CCog c;
    ASSERT_EQ(c.SetTeeth(24), 1);
    for (int bad : {0, 10, 12, 41, -8}) EXPECT_EQ(c.SetTeeth(bad), 0) << bad;
    EXPECT_EQ(c.GetTeeth(), 24);
    EXPECT_EQ(c.GetPitchRadius(), 48);
    EXPECT_EQ(CCog::PictureOf(10, 0, nullptr), nullptr);
}

TEST(Cog, FrameOfAngle)
{
    const CCog c = Placed(8);
    const double t = c.GetToothAngle();
    // Each frame is centred on its own angle: half a frame (t / 32) either side.
    EXPECT_EQ(c.FrameOfAngle(0.0), 0);
    EXPECT_EQ(c.FrameOfAngle(t / 16.0), 1);
    EXPECT_EQ(c.FrameOfAngle(t / 32.0 - 1e-12), 0);
    EXPECT_EQ(c.FrameOfAngle(t / 32.0 + 1e-12), 1);
    EXPECT_EQ(c.FrameOfAngle(t - t / 64.0), 0);
    EXPECT_EQ(c.FrameOfAngle(t - t / 16.0), 15);
    // A wheel looks the same a tooth on, and backwards.
    EXPECT_EQ(c.FrameOfAngle(5 * t + 3 * t / 16.0), 3);
    EXPECT_EQ(c.FrameOfAngle(-t / 16.0), 15);
    EXPECT_EQ(c.FrameOfAngle(-3 * t - 2 * t / 16.0), 14);
    EXPECT_EQ(c.FrameOfAngle(std::nan("")), 0);
}

TEST(Cog, MarkerTurnsAnticlockwise)
{
    CCog c = Placed(16);
    const CPoint centre = c.GetCentre();
    const int m = 2 * 16 - 10;
    // At rest the handle's corner is 3 pixels up and left of the point
    // straight above the centre at the marker radius.
    EXPECT_EQ(c.GetMarkerPoint(), CPoint(centre.x - 3, centre.y - 3 - m));
    // A quarter turn forward carries it to the left, a half turn below.
    c.Animate(kPi / 2, 0.0, 0.0, 5.0);
    EXPECT_EQ(c.GetMarkerPoint(), CPoint(centre.x - 3 - m, centre.y - 3));
    c.Animate(kPi, 0.0, 0.0, 5.0);
    EXPECT_EQ(c.GetMarkerPoint(), CPoint(centre.x - 3, centre.y - 3 + m));
    c.Animate(-kPi / 2, 0.0, 0.0, 5.0);
    EXPECT_EQ(c.GetMarkerPoint(), CPoint(centre.x - 3 + m, centre.y - 3));
    // A wheel at rest half a tooth on keeps its handle on its own angle.
    CCog d = Placed(8);
    d.SetRestAngle(d.GetToothAngle() / 2);
    EXPECT_EQ(d.GetRestFrame(), 8);
    d.Animate(0.0, d.GetToothAngle() / 2, 0.0, 5.0);
    EXPECT_EQ(d.GetCurrentFrame(), 8);
    EXPECT_EQ(d.GetMarkerPoint(), CPoint(d.GetCentre().x - 3, d.GetCentre().y - 3 - 6));
}

TEST(Cog, FastWheelsStepSixFrames)
{
    const double rate = 10.0;
    CCog c = Placed(8);
    const double limit = rate * c.GetToothAngle() * 6.0 / 16.0;
    // Exactly 6/16 of a tooth a step is not fast: the true frame shows.
    double angle = 0.0;
    for (int i = 1; i <= 4; ++i) {
        angle += limit / rate;
        c.Animate(angle, 0.0, limit, rate);
        EXPECT_FALSE(c.IsFast());
        EXPECT_EQ(c.GetCurrentFrame(), (6 * i) % 16) << i;
    }
    // Faster, the frame steps 6 whatever the true angle.
    for (int i = 1; i <= 4; ++i) {
        const int before = c.GetCurrentFrame();
        angle += 1.7 * limit / rate;
        c.Animate(angle, 0.0, 1.7 * limit, rate);
        EXPECT_TRUE(c.IsFast());
        EXPECT_EQ(c.GetCurrentFrame(), (before + 6) % 16);
        EXPECT_EQ(c.GetPrintFrame(), c.FrameOfAngle(angle));
    }
    const int before = c.GetCurrentFrame();
    c.Animate(angle, 0.0, -1.7 * limit, rate);
    EXPECT_EQ(c.GetCurrentFrame(), (before + 10) % 16);
    // Slow means at most 3 pi / 8 radians a step.
    c.Animate(angle, 0.0, 3 * kPi / 8 * rate, rate);
    EXPECT_TRUE(c.IsSlow());
    c.Animate(angle, 0.0, 3 * kPi / 8 * rate * 1.001, rate);
    EXPECT_FALSE(c.IsSlow());
    c.RestoreRest();
    EXPECT_EQ(c.GetCurrentFrame(), 0);
    EXPECT_FALSE(c.IsFast());
}

std::vector<uint8_t> Store(CCog& c, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    c.Serialize(ar);
    return ar.GetBuffer();
}

TEST(Cog, Records)
{
    CCog c = Placed(24, 40, 7);
    c.SetRestAngle(c.GetToothAngle() / 2);
    c.Animate(1.0, 0.0, 1000.0, 5.0);
    c.SetFixedRimOffset(51);
    const std::vector<uint8_t> bytes = Store(c, kCurrentVersion);
    EXPECT_EQ(bytes.size(), 15u * 2u);
    CCog back;
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    back.Serialize(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(back.GetTeeth(), 24);
    EXPECT_EQ(back.GetRect(), c.GetRect());
    EXPECT_EQ(back.GetCentre(), c.GetCentre());
    EXPECT_EQ(back.GetMarkerPoint(), c.GetMarkerPoint());
    EXPECT_EQ(back.GetCurrentFrame(), c.GetCurrentFrame());
    EXPECT_EQ(back.GetRestFrame(), 8);
    EXPECT_EQ(back.GetPrintFrame(), c.GetPrintFrame());
    EXPECT_EQ(back.IsFast(), c.IsFast());
    EXPECT_EQ(back.IsSlow(), c.IsSlow());
    EXPECT_EQ(back.GetRimOffset(3), 51);
    EXPECT_EQ(Store(back, kCurrentVersion), bytes);
    // The rest angle comes back with the rest frame: after a reset the
    // handle stands where it stood.
    back.RestoreRest();
    c.RestoreRest();
    EXPECT_EQ(back.GetMarkerPoint(), c.GetMarkerPoint());

    // Version 3 has no slow flag and print frame: they keep their defaults.
    const std::vector<uint8_t> old = Store(c, 3);
    EXPECT_EQ(old.size(), 13u * 2u);
    CCog oldBack;
    CArchive oldIn(old);
    oldIn.SetVersion(3);
    oldBack.Serialize(oldIn);
    EXPECT_EQ(oldIn.BytesLeft(), 0u);
    EXPECT_TRUE(oldBack.IsSlow());
    EXPECT_EQ(oldBack.GetPrintFrame(), 0);
}

TEST(Cog, DamagedRecordsFailCleanly)
{
    CCog c = Placed(8);
    std::vector<uint8_t> bytes = Store(c, kCurrentVersion);
    // A tooth count no wheel has.
    std::vector<uint8_t> bad = bytes;
    bad[0] = 10;
    bad[1] = 0;
    {
        CArchive in(bad);
        in.SetVersion(kCurrentVersion);
        CCog back;
        EXPECT_THROW(back.Serialize(in), CArchiveException);
        EXPECT_EQ(back.GetTeeth(), 8);
    }
    // Cut short anywhere.
    for (size_t n = 0; n < bytes.size(); n += 3) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive in(cut);
        in.SetVersion(kCurrentVersion);
        CCog back;
        EXPECT_THROW(back.Serialize(in), CArchiveException) << n;
    }
    // Frames beyond a tooth are brought into range.
    std::vector<uint8_t> wild = bytes;
    wild[10] = 0xFF;
    wild[11] = 0x7F;
    CArchive in(wild);
    in.SetVersion(kCurrentVersion);
    CCog back;
    back.Serialize(in);
    EXPECT_LT(back.GetCurrentFrame(), 16);
}

// The wheel drawn at a place on a white image.
QImage DrawCog(const CCog& c, DWORD flags)
{
    CImageView view(200, 200);
    {
        CDisplay display(&view);
        c.Draw(CPoint(5, 5), 1, flags);
    }
    return view.Image().copy();
}

TEST(Cog, DrawingFollowsTheAngle)
{
    CDisplay::ResetForTest();
    ASSERT_TRUE(PictureLoadErrors().isEmpty()) << PictureLoadErrors().join("\n").toStdString();
    for (int teeth : {8, 16, 24, 40}) {
        CCog c = Placed(teeth);
        const QImage rest = DrawCog(c, 0);
        // Ink inside the picture, none outside it (but the edge line).
        int ink = 0;
        for (int y = 0; y < rest.height(); ++y)
            for (int x = 0; x < rest.width(); ++x)
                if (rest.pixel(x, y) != 0xFFFFFFFFu) ++ink;
        EXPECT_GT(ink, 4 * teeth) << teeth;
        std::vector<QImage> seen{rest};
        for (int k : {1, 5, 8, 13}) {
            c.Animate(k * c.GetToothAngle() / 16.0, 0.0, 0.0, 5.0);
            ASSERT_EQ(c.GetCurrentFrame(), k);
            const QImage running = DrawCog(c, 0x4);
            for (const QImage& s : seen) EXPECT_NE(running, s) << teeth << " frame " << k;
            // Stopped, the rest frame shows again.
            EXPECT_EQ(DrawCog(c, 0), rest);
            seen.push_back(running);
        }
        // A whole tooth on looks as at rest.
        c.Animate(c.GetToothAngle(), 0.0, 0.0, 5.0);
        EXPECT_EQ(DrawCog(c, 0x4), rest);
        // Fast: the blur goes under the frame.
        c.Animate(0.0, 0.0, 1e6, 5.0);
        ASSERT_TRUE(c.IsFast());
        EXPECT_NE(DrawCog(c, 0x4), DrawCog(c, 0x4 | 0x200));
    }
    CDisplay::ResetForTest();
}

} // namespace
