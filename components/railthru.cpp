#include "components/railthru.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/display.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CRailThru, "CComponent", 2)

namespace {
constexpr int kEarthLevel = 9;
}

CRailThru::CRailThru()
{
    // No picture of its own: the mask is the part's (the offset row would
    // be its picture's, and it has none).
    SetOrientationMask(3);
    LoadRatings(42);
}

void CRailThru::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring()) CutToRailHeight();
}

void CRailThru::CutToRailHeight()
{
    if (!(m_nOrientation & 1) && m_rect.Height() > 8) m_rect.top = m_rect.bottom - 8;
}

void CRailThru::CreateChildren()
{
    const CPoint o = m_rect.TopLeft();
    m_rect.SetRect(o.x - 6, o.y - 4, o.x + 14, o.y + 4);
    CTerminal* first = AddTerminal(3, CPoint(o.x - 4, o.y));
    AddTerminal(1, CPoint(o.x + 12, o.y));
    // The first terminal takes no presses of its own.
    if (first->m_bHasPinMarker) {
        CPart* marker = first->GetFirstChild();
        first->CPart::RemoveChild(marker);
        delete marker;
        first->m_bHasPinMarker = false;
    }
}

CPart* CRailThru::GetCarriedPart() const
{
    CTerminal* second = GetTerminal(1);
    return second ? second->GetFirstChild() : nullptr;
}

int CRailThru::Draw(DWORD flags)
{
    CDisplay::EraseRect(m_rect);
    if (CPart* carried = GetCarriedPart()) {
        CRect r = carried->m_rect;
        if (m_nOrientation & 1) r.OffsetRect(4, 0);
        CDisplay::EraseRect(r);
    }
    return CPart::Draw(flags);
}

void CRailThru::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    // A record in an orientation the part has no picture for was read
    // uncut and has just been turned; the cut the reader makes for the
    // even orientations is made here too, or the saved rectangle would be
    // cut only by the next load.
    CutToRailHeight();
    CPart* carried = GetCarriedPart();
    if (!carried) return;
    if (m_nOrientation == 0)
        carried->Offset(m_rect.left + 4 - carried->m_rect.left, 0);
    else if (carried->m_rect.top > m_rect.top + 2)
        carried->Offset(0, -2);
}

int CRailThru::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    if (newCode == m_nOrientation) return 6;
    const int result = CComponent::SetOrientation(newCode, oldCode, flag, anchor);
    if (CPart* carried = GetCarriedPart()) {
        if (newCode == 0)
            carried->Offset(-4, 0);
        else
            carried->Offset(0, -2);
    }
    return result;
}

void CRailThru::DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except)
{
    if (mode & 0x10) {
        DrawTree(flags);
        return;
    }
    CComponent::DrawTreeInRect(flags, mode, rect, except);
}

void CRailThru::InitVariant(const CRuntimeClass* variant)
{
    // An old rail end had one terminal; the rail-through gains the second.
    m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + 20, m_rect.top + 8);
    const bool left = variant && variant->IsNamed("CRailEndL");
    m_rect.OffsetRect(left ? 6 : -6, 0);
    if (m_terminals.size() < 2) {
        if (left) {
            AddTerminal(3, CPoint(m_rect.left + 18, m_rect.top + 4));
        } else {
            AddTerminal(1, CPoint(m_rect.left + 6, m_rect.top + 4));
            // The new terminal goes first.
            CPart* first = GetFirstChild();
            CPart* added = m_terminals.back();
            if (first && first != added) {
                CPart::RemoveChild(added);
                CPart::AddChild(added);
            }
        }
    }
    m_nOrientation = 0;
    BuildTerminalArray();
}

void CRailThru::Stamp(CMatrix* m) { m->AddLink(GetTerminal(0), GetTerminal(1)); }

void CRailThru::ReadSolution(const double* nodeValues)
{
    CComponent::ReadSolution(nodeValues);
    if (m_terminals.size() < 2) return;
    CTerminal* a = m_terminals[0];
    CTerminal* b = m_terminals[1];
    if (a->m_nLevelCode == kEarthLevel) b->m_nLevelCode = kEarthLevel;
    else if (b->m_nLevelCode == kEarthLevel) a->m_nLevelCode = kEarthLevel;
}
