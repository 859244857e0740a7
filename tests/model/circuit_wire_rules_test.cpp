// What a dropped wire does to the wires it meets, and what removing one
// does to its run: a table of layouts, each dropped wire by wire.
#include "circuit_testparts.h"
#include "model/components/wire_geometry.h"
#include "model/components/wire_route.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

struct Seg {
    CPoint a, b;
};

std::vector<CWire*> Wires(CCircuit& d)
{
    std::vector<CWire*> v;
    for (CPart* p = d.m_pWires->GetFirstChild(); p; p = p->GetNextSibling()) v.push_back(static_cast<CWire*>(p));
    return v;
}

int CrossoverHalves(CCircuit& d)
{
    int n = 0;
    for (CWire* w : Wires(d))
        for (CPart* c = w->GetFirstChild(); c; c = c->GetNextSibling()) n += dynamic_cast<CCrossOver*>(c) ? 1 : 0;
    return n;
}

int JunctionDots(CCircuit& d)
{
    int n = 0;
    for (CWire* w : Wires(d)) n += w->m_bJoin;
    return n;
}

int Nets(CCircuit& d)
{
    d.RenumberNodes();
    std::set<int> nets;
    for (CWire* w : Wires(d)) nets.insert(w->GetNodeNumber());
    return static_cast<int>(nets.size());
}

TEST(WireRules, DroppedWiresAsATable)
{
    struct Case {
        const char* name;
        std::vector<Seg> segs;
        int wires, halves, dots, nets;
    };
    const Case cases[] = {
        {"crossing gets a crossover", {{{0, 48}, {96, 48}}, {{48, 0}, {48, 96}}}, 2, 2, 0, 2},
        {"T splits the wire with a junction", {{{0, 48}, {96, 48}}, {{48, 48}, {48, 96}}}, 3, 0, 1, 1},
        {"T from below onto the middle", {{{48, 0}, {48, 48}}, {{0, 48}, {96, 48}}}, 3, 0, 1, 1},
        {"collinear wires merge", {{{0, 48}, {48, 48}}, {{48, 48}, {96, 48}}}, 1, 0, 0, 1},
        {"a corner stays two wires", {{{0, 48}, {48, 48}}, {{48, 48}, {48, 96}}}, 2, 0, 0, 1},
        {"a plus: crossing, no joint", {{{0, 48}, {96, 48}}, {{48, 0}, {48, 96}}, {{200, 0}, {200, 8}}}, 3, 2, 0, 3},
    };
    for (const Case& c : cases) {
        CCircuit d;
        for (const Seg& s : c.segs) AddWire(d, s.a, s.b);
        EXPECT_EQ(Wires(d).size(), static_cast<size_t>(c.wires)) << c.name;
        EXPECT_EQ(CrossoverHalves(d), c.halves) << c.name;
        EXPECT_EQ(JunctionDots(d), c.dots) << c.name;
        EXPECT_EQ(Nets(d), c.nets) << c.name;
    }
}

TEST(WireRules, MergedWireSpansBoth)
{
    CCircuit d;
    AddPart<CTestResistor>(d, 20, 48);  // B's outer end at (80, 48)
    AddWire(d, {80, 48}, {160, 48});
    AddWire(d, {160, 48}, {240, 48});
    ASSERT_EQ(Wires(d).size(), 1u);
    CWire* w = Wires(d)[0];
    EXPECT_EQ(w->GetEndA(), CPoint(80, 48));
    EXPECT_EQ(w->GetEndB(), CPoint(240, 48));
    EXPECT_NE(w->GetLink(0), nullptr);  // still joined to the terminal
}

// A wire dropped between a wire's end and a corner merges with the wire in
// line; the merged wire keeps the joint at the corner, whichever way round
// its ends were given.
TEST(WireRules, MergeKeepsTheCornerJoined)
{
    struct Case {
        Seg line, corner, dropped;
    };
    const Case cases[] = {
        {{{0, 48}, {48, 48}}, {{96, 0}, {96, 48}}, {{48, 48}, {96, 48}}},
        {{{0, 48}, {48, 48}}, {{96, 0}, {96, 48}}, {{96, 48}, {48, 48}}},
        {{{48, 48}, {96, 48}}, {{0, 48}, {0, 96}}, {{0, 48}, {48, 48}}},
        {{{48, 0}, {48, 48}}, {{48, 96}, {96, 96}}, {{48, 48}, {48, 96}}},
        {{{48, 48}, {48, 96}}, {{48, 0}, {96, 0}}, {{48, 0}, {48, 48}}},
    };
    for (const Case& c : cases) {
        CCircuit d;
        AddWire(d, c.line.a, c.line.b);
        AddWire(d, c.corner.a, c.corner.b);
        AddWire(d, c.dropped.a, c.dropped.b);
        const auto wires = Wires(d);
        ASSERT_EQ(wires.size(), 2u);
        CWire* merged = wires[0]->IsLinkedTo(wires[1]) ? wires[0] : nullptr;
        ASSERT_NE(merged, nullptr) << c.dropped.a.x << "," << c.dropped.a.y;
        // Each end's link word points to what stands at that end.
        for (CWire* w : wires)
            for (int e = 0; e < 2; ++e) {
                if (CWire* other = w->GetLink(e)) {
                    EXPECT_GE(other->EndAt(e ? w->GetEndB() : w->GetEndA()), 0);
                }
            }
        EXPECT_TRUE(wires[1]->IsLinkedTo(wires[0]));
        EXPECT_EQ(Nets(d), 1);
    }
}

TEST(WireRules, TerminalOnAWireJoinsIt)
{
    CCircuit d;
    auto* r = AddPart<CTestResistor>(d, 20, 48);  // B's outer end at (80, 48)
    AddWire(d, {80, 0}, {80, 96});
    EXPECT_EQ(Wires(d).size(), 2u);
    EXPECT_TRUE(r->B()->IsJoined());
    EXPECT_EQ(Nets(d), 1);
}

TEST(WireRules, RemovingTheStemOfATMergesTheHalves)
{
    CCircuit d;
    AddWire(d, {0, 48}, {96, 48});
    CWire* stem = AddWire(d, {48, 48}, {48, 96});
    ASSERT_EQ(Wires(d).size(), 3u);
    d.RemovePart(stem);
    delete stem;
    ASSERT_EQ(Wires(d).size(), 1u);
    EXPECT_EQ(Wires(d)[0]->GetEndA(), CPoint(0, 48));
    EXPECT_EQ(Wires(d)[0]->GetEndB(), CPoint(96, 48));
}

TEST(WireRules, DeletingACrossedWireTakesBothHalves)
{
    CCircuit d;
    CWire* a = AddWire(d, {0, 48}, {96, 48});
    CWire* b = AddWire(d, {48, 0}, {48, 96});
    ASSERT_EQ(CrossoverHalves(d), 2);
    d.DeletePart(a);
    EXPECT_EQ(b->ChildCount(), 0);
}

TEST(WireRules, JoiningRulesByKind)
{
    CCircuit d;
    CWire* e = AddWire(d, {0, 48}, {96, 48});
    // Electric wires: a free end 2, the middle 1; other families never.
    EXPECT_EQ(e->CanConnectKind({0, 48}, &d, WIRE_ELECTRIC), 2);
    EXPECT_EQ(e->CanConnectKind({0, 48}, &d, WIRE_LONG_STUB), 2);
    EXPECT_EQ(e->CanConnectKind({48, 48}, &d, WIRE_ELECTRIC), 1);
    EXPECT_EQ(e->CanConnectKind({0, 48}, &d, WIRE_ROTATIONAL), 0);
    EXPECT_EQ(e->CanConnectKind({0, 48}, &d, WIRE_LINEAR), 0);
    // A rotational wire: a free end 1, never in the middle.
    auto* r = new CWire(CPoint(0, 200), CPoint(96, 200), WIRE_ROTATIONAL);
    d.AddChild(r);
    r->Drop(&d);
    EXPECT_EQ(r->CanConnectKind({0, 200}, &d, WIRE_ROTATIONAL), 1);
    EXPECT_EQ(r->CanConnectKind({48, 200}, &d, WIRE_ROTATIONAL), 0);
    // An end joined to a wire that links back: 1.
    AddWire(d, {96, 48}, {96, 96});
    EXPECT_EQ(e->CanConnectKind({96, 48}, &d, WIRE_ELECTRIC), 1);
}

TEST(WireRules, InfoTextAndCursorCodes)
{
    CCircuit d;
    auto* cell = AddPart<CTestCell>(d, 100, 100);
    CWire* w = AddWire(d, {160, 100}, {160, 200});
    cell->B()->m_dVoltage = 1.5;
    cell->B()->SetCurrent(-0.002);
    CString text;
    int code = w->BuildInfo(text, 36002, CPoint(160, 150));
    EXPECT_NE(text.Find("V, "), -1);
    EXPECT_NE(code, 13);
    cell->B()->SetCurrent(5e-9);
    EXPECT_EQ(w->BuildInfo(text, 36002, CPoint(160, 150)), 13);
    auto* stub = new CWire(CPoint(0, 0), CPoint(0, 8), WIRE_SHORT_STUB);
    EXPECT_FALSE(stub->HasInfo(0, 4));
    EXPECT_TRUE(w->HasInfo(160, 150));
    delete stub;
}

// The exact lattice answers against walking every point.
TEST(WireGeometry, FastAnswersMatchTheWalk)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pos(0, 12), kind(0, 2);
    for (int i = 0; i < 3000; ++i) {
        auto seg = [&](int k) {
            CPoint a(pos(rng), pos(rng));
            int dir = kind(rng), len = pos(rng);
            CPoint b = dir == 0 ? CPoint(a.x + len, a.y) : dir == 1 ? CPoint(a.x, a.y + len) : CPoint(a.x + len, a.y - len);
            return CWire(a, b, k);
        };
        CWire a = seg(WIRE_LINEAR), b = seg(WIRE_LINEAR);
        CPoint p(pos(rng), pos(rng));
        EXPECT_EQ(WireContains(&a, p, true), WireContainsReference(&a, p, true));
        EXPECT_EQ(WireContains(&a, p, false), WireContainsReference(&a, p, false));
        CPoint x1, x2;
        bool c1 = WiresCross(&a, &b, &x1), c2 = WiresCrossReference(&a, &b, &x2);
        EXPECT_EQ(c1, c2);
        if (c1 && c2) {
            EXPECT_EQ(x1, x2);
        }
    }
}

TEST(WireRoute, ElectricRouteMakesTwoLegsAndJoins)
{
    CCircuit d;
    auto* r1 = AddPart<CTestResistor>(d, 100, 96);   // B's outer end (160, 96)
    auto* r2 = AddPart<CTestResistor>(d, 300, 200);  // A's outer end (280, 200)
    CWireRoute route(d);
    route.Begin({161, 95}, r1->B());
    EXPECT_TRUE(route.IsActive());
    EXPECT_EQ(route.GetStart(), CPoint(160, 96));
    EXPECT_TRUE(route.MoveTo({279, 201}));
    EXPECT_TRUE(route.IsHorizontalFirst());  // on from a horizontal stub
    EXPECT_EQ(route.GetCorner(), CPoint(280, 96));
    // The bends: both terminals touched.
    ASSERT_EQ(route.GetBends().size(), 2u);
    EXPECT_EQ(route.GetBends()[0].part, r1->B());
    EXPECT_EQ(route.Finish(), 2);
    EXPECT_FALSE(route.IsActive());
    EXPECT_TRUE(r1->B()->IsJoined());
    EXPECT_TRUE(r2->A()->IsJoined());
    EXPECT_EQ(Nets(d), 1);
}

TEST(WireRoute, InvalidRoutesMakeNothing)
{
    CCircuit d;
    AddWire(d, {0, 48}, {96, 48});
    CWireRoute route(d);
    // Along an existing wire.
    route.Begin({16, 48}, nullptr);
    EXPECT_FALSE(route.MoveTo({200, 48}));
    EXPECT_EQ(route.Finish(), 0);
    // A point route.
    route.Begin({300, 300}, nullptr);
    EXPECT_FALSE(route.MoveTo({302, 302}));
    EXPECT_EQ(route.Finish(), 0);
    EXPECT_EQ(Wires(d).size(), 1u);
    // Through a free end in the middle of the route is fine (it joins).
    route.Begin({96, 0}, nullptr);
    EXPECT_TRUE(route.MoveTo({96, 96}));
    EXPECT_EQ(route.Finish(), 1);
    EXPECT_EQ(Nets(d), 1);
}

TEST(WireRoute, MotionRouteHasADiagonalLegAndTrackHandle)
{
    CCircuit d;
    CWireRoute route(d);
    route.Begin({0, 0}, nullptr, WIRE_ROTATIONAL);
    EXPECT_EQ(route.TrackHandle(0, CSize(0, 8)), 0);
    EXPECT_EQ(route.TrackHandle(0, CSize(8, 0)), 1);
    EXPECT_TRUE(route.MoveTo({96, 32}));
    EXPECT_EQ(route.GetCorner(), CPoint(64, 0));
    EXPECT_EQ(route.TrackHandle(2, CSize(8, 0)), 1);
    EXPECT_EQ(route.GetEnd(), CPoint(104, 32));
    EXPECT_EQ(route.Finish(), 2);
    ASSERT_EQ(Wires(d).size(), 2u);
    bool diagonal = false;
    for (CWire* w : Wires(d)) diagonal = diagonal || w->GetOrientation() >= 16;
    EXPECT_TRUE(diagonal);
}

} // namespace
