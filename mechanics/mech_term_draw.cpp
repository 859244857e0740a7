// How a mechanical terminal shows itself, drawn with the drawing layer's
// lines and fills (no pictures):
//   marker: a 5 x 5 square on the pin for a shaft (filled while selected),
//     a 3 x 5 bar for a slider; grey while the simulation is stopped;
//   stub: the line from the pin to the outer end;
//   linear travel: a line from anchor B along the stub's axis, as long as
//     the displacement in pixels (4000 per metre), so the slider moves;
//   rotation marks at C: a short line with a head on the side the shaft
//     turns to (a dot at rest), mirrored when C lies left of A;
//   force marks: about A for a shaft, level + 1 ticks on a ring of radius
//     8 (the ring is cleared first, so the marks of the last step go);
//     beside the moved stub end for a slider, an arrow 2 x (level + 2)
//     pixels long 3 pixels above B; red for forward, blue for backward.
#include "mechanics/mech_term.h"

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/display/colour.h"
#include "model/display/display.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr COLORREF kStopped = ColourRGB(0x80, 0x80, 0x80);
constexpr COLORREF kForward = ColourRGB(0xE0, 0x00, 0x00);
constexpr COLORREF kBackward = ColourRGB(0x00, 0x40, 0xE0);
constexpr int kRingRadius = 8;

// Option bits that show the force marks.
constexpr DWORD kShowLinearForce = 0x20000;
constexpr DWORD kShowRotationalForce = 0x40000;
constexpr DWORD kHideRotationalForce = 0x100000;

void Line(CPoint a, CPoint b, COLORREF c) { CDisplay::DrawLine(a.x, a.y, b.x, b.y, c, PS_SOLID, 1); }

bool IsBeingDragged(const CPart* owner) { return owner && SharedPressState().pendingOp == owner; }

} // namespace

int CMechTerm::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    const CPoint pin = GetPinPoint();
    const COLORREF ink = m_bStopped ? kStopped : kBlack;
    if (m_nKind == WIRE_LINEAR) {
        const int dx = m_nOrientation == 1 ? 1 : -3;
        CDisplay::FillRectColour(CRect(pin.x + dx, pin.y - 2, pin.x + dx + 3, pin.y + 3), ink);
    } else {
        const CRect box(pin.x - 2, pin.y - 2, pin.x + 3, pin.y + 3);
        if (IsSelected())
            CDisplay::FillRectColour(box, ink);
        else
            CDisplay::DrawFrame(box.TopLeft(), CPoint(box.right - 1, box.bottom - 1), ink, PS_SOLID, 1);
    }
    CPoint end = GetOuterEnd();
    Line(pin, end, ink);
    CDisplay::DrawLine(end.x, end.y, end.x, end.y, ink, PS_SOLID, 1);
    DrawMarks(flags);
    return 0;
}

void CMechTerm::EraseTree()
{
    CDisplay::EraseRect(GetMarksRect());
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->EraseTree();
}

CRect CMechTerm::GetMarksRect() const
{
    CRect r = m_rect;
    r.InflateRect(3, 3);
    auto take = [&r](const CRect& more) {
        r.left = std::min(r.left, more.left);
        r.top = std::min(r.top, more.top);
        r.right = std::max(r.right, more.right);
        r.bottom = std::max(r.bottom, more.bottom);
    };
    if (m_nKind == WIRE_ROTATIONAL) {
        take(CRect(m_ptA.x - kRingRadius - 2, m_ptA.y - kRingRadius - 2, m_ptA.x + kRingRadius + 3,
                   m_ptA.y + kRingRadius + 3));
        take(CRect(m_ptC.x - 8, m_ptC.y - 3, m_ptC.x + 9, m_ptC.y + 4));
    } else {
        const int shift = MetresToPixels(m_dPosition);
        const int reach = std::abs(shift) + 2 * (9 + 2) + 4;
        take(CRect(m_ptB.x - reach, m_ptB.y - 6, m_ptB.x + reach + 1, m_ptB.y + 2));
    }
    return r;
}

void CMechTerm::DrawMarks(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return;
    if (m_wShowForceMarks && !m_bStopped) DrawSymbol(flags, 0.0);
    if (m_nKind == WIRE_ROTATIONAL) {
        if (!m_wShowRotationMarks || IsBeingDragged(m_pOwner)) return;
        constexpr double kTurning = 1.047197551197e-9;
        int index = m_dVelocity >= kTurning ? 1 : m_dVelocity <= -kTurning ? 2 : 0;
        if (m_ptC.x < m_ptA.x) index += 3;
        const CPoint c = m_ptC;
        if (index % 3 == 0) {
            CDisplay::FillRectColour(CRect(c.x - 1, c.y - 1, c.x + 2, c.y + 2), kBlack);
            return;
        }
        // Forward turning points right, mirrored on the left of the shaft.
        const bool right = (index % 3 == 1) != (index >= 3);
        const int s = right ? 1 : -1;
        Line(CPoint(c.x - 6 * s, c.y), CPoint(c.x + 6 * s, c.y), kBlack);
        Line(CPoint(c.x + 6 * s, c.y), CPoint(c.x + 3 * s, c.y - 3), kBlack);
        Line(CPoint(c.x + 6 * s, c.y), CPoint(c.x + 3 * s, c.y + 3), kBlack);
        return;
    }
    // The slider's travel: from B along the stub by the displacement, and
    // out past the arrow while the force marks show.
    int shift = MetresToPixels(m_dPosition);
    const bool marks = m_wMarkState <= MARK_BACKWARD_FULL && m_wShowForceMarks && !m_bStopped;
    if (marks) shift += (m_nOrientation == 3 ? -1 : 1) * 2 * (m_wMarkLevel + 2);
    Line(m_ptB, CPoint(m_ptB.x + shift, m_ptB.y), m_bStopped ? kStopped : kBlack);
}

void CMechTerm::DrawSymbol(DWORD flags, double d)
{
    if (m_wMarkState > MARK_BACKWARD_FULL || !CDisplay::GetCurrentDC()) return;
    const COLORREF ink = m_wMarkState >= MARK_BACKWARD ? kBackward : kForward;
    if (m_nKind == WIRE_ROTATIONAL) {
        if (!(flags & kShowRotationalForce) || (flags & kHideRotationalForce)) return;
        const CPoint a = m_ptA;
        // The mask clears the ring, then the level's ticks go on it.
        CDisplay::EraseRect(
            CRect(a.x - kRingRadius - 1, a.y - kRingRadius - 1, a.x + kRingRadius + 2, a.y + kRingRadius + 2));
        const int frame = m_wMarkLevel >= 9 ? 8 : m_wMarkLevel;
        const int sense = m_wMarkState >= MARK_BACKWARD ? -1 : 1;
        for (int i = 0; i <= frame; ++i) {
            const double angle = sense * i * 2.0 * std::numbers::pi / 9.0 - std::numbers::pi / 2.0;
            const CPoint p(a.x + static_cast<int>(std::lround(kRingRadius * std::cos(angle))),
                           a.y + static_cast<int>(std::lround(kRingRadius * std::sin(angle))));
            CDisplay::FillRectColour(CRect(p.x - 1, p.y - 1, p.x + 1, p.y + 1), ink);
        }
        return;
    }
    if (!(flags & kShowLinearForce)) return;
    const int end = m_ptB.x + MetresToPixels(d + m_dPosition);
    const int y = m_ptB.y - 3;
    const int length = 2 * (m_wMarkLevel + 2);
    // Beside the stub end on its own side; the head shows the direction.
    const int from = m_nOrientation == 3 ? end - length : end;
    const int to = from + length;
    Line(CPoint(from, y), CPoint(to, y), ink);
    const bool pointsRight = m_wMarkState < MARK_BACKWARD;
    const int tip = pointsRight ? to - 1 : from;
    const int back = pointsRight ? -2 : 2;
    Line(CPoint(tip, y), CPoint(tip + back, y - 2), ink);
    Line(CPoint(tip, y), CPoint(tip + back, y + 2), ink);
}
