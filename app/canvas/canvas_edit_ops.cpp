#include "app/canvas/canvas_edit_ops.h"

#include "model/circuit/circuit.h"

#include <vector>

CPart* CCanvasEditOps::FindPartAtPoint(CCircuit& design, CPoint p) { return design.FindPartAt(p, 64, 1, 1); }

CPart* CCanvasEditOps::FindPressedPart(CCircuit& design, CPoint p) { return design.FindPartAt(p, 64, 1, 0); }

CPart* CCanvasEditOps::FindInfoPart(CCircuit& design, CPoint p) { return design.FindPartAt(p, 288, 0, 0); }

void CCanvasEditOps::HoldOnlyPart(CCircuit& floating, CPart* part)
{
    floating.DetachAll(false);
    if (!part) {
        SharedPressState().pressed = false;
        return;
    }
    // The part heads its group; its own next link is left alone (it may
    // still stand in the design's list).
    if (CPart* group = floating.GetGroup(CPartTree::FileByClass(part))) group->SetFirstChild(part);
}

int CCanvasEditOps::ForwardDrag(CCircuit&, int, CSize) { return 1; }

bool CCanvasEditOps::IsDragIdle() { return true; }

bool CCanvasEditOps::HasPointMoved(CCircuit& design, CPoint p, bool snap)
{
    const CPoint q = snap ? design.SnapToGrid(p) : p;
    return q != SharedPressState().dragPoint;
}

void CCanvasEditOps::DeleteSelection(CCircuit& design)
{
    if (design.CountSelected(nullptr, 0) > 1) {
        if (design.IsLocked()) return;
        design.DeleteSelected();
        design.OnSimulationStopped();
        design.ResetRun(1);
        return;
    }
    CCircuit* linked = design.GetLinkedDesign();
    if (CPart* part = linked ? linked->GetFirstPart() : nullptr) design.RepairOrDeleteBroken(part);
}

bool CCanvasEditOps::IsWireDragActive() { return false; }

void CCanvasEditOps::DrawDragLegs() {}

namespace {
std::vector<CPart*> Carried(CCircuit& floating)
{
    std::vector<CPart*> parts;
    for (CPartIterator it(&floating, 0); it.GetCurrent(); it.Next()) parts.push_back(it.GetCurrent());
    return parts;
}
} // namespace

// The floating design's parts follow the grid point under the mouse.
CRect CCanvasEditOps::DragFloating(CCircuit& floating, CCircuit& design, CPoint to)
{
    CPressState& s = SharedPressState();
    const CPoint p = design.SnapToGrid(to);
    const CPoint last = s.dragPoint;
    CRect moved;
    for (CPart* part : Carried(floating)) {
        part->Offset(p.x - last.x, p.y - last.y);
        moved.UnionRect(moved, part->GetUnionRect());
    }
    s.dragPoint = p;
    return moved;
}

// Every carried part is dropped into the design (filed, joined to what it
// touches); 9 when something was dropped.
int CCanvasEditOps::ReleaseFloating(CCircuit& floating, CCircuit& design, CPoint)
{
    const std::vector<CPart*> parts = Carried(floating);
    floating.DetachAll(false);
    for (CPart* part : parts) {
        part->SetNextSibling(nullptr);
        part->Deselect(0x80000);
        // The base drop files the part; a component's joins its terminals.
        part->Drop(&design);
        bool filed = false;
        for (CPartIterator it(&design, 0); it.GetCurrent() && !filed; it.Next()) filed = it.GetCurrent() == part;
        if (!filed) design.AddChild(part);
    }
    SharedPressState().pressed = false;
    return parts.empty() ? 0 : 9;
}

void CCanvasEditOps::AfterLoadFloating(CCircuit& floating) { floating.AfterLoad(&floating, 0, floating.m_wStoredVersion); }
