// How probes look: the picture in the channel's colour while a probe stands
// alone, the outline round the part it measures, nothing while the design
// hides probes; and the property toolbar's buttons.
#include "probe_bench.h"

#include "model/display/display.h"
#include "model/display/view.h"
#include "model/parts/controlitem.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = ColourRGB(255, 0, 0);
constexpr COLORREF kBlue = ColourRGB(0, 0, 255);
constexpr DWORD kShowProbes = 0x2;

struct Picture {
    CImageView view{400, 300};
    void Draw(CCircuit& d)
    {
        CDisplay display(&view);
        d.DrawTree(d.GetRedrawFlags());
    }
};

} // namespace

TEST(ProbeDraw, AloneItShowsItsPictureOnAPartItsOutline)
{
    RCBench b(10.0, 1000.0, 1e-4);
    auto* alone = new CProbe(&b.d, CPoint(300, 50));
    b.d.AddChild(alone);
    alone->ConnectToPart();
    ASSERT_EQ(alone->GetProbedPart(), nullptr);
    CProbe* onR = b.ProbeOn(b.r);
    ASSERT_EQ(onR->GetChannel(), 1);
    ASSERT_TRUE(b.d.GetOptions() & kShowProbes);
    Picture shown;
    shown.Draw(b.d);
    // The tip (the picture's centre) in channel 0's red.
    const CPoint tip = alone->GetRect().CenterPoint();
    EXPECT_EQ(shown.view.Pixel(tip.x, tip.y), kRed);
    // Channel 1's blue band round the resistor, on all four sides.
    const CRect r = b.r->GetRect();
    EXPECT_EQ(shown.view.Pixel(r.left, (r.top + r.bottom) / 2), kBlue);
    EXPECT_EQ(shown.view.Pixel(r.right - 1, (r.top + r.bottom) / 2), kBlue);
    EXPECT_EQ(shown.view.Pixel(r.left + 2, r.top), kBlue);
    EXPECT_EQ(shown.view.Pixel(r.right - 3, r.bottom - 1), kBlue);

    b.d.SetOptionBits(kShowProbes, false);
    Picture hidden;
    hidden.Draw(b.d);
    EXPECT_EQ(hidden.view.Pixel(tip.x, tip.y), kWhite);
    EXPECT_NE(hidden.view.Pixel(r.left, (r.top + r.bottom) / 2), kBlue);
}

TEST(ProbeDraw, PropertyToolbarHasGraphEraseAndOrientation)
{
    CProbe probe(0);
    CControlItemList items;
    probe.FillProperties(items);
    ASSERT_EQ(items.GetCount(), 4);
    EXPECT_EQ(items[0].id, 35004);
    EXPECT_EQ(items[1].id, 35006);
    EXPECT_EQ(items[2].type, CI_SEPARATOR);
    EXPECT_EQ(items[3].id, 36043);
    // No button of the probe adds a part when pressed.
    for (int i = 0; i < items.GetCount(); ++i) EXPECT_FALSE(items[i].options & CIO_ADDS_PART) << i;
    std::vector<int> ids;
    CBitmap strip;
    ASSERT_EQ(probe.GetPropertyBitmap(ids, &strip), 3);
    EXPECT_EQ(ids, (std::vector<int>{35004, 35006, 36043}));
    int flag = 0;
    EXPECT_EQ(probe.IsPropertyChecked(36043, flag), 1);
}
