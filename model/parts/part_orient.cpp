// Orientation turns and the drawing hook of the part base.
#include "model/parts/part.h"

namespace {

CPartDrawing* g_drawing = nullptr;

// The number of quarter turns from code o to code n, 0..3.
int QuarterTurns(int n, int o)
{
    int n4 = ((n % 4) + 4) % 4, o4 = ((o % 4) + 4) % 4;
    return n4 < o4 ? n4 - o4 + 4 : n4 - o4;
}

template <class T>
void TurnOffset(T& dx, T& dy, int newCode, int oldCode)
{
    // With y up: one quarter turn maps (x, y) to (y, -x).
    dy = -dy;
    T x = dx, y = dy;
    switch (QuarterTurns(newCode, oldCode)) {
    case 1: dx = y; dy = -x; break;
    case 2: dx = -x; dy = -y; break;
    case 3: dx = -y; dy = x; break;
    default: break;
    }
    // Mirroring on or off flips the axis that the new code leaves along the
    // part's length.
    if (IsMirroredOrientation(newCode) != IsMirroredOrientation(oldCode)) {
        if (IsEvenOrientation(newCode))
            dx = -dx;
        else
            dy = -dy;
    }
    dy = -dy;
}

} // namespace

CPartDrawing* CPartDrawing::Current() { return g_drawing; }

CPartDrawing* CPartDrawing::Install(CPartDrawing* d)
{
    CPartDrawing* prev = g_drawing;
    g_drawing = d;
    return prev;
}

CPoint TurnPoint(CPoint p, CPoint a, int newCode, int oldCode)
{
    int dx = p.x - a.x, dy = p.y - a.y;
    TurnOffset(dx, dy, newCode, oldCode);
    return CPoint(a.x + dx, a.y + dy);
}

CPointD TurnPoint(CPointD p, CPointD a, int newCode, int oldCode)
{
    double dx = p.x - a.x, dy = p.y - a.y;
    TurnOffset(dx, dy, newCode, oldCode);
    return {a.x + dx, a.y + dy};
}

int CPart::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    m_nOrientation = newCode;
    CPoint a = anchor ? *anchor : m_rect.CenterPoint();
    CPoint turned = TurnPoint(m_rect.TopLeft(), a, newCode, oldCode);
    Offset(turned.x - m_rect.left, turned.y - m_rect.top);
    return flag;
}
