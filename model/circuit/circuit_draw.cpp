// Drawing the whole design on the current drawing context.  Every top-level
// part of every group draws its subtree; parts outside the clip are passed
// over.  A part that erased or covered its neighbours while drawing (the
// rail-through clears the area of the part it carries) asks for a second
// pass, in which only the parts that draw in that pass (mode 2) draw again.
#include "model/circuit/circuit.h"
#include "model/display/display.h"

namespace {

// Draws every top-level part of the design in walk order.
void DrawParts(CPartTree* design, DWORD flags, int mode, const CRect& clip, CPart* except)
{
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->DrawTreeInRect(flags, mode, clip, except);
}

} // namespace

void CCircuit::DrawTree(DWORD flags)
{
    CDC* dc = CDisplay::GetCurrentDC();
    if (!dc) return;
    // The clip box is the visible area (a printer's page clip when printing).
    DrawTreeInRect(flags, 4, dc->GetClipBox(), nullptr);
}

void CCircuit::DrawTreeInRect(DWORD flags, int mode, const CRect& clip, CPart* except)
{
    // No test for a drawing context here: text parts draw through their own
    // scope as well as the drawing layer's, and every part draws nothing
    // without either.
    const int outer = m_bSecondPass;
    m_bSecondPass = 0;
    DrawParts(this, flags, mode, clip, except);
    const bool again = m_bSecondPass && !(mode & 0x2);
    m_bSecondPass = outer;
    if (again) DrawParts(this, flags, 2, clip, except);
}
