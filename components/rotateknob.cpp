#include "components/rotateknob.h"

#include "platform/archive.h"

#include <cmath>
#include <numbers>

WB_IMPLEMENT_SERIAL(CRotateKnob, "CKnob", 5)

CRotateKnob::CRotateKnob(int x, int y, int dx, int dy, int axis, CPart* operated)
{
    m_pOperated = operated;
    m_nAxis = axis;
    m_rect.SetRect(-dx, -dy, 7 - dx, 7 - dy);
    m_centre = CPoint(x, y);
}

void CRotateKnob::Serialize(CArchive& ar)
{
    CKnob::Serialize(ar);
    if (ar.IsStoring()) {
        ar << PackPair(m_centre);
        return;
    }
    DWORD centre = 0;
    ar >> centre;
    m_centre = UnpackPair(centre);
}

double CRotateKnob::TurnAngle(CPoint c, CPoint from, CPoint to)
{
    constexpr double pi = std::numbers::pi;
    const double a1 = std::atan2(from.y - c.y, from.x - c.x);
    const double a2 = std::atan2(to.y - c.y, to.x - c.x);
    double d = a1 - a2;
    if (d > pi) d -= 2 * pi;
    if (d <= -pi) d += 2 * pi;
    return std::floor(d * 180.0 / pi + 0.5) * pi / 180.0;
}

CRect CRotateKnob::OnDrag(CPartTree* design, CPoint point)
{
    if (!(DesignOptions(design) & 0x80)) return CRect();
    const CPoint c = (m_pOperated ? m_pOperated->m_rect.TopLeft() : CPoint(0, 0)) + m_centre;
    Motion(design, 1, TurnAngle(c, m_last, point));
    m_last = point;
    return m_rect;
}
