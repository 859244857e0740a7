#include "components/hand.h"

#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CHand, "CToggle", 5)

CHand::CHand(CPart* operated, int size) : CHand()
{
    m_pOperated = operated;
    m_rect.SetRect(0, 0, size, size);
}

void CHand::Serialize(CArchive& ar)
{
    CToggle::Serialize(ar);
    if (ar.IsStoring())
        ar << m_wGrab;
    else
        ar >> m_wGrab;
}

int CHand::Zone(CPoint p) const
{
    if (!m_wGrab) return 1;
    const CPoint c = m_rect.CenterPoint();
    const double r = m_rect.Width() / 2.0 - 4.0;
    const double dx = p.x - c.x, dy = p.y - c.y;
    return r > 0 && dx * dx + dy * dy < r * r ? 1 : 2;
}

int CHand::CursorOfZone(int zone) { return zone == 2 ? 19 : zone == 1 ? 3 : 1; }

void CHand::CentreOn(CPoint p)
{
    const CPoint c = m_rect.CenterPoint();
    Offset(p.x - c.x, p.y - c.y);
}

CPoint CHand::GetCentre(int* state) const
{
    if (state) *state = m_wState;
    return m_rect.CenterPoint();
}

int CHand::OnPress(CPartTree* design, int x, int y)
{
    m_wState = static_cast<WORD>(Zone(CPoint(x, y)));
    CentreOn(CPoint(x, y));
    Report(design, 0);
    m_nOfferedCursor = CursorOfZone(m_wState);
    return 0;
}

CRect CHand::OnDrag(CPartTree* design, CPoint point)
{
    CentreOn(point);
    Report(design, 1);
    m_nOfferedCursor = CursorOfZone(m_wState);
    return m_rect;
}

int CHand::OnRelease(CPartTree* design, int x, int y)
{
    m_wState = 0;
    CentreOn(CPoint(x, y));
    Report(design, 2);
    m_nOfferedCursor = 0;
    return 10;
}

int CHand::ShowInfo(CPoint point, CString&)
{
    const int cursor = CursorOfZone(Zone(point));
    return cursor == 19 ? 21 : cursor;
}

int CHand::HasInfo(int x, int y) { return m_pOperated ? m_pOperated->HasInfo(x, y) : 0; }

int CHand::BuildInfo(CString& text, UINT messageId, CPoint point)
{
    return m_pOperated ? m_pOperated->BuildInfo(text, messageId, point) : 0;
}
