// Drawing a run of wire: the route from a pressed point to the pointer, as
// one or two legs through a corner, checked against what it meets and made
// into wires on release.  The canvas drives it with plain events (see
// README.md, "Routes"); nothing here knows about windows.
#pragma once

#include "model/components/wire.h"

#include <vector>

class CCircuit;

// A point on the route and the wire or terminal touched there (null: none).
class CWireBend : public CObject {
public:
    CWireBend() = default;
    CWireBend(CPart* p, CPoint at) : part(p), point(at) {}
    CPart* part = nullptr;
    CPoint point;
};

class CWireRoute {
public:
    explicit CWireRoute(CCircuit& design) : m_design(design) {}

    // Press: the route starts at the grid point under p.  pressed is the
    // wire or terminal under the press (null on a free point); it gives the
    // kind of the route (else kind) and which leg comes first.
    void Begin(CPoint p, CWire* pressed, int kind = WIRE_ELECTRIC);
    // Move: the route's end follows the grid point under p and the route is
    // checked again; returns whether it is valid.
    bool MoveTo(CPoint p);
    // Handle tracking: phase 0 asks whether the route may be tracked (kinds
    // other than electric only without a vertical offset); phase 2 moves the
    // end by the offset, phase 3 the start and corner; the route is checked
    // as for a move.  Any other phase draws the legs.  Returns the answer or
    // the validity.
    int TrackHandle(int phase, CSize offset);
    // Checks one leg in grid steps: horizontal, vertical or an exact
    // diagonal (kinds 1 and 2 only); every wire end or terminal met allows
    // joining (CanConnectKind 2 inside the route, 1 at its ends); a wire
    // lying along it is refused.  The parts touched are added to the bends.
    bool ValidateRoute(CPoint from, CPoint to, bool first, bool last);
    // Release: one wire per leg (CreateLeg), each dropped into the design
    // (joins, junctions, crossovers, merges).  Returns the number of wires
    // made; an invalid route makes none.  The route ends either way.
    int Finish();
    // Ends the route without making anything.
    void Cancel();
    // A new wire from a to b of the route's kind, dropped into the design;
    // null when it cannot be made.
    CWire* CreateLeg(CPoint a, CPoint b);
    // The rubber-band legs as inverting lines on the current drawing context
    // (dotted for kind 2, dashed for kind 1): drawing twice restores.
    void DrawDragLegs() const;

    bool IsActive() const { return m_bActive; }
    bool IsValid() const { return m_bValid; }
    int GetKind() const { return m_nKind; }
    CPoint GetStart() const { return m_start; }
    CPoint GetCorner() const { return m_corner; }
    CPoint GetEnd() const { return m_end; }
    bool IsHorizontalFirst() const { return m_bHorizontalFirst; }
    const std::vector<CWireBend>& GetBends() const { return m_bends; }

private:
    void PlaceCorner();
    bool Check();

    CCircuit& m_design;
    bool m_bActive = false;
    bool m_bValid = false;
    bool m_bSideFixed = false;
    bool m_bHorizontalFirst = true;
    int m_nKind = WIRE_ELECTRIC;
    CPoint m_start, m_corner, m_end;
    std::vector<CWireBend> m_bends;
};
