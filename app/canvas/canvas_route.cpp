// Wiring with the mouse: a press on a terminal or a wire starts a route
// (CWireRoute) whose corner follows the pointer and whose legs become wires
// on release.  Also here: the wires that follow a part that was moved or
// turned, and turning a part of the design.
#include "app/canvas/canvas_controller.h"

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire_geometry.h"
#include "model/components/wire_route.h"

#include <algorithm>
#include <cstdlib>

namespace {

// How far from a wire or a terminal's stub a press still takes it (design
// units): a pupil's click lands within a few pixels.
constexpr int kGrab = 3;

bool Near(CWire* w, CPoint p)
{
    CRect r = w->GetRect();
    r.InflateRect(kGrab, kGrab);
    return r.PtInRect(p) != 0;
}

} // namespace

CWire* CCanvasController::FindWireStart(CPoint p) const
{
    if (!m_design) return nullptr;
    std::vector<CWire*> all;
    m_design->CollectConnections(all);
    // A terminal's outer end first, then its stub, then a wire.
    CWire* stub = nullptr;
    CWire* wire = nullptr;
    for (CWire* w : all) {
        if (auto* t = dynamic_cast<CTerminal*>(w)) {
            const CPoint end = t->GetOuterEnd();
            if (std::abs(end.x - p.x) <= kGrab && std::abs(end.y - p.y) <= kGrab) return t;
            if (!stub && Near(t, p)) stub = t;
        } else if (!wire && Near(w, p)) {
            wire = w;
        }
    }
    return stub ? stub : wire;
}

CPoint CCanvasController::RoutePoint(CPoint p) const
{
    CWire* w = FindWireStart(p);
    if (!w) return p;
    // A terminal is met at its outer end, where wires join.
    if (auto* t = dynamic_cast<CTerminal*>(w)) return t->GetOuterEnd();
    // A wire at the grid point nearest along it (its ends at the most).
    const CPoint a = w->GetEndA(), b = w->GetEndB();
    const CPoint g = m_design->SnapToGrid(p);
    if (a.y == b.y) return CPoint(std::clamp(g.x, std::min(a.x, b.x), std::max(a.x, b.x)), a.y);
    if (a.x == b.x) return CPoint(a.x, std::clamp(g.y, std::min(a.y, b.y), std::max(a.y, b.y)));
    return p;
}

bool CCanvasController::IsRouting() const { return m_route && m_route->IsActive(); }

void CCanvasController::BeginRoute(CPoint p, CWire* from)
{
    DeselectAll(true, true);
    m_route = std::make_unique<CWireRoute>(*m_design);
    m_route->Begin(RoutePoint(p), from);
    m_host.SetCapture(true);
    m_host.Invalidate();
}

void CCanvasController::MoveRoute(CPoint p)
{
    m_route->MoveTo(RoutePoint(p));
    m_host.Invalidate();
}

void CCanvasController::FinishRoute()
{
    std::unique_ptr<CWireRoute> route = std::move(m_route);
    m_host.SetCapture(false);
    DisarmAutoScroll();
    if (route->Finish() > 0) m_design->ResetRun(1);
    m_host.Invalidate();
}

// ---------------------------------------------------------------- wires that follow

void CCanvasController::RecordJoints(const std::vector<CPart*>& parts)
{
    ForgetJoints();
    for (CPart* part : parts) {
        auto* c = dynamic_cast<CComponent*>(part);
        if (!c) continue;
        const size_t index = m_jointParts.size();
        m_jointParts.push_back(part);
        for (int i = 0; i < c->GetTerminalCount(); ++i) {
            CTerminal* t = c->GetTerminal(i);
            if (t && t->IsJoined()) m_joints.push_back({index, i, t->GetOuterEnd()});
        }
    }
    if (m_joints.empty()) m_jointParts.clear();
}

void CCanvasController::SetJointParts(const std::vector<CPart*>& parts)
{
    std::vector<CPart*> components;
    for (CPart* p : parts)
        if (dynamic_cast<CComponent*>(p)) components.push_back(p);
    // The copies stand in the order of the originals; anything else means
    // the copy is not what was recorded, and no wire follows.
    if (components.size() != m_jointParts.size())
        ForgetJoints();
    else
        m_jointParts = std::move(components);
}

void CCanvasController::ForgetJoints()
{
    m_joints.clear();
    m_jointParts.clear();
}

namespace {

// The point of a straight wire nearest to p (p itself for other wires).
CPoint NearestOn(CWire* w, CPoint p)
{
    const CPoint a = w->GetEndA(), b = w->GetEndB();
    if (a.y == b.y) return CPoint(std::clamp(p.x, std::min(a.x, b.x), std::max(a.x, b.x)), a.y);
    if (a.x == b.x) return CPoint(a.x, std::clamp(p.y, std::min(a.y, b.y), std::max(a.y, b.y)));
    return p;
}

// Draws one route from a to b (leaving from `from` the way it runs, or by
// the larger move when null); true when wires were made.
bool TryRoute(CCircuit& design, CPoint a, CWire* from, CPoint b)
{
    if (a == b) return false;
    CWireRoute route(design);
    route.Begin(a, from);
    if (!route.MoveTo(b)) {
        route.Cancel();
        return false;
    }
    return route.Finish() > 0;
}

} // namespace

void CCanvasController::LayFollowingWires()
{
    const std::vector<CJoint> joints = std::move(m_joints);
    const std::vector<CPart*> parts = std::move(m_jointParts);
    ForgetJoints();
    if (!m_design) return;
    std::vector<CWire*> all;
    for (const CJoint& j : joints) {
        auto* c = j.part < parts.size() ? dynamic_cast<CComponent*>(parts[j.part]) : nullptr;
        CTerminal* t = c ? c->GetTerminal(j.terminal) : nullptr;
        if (!t || t->IsJoined()) continue;
        const CPoint to = t->GetOuterEnd();
        // What stood joined at the old place: a wire's end or another
        // part's terminal.
        m_design->CollectConnections(all);
        CWire* there = nullptr;
        for (CWire* w : all) {
            if (w == t) continue;
            auto* other = dynamic_cast<CTerminal*>(w);
            if (other ? other->GetOuterEnd() == j.at : w->EndAt(j.at) >= 0) {
                there = w;
                break;
            }
        }
        if (!there) continue;
        // From the old joint the way the wire ran there; else from the new
        // place to the nearest point of that wire; else from the new place
        // to the old joint by the larger move first.
        if (TryRoute(*m_design, j.at, there, to)) continue;
        if (!dynamic_cast<CTerminal*>(there) && TryRoute(*m_design, to, t, NearestOn(there, to))) {
            // The new wire joined the old one part way along it: the piece
            // from that junction to the old joint leads nowhere now.
            PruneDanglingAt(j.at);
            continue;
        }
        TryRoute(*m_design, to, nullptr, j.at);
    }
}

void CCanvasController::PruneDanglingAt(CPoint at)
{
    // Wire by wire from the free end back to where the piece hangs from:
    // each removed wire may leave the next one of an L ending free.
    for (int guard = 0; guard < 64; ++guard) {
        std::vector<CWire*> all;
        m_design->CollectConnections(all);
        CWire* loose = nullptr;
        int others = 0;
        for (CWire* w : all) {
            auto* t = dynamic_cast<CTerminal*>(w);
            const int end = t ? (t->GetOuterEnd() == at ? 1 : -1) : w->EndAt(at);
            if (end < 0) continue;
            if (!t && !w->GetLink(end) && m_design->HoldsTopLevel(w) && !loose)
                loose = w;
            else
                ++others;
        }
        // Only a wire that ends alone at the point leads nowhere.
        if (!loose || others) return;
        const CPoint next = loose->EndAt(at) == 0 ? loose->GetEndB() : loose->GetEndA();
        m_design->RemoveChild(loose);
        m_design->UnlinkEverywhere(loose);
        loose->m_pLinkA = loose->m_pLinkB = nullptr;
        CCrossOver::DeletePartnersOf(loose);
        delete loose;
        // Where it hung from: a junction's halves lie in line again.
        m_design->MergeAt(next);
        at = next;
    }
}

// ---------------------------------------------------------------- turning

bool CCanvasController::Reorient(CPart* part)
{
    if (!m_design || !part || m_design->HasBlownPart() || m_host.HasCapture() || !HoldsPart(part)) return false;
    EndHover();
    DeselectAll(false, true);
    // A press at the part's top-left corner and the start of its drag take
    // it out of the design; then it turns.
    const CPoint corner = part->GetRect().TopLeft();
    part->BeginPress(m_design, corner, false);
    PickUp(part, true);
    m_pressed = true;
    m_pressPoint = corner;
    BeginDragSelection();
    m_floating->BeginDragImage();
    part->ApplySettingsText();
    if (!part->CanDrop(m_design)) {
        // It does not fit where it stands: it follows the pointer, which
        // keeps its offset to the part's corner, until the next release.
        m_host.SetCursorPos(ToClient(corner));
        SetCursorCode(CURSOR_DRAG);
        return true;
    }
    const int result = Ops().ReleaseFloating(*m_floating, *m_design, corner);
    m_host.SetCapture(false);
    m_dragging = m_pressed = false;
    if (result == 9) LayFollowingWires();
    ForgetJoints();
    ApplyDropResult(11);
    m_design->ResetRun(1);
    part->Select(0);
    PickUp(part, true);
    m_host.Invalidate();
    return true;
}
