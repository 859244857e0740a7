#include "model/components/wire_follow.h"

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire_edit.h"
#include "model/components/wire_geometry.h"
#include "model/components/wire_route.h"
#include "model/text/text.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <queue>
#include <unordered_set>

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

const CPoint kStep[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

bool InClosed(const CRect& r, CPoint p) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

// The point of a wire nearest to p: a terminal's outer end, the nearest
// point of a straight wire, the nearer end of a slanted one.
CPoint NearestOn(const CWire* w, CPoint p)
{
    if (auto* t = dynamic_cast<const CTerminal*>(w)) return t->GetOuterEnd();
    CPoint q;
    if (NearestOnStraight(w, p, &q)) return q;
    const CPoint a = w->GetEndA(), b = w->GetEndB();
    return std::abs(a.x - p.x) + std::abs(a.y - p.y) <= std::abs(b.x - p.x) + std::abs(b.y - p.y) ? a : b;
}

long Distance(CPoint a, CPoint b) { return std::labs(long(a.x) - b.x) + std::labs(long(a.y) - b.y); }

// A straight piece from a to b (a != b), as the lattice questions want it.
struct CSegment {
    CPoint a, b;
    bool Horizontal() const { return a.y == b.y; }
    bool Contains(CPoint p, bool interior) const
    {
        const int lo = Horizontal() ? std::min(a.x, b.x) : std::min(a.y, b.y);
        const int hi = Horizontal() ? std::max(a.x, b.x) : std::max(a.y, b.y);
        const int along = Horizontal() ? p.x : p.y;
        if ((Horizontal() ? p.y != a.y : p.x != a.x)) return false;
        return interior ? along > lo && along < hi : along >= lo && along <= hi;
    }
};

// The run finder: a shortest path with a cost for every bend over a lattice
// of lines (the grid, and the coordinates of the start and of the net).
class CFollowRouter {
public:
    // The run ends on the net of `target` or, with `goal`, on that point.
    CFollowRouter(CCircuit& design, CTerminal* from, CWire* target, const CRect& avoid, const CPoint* goal = nullptr)
        : m_from(from), m_avoid(avoid), m_hasGoal(goal != nullptr), m_goal(goal ? *goal : CPoint())
    {
        for (CWire* w : CollectNet(target, from)) m_target.insert(w);
        m_start = from->GetOuterEnd();
        // The labels of the part (its value, a meter's reading): a run may
        // pass over them only at a cost.
        CPart* owner = CPart::FindParentOf(design.GetFirstChild(), from);
        for (CPart* c = owner ? owner->GetFirstChild() : nullptr; c; c = c->GetNextSibling())
            if (dynamic_cast<CText*>(c) && !c->GetRect().IsRectEmpty()) {
                CRect r = c->GetRect();
                r.NormalizeRect();
                m_labels.push_back(r);
            }
        m_grid = std::max(1, design.GetGridStep());
        // The window: the part, the start and the nearest point of the net,
        // with room to go round.
        CRect window(avoid);
        window.NormalizeRect();
        auto include = [&](CPoint p) {
            window.left = std::min<int>(window.left, p.x);
            window.top = std::min<int>(window.top, p.y);
            window.right = std::max<int>(window.right, p.x);
            window.bottom = std::max<int>(window.bottom, p.y);
        };
        include(m_start);
        long best = LONG_MAX;
        CPoint nearest = m_start;
        if (m_hasGoal) {
            best = Distance(m_goal, m_start);
            nearest = m_goal;
        }
        for (CWire* w : m_target) {
            if (w == from) continue;
            const CPoint q = NearestOn(w, m_start);
            if (Distance(q, m_start) < best) {
                best = Distance(q, m_start);
                nearest = q;
            }
        }
        include(nearest);
        const int margin = 4 * m_grid;
        window.InflateRect(margin, margin);
        m_window = window;
        std::vector<CWire*> all;
        design.CollectConnections(all);
        for (CWire* w : all) {
            if (w == from) continue;
            CRect r(w->GetEndA(), w->GetEndB());
            r.NormalizeRect();
            if (r.right < window.left || r.left > window.right || r.bottom < window.top || r.top > window.bottom) continue;
            m_near.push_back(w);
        }
        // The lattice lines.
        auto lines = [&](int lo, int hi, int own, bool xAxis) {
            std::vector<int> v;
            for (int c = (lo / m_grid) * m_grid; c <= hi; c += m_grid)
                if (c >= lo) v.push_back(c);
            v.push_back(own);
            if (m_hasGoal) {
                const int c = xAxis ? m_goal.x : m_goal.y;
                if (c >= lo && c <= hi) v.push_back(c);
            }
            for (CWire* w : m_target) {
                if (w == from) continue;
                for (CPoint p : {w->GetEndA(), w->GetEndB(), NearestOn(w, m_start)}) {
                    const int c = xAxis ? p.x : p.y;
                    if (c >= lo && c <= hi) v.push_back(c);
                }
            }
            std::sort(v.begin(), v.end());
            v.erase(std::unique(v.begin(), v.end()), v.end());
            return v;
        };
        m_xs = lines(window.left, window.right, m_start.x, true);
        m_ys = lines(window.top, window.bottom, m_start.y, false);
    }

    // The corner points of the cheapest run (empty: none).
    std::vector<CPoint> Find()
    {
        const int nx = int(m_xs.size()), ny = int(m_ys.size());
        // A lattice this large would be slow to search; such a window means
        // the net is far off and the direct run is as good.
        if (long(nx) * ny > 40000) return {};
        const int sx = int(std::lower_bound(m_xs.begin(), m_xs.end(), m_start.x) - m_xs.begin());
        const int sy = int(std::lower_bound(m_ys.begin(), m_ys.end(), m_start.y) - m_ys.begin());
        if (Blocked(m_start, true)) return {};
        const int inward = (m_from->GetSide() + 2) & 3;
        const long bend = 3L * m_grid;
        const int states = nx * ny * 5;
        std::vector<long> cost(states, LONG_MAX);
        std::vector<int> back(states, -1);
        auto id = [&](int ix, int iy, int d) { return (iy * nx + ix) * 5 + d; };
        using Item = std::pair<long, int>;
        std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
        cost[id(sx, sy, 4)] = 0;
        open.push({0, id(sx, sy, 4)});
        // Node answers, asked once each.
        std::vector<signed char> kind(size_t(nx) * ny, -1);
        auto nodeKind = [&](int ix, int iy) {
            signed char& k = kind[size_t(iy) * nx + ix];
            if (k < 0) k = Classify(CPoint(m_xs[ix], m_ys[iy]));
            return k;
        };
        int found = -1;
        while (!open.empty()) {
            const auto [c, s] = open.top();
            open.pop();
            if (c != cost[s]) continue;
            const int d = s % 5, node = s / 5, ix = node % nx, iy = node / nx;
            const CPoint here(m_xs[ix], m_ys[iy]);
            if (d != 4 && nodeKind(ix, iy) == kTarget) {
                found = s;
                break;
            }
            for (int nd = 0; nd < 4; ++nd) {
                if (d == 4 && nd == inward) continue;
                if (d != 4 && nd == ((d + 2) & 3)) continue;
                if (d != 4 && nodeKind(ix, iy) == kCrossing && nd != d) continue;
                const int jx = ix + kStep[nd].x, jy = iy + kStep[nd].y;
                if (jx < 0 || jy < 0 || jx >= nx || jy >= ny) continue;
                const signed char k = nodeKind(jx, jy);
                if (k == kBlocked) continue;
                const CPoint there(m_xs[jx], m_ys[jy]);
                if (!EdgeClear(CSegment{here, there})) continue;
                const long nc = c + Distance(here, there) + (d != 4 && nd != d ? bend : 0) +
                                 (OverLabel(CSegment{here, there}) ? bend : 0);
                const int ns = id(jx, jy, nd);
                if (nc < cost[ns]) {
                    cost[ns] = nc;
                    back[ns] = s;
                    open.push({nc, ns});
                }
            }
        }
        if (found < 0) return {};
        std::vector<CPoint> path;
        for (int s = found; s >= 0; s = back[s]) {
            const int node = s / 5;
            path.push_back(CPoint(m_xs[node % nx], m_ys[node / nx]));
        }
        std::reverse(path.begin(), path.end());
        // Corners only.
        std::vector<CPoint> corners;
        for (size_t i = 0; i < path.size(); ++i) {
            if (i > 0 && i + 1 < path.size()) {
                const CPoint d1 = path[i] - path[i - 1], d2 = path[i + 1] - path[i];
                if (CPoint(Sign(d1.x), Sign(d1.y)) == CPoint(Sign(d2.x), Sign(d2.y))) continue;
            }
            corners.push_back(path[i]);
        }
        return corners;
    }

    // The start stands on the net (an end or a wire's middle) and on no
    // other.
    bool StartsOnNet() const
    {
        if (Blocked(m_start, true)) return false;
        for (CWire* w : m_target) {
            if (w == m_from) continue;
            if (auto* t = dynamic_cast<CTerminal*>(w)) {
                if (t->GetOuterEnd() == m_start) return true;
            } else if (WireContains(w, m_start, false)) {
                return true;
            }
        }
        return false;
    }

private:
    enum : signed char { kFree = 0, kBlocked = 1, kCrossing = 2, kTarget = 3 };

    bool IsTarget(CWire* w) const { return m_target.count(w) != 0; }

    // Whether p touches another net (a wire's end, a terminal's stub);
    // `start`: p is the run's start, where only the terminal itself stands.
    bool Blocked(CPoint p, bool start) const
    {
        for (CWire* w : m_near) {
            if (IsTarget(w)) continue;
            if (auto* t = dynamic_cast<CTerminal*>(w)) {
                if (WireContains(t, p, false)) return true;
            } else if (w->EndAt(p) >= 0 || (start && WireContains(w, p, false))) {
                return true;
            }
        }
        return false;
    }

    signed char Classify(CPoint p) const
    {
        if (p == m_start) return kBlocked;
        if (InOpen(p)) return kBlocked;
        bool crossing = false, target = false;
        for (CWire* w : m_near) {
            auto* t = dynamic_cast<CTerminal*>(w);
            if (IsTarget(w)) {
                // With a goal, the net's other free ends are left as they
                // are: joining one in line would carry the pupil's end on.
                if (!t && m_hasGoal && p != m_goal && w->EndAt(p) >= 0 && IsFreeEnd(w, p)) return kBlocked;
                if (t ? t->GetOuterEnd() == p : WireContains(w, p, false)) target = true;
                else if (t && WireContains(t, p, false)) return kBlocked;
                continue;
            }
            if (t) {
                if (WireContains(t, p, false)) return kBlocked;
            } else if (w->EndAt(p) >= 0) {
                return kBlocked;
            } else if (WireContains(w, p, true)) {
                crossing = true;
            }
        }
        if (crossing) return kCrossing;
        return target || (m_hasGoal && p == m_goal) ? kTarget : kFree;
    }

    // Nothing of the net but w stands at its end p.
    bool IsFreeEnd(const CWire* w, CPoint p) const
    {
        for (CWire* o : m_target) {
            if (o == w || o == m_from) continue;
            if (auto* t = dynamic_cast<CTerminal*>(o)) {
                if (t->GetOuterEnd() == p) return false;
            } else if (WireContains(o, p, false)) {
                return false;
            }
        }
        return true;
    }

    bool OverLabel(const CSegment& s) const
    {
        CRect line(std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), std::max(s.a.x, s.b.x) + 1,
                   std::max(s.a.y, s.b.y) + 1);
        CRect overlap;
        for (const CRect& r : m_labels)
            if (overlap.IntersectRect(line, r)) return true;
        return false;
    }

    bool InOpen(CPoint p) const
    {
        return p.x > m_avoid.left && p.x < m_avoid.right && p.y > m_avoid.top && p.y < m_avoid.bottom;
    }

    // Nothing between the two nodes but straight crossings.
    bool EdgeClear(const CSegment& s) const
    {
        // Through the part's body.
        const int lo = s.Horizontal() ? std::min(s.a.x, s.b.x) : std::min(s.a.y, s.b.y);
        const int hi = s.Horizontal() ? std::max(s.a.x, s.b.x) : std::max(s.a.y, s.b.y);
        if (s.Horizontal()) {
            if (s.a.y > m_avoid.top && s.a.y < m_avoid.bottom && hi > m_avoid.left && lo < m_avoid.right) return false;
        } else if (s.a.x > m_avoid.left && s.a.x < m_avoid.right && hi > m_avoid.top && lo < m_avoid.bottom) {
            return false;
        }
        CWire piece(s.a, s.b, WIRE_ELECTRIC);
        for (CWire* w : m_near) {
            const CPoint a = w->GetEndA(), b = w->GetEndB();
            // Lying along it for any length: a doubled wire.  (Meeting
            // end to end is a question of the nodes.)
            if (WiresInLine(w, &piece)) {
                const bool horizontal = s.Horizontal();
                if (a != b && (a.y == b.y) != horizontal) continue;
                const int wlo = horizontal ? std::min(a.x, b.x) : std::min(a.y, b.y);
                const int whi = horizontal ? std::max(a.x, b.x) : std::max(a.y, b.y);
                if (std::min(hi, whi) > std::max(lo, wlo)) return false;
                continue;
            }
            // An end or a stub standing on the piece's inside.
            if (auto* t = dynamic_cast<CTerminal*>(w)) {
                if (WireIsLattice(t)) {
                    CPoint at;
                    if (WiresCross(t, &piece, &at)) return false;
                    for (CPoint p : {a, b})
                        if (s.Contains(p, true)) return false;
                }
                continue;
            }
            for (CPoint p : {a, b})
                if (s.Contains(p, true)) return false;
        }
        return true;
    }

    CTerminal* m_from;
    CRect m_avoid;
    bool m_hasGoal = false;
    CPoint m_goal;
    std::vector<CRect> m_labels;
    CRect m_window;
    CPoint m_start;
    int m_grid = 8;
    std::unordered_set<CWire*> m_target;
    std::vector<CWire*> m_near;
    std::vector<int> m_xs, m_ys;
};

int LayLegs(CCircuit& design, CTerminal* from, const std::vector<CPoint>& corners)
{
    CWireRoute route(design);
    route.Begin(from->GetOuterEnd(), from);
    int made = 0;
    for (size_t i = 0; i + 1 < corners.size(); ++i)
        if (route.CreateLeg(corners[i], corners[i + 1])) ++made;
    route.Cancel();
    return made;
}

} // namespace

std::vector<CWire*> CollectNet(CWire* start, const CWire* except)
{
    std::vector<CWire*> net;
    if (!start || start == except) return net;
    std::unordered_set<CWire*> seen{start};
    net.push_back(start);
    for (size_t i = 0; i < net.size(); ++i)
        for (int end = 0; end < 2; ++end) {
            CWire* next = net[i]->GetLink(end);
            if (next && next != except && seen.insert(next).second) net.push_back(next);
        }
    return net;
}

std::vector<CTerminal*> TakeOverJoints(CComponent& part, const std::vector<CPoint>& joints, int reach)
{
    std::vector<CTerminal*> takers;
    for (CPoint at : joints) {
        CTerminal* best = nullptr;
        long bestDistance = LONG_MAX;
        for (int i = 0; i < part.GetTerminalCount(); ++i) {
            CTerminal* t = part.GetTerminal(i);
            if (!t) continue;
            const CPoint end = t->GetOuterEnd();
            const long d = Distance(end, at);
            if (std::abs(end.x - at.x) <= reach && std::abs(end.y - at.y) <= reach && d < bestDistance) {
                best = t;
                bestDistance = d;
            }
        }
        if (!best || std::find(takers.begin(), takers.end(), best) != takers.end()) return {};
        takers.push_back(best);
    }
    return takers;
}

CRect ComponentBox(CPart* part)
{
    CRect box = part->GetRect();
    box.NormalizeRect();
    if (auto* c = dynamic_cast<CComponent*>(part))
        for (int i = 0; i < c->GetTerminalCount(); ++i)
            if (CTerminal* t = c->GetTerminal(i))
                for (CPoint p : {t->GetEndA(), t->GetEndB()}) {
                    box.left = std::min<int>(box.left, p.x);
                    box.top = std::min<int>(box.top, p.y);
                    box.right = std::max<int>(box.right, p.x);
                    box.bottom = std::max<int>(box.bottom, p.y);
                }
    return box;
}

CPoint RetractRun(CCircuit& design, CPoint at, const CRect& zone)
{
    std::vector<CWire*> all;
    design.CollectConnections(all);
    // What stands at a point: plain wires ending there, and terminals whose
    // outer end is there and that are joined to something.
    auto standing = [&](CPoint p, std::vector<CWire*>& wires) {
        int others = 0;
        wires.clear();
        for (CWire* w : all) {
            if (auto* t = dynamic_cast<CTerminal*>(w)) {
                if (t->GetOuterEnd() == p && t->IsJoined()) ++others;
            } else if (w->EndAt(p) >= 0) {
                wires.push_back(w);
            } else if (WireContains(w, p, true)) {
                ++others;
            }
        }
        return others;
    };
    std::vector<CWire*> here;
    if (standing(at, here) || here.size() != 1 || !design.HoldsTopLevel(here[0])) return at;
    std::vector<CWire*> run;
    CWire* w = here[0];
    CPoint p = at;
    for (int guard = 0; guard < 256; ++guard) {
        if (!WireIsLattice(w) || w->GetKind() != here[0]->GetKind()) return at;
        const int end = w->EndAt(p);
        const CPoint far = end == 0 ? w->GetEndB() : w->GetEndA();
        if (!InClosed(zone, far)) {
            // The wire leaves the box: it is cut on the box's edge.
            const CPoint step = CPoint(Sign(far.x - p.x), Sign(far.y - p.y));
            CPoint cut = p;
            while (InClosed(zone, cut + step)) cut += step;
            // A cut point on another wire would join it.
            for (CWire* o : all)
                if (o != w && std::find(run.begin(), run.end(), o) == run.end() &&
                    (WireContains(o, cut, false) || (dynamic_cast<CTerminal*>(o) && o->EndAt(cut) >= 0)))
                    return at;
            for (CWire* r : run) DeleteWire(design, r);
            if (cut != p) {
                const int kind = w->GetKind();
                DeleteWire(design, w);
                auto* piece = new CWire(cut, far, kind);
                piece->AttachToCircuit(&design);
                piece->Drop(&design);
            }
            return cut;
        }
        // Wholly inside: the run goes on only through a plain joint.
        run.push_back(w);
        std::vector<CWire*> there;
        if (standing(far, there) || there.size() != 2) return at;
        CWire* next = there[0] == w ? there[1] : there[0];
        if (!design.HoldsTopLevel(next) || !next->IsLinkedTo(w) || !w->IsLinkedTo(next)) return at;
        w = next;
        p = far;
    }
    return at;
}

CPoint TakeBackRun(CCircuit& design, CPoint at)
{
    std::vector<CWire*> all;
    design.CollectConnections(all);
    // The one plain wire that ends at p when nothing else stands there.
    auto alone = [&](CPoint p, const CWire* except) -> CWire* {
        CWire* found = nullptr;
        for (CWire* w : all) {
            if (w == except) continue;
            if (auto* t = dynamic_cast<CTerminal*>(w)) {
                if (t->GetOuterEnd() == p && t->IsJoined()) return nullptr;
            } else if (w->EndAt(p) >= 0) {
                if (found) return nullptr;  // a joint of more wires
                found = w;
            } else if (WireContains(w, p, true)) {
                return nullptr;  // a junction on another wire's middle
            }
        }
        return found;
    };
    CWire* w = alone(at, nullptr);
    if (!w) return at;
    const int kind = w->GetKind();
    std::vector<CWire*> run;
    CPoint p = at;
    for (int guard = 0; w && guard < 64; ++guard) {
        if (!WireIsLattice(w) || w->GetKind() != kind || !design.HoldsTopLevel(w)) break;
        run.push_back(w);
        p = w->EndAt(p) == 0 ? w->GetEndB() : w->GetEndA();
        w = alone(p, w);
    }
    for (CWire* r : run) DeleteWire(design, r);
    return p;
}

int LayClearRoute(CCircuit& design, CTerminal* from, CWire* target, const CRect& avoid, const CPoint* goal)
{
    if (!from || (!target && !goal) || from->IsJoined()) return 0;
    // A pin that stands on its own net already is joined where it stands.
    const CPoint p = from->GetOuterEnd();
    CFollowRouter router(design, from, target, avoid, goal);
    if (router.StartsOnNet()) {
        for (CWire* w : CollectNet(target, from))
            if (!dynamic_cast<CTerminal*>(w) && WireContains(w, p, true)) {
                design.SplitWire(w, p);
                break;
            }
        design.JoinAt(from, from->GetOuterEndIndex());
        if (from->IsJoined()) return 1;
        return 0;
    }
    const std::vector<CPoint> corners = router.Find();
    if (corners.size() < 2) return 0;
    return LayLegs(design, from, corners);
}

int LayDirectRoute(CCircuit& design, CTerminal* from, CWire* target, const CPoint* goal)
{
    if (!from || (!target && !goal)) return 0;
    const CPoint p = from->GetOuterEnd();
    long best = goal ? Distance(*goal, p) : LONG_MAX;
    CPoint q = goal ? *goal : p;
    for (CWire* w : CollectNet(target, from)) {
        const CPoint n = NearestOn(w, p);
        if (Distance(n, p) < best) {
            best = Distance(n, p);
            q = n;
        }
    }
    if (q == p) return 0;
    // Along the stub first, then across.
    const bool horizontal = from->GetSide() == 1 || from->GetSide() == 3;
    const CPoint corner = horizontal ? CPoint(q.x, p.y) : CPoint(p.x, q.y);
    std::vector<CPoint> corners{p};
    if (corner != p && corner != q) corners.push_back(corner);
    corners.push_back(q);
    return LayLegs(design, from, corners);
}
