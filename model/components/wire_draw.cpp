// How wires and crossover markers show themselves.
//
// A straight wire is a 1-pixel black line from end A towards end B (the
// drawing layer leaves the last pixel out: end B is drawn by whatever joins
// there, a terminal stub or the next wire's end A).  Rotational and linear
// wires may run diagonally; linear ones are dotted.  A wire that carries a
// junction draws the 7 x 7 dot over its join point; the same picture marks
// the point a route would join while the mouse hovers over a wire.
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/display/display.h"
#include "model/display/visual.h"

namespace {

CVisual& JunctionPicture()
{
    static CVisual picture(0, 0, 351, 1, 0, 0, 7, 7);
    return picture;
}

CVisual& BridgePicture()
{
    static CVisual picture(0, 0, 169, 3, 0, 0, 6, 8);
    return picture;
}

} // namespace

void CWire::DrawJoinDot() { JunctionPicture().DrawWhole(m_ptJoin.x, m_ptJoin.y, 0, 0, 0); }

int CWire::Draw(DWORD)
{
    CPoint a = GetEndA();
    const CPoint b = GetEndB();
    if (m_nOrientation == WIRE_HORIZONTAL || m_nOrientation == WIRE_VERTICAL) {
        // Under the double-size zoom the drawing layer shifts lines by one
        // pixel and shortens them by one; a wire that continues a terminal
        // stub in its own direction starts one pixel earlier, so the pair
        // stays joined on the screen.
        CDC* dc = CDisplay::GetCurrentDC();
        if (dc && CDisplay::GetZoomWord() && CDisplay::GetZoomLineCompensation() && !dc->IsPrinting()) {
            if (auto* t = dynamic_cast<CTerminal*>(m_pLinkA)) {
                const bool tHorizontal = t->GetSide() == 1 || t->GetSide() == 3;
                if (tHorizontal == (m_nOrientation == WIRE_HORIZONTAL)) {
                    if (m_nOrientation == WIRE_HORIZONTAL)
                        a.x -= 1;
                    else
                        a.y -= 1;
                }
            }
        }
        CDisplay::DrawThinLine(a.x, a.y, b.x, b.y);
    } else {
        CDisplay::DrawLine(a.x, a.y, b.x, b.y, kBlack, m_nKind == WIRE_LINEAR ? PS_DOT : PS_SOLID, 1);
    }
    if (m_bJoin) DrawJoinDot();
    return 0;
}

void CWire::SetHover(int flag, CPoint point)
{
    if (flag)
        JunctionPicture().DrawWhole(point.x - 3, point.y - 3, 0, 0, 0);
    else
        CDisplay::EraseRect(CRect(point.x - 3, point.y - 3, point.x + 4, point.y + 4));
    DrawTree(0);
}

int CCrossOver::Draw(DWORD)
{
    if (m_nStyle < 0 || m_nStyle > 2) return 0;
    BridgePicture().DrawWhole(m_rect.left + 1, m_rect.top, m_nStyle, 0, 0);
    return 0;
}
