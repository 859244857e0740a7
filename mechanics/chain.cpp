#include "mechanics/chain.h"

#include "model/display/display.h"
#include "model/display/visual.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CChain, "CMechComp", 4)

namespace {

constexpr int kSmallTeeth = 8;
constexpr int kBigTeeth = 24;
// Where the sprockets' pictures and the chain picture stand in the part.
constexpr CPoint kSmallAt(6, 36);
constexpr CPoint kBigAt(70, 4);
constexpr CPoint kPictureAt(6, 4);
constexpr int kBlurPicture = 3;
constexpr int kBlurFrame = 4;

// The chain picture: frames 0-15 four to a bitmap, the blur frame last.
CVisual& ChainPicture(int part)
{
    static CVisual p0(0, 0, 1297, 4, 0, 0, 168, 103);
    static CVisual p1(0, 0, 1298, 4, 0, 0, 168, 103);
    static CVisual p2(0, 0, 1299, 4, 0, 0, 168, 103);
    static CVisual p3(0, 0, 1300, 5, 0, 0, 168, 103);
    CVisual* all[4] = {&p0, &p1, &p2, &p3};
    return *all[part & 3];
}

// The lowered edge lines from the sprockets' rims, by the small one's frame.
constexpr int kSmallRim[16] = {14, 14, 14, 13, 12, 9, 9, 9, 9, 9, 9, 9, 12, 12, 14, 14};
constexpr int kBigRim[16] = {37, 37, 37, 36, 36, 35, 36, 35, 36, 35, 36, 36, 36, 37, 37, 37};

} // namespace

CChain::CChain()
{
    m_inertia1.SetMass(InertiaOf(kSmallTeeth));
    m_inertia2.SetMass(InertiaOf(kBigTeeth));
    LaySprockets();
}

void CChain::LaySprockets()
{
    const CRect local(0, 0, kWidth, kHeight);
    m_cog1.SetTeeth(kSmallTeeth);
    m_cog1.Place(kSmallAt.x, kSmallAt.y, local);
    m_cog2.SetTeeth(kBigTeeth);
    m_cog2.Place(kBigAt.x, kBigAt.y, local);
    // The part draws the chain picture; the sprockets only keep the frame
    // and the handles' marker points.
    m_cog1.SetVisible(0);
    m_cog2.SetVisible(0);
    m_cog1.SetRestAngle(0.0);
    m_cog2.SetRestAngle(0.0);
}

void CChain::CreateChildren()
{
    if (!m_terminals.empty()) return;
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    LaySprockets();
    AddShafts(corner);
    AddHandles();
}

void CChain::Serialize(CArchive& ar)
{
    CTwoWheels::Serialize(ar);
    if (ar.IsStoring()) return;
    // The drive is always 8:24 with the wheels' inertias, whatever the
    // record said: the picture and the ratio are fixed.
    m_inertia1.SetMass(InertiaOf(kSmallTeeth));
    m_inertia2.SetMass(InertiaOf(kBigTeeth));
    if (m_cog1.GetTeeth() != kSmallTeeth || m_cog2.GetTeeth() != kBigTeeth) LaySprockets();
    if (ar.GetVersion() <= 3) ReplaceOldHandles(ar);
}

void CChain::DrawWheels(CPoint corner, DWORD flags)
{
    const int f = m_cog1.FrameForFlags(flags) & 15;
    const CPoint at = corner + kPictureAt;
    CVisual& picture = ChainPicture(f / 4);
    picture.DrawBitmap(at.x, at.y, f % 4, GetDrawVariant(), {0, 0}, picture.GetSize(), 0, SRCAND);
    if (m_cog1.IsFast() && (flags & 0x4) && !(flags & 0x200)) {
        CVisual& blur = ChainPicture(kBlurPicture);
        blur.DrawBitmap(at.x, at.y, kBlurFrame, GetDrawVariant(), {0, 0}, blur.GetSize(), 0, SRCAND);
    }
    const int a = kSmallRim[f], b = kBigRim[f];
    CDisplay::DrawEdgeLine(corner.x + 25 + a, corner.y + 55 - a, corner.x + 45, corner.y + 35, false);
    CDisplay::DrawEdgeLine(corner.x + 55, corner.y + 25, corner.x + 80, corner.y, false);
    CDisplay::DrawEdgeLine(corner.x + 121 + b, corner.y + 55 - b, corner.x + 176, corner.y, false);
}
