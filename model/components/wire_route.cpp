#include "model/components/wire_route.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire_geometry.h"
#include "model/display/display.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {
int Sign(int v) { return (v > 0) - (v < 0); }
bool IsMotion(int kind) { return kind == WIRE_ROTATIONAL || kind == WIRE_LINEAR; }

// A route meets a terminal's outer end or a wire (its end or its middle)
// exactly where it is, on the grid or not: pins need not lie on the grid.
// Any other point is snapped to the grid.
CPoint RoutePoint(const CCircuit& design, CPoint p)
{
    std::vector<CWire*> all;
    design.CollectConnections(all);
    for (CWire* w : all) {
        if (auto* t = dynamic_cast<CTerminal*>(w)) {
            if (t->GetOuterEnd() == p) return p;
        } else if (WireContains(w, p, false)) {
            return p;
        }
    }
    return design.SnapToGrid(p);
}
} // namespace

void CWireRoute::Begin(CPoint p, CWire* pressed, int kind)
{
    m_start = m_corner = m_end = RoutePoint(m_design, p);
    m_nKind = pressed ? pressed->GetKind() : kind;
    // Terminal stubs of kinds 3, 4, 5 carry electric routes.
    if (m_nKind == WIRE_LONG_STUB || m_nKind == WIRE_MID_STUB) m_nKind = WIRE_ELECTRIC;
    m_bSideFixed = pressed != nullptr;
    if (pressed) {
        // From a terminal or a wire's end the route goes on the same way;
        // from a wire's middle it leaves at right angles.
        const bool horizontal = pressed->m_nOrientation == WIRE_HORIZONTAL || pressed->m_nOrientation >= 16;
        const bool atEnd = dynamic_cast<CTerminal*>(pressed) || pressed->EndAt(m_start) >= 0;
        m_bHorizontalFirst = atEnd ? horizontal : !horizontal;
    }
    m_bActive = true;
    m_bValid = false;
    m_bends.clear();
}

void CWireRoute::PlaceCorner()
{
    const int dx = m_end.x - m_start.x, dy = m_end.y - m_start.y;
    if (!m_bSideFixed) m_bHorizontalFirst = std::abs(dx) >= std::abs(dy);
    if (!IsMotion(m_nKind)) {
        m_corner = m_bHorizontalFirst ? CPoint(m_end.x, m_start.y) : CPoint(m_start.x, m_end.y);
        return;
    }
    // Motion wires: one horizontal leg and one 45-degree diagonal.
    const int run = std::abs(dy);
    if (m_bHorizontalFirst)
        m_corner = CPoint(m_end.x - Sign(dx) * run, m_start.y);
    else
        m_corner = CPoint(m_start.x + Sign(dx) * run, m_end.y);
}

bool CWireRoute::MoveTo(CPoint p)
{
    if (!m_bActive) return false;
    m_end = RoutePoint(m_design, p);
    PlaceCorner();
    return Check();
}

bool CWireRoute::Check()
{
    m_bends.clear();
    if (m_end == m_start) return m_bValid = false;
    // A motion route whose horizontal leg would run backwards has no shape.
    if (IsMotion(m_nKind) && std::abs(m_end.y - m_start.y) > std::abs(m_end.x - m_start.x)) return m_bValid = false;
    const bool one = m_corner == m_start || m_corner == m_end;
    if (one) return m_bValid = ValidateRoute(m_start, m_end, true, true);
    m_bValid = ValidateRoute(m_start, m_corner, true, false) && ValidateRoute(m_corner, m_end, false, true);
    return m_bValid;
}

bool CWireRoute::ValidateRoute(CPoint from, CPoint to, bool first, bool last)
{
    const int dx = to.x - from.x, dy = to.y - from.y;
    const bool straight = dx == 0 || dy == 0;
    const bool diagonal = std::abs(dx) == std::abs(dy);
    if (!straight && !(diagonal && IsMotion(m_nKind))) return false;
    if (!straight && m_nKind == WIRE_ELECTRIC) return false;
    const int grid = std::max(1, m_design.GetGridStep());
    const int n = std::max(std::abs(dx), std::abs(dy));
    const CPoint step(Sign(dx), Sign(dy));
    CWire leg(from, to, m_nKind);
    std::vector<CWire*> all;
    m_design.CollectConnections(all);
    for (CWire* o : all)
        // A wire lying along the leg would double it.
        if (!dynamic_cast<CTerminal*>(o) && WiresInLine(o, &leg) && o->GetEndA() != o->GetEndB()) {
            CPoint a = o->GetEndA(), b = o->GetEndB();
            int inside = (WireContains(&leg, a, true) ? 1 : 0) + (WireContains(&leg, b, true) ? 1 : 0) +
                         (WireContains(o, from, true) ? 1 : 0) + (WireContains(o, to, true) ? 1 : 0);
            if (inside) return false;
        }
    // Grid steps from the start, and the end itself (which is off the grid
    // when it is a pin).
    for (int t = 0;; t = std::min(n, t + grid)) {
        const CPoint q(from.x + t * step.x, from.y + t * step.y);
        const bool routeEnd = (t == 0 && first) || (t == n && last);
        for (CWire* o : all) {
            bool atEnd = false;
            if (auto* term = dynamic_cast<CTerminal*>(o))
                atEnd = term->GetOuterEnd() == q;
            else
                atEnd = o->EndAt(q) >= 0;
            const bool through = !atEnd && !dynamic_cast<CTerminal*>(o) && WireContains(o, q, true);
            if (!atEnd && !through) continue;
            if (through && !routeEnd) continue; // crossed: a crossover on drop
            const int r = o->CanConnectKind(q, &m_design, m_nKind);
            if (r < (routeEnd ? 1 : 2)) return false;
            m_bends.emplace_back(o, q);
        }
        if (t >= n) break;
    }
    return true;
}

int CWireRoute::TrackHandle(int phase, CSize offset)
{
    switch (phase) {
    case 0:
        return !IsMotion(m_nKind) || offset.cy == 0 ? 1 : 0;
    case 2:
        m_end = m_design.SnapToGrid(m_end + CPoint(offset.cx, offset.cy));
        PlaceCorner();
        return Check() ? 1 : 0;
    case 3:
        m_start = m_design.SnapToGrid(m_start + CPoint(offset.cx, offset.cy));
        PlaceCorner();
        return Check() ? 1 : 0;
    default:
        DrawDragLegs();
        return 0;
    }
}

CWire* CWireRoute::CreateLeg(CPoint a, CPoint b)
{
    if (a == b) return nullptr;
    CWire* w = nullptr;
    try {
        w = new CWire(a, b, m_nKind);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    w->AttachToCircuit(&m_design);
    w->Drop(&m_design);
    return w;
}

int CWireRoute::Finish()
{
    int made = 0;
    if (m_bActive && m_bValid) {
        const CPoint start = m_start, corner = m_corner, end = m_end;
        // A leg that cannot be made abandons the rest of the route.
        if (corner == start || corner == end) {
            made += CreateLeg(start, end) ? 1 : 0;
        } else if (CreateLeg(start, corner)) {
            ++made;
            made += CreateLeg(corner, end) ? 1 : 0;
        }
    }
    Cancel();
    return made;
}

void CWireRoute::Cancel()
{
    m_bActive = false;
    m_bValid = false;
    m_bends.clear();
}

void CWireRoute::DrawDragLegs() const
{
    if (!m_bActive || !m_bValid || !CDisplay::GetCurrentDC()) return;
    const int style = m_nKind == WIRE_LINEAR ? PS_DOT : m_nKind == WIRE_ROTATIONAL ? PS_DASH : PS_SOLID;
    if (m_corner != m_start) DrawXorLine(m_start.x, m_start.y, m_corner.x, m_corner.y, style);
    if (m_corner != m_end) DrawXorLine(m_corner.x, m_corner.y, m_end.x, m_end.y, style);
}
