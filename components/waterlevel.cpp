#include "components/waterlevel.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CWaterLevel, "CToggle", 4)

namespace {
// Frame k shows the tank filled to level k (0 empty .. 9 full).
CVisual& TankPicture()
{
    static CVisual picture(0, 0, 353, 10, 0, 0, 32, 28);
    return picture;
}
} // namespace

CWaterLevel::CWaterLevel()
{
    m_pTrack = &TankPicture();
    m_pVisual = m_pTrack;
    m_pKnob = &SmallSliderKnob();
    m_wState = 6;
}

CWaterLevel::CWaterLevel(int x, int y, CPart* operated) : CWaterLevel()
{
    m_pOperated = operated;
    m_rect.SetRect(x - 14, y + 2, x + 32, y + 32);
    m_nOrientation = 0;
}

CRect CWaterLevel::OnDrag(CPartTree* design, CPoint point) { return DragWhole(design, point); }

int CWaterLevel::Draw(DWORD flags)
{
    if (!(flags & 0x80)) return 0;
    if (m_pTrack) m_pTrack->DrawWhole(m_rect.left + 14, m_rect.top + 2, 9 - m_wState, 0, 0);
    DrawKnob(0);
    return CPart::Draw(flags);
}
