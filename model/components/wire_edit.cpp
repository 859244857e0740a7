// The wire rules of editing: what a dropped wire does to the wires it meets
// (joins, a junction where it ends on the middle of a wire, a crossover
// where it crosses one, one wire where two meet in line) and what removing
// a wire does to its run.  See README.md, "Wire rules".
#include "model/components/wire.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire_edit.h"
#include "model/components/wire_geometry.h"
#include "platform/numtext.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsPlainWire(const CWire* w) { return w && !dynamic_cast<const CTerminal*>(w); }

// Where a wire ends on others: its ends, or a terminal's outer end.
std::vector<CPoint> JoinPoints(CWire* w)
{
    if (auto* t = dynamic_cast<CTerminal*>(w)) return {t->GetOuterEnd()};
    return {w->GetEndA(), w->GetEndB()};
}

// The parts that meet at p: wire ends and terminal ends at p, and wires
// passing through p.
struct CMeeting {
    std::vector<CWire*> ends;
    std::vector<CWire*> through;
    int Count() const { return static_cast<int>(ends.size() + through.size()); }
};

CMeeting MeetingAt(CCircuit& d, CPoint p, const CWire* skip = nullptr)
{
    CMeeting m;
    std::vector<CWire*> all;
    d.CollectConnections(all);
    for (CWire* o : all) {
        if (o == skip) continue;
        bool end = false;
        for (CPoint q : JoinPoints(o)) end = end || q == p;
        if (end)
            m.ends.push_back(o);
        else if (IsPlainWire(o) && WireContains(o, p, true))
            m.through.push_back(o);
    }
    return m;
}

} // namespace

void DeleteWire(CCircuit& d, CWire* w)
{
    d.RemoveChild(w);
    for (CCircuit* other : {d.GetLinkedDesign(), d.m_pHostDesign})
        if (other) other->ForgetPart(w);
    d.UnlinkEverywhere(w);
    w->m_pLinkA = w->m_pLinkB = nullptr;
    CCrossOver::DeletePartnersOf(w);
    if (!d.IsTemporary() && !d.IsTearingDown()) w->EraseTree();
    if (SharedPressState().pendingOp == w) SharedPressState().pendingOp = nullptr;
    delete w;
}

namespace {

// Every link word in the design that points to from now points to to.
void Redirect(CCircuit& d, CWire* from, CWire* to)
{
    std::vector<CWire*> all;
    d.CollectConnections(all);
    for (CWire* o : all) {
        if (o == from) continue;
        for (int e = 0; e < 2; ++e)
            if (o->GetLink(e) == from) o->SetLink(e, to == o ? nullptr : to);
    }
}

// Crossover halves of w that stand in the part of it from p on move to w2.
void MoveCrossovers(CWire* w, CWire* w2)
{
    std::vector<CCrossOver*> moving;
    for (CPart* c = w->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* h = dynamic_cast<CCrossOver*>(c); h && WireContains(w2, h->GetRect().CenterPoint(), false) &&
                                                     !WireContains(w, h->GetRect().CenterPoint(), false))
            moving.push_back(h);
    for (CCrossOver* h : moving) {
        w->CPart::RemoveChild(h);
        w2->AppendChild(h);
        h->m_pWire = w2;
    }
}

} // namespace

CWire* CCircuit::SplitWire(CWire* w, CPoint p)
{
    if (!IsPlainWire(w) || !WireContains(w, p, true)) return nullptr;
    CPoint a = w->GetEndA(), b = w->GetEndB();
    CWire* farLink = w->GetLink(1);
    auto* w2 = new CWire(p, b, w->GetKind());
    w2->m_nOrientation = w->m_nOrientation;
    w->SetLink(1, nullptr);
    w->SetEndPoints(a, p);
    // The far end's neighbour now meets w2.
    if (farLink) {
        w2->SetLink(1, farLink);
        for (int e = 0; e < 2; ++e)
            if (farLink->GetLink(e) == w) farLink->SetLink(e, w2);
    }
    MoveCrossovers(w, w2);
    CPartTree::AddChild(w2);
    w2->AttachToCircuit(this);
    CWire::Join(w, 1, w2, 0);
    w2->SetNodeNumber(w->GetNodeNumber());
    return w2;
}

bool CCircuit::MergeAt(CPoint p, CWire* keepWire)
{
    CMeeting m = MeetingAt(*this, p);
    if (m.Count() != 2 || !m.through.empty()) return false;
    CWire* x = m.ends[0];
    CWire* y = m.ends[1];
    if (y == keepWire) std::swap(x, y);
    if (!IsPlainWire(x) || !IsPlainWire(y) || x == y || x->GetKind() != y->GetKind()) return false;
    if (!WireIsLattice(x) || !WireIsLattice(y) || !WiresInLine(x, y)) return false;
    // In line and on either side of p: wires folding back over each other
    // are left alone.
    {
        CPoint fx = (x->EndAt(p) == 0 ? x->GetEndB() : x->GetEndA()) - p;
        CPoint fy = (y->EndAt(p) == 0 ? y->GetEndB() : y->GetEndA()) - p;
        if (fx.x * fy.x + fx.y * fy.y >= 0) return false;
    }
    // x takes y's length and y's far neighbour; y goes.
    const int ye = y->EndAt(p);
    CWire* yFar = y->GetLink(1 - ye);
    CPoint far = ye == 0 ? y->GetEndB() : y->GetEndA();
    CPoint keep = x->EndAt(p) == 0 ? x->GetEndB() : x->GetEndA();
    const int xe = x->EndAt(p);
    x->SetLink(xe, nullptr);
    y->SetLink(1 - ye, nullptr);
    Redirect(*this, y, x);
    std::vector<CCrossOver*> halves;
    for (CPart* c = y->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* h = dynamic_cast<CCrossOver*>(c)) halves.push_back(h);
    for (CCrossOver* h : halves) {
        y->CPart::RemoveChild(h);
        x->AppendChild(h);
        h->m_pWire = x;
    }
    if (y->m_bJoin && !x->m_bJoin) {
        x->m_bJoin = 1;
        x->m_ptJoin = y->m_ptJoin;
    }
    // SetEndPoints keeps each link word with the point given in its place:
    // the kept end goes in the place of the end it is, so that its link
    // stays with it; the far link then goes where far is.
    if (xe == 0)
        x->SetEndPoints(far, keep);
    else
        x->SetEndPoints(keep, far);
    x->SetLink(x->EndAt(far), yFar == x ? nullptr : yFar);
    if (x->m_bJoin && MeetingAt(*this, x->m_ptJoin + CPoint(3, 3), x).Count() < 2) x->m_bJoin = 0;
    DeleteWire(*this, y);
    return true;
}

void CCircuit::LayWire(CWire* first)
{
    // A wire off the lattice (neither straight nor an exact diagonal: made
    // by code, not by a route) only joins at its ends.
    if (!WireIsLattice(first)) {
        JoinAt(first, 0);
        JoinAt(first, 1);
        return;
    }
    std::vector<CWire*> queue{first};
    while (!queue.empty()) {
        CWire* w = queue.back();
        queue.pop_back();
        // Ends: joined to what ends there; on the middle of a wire, that wire
        // splits and the joint carries a junction dot.
        for (int e = 0; e < 2; ++e) {
            CPoint p = e ? w->GetEndB() : w->GetEndA();
            JoinAt(w, e);
            CMeeting m = MeetingAt(*this, p, w);
            for (CWire* x : m.through) {
                if (!KindsJoin(x->GetKind(), w->GetKind()) || WiresParallel(x, w) || !WireIsLattice(x)) continue;
                if (!SplitWire(x, p)) continue;
                if (!w->GetLink(e)) w->SetLink(e, x);
                w->m_bJoin = 1;
                w->m_ptJoin = p - CPoint(3, 3);
                break;
            }
        }
        // Along the wire: an end of another wire or a terminal standing on it
        // splits it there and joins; a wire crossing it gets a crossover.
        bool split = false;
        std::vector<CWire*> all;
        CollectConnections(all);
        for (CWire* o : all) {
            if (o == w || !KindsJoin(o->GetKind(), w->GetKind()) || WiresParallel(o, w)) continue;
            if (IsPlainWire(o) && !WireIsLattice(o)) continue;
            for (CPoint q : JoinPoints(o)) {
                if (!WireContains(w, q, true)) continue;
                CWire* w2 = SplitWire(w, q);
                if (!w2) continue;
                JoinAt(w, 1);
                JoinAt(w2, 0);
                w->m_bJoin = 1;
                w->m_ptJoin = q - CPoint(3, 3);
                queue.push_back(w2);
                queue.push_back(w);
                split = true;
                break;
            }
            if (split) break;
        }
        if (split) continue;
        for (CWire* o : all) {
            if (o == w || !IsPlainWire(o) || !WireIsLattice(o) || w->IsLinkedTo(o) || o->IsLinkedTo(w)) continue;
            CPoint x;
            if (!WiresCross(w, o, &x)) continue;
            bool paired = false;
            for (CPart* c = w->GetFirstChild(); c && !paired; c = c->GetNextSibling())
                if (auto* h = dynamic_cast<CCrossOver*>(c); h && h->m_pPartner && h->m_pPartner->m_pWire == o)
                    paired = h->GetRect().CenterPoint() == x;
            if (!paired) CCrossOver::MakePair(w, o, x);
        }
    }
    // Two wires now meeting in line at an end become one.
    for (int e = 0; e < 2; ++e) {
        if (!HoldsTopLevel(first)) break;
        MergeAt(e ? first->GetEndB() : first->GetEndA(), first);
    }
}

// ---- removal ----

void CWire::JoinConnections(CPartTree* design)
{
    auto* c = dynamic_cast<CCircuit*>(design);
    if (!c || c->IsTearingDown()) {
        m_pLinkA = m_pLinkB = nullptr;
        CCrossOver::DeletePartnersOf(this);
        DeleteChildren();
        return;
    }
    // The run of plain wires joined end to end at each end, each linked to
    // the next both ways, goes with this wire; where the run meets a wire
    // that goes on (a junction), that wire is left and merged in line.
    std::vector<CWire*> doomed;
    std::vector<CPoint> junctions;
    auto isDoomed = [&](CWire* w) { return std::find(doomed.begin(), doomed.end(), w) != doomed.end(); };
    for (int e = 0; e < 2; ++e) {
        CWire* prev = this;
        CPoint at = e ? GetEndB() : GetEndA();
        CWire* n = GetLink(e);
        while (n && n != this && IsPlainWire(n) && !isDoomed(n) && n->IsLinkedTo(prev) && prev->IsLinkedTo(n) &&
               c->HoldsTopLevel(n)) {
            doomed.push_back(n);
            const int back = n->GetLink(0) == prev ? 0 : 1;
            at = back ? n->GetEndA() : n->GetEndB();
            CWire* next = n->GetLink(1 - back);
            prev = n;
            n = next;
        }
        if (n && n != this && IsPlainWire(n) && !isDoomed(n)) junctions.push_back(at);
    }
    c->UnlinkEverywhere(this);
    m_pLinkA = m_pLinkB = nullptr;
    m_bJoin = 0;
    CCrossOver::DeletePartnersOf(this);
    DeleteChildren();
    for (CWire* w : doomed) DeleteWire(*c, w);
    for (CPoint p : junctions) c->MergeAt(p);
}

// ---- information ----

int CWire::HasInfo(int, int) { return m_nKind != WIRE_SHORT_STUB; }

int CWire::BuildInfo(CString& text, UINT, CPoint)
{
    double value = 0.0, current = 0.0;
    TraceConnectedValues(&value, &current, nullptr, nullptr);
    const bool electric = KindsJoin(m_nKind, WIRE_ELECTRIC);
    const bool vertical = m_nOrientation == WIRE_VERTICAL;
    if (electric) {
        text = FormatValueWithPrefix(value, false, true, true, false, false);
        text += LoadResString(36533);
        text += FormatValueWithPrefix(current, false, true, true, false, false);
        text += LoadResString(36534);
        if (!(std::fabs(current) > 5e-9)) return 13;
        if (vertical) return current > 0 ? 11 : 9;
        return current > 0 ? 10 : 12;
    }
    if (m_nKind == WIRE_ROTATIONAL) {
        CCircuit* d = CCircuit::ActiveCircuit();
        if (d && d->m_wSpeedUnit) {
            text = FormatValueWithPrefix(value, false, true, true, false, false);
            text += LoadResString(36535);
        } else {
            text = FormatValueWithPrefix(value * 60.0 / (2.0 * 3.14159265358979323846), false, true, true, false, false);
            text += LoadResString(36573);
        }
        if (value == 0.0) return 13;
        return value > 0 ? 14 : 15;
    }
    if (m_nKind == WIRE_LINEAR) {
        text = FormatValueWithPrefix(value, false, true, true, false, false);
        text += LoadResString(36530);
        if (value == 0.0) return 13;
        return value > 0 ? 17 : 16;
    }
    return 1;
}

int CWire::CanConnectKind(CPoint point, CPartTree* design, int routeKind)
{
    if (!KindsJoin(m_nKind, routeKind)) return 0;
    if (IsInert() && (m_nKind == WIRE_SHORT_STUB || m_nKind == WIRE_ROTATIONAL)) return 0;
    const int end = dynamic_cast<CTerminal*>(this) ? (static_cast<CTerminal*>(this)->GetOuterEnd() == point ? 0 : -1)
                                                   : EndAt(point);
    if (end >= 0) {
        CWire* link = dynamic_cast<CTerminal*>(this) ? (m_pLinkA ? m_pLinkA : m_pLinkB) : GetLink(end);
        if (!link) return (routeKind == WIRE_ROTATIONAL || routeKind == WIRE_LINEAR) ? 1 : 2;
        if (link->IsLinkedTo(this) && routeKind != WIRE_ROTATIONAL) return 1;
        return 0;
    }
    if (!IsPlainWire(this) || !WireContains(this, point, true) || IsInert() || routeKind == WIRE_ROTATIONAL) return 0;
    auto* c = dynamic_cast<CCircuit*>(design);
    if (c) {
        CMeeting m = MeetingAt(*c, point, this);
        if (m.Count() > 0) return 0;
    }
    return 1;
}
