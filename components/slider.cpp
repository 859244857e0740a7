#include "components/slider.h"

#include "model/display/display.h"
#include "model/display/visual.h"
#include "model/parts/parttree.h"
#include "platform/archive.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CSlider, "CToggle", 2)

namespace {
// The track stands upright; lying sliders draw it a quarter turn round.
CVisual& TrackPicture()
{
    static CVisual picture(0, 0, 156, 1, 0, 0, 10, 40);
    static const bool turns = [] {
        picture.SetOrientationMask(15);
        return true;
    }();
    (void)turns;
    return picture;
}
CVisual& LargeTrackPicture()
{
    static CVisual picture(0, 0, 453, 1, 0, 0, 170, 38);
    return picture;
}
// Knob frames: 0 resting, 1 held, 2 the track behind it (erases it).
CVisual& KnobPicture()
{
    static CVisual picture(0, 0, 157, 3, 0, 0, 15, 15);
    return picture;
}
CVisual& LargeKnobPicture()
{
    static CVisual picture(0, 0, 455, 3, 0, 0, 22, 36);
    return picture;
}
CVisual& MarkPicture()
{
    static CVisual picture(0, 0, 329, 1, 0, 0, 6, 6);
    return picture;
}
} // namespace

CVisual& SmallSliderKnob()
{
    static CVisual picture(0, 0, 210, 3, 0, 0, 15, 15);
    return picture;
}

CSlider::CSlider()
{
    m_pTrack = &TrackPicture();
    m_pKnob = &KnobPicture();
    m_pMarks = &MarkPicture();
    m_pVisual = m_pTrack;
    m_wState = 13;
}

CSlider::CSlider(int side, CPart* beside, CPart* operated, const CPoint* offset, int large) : CSlider()
{
    m_pOperated = operated;
    if (large) UseAlternateLook();
    PlaceLabel(side, beside, offset);
}

void CSlider::Serialize(CArchive& ar)
{
    CToggle::Serialize(ar);
    if (ar.IsLoading()) SetPosition(m_wState);
}

void CSlider::UseAlternateLook()
{
    m_bAlternateLook = 1;
    m_bLarge = 1;
    m_pTrack = &LargeTrackPicture();
    m_pKnob = &LargeKnobPicture();
    m_pVisual = m_pTrack;
}

void CSlider::SetPosition(int position)
{
    m_wState = static_cast<WORD>(std::clamp(position, MinPosition(), MaxPosition()));
}

void CSlider::PlaceLabel(int side, CPart* part, const CPoint* offset)
{
    CSize size = m_bLarge ? CSize(170, 38) : (side == 0 || side == 2) ? CSize(40, 15) : CSize(15, 40);
    m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + size.cx, m_rect.top + size.cy);
    CPart::PlaceLabel(side, part, offset);
    if (m_bLarge)
        Offset(-2, 0);
    else if (side == 0 || side == 2)
        Offset(1, 0);
    m_nOrientation = side == 0 ? 3 : side - 1;
}

int CSlider::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    // Only the small track of the lengths PlaceLabel gives it (the
    // thermometer and the tank keep their own shapes).
    const bool track = (m_rect.Width() == 40 && m_rect.Height() == 15) || (m_rect.Width() == 15 && m_rect.Height() == 40);
    if (m_bLarge || !track) return CToggle::SetOrientation(newCode, oldCode, flag, anchor);
    static const CPoint kOut[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const CPoint a = anchor ? *anchor : m_rect.CenterPoint();
    const CPoint c2(m_rect.left + m_rect.right, m_rect.top + m_rect.bottom);
    const CPoint t = TurnPoint(c2, CPoint(2 * a.x, 2 * a.y), newCode, oldCode);
    const int side = (m_nOrientation + 1) & 3;
    const CPoint out = TurnPoint(kOut[side], CPoint(0, 0), newCode, oldCode);
    int turned = side;
    for (int s = 0; s < 4; ++s)
        if (kOut[s] == out) turned = s;
    CentreRectOn(t, (turned == 0 || turned == 2) ? CSize(40, 15) : CSize(15, 40));
    m_nOrientation = turned == 0 ? 3 : turned - 1;
    return flag;
}

CPoint CSlider::KnobOrigin() const
{
    const int offset = m_wState * Step();
    if (IsVertical()) return CPoint(m_rect.left, m_rect.top + offset);
    return CPoint(m_rect.right - offset - kKnob, m_rect.top);
}

int CSlider::DistanceAlong(CPoint point) const
{
    return IsVertical() ? point.y - m_rect.top : m_rect.right - point.x;
}

void CSlider::DrawKnob(int frame)
{
    if (!m_pKnob) return;
    const CPoint k = KnobOrigin();
    m_pKnob->DrawWhole(k.x, k.y, frame, 0, 0);
}

int CSlider::OnPress(CPartTree* design, int x, int y)
{
    if (!Animating(design)) return 0;
    m_nDragOffset = DistanceAlong(CPoint(x, y)) - m_wState * Step();
    DrawKnob(1);
    return 0;
}

CRect CSlider::OnDrag(CPartTree* design, CPoint point)
{
    if (!Animating(design)) return CRect();
    DrawKnob(2);
    // C++ division truncates towards zero; the clamp takes what lies
    // beyond either end.
    SetPosition((DistanceAlong(point) - m_nDragOffset) / Step());
    DrawKnob(1);
    Report(design, GetReported());
    return m_rect;
}

CRect CSlider::DragWhole(CPartTree* design, CPoint point)
{
    if (!Animating(design)) return CRect();
    SetPosition(point.y - (m_nDragOffset + m_rect.top));
    RedrawFor(design);
    Report(design, GetReported());
    return m_rect;
}

int CSlider::OnRelease(CPartTree* design, int, int)
{
    if (!Animating(design)) return 0;
    DrawKnob(0);
    return 10;
}

int CSlider::Draw(DWORD flags)
{
    if (!((flags & 0x80) || m_bLarge)) return 0;
    if (m_pTrack) {
        if (m_bLarge) {
            m_pTrack->DrawWhole(m_rect.left, m_rect.top, 0, 0, 0);
        } else if (IsVertical()) {
            m_pTrack->DrawWhole(m_rect.left + 2, m_rect.top, 0, 0, 0);
        } else {
            m_pTrack->DrawWhole(m_rect.left, m_rect.top + 2, 0, 0, 1);
        }
    }
    DrawKnob(0);
    return CPart::Draw(flags);
}

void CSlider::DrawSlider(DWORD flags)
{
    if (m_bLarge || !m_pMarks) return;
    // The mark points at the knob's middle (or the track's middle) from the
    // side of the track that faces away from the operated part.
    const int at = ((flags & 0x4) ? m_wState : 13) + kKnob / 2;
    const CRect& r = m_rect;
    switch (m_nOrientation & 3) {
    case 0: m_pMarks->DrawWhole(r.left - 6, r.top + at - 3, 0, 0, 0); break;
    case 2: m_pMarks->DrawWhole(r.right, r.top + at - 3, 0, 0, 0); break;
    case 1: m_pMarks->DrawWhole(r.right - at - 3, r.top - 6, 0, 0, 0); break;
    default: m_pMarks->DrawWhole(r.right - at - 3, r.bottom, 0, 0, 0); break;
    }
}

void CSlider::InvalidateTrack()
{
    if (m_bLarge) return;
    CPartDrawing* d = CPartDrawing::Current();
    if (!d) return;
    const CRect& r = m_rect;
    switch (m_nOrientation & 3) {
    case 0:
        d->EraseRect(CRect(r.left - 6, r.top - 1, r.left, r.bottom + 1));
        d->EraseRect(CRect(r.right, r.top - 1, r.right + 3, r.bottom + 1));
        break;
    case 2:
        d->EraseRect(CRect(r.left - 3, r.top - 1, r.left, r.bottom + 1));
        d->EraseRect(CRect(r.right, r.top - 1, r.right + 6, r.bottom + 1));
        break;
    case 1:
        d->EraseRect(CRect(r.left - 1, r.top - 6, r.right + 1, r.top));
        d->EraseRect(CRect(r.left - 1, r.bottom, r.right + 1, r.bottom + 3));
        break;
    default:
        d->EraseRect(CRect(r.left - 1, r.top - 3, r.right + 1, r.top));
        d->EraseRect(CRect(r.left - 1, r.bottom, r.right + 1, r.bottom + 6));
        break;
    }
}
