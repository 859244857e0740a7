#include <gtest/gtest.h>

#include "model/display/animate.h"
#include "tests/model/display_support.h"

namespace {

constexpr COLORREF kInk = ColourRGB(0, 0, 0x80);

// A part that draws a navy box with a white window in its middle.
class CBoxPart : public CPart {
public:
    explicit CBoxPart(const CRect& r) { m_rect = r; }
    int Draw(DWORD) override
    {
        CDisplay::FillRectColour(m_rect, kInk);
        CRect hole = m_rect;
        hole.DeflateRect(3, 3);
        CDisplay::FillRectColour(hole, kWhite);
        ++draws;
        return 1;
    }
    int draws = 0;
};

// A design-like background: every pixel different.
void Paint(CImageView& view)
{
    for (int y = 0; y < view.Image().height(); ++y)
        for (int x = 0; x < view.Image().width(); ++x)
            view.Image().setPixel(x, y, PixelOf(ColourRGB(x * 3, y * 3, (x + y) & 0xFF)));
}

// What the screen must show: the background with the box drawn over it,
// white pixels of the box letting the background through.
QImage Expected(const QImage& background, const CRect& box)
{
    QImage out = background.copy();
    CRect hole = box;
    hole.DeflateRect(3, 3);
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            if (!hole.PtInRect({x, y}) && x >= 0 && y >= 0 && x < out.width() && y < out.height())
                out.setPixel(x, y, PixelOf(kInk));
    return out;
}

using DisplayAnimate = DisplayTest;

TEST_F(DisplayAnimate, CaptureMakesImageAndMask)
{
    CImageView view(80, 60);
    Paint(view);
    CDisplay display(&view);
    CBoxPart box(CRect(10, 10, 30, 24));
    CAnimate anim(&box, 1);
    EXPECT_EQ(anim.m_rect, CRect(8, 8, 32, 26));
    EXPECT_EQ(box.m_rect, CRect(10, 10, 30, 24));   // offset back after drawing
    EXPECT_EQ(ColourOf(anim.GetImage().Image().pixel(2, 2)), kInk);
    EXPECT_EQ(ColourOf(anim.GetMask().Image().pixel(2, 2)), kBlack);
    EXPECT_EQ(ColourOf(anim.GetMask().Image().pixel(0, 0)), kWhite);
    EXPECT_EQ(ColourOf(anim.GetMask().Image().pixel(10, 8)), kWhite);   // the white window
    EXPECT_TRUE(anim.GetMask().IsMonochrome());
}

TEST_F(DisplayAnimate, SmallAndFarMovesShowThePartOverTheDesign)
{
    for (CPoint step : {CPoint(3, 2), CPoint(-1, 4), CPoint(40, 25)}) {
        CImageView view(120, 90);
        Paint(view);
        const QImage design = view.Image().copy();
        CDisplay display(&view);
        CBoxPart box(CRect(10, 10, 30, 24));
        CAnimate anim(&box, 1);
        anim.DrawImage();
        EXPECT_EQ(view.Image(), Expected(design, box.m_rect));
        anim.MoveBy(step, true);
        EXPECT_EQ(box.m_rect, CRect(10 + step.x, 10 + step.y, 30 + step.x, 24 + step.y));
        EXPECT_EQ(view.Image(), Expected(design, box.m_rect)) << step.x << "," << step.y;
        anim.MoveBy(step, true);
        EXPECT_EQ(view.Image(), Expected(design, box.m_rect)) << step.x << "," << step.y;
    }
}

TEST_F(DisplayAnimate, DestroyingRestoresTheScreen)
{
    CImageView view(120, 90);
    Paint(view);
    const QImage design = view.Image().copy();
    CDisplay display(&view);
    CBoxPart box(CRect(10, 10, 30, 24));
    {
        CAnimate anim(&box, 1);
        anim.DrawImage();
        anim.MoveBy({5, 5}, true);
        anim.MoveBy({50, 20}, true);
        anim.MoveBy({-2, 1}, true);
    }
    EXPECT_EQ(view.Image(), design);
}

TEST_F(DisplayAnimate, UpdateFollowsAGrowingTarget)
{
    CImageView view(120, 90);
    Paint(view);
    const QImage design = view.Image().copy();
    CDisplay display(&view);
    CBoxPart box(CRect(10, 10, 30, 24));
    CAnimate anim(&box, 1);
    anim.DrawImage();
    anim.RestoreBackground();
    box.m_rect = CRect(10, 10, 40, 30);
    anim.Update(1);
    EXPECT_EQ(anim.m_rect, CRect(8, 8, 42, 32));
    EXPECT_EQ(view.Image(), Expected(design, box.m_rect));
}

TEST_F(DisplayAnimate, ClippedToTheClipBox)
{
    CImageView view(60, 60);
    Paint(view);
    const QImage design = view.Image().copy();
    CDisplay display(&view);
    // A part partly off the top-left of the screen.
    CBoxPart box(CRect(-8, -6, 12, 10));
    {
        CAnimate anim(&box, 1);
        anim.DrawImage();
        EXPECT_EQ(view.Image(), Expected(design, box.m_rect));
        anim.MoveBy({2, 2}, true);
        EXPECT_EQ(view.Image(), Expected(design, box.m_rect));
    }
    EXPECT_EQ(view.Image(), design);
}

} // namespace

namespace {

TEST_F(DisplayAnimate, OneDragImageAtATime)
{
    CImageView view(120, 90);
    Paint(view);
    const QImage design = view.Image().copy();
    CDisplay display(&view);
    CBoxPart box(CRect(10, 10, 30, 24));
    CAnimate* anim = BeginDragAnimation(&box, 1);
    ASSERT_EQ(CurrentDragAnimation(), anim);
    EXPECT_TRUE(SharedPressState().dragImage);
    EXPECT_EQ(SharedPressState().dragRect, CRect(8, 8, 32, 26));
    anim->DrawImage();
    anim->MoveBy({7, 3}, true);
    EndDragAnimation();
    EXPECT_EQ(CurrentDragAnimation(), nullptr);
    EXPECT_FALSE(SharedPressState().dragImage);
    EXPECT_EQ(view.Image(), design);
    EXPECT_EQ(box.m_rect, CRect(17, 13, 37, 27));
}

} // namespace
