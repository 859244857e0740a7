#include "components/directionkey.h"

#include "model/display/visual.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CDirectionKey, "CToggle", 4)

namespace {
// Frames: both halves up, the upper half down, the lower half down.
CVisual& DirectionKeyPicture()
{
    static CVisual picture(0, 0, 1321, 3, 0, 0, 24, 23);
    return picture;
}
} // namespace

CDirectionKey::CDirectionKey() { m_pVisual = &DirectionKeyPicture(); }

CDirectionKey::CDirectionKey(int x, int y, CPart* operated) : CDirectionKey()
{
    m_pOperated = operated;
    m_rect.SetRect(x, y, x + 24, y + 23);
}

void CDirectionKey::Serialize(CArchive& ar)
{
    CToggle::Serialize(ar);
    if (ar.IsLoading() && m_wState > 3) m_wState = 0;
}

int CDirectionKey::OnPress(CPartTree* design, int, int y)
{
    const WORD state = y - m_rect.top > 11 ? 3 : 1;
    m_bRepeat = state == m_wState;
    m_wState = state;
    RedrawFor(design);
    Report(design, m_wState);
    return 0;
}

int CDirectionKey::OnRelease(CPartTree* design, int, int)
{
    if (m_bRepeat && (m_wState == 1 || m_wState == 3)) m_wState = static_cast<WORD>(m_wState - 1);
    RedrawFor(design);
    Report(design, m_wState);
    return 1;
}

int CDirectionKey::Draw(DWORD flags)
{
    if (!(flags & 0x80) || !m_pVisual) return 0;
    const int frame = m_wState == 3 ? 2 : m_wState == 1 ? 1 : 0;
    m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, 0, 0);
    return CPart::Draw(flags);
}
