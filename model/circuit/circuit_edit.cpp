// Operations of the design root that the shell and the flowchart parts use:
// collecting parts by class, the page and its offset, deleting selections
// and moving a part in the drawing order.
#include "model/circuit/circuit.h"

std::vector<CPart*> CCircuit::CollectParts(int group, const char* className) const
{
    std::vector<CPart*> out;
    CPart* g = GetGroup(group);
    if (!g) return out;
    for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling())
        if (p->IsKindOf(className)) out.push_back(p);
    return out;
}

CPart* CCircuit::FindFlowStart(const CString& name) const
{
    for (CPart* p : CollectFlowStarts()) {
        const char* n = p->GetLinkName();
        if (n && name == n) return p;
    }
    return nullptr;
}

void CCircuit::SetPageRect(int l, int t, int r, int b)
{
    m_rcPage.SetRect(l, t, r, b);
    if (m_szOffset.cx || m_szOffset.cy) return;
    if (m_rcPage.right < 1600) m_rcPage.right = 1600;
    if (m_rcPage.bottom < 1400) m_rcPage.bottom = 1400;
}

void CCircuit::SetOffset(CSize offset)
{
    int dx = offset.cx - m_szOffset.cx, dy = offset.cy - m_szOffset.cy;
    m_szOffset = offset;
    if (!dx && !dy) return;
    CPartIterator it(this, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->Offset(dx, dy);
    // Parts left outside the page go, one at a time: removing a wire may
    // take others with it, so the walk starts again after each.
    for (bool again = true; again;) {
        again = false;
        CPartIterator walk(this, 0);
        for (CPart* p = walk.GetCurrent(); p; walk.Next(), p = walk.GetCurrent()) {
            CRect inter;
            if (inter.IntersectRect(p->GetRect(), m_rcPage)) continue;
            DeletePart(p);
            again = true;
            break;
        }
    }
}

namespace {
// The walk restarts after a wire is deleted, or once it reached the WIRES
// group: deleting a wire may merge or delete its neighbours.
template <class Test>
void DeleteWhere(CCircuit& d, Test test)
{
    for (bool again = true; again;) {
        again = false;
        CPartIterator it(&d, 0);
        for (CPart* p = it.GetCurrent(); p; p = it.GetCurrent()) {
            it.Next();
            if (!test(p) || !p->IsFreeDesignItem()) continue;
            bool wire = p->IsWire() != 0;
            d.DeletePart(p);
            if (wire) {
                again = true;
                break;
            }
        }
    }
}
} // namespace

void CCircuit::DeleteSelected()
{
    DeleteWhere(*this, [](CPart* p) { return p->IsSelected(); });
}

void CCircuit::DeleteUnselected()
{
    for (bool again = true; again;) {
        again = false;
        CPartIterator it(this, 0);
        for (CPart* p = it.GetCurrent(); p; p = it.GetCurrent()) {
            it.Next();
            if (p->IsSelected()) continue;
            bool wire = p->IsWire() != 0;
            DeletePart(p);
            if (wire) {
                again = true;
                break;
            }
        }
    }
}

int CCircuit::CountSelected(CPart** out, int ignoreWiresOnly)
{
    int count = 0;
    bool onlyWires = true;
    CPartIterator it(this, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) {
        if (!p->IsSelected()) continue;
        ++count;
        if (FileByClass(p) != GROUP_WIRES) onlyWires = false;
        if (out) *out = p;
    }
    if (ignoreWiresOnly && onlyWires) return 0;
    return count;
}

void CCircuit::MovePartInTree(CPart* part, int code)
{
    if (!part) return;
    for (CPart* g = GetFirstChild(); g; g = g->GetNextSibling()) {
        if (!g->CPart::RemoveChild(part)) continue;
        if (code == 2)
            g->CPart::AddChild(part);
        else
            g->AppendChild(part);
        return;
    }
}

void CCircuit::SetLinkedDesign(CCircuit* linked)
{
    m_pLinkedDesign = linked;
    if (linked) linked->m_pHostDesign = this;
}
