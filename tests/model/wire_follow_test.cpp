// Leading a pin back to its own net after its part moved or turned: the
// old run is cut back to a box, a clear run goes round the part and only
// crosses other nets, and the direct run is the last resort.
#include "circuit_testparts.h"
#include "model/components/wire_follow.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<CWire*> Wires(CCircuit& d)
{
    std::vector<CWire*> v;
    for (CPart* p = d.m_pWires->GetFirstChild(); p; p = p->GetNextSibling()) v.push_back(static_cast<CWire*>(p));
    return v;
}

bool SameNet(CWire* a, CWire* b)
{
    const std::vector<CWire*> net = CollectNet(a);
    return std::find(net.begin(), net.end(), b) != net.end();
}

// The net of a reaches a wire end at p (wires may be merged on the way, so
// the far end is asked for, not the wire).
bool NetReaches(CWire* a, CPoint p)
{
    for (CWire* w : CollectNet(a))
        if (!dynamic_cast<CTerminal*>(w) && w->EndAt(p) >= 0) return true;
    return false;
}

TEST(WireFollow, ARunIsCutBackToTheBoxEdgeAndOneEndingInsideIsKept)
{
    CCircuit d;
    AddWire(d, {0, 100}, {80, 100});
    const CRect box(64, 88, 176, 112);
    EXPECT_EQ(RetractRun(d, {80, 100}, box), CPoint(64, 100));
    ASSERT_EQ(Wires(d).size(), 1u);
    EXPECT_EQ(Wires(d)[0]->GetEndA(), CPoint(0, 100));
    EXPECT_EQ(Wires(d)[0]->GetEndB(), CPoint(64, 100));
    // A piece wholly inside leads nowhere else: it stays as it is.
    AddWire(d, {96, 100}, {120, 100});
    EXPECT_EQ(RetractRun(d, {96, 100}, box), CPoint(96, 100));
    EXPECT_EQ(Wires(d).size(), 2u);
}

// The pin's net lies behind the part and another net's wire stands across
// the way: the run goes round the part, crosses that wire without joining
// it, and joins the pin to its own net.
TEST(WireFollow, AClearRunGoesRoundThePartAndOnlyCrossesOtherNets)
{
    CCircuit d;
    auto* r = AddPart<CTestResistor>(d, 100, 100);   // A's outer end (80, 100), B's (160, 100)
    AddWire(d, {200, 40}, {240, 40});
    CWire* own = Wires(d).back();
    CWire* other = AddWire(d, {48, 0}, {48, 200});
    ASSERT_FALSE(r->A()->IsJoined());
    const CRect body = ComponentBox(r);
    EXPECT_GT(LayClearRoute(d, r->A(), own, body), 0);
    EXPECT_TRUE(r->A()->IsJoined());
    EXPECT_TRUE(NetReaches(r->A(), {240, 40}));
    EXPECT_FALSE(NetReaches(r->A(), {48, 0}));
    EXPECT_TRUE(NetReaches(other, {48, 200}));
    EXPECT_FALSE(SameNet(r->A(), r->B()));
    // No leg of the run enters the part's box.
    for (CWire* w : CollectNet(r->A())) {
        if (dynamic_cast<CTerminal*>(w)) continue;
        CRect inside = body, overlap;
        inside.DeflateRect(1, 1);
        CRect line(w->GetEndA(), w->GetEndB() + CPoint(1, 1));
        EXPECT_FALSE(overlap.IntersectRect(inside, line))
            << w->GetEndA().x << "," << w->GetEndA().y << " - " << w->GetEndB().x << "," << w->GetEndB().y;
    }
}

// A pin standing on another net's free end has no clear run (any wire from
// it would join that net); the direct run still keeps its own connection.
TEST(WireFollow, WithoutAClearRunTheDirectRunKeepsTheConnection)
{
    CCircuit d;
    auto* r = AddPart<CTestResistor>(d, 100, 100);
    AddWire(d, {0, 160}, {40, 160});
    CWire* own = Wires(d).back();
    r->A()->JoinConnections(&d);
    AddWire(d, {80, 100}, {80, 20});   // another net ends on A's outer end
    r->A()->JoinConnections(&d);
    ASSERT_FALSE(r->A()->IsJoined());
    const size_t before = Wires(d).size();
    EXPECT_EQ(LayClearRoute(d, r->A(), own, ComponentBox(r)), 0);
    EXPECT_EQ(Wires(d).size(), before);
    EXPECT_GT(LayDirectRoute(d, r->A(), own), 0);
    EXPECT_TRUE(NetReaches(r->A(), {0, 160}));
}

} // namespace
