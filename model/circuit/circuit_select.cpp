// The design root's selection, drag and drop: what the canvas asks of its
// design and of its floating design while parts are pressed, dragged,
// dropped and deleted.  See README.md, "Editing".
#include "model/circuit/circuit.h"

#include "model/components/component.h"
#include "model/display/animate.h"

namespace {

template <class Fn>
void ForEachPart(CCircuit& d, Fn fn)
{
    CPartIterator it(&d, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) fn(p);
}

} // namespace

bool IsDragIdle() { return SharedPressState().pendingOp == nullptr; }

void CCircuit::Select(DWORD flags)
{
    ForEachPart(*this, [flags](CPart* p) { p->Select(flags); });
}

void CCircuit::Deselect(DWORD flags)
{
    ForEachPart(*this, [flags](CPart* p) { p->Deselect(flags); });
}

void CCircuit::SelectIfInRect(const CRect& rect, DWORD flags, int whole)
{
    ForEachPart(*this, [&](CPart* p) { p->SelectIfInRect(rect, flags, whole); });
}

CRect CCircuit::BeginDragImage()
{
    try {
        return CPartTree::BeginDragImage();
    } catch (...) {
        ResetRun(1);
        throw;
    }
}

CPart* CCircuit::FindPartAtPoint(CPoint point) { return FindPartAt(point, 64, 1, 1); }

bool CCircuit::HoldsTopLevel(const CPart* part) const
{
    if (!part) return false;
    CPart* g = GetGroup(FileByClass(part));
    for (CPart* p = g ? g->GetFirstChild() : nullptr; p; p = p->GetNextSibling()) {
        if (p == part) return true;
        if (p == m_pHeldPart) break;
    }
    return false;
}

void CCircuit::HoldOnlyPart(CPart* part)
{
    DetachAll(false);
    if (!part) {
        SharedPressState().pressed = false;
        return;
    }
    if (!GetGroup(FileByClass(part))) CreateMissingGroups();
    // The part heads its group; its own next link is left alone.  While it
    // still stands in the host design that link belongs to the host's list,
    // so the part is held, not owned.
    GetGroup(FileByClass(part))->SetFirstChild(part);
    // A control stands in the host as a child of the part it works (a
    // grip, a lever): held too, though it may be the last of its list.
    const bool inHost = m_pHostDesign && (m_pHostDesign->HoldsTopLevel(part) ||
                                          CPart::FindParentOf(m_pHostDesign->GetFirstChild(), part));
    if (part->GetNextSibling() || inHost) m_pHeldPart = part;
}

void CCircuit::ForgetPart(CPart* part)
{
    if (!part) return;
    if (part == m_pHeldPart || HoldsTopLevel(part)) RemoveChild(part);
}

void CCircuit::DeletePart(CPart* part)
{
    if (!part) return;
    // A held part stands in the host's list: the host takes it out first.
    if (part == m_pHeldPart && m_pHostDesign) {
        ForgetPart(part);
        m_pHostDesign->RemovePart(part);
    } else {
        RemovePart(part);
    }
    for (CCircuit* other : {m_pLinkedDesign, m_pHostDesign})
        if (other) other->ForgetPart(part);
    if (SharedPressState().pendingOp == part) SharedPressState().pendingOp = nullptr;
    delete part;
}

void CCircuit::DeleteSelection()
{
    if (CountSelected(nullptr, 0) > 1) {
        ForEachPart(*this, [this](CPart* p) {
            if (p->IsSelected()) p->CollectEnclosed(this);
        });
        if (IsLocked()) return;
        DeleteSelected();
        OnSimulationStopped();
        ResetRun(1);
        return;
    }
    CCircuit* linked = m_pLinkedDesign;
    CPart* part = linked ? linked->GetFirstPart() : nullptr;
    if (part) {
        part->Select(GetOptions());
        part->CollectEnclosed(this);
    }
    if ((!linked || RepairOrDeleteBroken(part) == 0) && part) part->ReleaseEnclosed(this);
}

std::vector<CPart*> CCircuit::GetDragTargets()
{
    std::vector<CPart*> all, selected;
    ForEachPart(*this, [&](CPart* p) {
        all.push_back(p);
        if (p->IsSelected()) selected.push_back(p);
    });
    return all.size() == 1 ? all : selected;
}

void CCircuit::OnDragStarted(CPart* part) { SharedPressState().pendingOp = part; }

namespace {
// A pending operation that is not this design nor one of its parts (a wire
// route being drawn, a part inserted elsewhere) takes the mouse itself.
CPart* ForeignOperation(CCircuit& d)
{
    CPart* op = SharedPressState().pendingOp;
    if (!op || op == &d || d.HoldsTopLevel(op)) return nullptr;
    return op;
}

CRect UnionOf(const std::vector<CPart*>& parts)
{
    CRect r(0, 0, 0, 0);
    for (CPart* p : parts) p->GetTotalRect(r);
    return r;
}

bool AllCanDrop(const std::vector<CPart*>& parts, CPartTree* design)
{
    for (CPart* p : parts)
        if (!p->CanDrop(design)) return false;
    return !parts.empty();
}
} // namespace

CRect CCircuit::OnDrag(CPartTree* design, CPoint point)
{
    if (CPart* op = ForeignOperation(*this)) return op->OnDrag(design, point);
    CPressState& s = SharedPressState();
    const CPoint snapped = design ? design->SnapToGrid(point) : SnapToGrid(point);
    std::vector<CPart*> parts = GetDragTargets();
    CRect dirty = UnionOf(parts);
    // Only the parts of an armed press are carried; a control that armed
    // none (a length grip) works the drag itself.
    if (s.pressed && snapped != s.dragPoint) {
        const CPoint delta = snapped - s.dragPoint;
        // The drag image carries its target along when it can draw; without
        // a drawing scope the parts move by themselves.
        CAnimate* image = CurrentDragAnimation();
        if (image && image->GetTarget() == this && CDisplay::GetCurrentDC())
            image->MoveBy(delta, true);
        else
            ForEachPart(*this, [delta](CPart* p) { p->Offset(delta.x, delta.y); });
        s.dragPoint = snapped;
    }
    s.canDrop = AllCanDrop(parts, design);
    CRect after = UnionOf(parts);
    for (CPart* p : parts) {
        CRect r = p->OnDrag(design, point);
        after.UnionRect(after, r);
    }
    dirty.UnionRect(dirty, after);
    return dirty;
}

int CCircuit::OnRelease(CPartTree* design, int x, int y)
{
    if (CPart* op = ForeignOperation(*this)) return EndDragOperation(op->OnRelease(design, x, y));
    CPressState& s = SharedPressState();
    std::vector<CPart*> parts = GetDragTargets();
    if (!s.dragImage) {
        // A click: nothing was carried, so every part stays where it stands
        // (a held part in its design, a control in its owner) and only hears
        // the release; pictures and controls act on it.  A control's press
        // arms nothing (it does not select its part), so a click is passed on
        // whether or not a press was armed.
        int result = 0;
        for (CPart* p : parts) {
            result = p->OnRelease(design, x, y);
            if (result) break;
        }
        return EndDragOperation(result);
    }
    // Each part decides on its drop: a part whose press armed nothing is
    // not dropped (CPart::OnRelease), but a control that worked the drag
    // itself (a length grip) drops the part it changed.
    s.canDrop = AllCanDrop(parts, design);
    int result = 0;
    for (CPart* p : parts) {
        // The part leaves this design before its drop files it elsewhere; a
        // part that stays is filed back.
        const bool held = p == m_pHeldPart;
        ForgetPart(p);
        result = p->OnRelease(design, x, y);
        if (result != 9 && !HoldsTopLevel(p)) {
            if (held) {
                // Still its owner's child (a grip whose part is not yet
                // dropped back): held again, never owned.
                HoldOnlyPart(p);
                m_pHeldPart = p;
            } else {
                AppendByClass(p);
            }
        }
        if (result == 2) break;
    }
    return EndDragOperation(result);
}

int CCircuit::EndDragOperation(int result)
{
    if (result == 3) return result;
    CPressState& s = SharedPressState();
    CPart* op = s.pendingOp;
    s.pendingOp = nullptr;
    s.pressed = false;
    EndDragAnimation();
    if (op) OnDragEnded();
    return result;
}

bool CCircuit::HasPointMoved(CPoint point, bool snap) const
{
    const CPoint q = snap ? SnapToGrid(point) : point;
    return q != SharedPressState().dragPoint;
}

int CCircuit::ForwardDrag(int code, CSize offset)
{
    std::vector<CPart*> parts = GetDragTargets();
    switch (code) {
    case 0:
        return parts.empty() ? 0 : 1;
    case 2:
    case 3: {
        CPressState& s = SharedPressState();
        ForEachPart(*this, [offset](CPart* p) { p->Offset(offset.cx, offset.cy); });
        s.dragPoint.Offset(offset.cx, offset.cy);
        s.canDrop = AllCanDrop(parts, m_pHostDesign ? static_cast<CPartTree*>(m_pHostDesign) : this);
        return 1;
    }
    case 4:
        for (CPart* p : parts) p->DrawTree(GetRedrawFlags());
        return 1;
    default:
        return 0;
    }
}
