#include "app/arrange_commands.h"

#include "model/circuit/circuit.h"
#include "model/parts/parttree.h"

#include <vector>

namespace {

constexpr unsigned kArrangeHitClasses = 0x70;
constexpr int kTreeFront = 16;
constexpr int kTreeBack = 2;

std::vector<CPart*> Selection(CCircuit& design)
{
    std::vector<CPart*> out;
    CPartIterator it(&design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (p->IsSelected() && IsArrangeable(p, design)) out.push_back(p);
    return out;
}

} // namespace

bool IsArrangeable(CPart* part, CCircuit& design)
{
    return part->IsSelected() && (part->GetHitClass() & kArrangeHitClasses) && part->CanSelectWhenLocked(&design);
}

bool CanArrange(CCircuit& design)
{
    if (design.IsLocked()) return false;
    CPartIterator it(&design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) {
        if (!p->IsSelected()) continue;
        if (p->IsWire() && !p->HasResizeFrame()) return false;
        if (IsArrangeable(p, design)) return true;
    }
    return false;
}

CPart* ArrangeReference(CCircuit& design, CPart* preferred)
{
    const std::vector<CPart*> parts = Selection(design);
    for (CPart* p : parts)
        if (p == preferred) return p;
    return parts.empty() ? nullptr : parts.front();
}

int MoveSelectionInTree(CCircuit& design, bool toFront)
{
    std::vector<CPart*> parts = Selection(design);
    // Each part moves once.  Taking the parts to the head in reverse walk
    // order keeps their order among themselves.
    if (toFront) {
        for (CPart* p : parts) design.MovePartInTree(p, kTreeFront);
    } else {
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) design.MovePartInTree(*it, kTreeBack);
    }
    return static_cast<int>(parts.size());
}

int AlignSelection(CCircuit& design, CPart* reference, EAlignEdge edge)
{
    const std::vector<CPart*> parts = Selection(design);
    if (!reference || parts.size() < 2) return 0;
    const CRect r = reference->GetRect();
    int moved = 0;
    for (CPart* p : parts) {
        if (p == reference) continue;
        const CRect& q = p->GetRect();
        int dx = 0, dy = 0;
        switch (edge) {
        case EAlignEdge::Left: dx = r.left - q.left; break;
        case EAlignEdge::Top: dy = r.top - q.top; break;
        case EAlignEdge::Right: dx = r.right - q.right; break;
        case EAlignEdge::Bottom: dy = r.bottom - q.bottom; break;
        }
        if (dx == 0 && dy == 0) continue;
        p->Offset(dx, dy);
        ++moved;
    }
    return moved;
}

int SizeSelectionLike(CCircuit& design, CPart* reference)
{
    if (!reference) return 0;
    const CRect r = reference->GetRect();
    int changed = 0;
    for (CPart* p : Selection(design)) {
        if (p == reference || !p->HasResizeFrame()) continue;
        const CRect& q = p->GetRect();
        p->SetRectRecursive(CRect(q.left, q.top, q.left + r.Width(), q.top + r.Height()));
        ++changed;
    }
    return changed;
}
