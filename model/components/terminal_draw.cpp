// How a terminal shows itself: its stub from the pin outward, the small ring
// at the free end of an idle terminal, the current arrow beside the stub and
// the voltage-level bar.
//
// Placement (all relative to the stub):
//   horizontal stubs (sides 1, 3): arrow 6 x 3 centred above the stub, its
//     shaft one row above; level bar 4 x 8 below the stub, 8 pixels in from
//     the pin on the right side, at the outer end on the left side;
//   vertical stubs (sides 0, 2): arrow 4 x 5 centred on the stub's length,
//     its shaft one column right of the stub; level bar left of the stub.
// The stub picture covers the pixels from beside the pin up to and
// including the outer end (the pin pixel is the part picture's own), so a
// wire joined at the outer end meets it without a gap on every side.
#include <algorithm>

#include "model/components/terminal.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/visual.h"

namespace {

struct TerminalPictures {
    CVisual arrowH{0, 0, 118, 3, 0, 0, 6, 3};
    CVisual arrowV{0, 0, 119, 3, 0, 0, 4, 5};
    CVisual level{0, 0, 113, 12, 0, 0, 4, 8};
    CVisual stubV{0, 0, 170, 6, 0, 0, 1, 20};
    CVisual stubH{0, 0, 171, 6, 0, 0, 20, 1};
    CVisual longV{0, 0, 580, 6, 0, 0, 5, 56};
    CVisual longH{0, 0, 600, 6, 0, 0, 56, 1};
    CVisual midH{0, 0, 581, 6, 0, 0, 48, 1};
    CVisual openEnd{0, 0, 172, 1, 0, 0, 3, 3};
};

TerminalPictures& Pictures()
{
    static TerminalPictures pictures;
    return pictures;
}

bool IsHorizontalSide(int side) { return side == 1 || side == 3; }

// Negative levels: the bar grows down from its top, in blue, so the sign is
// seen at a glance beside the red positive bars.
constexpr COLORREF kNegativeLevel = ColourRGB(0x00, 0x40, 0xE0);

} // namespace

bool CTerminal::ShowsLevel() const
{
    return m_wLevelStyle != LEVEL_DEFAULT && m_wLevelStyle != LEVEL_NONE && m_bHasPinMarker &&
           m_nKind != WIRE_SHORT_STUB;
}

CRect CTerminal::GetArrowRect() const
{
    const CRect& s = m_rect;
    if (IsHorizontalSide(m_nOrientation)) {
        const int cx = (s.left + s.right) / 2;
        return CRect(cx - 3, s.top - 4, cx + 3, s.top - 1);
    }
    const int cy = (s.top + s.bottom) / 2;
    return CRect(s.left + 1, cy - 2, s.left + 5, cy + 3);
}

CRect CTerminal::GetLevelRect() const
{
    // The bars stand by the pin marker (the marker sits on the stub for
    // every kind that shows levels).
    CRect s = m_rect;
    if (CPart* marker = m_bHasPinMarker ? GetFirstChild() : nullptr) s = marker->m_rect;
    if (IsHorizontalSide(m_nOrientation)) {
        const int x = m_nOrientation == 1 ? s.left + 8 : s.left;
        return CRect(x, s.top + 2, x + 4, s.top + 10);
    }
    return CRect(s.left - 5, s.top + 2, s.left - 1, s.top + 10);
}

void CTerminal::DrawMarker(DWORD drawFlags)
{
    if (!(m_nKind == WIRE_SHORT_STUB || (drawFlags & 0x10)) || !m_bHasPinMarker) return;
    const int frame = (m_nDirection >= 0 && m_nDirection <= 2) ? m_nDirection : 0;
    const CRect r = GetArrowRect();
    CVisual& arrow = IsHorizontalSide(m_nOrientation) ? Pictures().arrowH : Pictures().arrowV;
    arrow.DrawWhole(r.left, r.top, frame, 0, 0);
}

void CTerminal::DrawLevel(DWORD)
{
    if (!ShowsLevel()) return;
    const CRect r = GetLevelRect();
    CVisual& bar = Pictures().level;
    if (m_wLevelStyle == LEVEL_FIXED_MARKER) {
        bar.DrawWhole(r.left, r.top, 7, 0, 0);
        return;
    }
    const int n = std::min<int>(m_wLevelNumber, 8);
    const bool negative = m_wLevelStyle == 2 || m_wLevelStyle == 3;
    if (!negative) {
        // Frames 0-8 fill n rows from the bottom; a monochrome device shows
        // the hatched forms 9-11 for thirds of the scale.
        const int frame = CDisplay::IsColour() ? n : (n == 0 ? 0 : 9 + std::min(2, (n - 1) / 3));
        bar.DrawWhole(r.left, r.top, frame, 0, 0);
        return;
    }
    bar.DrawWhole(r.left, r.top, 0, 0, 0);
    if (n > 0) CDisplay::FillRectColour(CRect(r.left, r.top, r.left + 3, r.top + n), kNegativeLevel);
}

int CTerminal::Draw(DWORD flags)
{
    if (m_nDirection != 3 && !m_bBroken) {
        DrawMarker(flags);
        DrawLevel(flags);
    }
    const bool horizontal = IsHorizontalSide(m_nOrientation);
    const bool farSide = m_nOrientation == 1 || m_nOrientation == 2;
    int frame = 3 * (m_nDirection == 3 ? 1 : 0) + m_bBroken + (farSide ? m_bBroken : 0);
    TerminalPictures& p = Pictures();
    CVisual* stub = horizontal ? &p.stubH : &p.stubV;
    int across = 0;   // columns of the picture left of the stub line
    if (m_nKind == WIRE_LONG_STUB) {
        stub = horizontal ? &p.longH : &p.longV;
        across = horizontal ? 0 : 2;
    } else if (m_nKind == WIRE_MID_STUB && horizontal) {
        stub = &p.midH;
    }
    if (frame >= stub->GetFrameCount()) frame = 0;
    const int len = GetStubLength(m_nKind);
    const CSize size = horizontal ? CSize(len, 1) : CSize(stub->GetSize().cx, len);
    // Right and bottom stubs start one past the pin, top and left ones at
    // the outer end: either way the pin pixel is left to the part.
    const int x = m_rect.left + (m_nOrientation == 1 ? 1 : 0) - across;
    const int y = m_rect.top + (m_nOrientation == 2 ? 1 : 0);
    stub->DrawBitmap(x, y, frame, 0, CPoint(0, 0), size, 0);
    if (m_nDirection == 3 && !IsJoined()) {
        const CPoint end = GetOuterEnd();
        p.openEnd.DrawWhole(end.x - 1, end.y - 1, 0, 0, 0);
    }
    if (m_bJoin) DrawJoinDot();
    return 0;
}

void CTerminal::EraseTree()
{
    // The stub with the ring at its end (3 pixels either side for the wide
    // long stubs), then the arrow and the level bar beside it.
    CRect r = m_rect;
    r.InflateRect(1, 1);
    if (m_nKind == WIRE_LONG_STUB || m_nKind == WIRE_MID_STUB) {
        if (IsHorizontalSide(m_nOrientation))
            r.InflateRect(0, 2);
        else
            r.InflateRect(2, 0);
    }
    CDisplay::EraseRect(r);
    CDisplay::EraseRect(GetArrowRect());
    if (ShowsLevel()) CDisplay::EraseRect(GetLevelRect());
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (!m_bHasPinMarker || c != GetFirstChild()) c->EraseTree();
}

void CTerminal::Refresh(int what, DWORD drawFlags)
{
    CWire* joined = (what & 0x30) ? GetJoinedWire() : nullptr;
    if (what & 0x02) EraseTree();
    if (joined && (what & 0x10)) joined->EraseTree();
    if (joined && (what & 0x20)) joined->DrawTree(drawFlags);
    if (what & 0x01) Draw(drawFlags);
    if ((what & 0x08) && !(what & 0x01)) DrawMarker(drawFlags);
    if ((what & 0x04) && !(what & 0x01)) {
        if (!ShowsLevel()) CDisplay::EraseRect(GetLevelRect());
        DrawLevel(drawFlags);
    }
}
