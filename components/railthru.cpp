#include "components/railthru.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CRailThru, "CComponent", 2)

namespace {
constexpr int kEarthLevel = 9;
}

CRailThru::CRailThru() { LoadRatings(42); }

void CRailThru::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring() && !(m_nOrientation & 1) && m_rect.Height() > 8) m_rect.top = m_rect.bottom - 8;
}

void CRailThru::CreateChildren()
{
    const CPoint o = m_rect.TopLeft();
    m_rect.SetRect(o.x - 6, o.y - 4, o.x + 14, o.y + 4);
    AddTerminal(3, CPoint(o.x - 4, o.y));
    AddTerminal(1, CPoint(o.x + 12, o.y));
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
