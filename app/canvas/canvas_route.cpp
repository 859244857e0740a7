// Wiring with the mouse: a press on a terminal or a wire starts a route
// (CWireRoute) whose corner follows the pointer and whose legs become wires
// on release.  Also here: the wires that follow a part that was moved or
// turned, and turning a part of the design.
#include "app/canvas/canvas_controller.h"

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire_edit.h"
#include "model/components/wire_follow.h"
#include "model/components/wire_geometry.h"
#include "model/components/wire_route.h"
#include "platform/strings.h"

#include <algorithm>
#include <unordered_set>
#include <cstdlib>

namespace {

// How far from a wire or a terminal's stub a press still takes it (design
// units): a pupil's click lands within a few pixels.
constexpr int kGrab = 3;

// "A wire could not be led back to a pin ..."
constexpr int kStrPinLeftUnjoined = 62200;

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
    CPoint q = p;
    NearestOnStraight(w, p, &q);
    return q;
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
    const CRect zone = m_turnZone;
    ForgetJoints();
    m_turnZone.SetRectEmpty();
    if (!m_design) return;
    std::vector<CTerminal*> terminals(joints.size(), nullptr);
    std::unordered_set<CWire*> moved;
    for (size_t k = 0; k < joints.size(); ++k) {
        auto* c = joints[k].part < parts.size() ? dynamic_cast<CComponent*>(parts[joints[k].part]) : nullptr;
        terminals[k] = c ? c->GetTerminal(joints[k].terminal) : nullptr;
        if (c)
            for (int i = 0; i < c->GetTerminalCount(); ++i) moved.insert(c->GetTerminal(i));
    }
    std::vector<CWire*> all;
    // What stands at a point and is not one of the moved parts' terminals: a
    // wire's end or another part's terminal.
    auto standingAt = [&](CPoint at) -> CWire* {
        m_design->CollectConnections(all);
        for (CWire* w : all) {
            if (moved.count(w)) continue;
            auto* other = dynamic_cast<CTerminal*>(w);
            if (other ? other->GetOuterEnd() == at : w->EndAt(at) >= 0) return w;
        }
        return nullptr;
    };
    // A turn that leaves a pin at (or a pixel or two beside) every old joint
    // keeps the wiring where it is: a half-turned LED or meter is turned
    // round in its place, as in a real circuit, so no run goes round it.
    if (!zone.IsRectEmpty() && parts.size() == 1)
        if (auto* c = dynamic_cast<CComponent*>(parts[0])) {
            std::vector<CPoint> at;
            for (const CJoint& j : joints) at.push_back(j.at);
            const std::vector<CTerminal*> takers = TakeOverJoints(*c, at, std::max(4, m_design->GetGridStep()));
            if (!takers.empty()) {
                KeepWiringAtJoints(*c, at, takers, standingAt);
                return;
            }
        }
    // A turned terminal that the drop joined at its new place to another
    // net (a quarter turn that does not leave a pin at every joint) leaves
    // it first, and each pin is led back to its own net.  (A part carried
    // by the pupil onto a wire end joins it.)
    for (size_t k = 0; k < joints.size() && !zone.IsRectEmpty(); ++k) {
        CTerminal* t = terminals[k];
        if (!t || !t->IsJoined() || t->GetOuterEnd() == joints[k].at) continue;
        CWire* there = standingAt(joints[k].at);
        const std::vector<CWire*> net = CollectNet(t);
        if (there && std::find(net.begin(), net.end(), there) != net.end()) continue;
        t->JoinConnections(m_design);
    }
    // After a turn the wires that ran to the old joints are cut back to the
    // turn's box, so that no pin's new place stands on them and the new
    // runs go round the part.
    // The rest of the run goes too, up to a junction, a terminal or its free
    // end: the new run is laid from there, so a run round the turned part
    // needs one corner where the cut run and a new one made a zigzag.
    std::vector<CPoint> from(joints.size());
    std::vector<bool> takenBack(joints.size(), false);
    for (size_t k = 0; k < joints.size(); ++k) {
        from[k] = joints[k].at;
        if (!zone.IsRectEmpty() && terminals[k] && !terminals[k]->IsJoined()) {
            const CPoint cut = RetractRun(*m_design, joints[k].at, zone);
            from[k] = TakeBackRun(*m_design, cut);
            takenBack[k] = from[k] != cut;
        }
    }
    int lost = 0;
    for (size_t k = 0; k < joints.size(); ++k) {
        CTerminal* t = terminals[k];
        if (!t || t->IsJoined()) continue;
        const CJoint& j = joints[k];
        const CPoint to = t->GetOuterEnd();
        CWire* there = standingAt(from[k]);
        // The run goes to where the old run now ends (a taken-back wire may
        // leave nothing there) or joins the net elsewhere, but not at its
        // other free ends.
        const CPoint* goal = &from[k];
        if (!there && !takenBack[k]) {
            ++lost;
            continue;
        }
        auto* owner = dynamic_cast<CComponent*>(parts[j.part]);
        const CRect body = ComponentBox(owner);
        if (zone.IsRectEmpty()) {
            // From the old joint the way the wire ran there; else from the
            // new place to the nearest point of that wire; else from the new
            // place to the old joint by the larger move first.
            if (TryRoute(*m_design, j.at, there, to) && t->IsJoined()) continue;
            if (!dynamic_cast<CTerminal*>(there) && TryRoute(*m_design, to, t, NearestOn(there, to))) {
                // The new wire joined the old one part way along it: the
                // piece from that junction to the old joint leads nowhere now.
                PruneDanglingAt(j.at);
                continue;
            }
            if (TryRoute(*m_design, to, nullptr, j.at) && t->IsJoined()) continue;
        }
        // A run round the part and clear of the other nets; else the direct
        // run, which keeps the connection whatever it crosses.
        if ((LayClearRoute(*m_design, t, there, body, goal) > 0 || LayDirectRoute(*m_design, t, there, goal) > 0) &&
            t->IsJoined()) {
            // The run may have joined the old wire part way along it: the
            // piece from there to the old joint leads nowhere now.  (A run
            // laid from a taken-back wire's far end leaves the pupil's
            // wiring beyond it as it was.)
            if (!takenBack[k]) PruneDanglingAt(from[k]);
            continue;
        }
        ++lost;
    }
    if (lost) m_host.ShowMessage(LoadResString(kStrPinLeftUnjoined));
}

void CCanvasController::KeepWiringAtJoints(CComponent& part, const std::vector<CPoint>& joints,
                                           const std::vector<CTerminal*>& takers,
                                           const std::function<CWire*(CPoint)>& standingAt)
{
    // What stands at each old joint: the wiring the pins take over.
    std::vector<CWire*> there;
    for (CPoint at : joints) there.push_back(standingAt(at));
    // A pin that the drop joined to anything else (a pin that took over no
    // joint, landing on a wire) leaves it.
    for (int i = 0; i < part.GetTerminalCount(); ++i) {
        CTerminal* t = part.GetTerminal(i);
        if (!t || !t->IsJoined()) continue;
        const auto k = std::find(takers.begin(), takers.end(), t) - takers.begin();
        if (k < static_cast<long>(takers.size()) && there[static_cast<size_t>(k)]) {
            const std::vector<CWire*> net = CollectNet(t);
            if (std::find(net.begin(), net.end(), there[static_cast<size_t>(k)]) != net.end()) continue;
        }
        t->JoinConnections(m_design);
    }
    // A pin standing a pixel or two beside its joint (a picture whose pins
    // are off its centre line) gets the short run there.
    const CRect body = ComponentBox(&part);
    int lost = 0;
    for (size_t k = 0; k < takers.size(); ++k) {
        CTerminal* t = takers[k];
        if (t->IsJoined()) continue;
        if (there[k] && (LayClearRoute(*m_design, t, there[k], body, &joints[k]) > 0 ||
                         LayDirectRoute(*m_design, t, there[k], &joints[k]) > 0) &&
            t->IsJoined())
            continue;
        ++lost;
    }
    if (lost) m_host.ShowMessage(LoadResString(kStrPinLeftUnjoined));
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
        DeleteWire(*m_design, loose);
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
    const CRect before = ComponentBox(part);
    BeginDragSelection();
    m_floating->BeginDragImage();
    part->ApplySettingsText();
    // The box the turn sweeps, a grid step wider and out to grid lines: the
    // old wires are cut back to it and the new ones laid round the part.
    CRect zone = ComponentBox(part);
    zone.UnionRect(zone, before);
    const int grid = std::max(1, m_design->GetGridStep());
    auto down = [grid](int v) { return (v >= 0 ? v / grid : -((-v + grid - 1) / grid)) * grid; };
    m_turnZone = CRect(down(zone.left) - grid, down(zone.top) - grid, down(zone.right) + 2 * grid,
                       down(zone.bottom) + 2 * grid);
    if (!part->CanDrop(m_design)) {
        // It does not fit where it stands: it follows the pointer, which
        // keeps its offset to the part's corner, until the next release.
        m_turnZone.SetRectEmpty();
        m_host.SetCursorPos(ToClient(corner));
        SetCursorCode(CURSOR_DRAG);
        return true;
    }
    const int result = Ops().ReleaseFloating(*m_floating, *m_design, corner);
    m_host.SetCapture(false);
    m_dragging = m_pressed = false;
    if (result == 9) LayFollowingWires();
    ForgetJoints();
    m_turnZone.SetRectEmpty();
    ApplyDropResult(11);
    m_design->ResetRun(1);
    part->Select(0);
    PickUp(part, true);
    m_host.Invalidate();
    return true;
}
