// The design root's editing operations as the canvas calls them, gathered
// in one place so that the controller's rules can be tested with scripted
// answers (a test overrides what it scripts).  Each default calls the design
// root's own operation (model/circuit/circuit_select.cpp).
#pragma once

#include "platform/geometry.h"

class CCircuit;
class CPart;

class CCanvasEditOps {
public:
    virtual ~CCanvasEditOps() = default;

    // The design item under a point (hit class mask 64, stop mask 1).
    virtual CPart* FindPartAtPoint(CCircuit& design, CPoint p);
    // The part the press searches (class mask 64, stop mask 1).
    virtual CPart* FindPressedPart(CCircuit& design, CPoint p);
    // The part that shows hover information (hit flags 288).
    virtual CPart* FindInfoPart(CCircuit& design, CPoint p);
    // The floating design holds exactly this part (null: none, and no press
    // or drag stays armed).
    virtual void HoldOnlyPart(CCircuit& floating, CPart* part);
    // Codes: 0 may the floating design scroll by offset; 2 it was scrolled by
    // offset; 3 it was scrolled after the design moved; 4 draw it at its
    // dragged place.
    virtual int ForwardDrag(CCircuit& floating, int code, CSize offset);
    // No insert operation is pending.
    virtual bool IsDragIdle();
    // The point (snapped when asked) differs from the last drag point.
    virtual bool HasPointMoved(CCircuit& design, CPoint p, bool snap);
    // Deletes the selection (or the part the floating design holds).
    virtual void DeleteSelection(CCircuit& design);
    // The floating design follows the mouse, and is released (drop result).
    virtual CRect DragFloating(CCircuit& floating, CCircuit& design, CPoint p);
    virtual int ReleaseFloating(CCircuit& floating, CCircuit& design, CPoint p);
    // A release after a press without a move (a click): nothing was carried,
    // the pressed part hears the release where it stands (drop result).
    virtual int ClickFloating(CCircuit& floating, CCircuit& design, CPoint p);
    // A floating design copied or read from a file runs its after-load
    // fix-ups (as a temporary design).
    virtual void AfterLoadFloating(CCircuit& floating);
};
