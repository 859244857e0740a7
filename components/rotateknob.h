// CRotateKnob: a drag handle that turns a mechanism part about a centre:
// each drag passes the angle the pointer turned about the centre, rounded
// to whole degrees (radians, anticlockwise on the canvas positive).
#pragma once

#include "components/knob.h"

class CRotateKnob : public CKnob {
    WB_DECLARE_SERIAL(CRotateKnob)
public:
    CRotateKnob() = default;
    // Rectangle (-dx, -dy, 7 - dx, 7 - dy), centre (x, y) from the operated
    // part's top-left.
    CRotateKnob(int x, int y, int dx, int dy, int axis, CPart* operated);

    // The CKnob record, then the centre packed the same way.
    void Serialize(CArchive& ar) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;

    // The turn from the pointer at `from` to `to` about c, in (-pi, pi],
    // rounded to whole degrees.
    static double TurnAngle(CPoint c, CPoint from, CPoint to);

    CPoint m_centre;
};
