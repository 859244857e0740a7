#include <gtest/gtest.h>

#include <memory>

#include "model/display/part_resize.h"
#include "tests/model/display_support.h"

namespace {

// A canvas stand-in that records the cursor it is asked to show.
class CTestHost : public CResizeHost {
public:
    bool HasActiveView() override { return true; }
    CPart* GetCapturedPart() override { return captured; }
    void SetCursor(int index) override { cursor = index; }
    void SetForbiddenCursor() override { cursor = -1; }
    bool CanSelect(CPartTree*, CPart*) override { return canSelect; }
    int cursor = 0;
    bool canSelect = true;
    CPart* captured = nullptr;
};

class DisplayResize : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        m_old = CResizeHost::Install(&host);
        design.m_rcPage = CRect(0, 0, 400, 300);
        design.m_dwOptions &= ~0x4000u;   // not locked
    }
    void TearDown() override
    {
        CResizeHost::Install(m_old);
        SharedPressState().Reset();
        DisplayTest::TearDown();
    }
    CTestHost host;
    CPartTree design;
    CResizeHost* m_old = nullptr;
};

TEST_F(DisplayResize, DefaultsAndHandleSquares)
{
    CPart picture(CRect(40, 40, 120, 100));
    CPartResize frame(&picture);
    EXPECT_EQ(frame.m_rect, picture.m_rect);
    EXPECT_EQ(frame.m_minSize, 24);
    EXPECT_EQ(frame.m_activeHandle, RH_NONE);
    EXPECT_EQ(frame.HandleRect(RH_TOP), CRect(76, 32, 84, 40));
    EXPECT_EQ(frame.HandleRect(RH_RIGHT), CRect(120, 66, 128, 74));
    EXPECT_EQ(frame.HandleRect(RH_BOTTOMLEFT), CRect(32, 100, 40, 108));
    EXPECT_EQ(frame.DefersToParent(), 1);
    EXPECT_EQ(CPartResize::CursorOf(RH_TOPRIGHT), 24);
}

TEST_F(DisplayResize, EdgeBandAndHandles)
{
    CPart picture(CRect(40, 40, 120, 100));
    CPartResize frame(&picture);
    // Not selected: the band reaches 1 pixel outside and 2 inside.
    EXPECT_EQ(frame.EdgeTest({121, 60}), RH_RIGHT);
    EXPECT_EQ(frame.EdgeTest({122, 60}), RH_NONE);
    EXPECT_EQ(frame.EdgeTest({118, 60}), RH_RIGHT);
    EXPECT_EQ(frame.EdgeTest({117, 60}), RH_NONE);
    picture.m_bSelected = 1;
    EXPECT_EQ(frame.EdgeTest({128, 60}), RH_RIGHT);
    EXPECT_EQ(frame.EdgeTest({36, 60}), RH_LEFT);
    EXPECT_EQ(frame.EdgeTest({60, 35}), RH_TOP);
    EXPECT_EQ(frame.EdgeTest({60, 101}), RH_BOTTOM);
    EXPECT_EQ(frame.HandleAt({35, 35}), RH_TOPLEFT);
    EXPECT_EQ(frame.HandleAt({80, 35}), RH_TOP);
    EXPECT_EQ(frame.HandleAt({124, 104}), RH_BOTTOMRIGHT);
    EXPECT_TRUE(frame.PtInPart({60, 35}));
    EXPECT_FALSE(frame.PtInPart({60, 60}));
    // On the band between handles: code 9, cursor index 3.
    EXPECT_EQ(frame.HandleAt({60, 35}), RH_BAND);
    CString text;
    EXPECT_EQ(frame.ShowInfo({60, 35}, text), 3);
    EXPECT_EQ(frame.ShowInfo({80, 35}, text), 22);
    EXPECT_EQ(frame.ShowInfo({60, 60}, text), 0);
    host.canSelect = false;
    EXPECT_EQ(frame.ShowInfo({80, 35}, text), 3);
}

TEST_F(DisplayResize, DraggingACornerPastTheOppositeStopsAtTheMinimum)
{
    CImageView view(400, 300);
    CDisplay display(&view);
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    picture.m_bSelected = 1;
    EXPECT_EQ(frame.OnPress(&design, 124, 108), 0);
    EXPECT_EQ(frame.m_activeHandle, RH_BOTTOMRIGHT);
    EXPECT_EQ(host.cursor, 23);
    const CRect r = frame.OnDrag(&design, {16, 16});
    EXPECT_EQ(r, CRect(40, 40, 64, 64));
    EXPECT_EQ(picture.m_rect, r);
    EXPECT_EQ(host.cursor, -1);   // forbidden
    const CRect grown = frame.OnDrag(&design, {200, 160});
    EXPECT_EQ(grown, CRect(40, 40, 200, 160));
    EXPECT_EQ(host.cursor, 23);
    frame.OnSimulationReset();
    EXPECT_EQ(frame.m_activeHandle, RH_NONE);
}

TEST_F(DisplayResize, TopLeftHandleKeepsTheOppositeCorner)
{
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    picture.m_bSelected = 1;
    frame.OnPress(&design, 36, 36);
    ASSERT_EQ(frame.m_activeHandle, RH_TOPLEFT);
    EXPECT_EQ(frame.OnDrag(&design, {200, 200}), CRect(96, 80, 120, 104));
    EXPECT_EQ(frame.OnDrag(&design, {16, 24}), CRect(16, 24, 120, 104));
}

TEST_F(DisplayResize, MaximumSizeAndDesignArea)
{
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    frame.m_maxWidth = 100;
    picture.m_bSelected = 1;
    frame.OnPress(&design, 124, 70);
    ASSERT_EQ(frame.m_activeHandle, RH_RIGHT);
    EXPECT_EQ(frame.OnDrag(&design, {300, 70}), CRect(40, 40, 140, 104));
    EXPECT_EQ(host.cursor, -1);
    frame.m_maxWidth = INT_MAX;
    EXPECT_EQ(frame.OnDrag(&design, {480, 70}), CRect(40, 40, 400, 104));
}

TEST_F(DisplayResize, OverlapIsRefused)
{
    CPart* other = new CPart(CRect(200, 40, 240, 80));
    design.AddChild(other);
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    picture.m_bSelected = 1;
    frame.OnPress(&design, 124, 70);
    EXPECT_EQ(frame.OnDrag(&design, {160, 70}), CRect(40, 40, 160, 104));
    EXPECT_EQ(frame.OnDrag(&design, {216, 70}), CRect(40, 40, 160, 104));
    EXPECT_EQ(host.cursor, -1);
    EXPECT_EQ(design.m_rect, CRect());
}

TEST_F(DisplayResize, NoPressWithoutEditing)
{
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    picture.m_bSelected = 1;
    host.canSelect = false;
    frame.OnPress(&design, 124, 70);
    EXPECT_EQ(frame.m_activeHandle, RH_NONE);
    host.canSelect = true;
    CPart other;
    host.captured = &other;
    frame.OnPress(&design, 124, 70);
    EXPECT_EQ(frame.m_activeHandle, RH_NONE);
    host.captured = nullptr;
    frame.OnPress(&design, 60, 60);   // not on the band
    EXPECT_EQ(frame.m_activeHandle, RH_NONE);
}

TEST_F(DisplayResize, ReleaseDropAndSelfFraming)
{
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    EXPECT_EQ(frame.OnRelease(&design, 0, 0), 0);
    design.m_dwOptions |= 512;
    EXPECT_EQ(frame.OnRelease(&design, 0, 0), 8);
    picture.m_rect = CRect(0, 0, 50, 50);
    frame.Drop(&design);
    EXPECT_EQ(frame.m_rect, CRect(0, 0, 50, 50));
    CPartResize self;
    self.m_framed = &self;
    EXPECT_EQ(self.GetHitClass(), 16u);
    EXPECT_EQ(self.DefersToParent(), 0);
}

TEST_F(DisplayResize, DrawsHatchedFrameAndHandles)
{
    CImageView view(200, 160);
    CDisplay display(&view);
    CPart picture(CRect(40, 40, 120, 104));
    CPartResize frame(&picture);
    EXPECT_EQ(frame.Draw(0), 0);   // not selected: nothing
    picture.m_bSelected = 1;
    CPartResize::FrameDrawn() = 0;
    EXPECT_EQ(frame.Draw(0), 1);
    EXPECT_EQ(CPartResize::FrameDrawn(), 1);
    // Inside untouched; the band of 8 pixels outside holds the hatch.
    EXPECT_EQ(view.Pixel(60, 60), kWhite);
    int ink = 0;
    for (int x = 60; x < 70; ++x)
        for (int y = 32; y < 40; ++y) ink += view.Pixel(x, y) == kBlack;
    EXPECT_GT(ink, 5);
    EXPECT_EQ(view.Pixel(60, 31), kWhite);
    // Outlined handle squares: edge black, inside white.
    EXPECT_EQ(view.Pixel(76, 32), kBlack);
    EXPECT_EQ(view.Pixel(83, 39), kBlack);
    EXPECT_EQ(view.Pixel(79, 35), kWhite);
    // Deselecting erases the frame and the handles.
    frame.Deselect(0);
    for (int x = 28; x < 132; ++x) EXPECT_EQ(view.Pixel(x, 34), kWhite) << x;
}

TEST_F(DisplayResize, RecordRoundTripAndOuterBandFix)
{
    auto write = [](CPartResize& frame) {
        auto ar = std::make_unique<CArchive>();
        ar->WriteObject(&frame);
        return ar;
    };
    CPartResize frame;
    frame.m_rect = CRect(10, 20, 110, 90);
    frame.m_framed = &frame;
    frame.m_snap = 1;
    frame.m_handleSize = 6;
    frame.m_minSize = 30;
    frame.m_activeHandle = RH_LEFT;
    auto out = write(frame);
    CArchive in(out->GetBuffer());
    std::unique_ptr<CPartResize> back(static_cast<CPartResize*>(in.ReadNewObject(RUNTIME_CLASS(CPartResize))));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_rect, frame.m_rect);
    EXPECT_EQ(back->m_framed, back.get());
    EXPECT_EQ(back->m_snap, 1);
    EXPECT_EQ(back->m_outerBand, 2);
    EXPECT_EQ(back->m_handleSize, 6);
    EXPECT_EQ(back->m_minSize, 30);
    EXPECT_EQ(back->m_activeHandle, RH_LEFT);
    EXPECT_EQ(back->m_lastRect, frame.m_rect);
    // An outer band above 20 reads as 2.
    frame.m_outerBand = 25;
    auto bad = write(frame);
    CArchive in2(bad->GetBuffer());
    std::unique_ptr<CPartResize> fixed(static_cast<CPartResize*>(in2.ReadNewObject(RUNTIME_CLASS(CPartResize))));
    EXPECT_EQ(fixed->m_outerBand, 2);
    EXPECT_EQ(fixed->m_snap, 1);
}

} // namespace
