#include "app/canvas/canvas_edit_ops.h"

#include "model/circuit/circuit.h"

CPart* CCanvasEditOps::FindPartAtPoint(CCircuit& design, CPoint p) { return design.FindPartAtPoint(p); }

CPart* CCanvasEditOps::FindPressedPart(CCircuit& design, CPoint p) { return design.FindPartAt(p, 64, 1, 0); }

CPart* CCanvasEditOps::FindInfoPart(CCircuit& design, CPoint p) { return design.FindPartAt(p, 288, 0, 0); }

void CCanvasEditOps::HoldOnlyPart(CCircuit& floating, CPart* part) { floating.HoldOnlyPart(part); }

int CCanvasEditOps::ForwardDrag(CCircuit& floating, int code, CSize offset) { return floating.ForwardDrag(code, offset); }

bool CCanvasEditOps::IsDragIdle() { return ::IsDragIdle(); }

bool CCanvasEditOps::HasPointMoved(CCircuit& design, CPoint p, bool snap) { return design.HasPointMoved(p, snap); }

void CCanvasEditOps::DeleteSelection(CCircuit& design) { design.DeleteSelection(); }

CRect CCanvasEditOps::DragFloating(CCircuit& floating, CCircuit& design, CPoint p) { return floating.OnDrag(&design, p); }

int CCanvasEditOps::ReleaseFloating(CCircuit& floating, CCircuit& design, CPoint p)
{
    return floating.OnRelease(&design, p.x, p.y);
}

int CCanvasEditOps::ClickFloating(CCircuit& floating, CCircuit& design, CPoint p)
{
    // The floating design's release passes a click to its parts: the press
    // made no drag image.
    return floating.OnRelease(&design, p.x, p.y);
}

void CCanvasEditOps::AfterLoadFloating(CCircuit& floating) { floating.AfterLoad(&floating, 0, floating.m_wStoredVersion); }
