#include "components/mercury.h"

#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CMercury, "CToggle", 3)

namespace {
// The thermometer tube and scale, 40 x 88.
CVisual& ColumnPicture()
{
    static CVisual picture(0, 0, 209, 1, 0, 0, 40, 88);
    return picture;
}
} // namespace

CMercury::CMercury()
{
    m_pTrack = &ColumnPicture();
    m_pVisual = m_pTrack;
    m_pKnob = &SmallSliderKnob();
    m_wState = 16;
}

CMercury::CMercury(int x, int y, CPart* operated) : CMercury()
{
    m_pOperated = operated;
    m_rect.SetRect(x, y, x + 40, y + 88);
    m_nOrientation = 0;
}

CPoint CMercury::KnobOrigin() const { return CPoint(m_rect.left + 11, m_rect.top + m_wState); }

CRect CMercury::OnDrag(CPartTree* design, CPoint point) { return DragWhole(design, point); }

int CMercury::Draw(DWORD flags)
{
    const int drawn = CSlider::Draw(flags);
    if (flags & 0x80)
        CDisplay::DrawLine(m_rect.left + 18, m_rect.top + 7 + m_wState, m_rect.left + 18, m_rect.top + 69,
                           ColourRGB(255, 0, 0), 0, 1);
    return drawn;
}
