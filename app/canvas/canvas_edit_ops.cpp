#include "app/canvas/canvas_edit_ops.h"

#include "model/circuit/circuit.h"

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

CRect CCanvasEditOps::DragFloating(CCircuit& floating, CCircuit& design, CPoint p) { return floating.OnDrag(&design, p); }

int CCanvasEditOps::ReleaseFloating(CCircuit& floating, CCircuit& design, CPoint p)
{
    return floating.OnRelease(&design, p.x, p.y);
}

void CCanvasEditOps::AfterLoadFloating(CCircuit& floating) { floating.AfterLoad(&floating, 0, floating.m_wStoredVersion); }
