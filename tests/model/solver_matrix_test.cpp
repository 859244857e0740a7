// Hand-solved networks and the edge cases of the link trees.
#include "solver_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SolverNetwork, DividerWithCellCurrents)
{
    TestNet n(3);
    auto cell = n.Cell(1, 0, 10.0);
    auto r1 = n.Resistor(1, 2, 1000.0);
    auto r2 = n.Resistor(2, 0, 2000.0);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(1), 10.0, 1e-12);
    EXPECT_NEAR(n.V(2), 20.0 / 3.0, 1e-12);
    // Current into a component at a terminal is positive.
    EXPECT_NEAR(r1.first->GetCurrent(), 10.0 / 3000.0, 1e-15);
    EXPECT_NEAR(r1.second->GetCurrent(), -10.0 / 3000.0, 1e-15);
    EXPECT_NEAR(r2.first->GetCurrent(), 10.0 / 3000.0, 1e-15);
    EXPECT_NEAR(cell.first->GetCurrent(), -10.0 / 3000.0, 1e-15);
    EXPECT_NEAR(cell.second->GetCurrent(), 10.0 / 3000.0, 1e-15);
    EXPECT_TRUE(n.readBackComplete);
    // The cell's node is merged onto node 0: one node left to eliminate.
    EXPECT_EQ(n.m.GetEliminatedCount(), 1);
}

TEST(SolverNetwork, UnbalancedBridge)
{
    // 10 V; 1k 1-2, 2k 2-0, 2k 1-3, 1k 3-0, 1k 2-3.  By hand:
    // 2.5 V2 - V3 = 10, 2.5 V3 - V2 = 5  ->  V2 = 40/7, V3 = 30/7.
    TestNet n(4);
    n.Cell(1, 0, 10.0);
    n.Resistor(1, 2, 1000.0);
    n.Resistor(2, 0, 2000.0);
    n.Resistor(1, 3, 2000.0);
    n.Resistor(3, 0, 1000.0);
    auto bridge = n.Resistor(2, 3, 1000.0);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(2), 40.0 / 7.0, 1e-12);
    EXPECT_NEAR(n.V(3), 30.0 / 7.0, 1e-12);
    EXPECT_NEAR(bridge.first->GetCurrent(), (10.0 / 7.0) / 1000.0, 1e-15);
}

TEST(SolverNetwork, CellsInSeries)
{
    TestNet n(4);
    auto c1 = n.Cell(1, 0, 1.5);
    auto c2 = n.Cell(2, 1, 1.5);
    auto c3 = n.Cell(3, 2, 1.5);
    n.Resistor(3, 0, 4.5);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(3), 4.5, 1e-12);
    for (auto c : {c1, c2, c3}) {
        EXPECT_NEAR(c.first->GetCurrent(), -1.0, 1e-12);
        EXPECT_NEAR(c.second->GetCurrent(), 1.0, 1e-12);
    }
    EXPECT_EQ(n.m.GetEliminatedCount(), 0);
}

TEST(SolverNetwork, GearTrainConservesPower)
{
    // Speed source 3 on node 1, gears 1->2 (x2) and 2->3 (x-0.5), a damper
    // of 0.1 on node 3.
    TestNet n(4);
    n.Cell(1, 0, 3.0);
    auto g12 = n.Gear(1, 2, 2.0);
    auto g23 = n.Gear(2, 3, -0.5);
    auto damper = n.Conductance(3, 0, 0.1);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(2), 6.0, 1e-12);
    EXPECT_NEAR(n.V(3), -3.0, 1e-12);
    EXPECT_NEAR(damper.first->GetCurrent(), -0.3, 1e-12);
    for (auto g : {g12, g23})
        EXPECT_NEAR(n.V(g.first->GetNode()) * g.first->GetCurrent() + n.V(g.second->GetNode()) * g.second->GetCurrent(),
                    0.0, 1e-12);
    EXPECT_NEAR(g23.second->GetCurrent(), 0.3, 1e-12);
}

TEST(SolverNetwork, RatioLinkOnFreeRootWeighsItsEquation)
{
    // 1 mA into node 1; node 2 = 2 x node 1 carries 1k to ground.  The root's
    // balance takes node 2's current times the ratio: 1e-3 = 2 * (2 V1) / 1k.
    TestNet n(3);
    n.CurrentSource(0, 1, 1e-3);
    n.Gear(1, 2, 2.0);
    n.Resistor(2, 0, 1000.0);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(1), 0.25, 1e-12);
    EXPECT_NEAR(n.V(2), 0.5, 1e-12);
}

TEST(SolverNetwork, DeepTreeOfRatiosAndOffsets)
{
    // A chain root 1 -> 2 -> ... -> 6 of links with ratio r_k and offset o_k,
    // 1 mA into the root and g = 2 mS from the deepest node to ground.
    // Node 6 = R V1 + O with R, O composed along the chain, and the root
    // balance is J = R g (R V1 + O).
    const double r[] = {2.0, 1.0, 0.5, 3.0, -1.0};
    const double o[] = {0.0, 1.5, 0.0, -1.0, 0.25};
    TestNet n(7);
    n.CurrentSource(0, 1, 1e-3);
    for (int k = 0; k < 5; ++k) {
        auto ta = n.T(static_cast<uint16_t>(k + 1)), tb = n.T(static_cast<uint16_t>(k + 2));
        double rk = r[k], ok = o[k];
        n.Add([=](CMatrix& m) { m.AddIdealLink(rk, ok, ta, tb); });
    }
    n.Conductance(6, 0, 2e-3);
    ASSERT_TRUE(n.Run());
    double R = 1.0, O = 0.0;
    for (int k = 0; k < 5; ++k) {
        R = r[k] * R;
        O = r[k] * O + o[k];
    }
    const double v1 = (1e-3 / (R * 2e-3) - O) / R;
    EXPECT_NEAR(n.V(1), v1, 1e-12);
    double v = v1;
    for (int k = 0; k < 5; ++k) {
        v = r[k] * v + o[k];
        EXPECT_NEAR(n.V(static_cast<uint16_t>(k + 2)), v, 1e-12);
        EXPECT_EQ(n.m.GetDepth(static_cast<uint16_t>(k + 2)), k + 1);
    }
    EXPECT_EQ(n.m.GetEliminatedCount(), 1);
}

TEST(SolverNetwork, OnlyLinksNeedNoElimination)
{
    TestNet n(4);
    n.Cell(1, 0, 5.0);
    n.Wire(1, 2);
    n.Wire(2, 3);
    ASSERT_TRUE(n.Run());
    EXPECT_EQ(n.m.GetEliminatedCount(), 0);
    EXPECT_EQ(n.V(3), 5.0);
}

TEST(SolverNetwork, ParallelCellsOfDifferentEmfSeeHugeCurrents)
{
    TestNet n(2);
    auto a = n.Cell(1, 0, 1.5);
    auto b = n.Cell(1, 0, 3.0);
    ASSERT_TRUE(n.Run());
    EXPECT_EQ(std::fabs(a.first->GetCurrent()), 1e30);
    EXPECT_EQ(std::fabs(b.first->GetCurrent()), 1e30);
    EXPECT_EQ(n.m.GetLinks().size(), 0u);  // consumed by the read-back
    EXPECT_TRUE(std::isfinite(n.V(1)));
}

TEST(SolverNetwork, ConsistentLoopOfWiresAndCells)
{
    // 1.5 + 1.5 from 0 to 2 one way, 3.0 the other way: consistent.
    TestNet n(4);
    n.Cell(1, 0, 1.5);
    n.Cell(2, 1, 1.5);
    auto direct = n.Cell(2, 0, 3.0);
    n.Wire(2, 3);
    n.Resistor(3, 0, 3.0);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(3), 3.0, 1e-12);
    EXPECT_LT(std::fabs(direct.first->GetCurrent()), 10.0);
}

TEST(SolverNetwork, ShortedCellBurnsOut)
{
    TestNet n(2);
    auto cell = n.Cell(1, 1, 1.5);
    n.Resistor(1, 0, 10.0);
    ASSERT_TRUE(n.Run());
    EXPECT_EQ(cell.first->GetCurrent(), -1e30);
    EXPECT_EQ(cell.second->GetCurrent(), 1e30);
    EXPECT_EQ(n.V(1), 0.0);
}

TEST(SolverNetwork, GearLoopThatCannotTurnIsTiedToGround)
{
    TestNet n(4);
    n.CurrentSource(0, 1, 1.0);
    n.Gear(1, 2, 2.0);
    n.Gear(2, 3, 3.0);
    n.Gear(3, 1, 0.5);
    n.Conductance(1, 0, 0.1);
    n.Conductance(2, 0, 0.1);
    n.Conductance(3, 0, 0.1);
    ASSERT_TRUE(n.Run());
    for (uint16_t i = 1; i <= 3; ++i) EXPECT_EQ(n.V(i), 0.0) << i;
    EXPECT_TRUE(n.readBackComplete);
}

TEST(SolverNetwork, GearLoopThatTurnsIsConsistent)
{
    TestNet n(4);
    n.CurrentSource(0, 1, 1.0);
    n.Gear(1, 2, 2.0);
    n.Gear(2, 3, 0.25);
    n.Gear(3, 1, 2.0);
    n.Conductance(1, 0, 0.5);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(1), 2.0, 1e-12);
    EXPECT_NEAR(n.V(2), 4.0, 1e-12);
    EXPECT_NEAR(n.V(3), 1.0, 1e-12);
}

TEST(SolverNetwork, FloatingNodesStayFinite)
{
    TestNet n(5);
    n.Resistor(1, 0, 100.0);
    n.CurrentSource(0, 1, 0.01);
    n.Resistor(2, 3, 100.0);       // a floating pair
    n.CurrentSource(0, 4, 1e-3);   // current into a node with nothing else
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(1), 1.0, 1e-12);
    for (uint16_t i = 2; i <= 4; ++i) EXPECT_TRUE(std::isfinite(n.V(i))) << i;
    EXPECT_NEAR(n.V(4), 1e-3 / 1e-18, 1e3);
}

TEST(SolverNetwork, ZeroAndHugeConductances)
{
    TestNet n(4);
    n.Cell(1, 0, 10.0);
    n.Conductance(1, 2, 1e12);  // a closed switch as a resistor
    n.Resistor(2, 3, 1000.0);
    n.Conductance(3, 0, 1e-3);
    n.Conductance(3, 0, 0.0);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(2), 10.0, 1e-8);
    EXPECT_NEAR(n.V(3), 5.0, 1e-8);
}

TEST(SolverNetwork, SameNodeCountKeepsArraysAndResetsTrees)
{
    TestNet n(3);
    n.Cell(1, 0, 2.0);
    n.Gear(1, 2, 3.0);
    ASSERT_TRUE(n.Run());
    const double* before = n.m.GetSolution();
    EXPECT_EQ(n.m.GetDepth(2), 2);
    ASSERT_TRUE(n.m.Resize(3));
    EXPECT_EQ(n.m.GetSolution(), before);
    for (uint16_t i = 0; i < 3; ++i) {
        EXPECT_EQ(n.m.GetDepth(i), 0);
        EXPECT_EQ(n.m.GetNodeRatio(i), 1.0);
        EXPECT_EQ(n.m.GetNodeOffset(i), 0.0);
        EXPECT_EQ(n.m.GetValue(i), 0.0);
    }
    EXPECT_EQ(n.m.GetPhase(), CMatrix::kCollectLinks);
}

// Decided behaviour for bad input: the step says it cannot be solved, the
// solution reads 0, and the next pass with good values is unaffected.
TEST(SolverRobustness, NonFiniteStampFailsThatPassOnly)
{
    struct Case {
        double g, i0;
    } cases[] = {{NAN, 0.0}, {INFINITY, 0.0}, {1.0, NAN}, {1.0, -INFINITY}};
    for (const Case& c : cases) {
        TestNet n(3);
        n.Cell(1, 0, 5.0);
        n.Resistor(1, 2, 100.0);
        double g = c.g, i0 = c.i0;
        bool bad = true;
        auto t2 = n.T(2), t0 = n.T(0);
        n.Add([&, t2, t0](CMatrix& m) { m.StampTransfer(bad ? g : 0.01, bad ? i0 : 0.0, t2, t0, t2, t0); });
        EXPECT_FALSE(n.Run());
        EXPECT_EQ(n.m.GetFault(), CMatrix::Fault::kBadInput);
        EXPECT_EQ(n.V(1), 0.0);
        bad = false;
        ASSERT_TRUE(n.Run());
        EXPECT_NEAR(n.V(2), 2.5, 1e-12);
    }
}

TEST(SolverRobustness, OverflowInEliminationIsReported)
{
    TestNet n(3);
    n.Conductance(1, 2, 1e300);
    n.Conductance(2, 0, 1e-300);
    n.CurrentSource(0, 1, 1e300);
    EXPECT_FALSE(n.Run());
    EXPECT_EQ(n.m.GetFault(), CMatrix::Fault::kNotFinite);
    EXPECT_EQ(n.V(1), 0.0);
}

TEST(SolverRobustness, BadNodesAndRatiosAreRejected)
{
    {
        TestNet n(2);
        n.Resistor(1, 5, 10.0);  // node 5 does not exist
        EXPECT_FALSE(n.Run());
        EXPECT_EQ(n.m.GetFault(), CMatrix::Fault::kBadInput);
    }
    for (double ratio : {0.0, double(NAN), double(INFINITY)}) {
        TestNet n(3);
        n.Resistor(1, 0, 10.0);
        n.Gear(1, 2, ratio);
        EXPECT_FALSE(n.Run()) << ratio;
    }
    {
        TestNet n(2);
        n.Cell(1, 0, NAN);
        EXPECT_FALSE(n.Run());
    }
}

TEST(SolverRobustness, LinkReadBackChecksItsList)
{
    CMatrix m;
    CNodeTerminal a(1), b(0), c(2);
    ASSERT_TRUE(m.Resize(3));
    m.AddLink(&a, &b);
    m.MergeLinks();
    m.Clear();
    ASSERT_TRUE(m.Solve());
    m.BeginBranchReadBack();
    m.BeginLinkReadBack();
    // A declaration that does not match the head is refused, not read.
    m.AddLink(&a, &c);
    EXPECT_EQ(m.GetReadBackMismatches(), 1);
    m.AddLink(&a, &b);
    // More declarations than links: the list is empty, nothing is read.
    m.AddLink(&a, &b);
    EXPECT_EQ(m.GetReadBackMismatches(), 2);
    EXPECT_FALSE(m.EndLinkReadBack());

    // Fewer declarations than links.
    ASSERT_TRUE(m.Resize(3));
    m.AddLink(&a, &b);
    m.AddLink(&c, &b);
    m.MergeLinks();
    m.Clear();
    ASSERT_TRUE(m.Solve());
    m.BeginBranchReadBack();
    m.BeginLinkReadBack();
    m.AddLink(&a, &b);
    EXPECT_FALSE(m.EndLinkReadBack());
    EXPECT_EQ(m.GetReadBackMismatches(), 1);

    // A read-back with no pass at all.
    CMatrix empty;
    empty.BeginLinkReadBack();
    empty.AddLink(&a, &b);
    EXPECT_EQ(empty.GetReadBackMismatches(), 1);
}

TEST(SolverRobustness, SolveOutsideThePassFails)
{
    CMatrix m;
    EXPECT_FALSE(m.Solve());
    EXPECT_EQ(m.GetFault(), CMatrix::Fault::kWrongPhase);
    ASSERT_TRUE(m.Resize(1));
    m.MergeLinks();
    m.Clear();
    EXPECT_TRUE(m.Solve());
}

TEST(SolverRobustness, ManySourcesOnOneNodeAndLongWireChains)
{
    // 200 cells of two EMFs in parallel and a 3000-link wire chain.
    TestNet n(3005);
    for (int i = 0; i < 200; ++i) n.Cell(1, 0, i % 2 ? 1.0 : 2.0);
    for (uint16_t i = 2; i < 3004; ++i) n.Wire(i, static_cast<uint16_t>(i + 1));
    n.Cell(2, 0, 4.0);
    n.Resistor(3004, 0, 2.0);
    ASSERT_TRUE(n.Run());
    EXPECT_NEAR(n.V(3004), 4.0, 1e-12);
    EXPECT_TRUE(n.readBackComplete);
}

TEST(SolverNetwork, ParallelWiresShareTheCurrent)
{
    // Two wires from node 1 to node 2 close a consistent loop; node 2's
    // current is split evenly between the links that lead up its tree.
    TestNet n(3);
    n.Cell(1, 0, 6.0);
    auto w1 = n.Wire(1, 2);
    auto w2 = n.Wire(1, 2);
    n.Resistor(2, 0, 3.0);
    ASSERT_TRUE(n.Run());
    EXPECT_EQ(n.V(2), 6.0);
    // 2 A flows from node 1 into the wires: 1 A into each at its first end.
    EXPECT_NEAR(w1.first->GetCurrent(), 1.0, 1e-12);
    EXPECT_NEAR(w2.first->GetCurrent(), 1.0, 1e-12);
    EXPECT_NEAR(w1.second->GetCurrent(), -1.0, 1e-12);
}

TEST(SolverStamp, MergedNodesStampIntoTheirRootsWithRatioAndOffset)
{
    // node 2 = 2 * node 1 + 0.5; a conductance g from node 2 to node 3.
    const double g = 0.125;
    CMatrix m;
    CNodeTerminal t1(1), t2(2), t3(3);
    ASSERT_TRUE(m.Resize(4));
    m.AddIdealLink(2.0, 0.5, &t1, &t2);
    m.MergeLinks();
    ASSERT_EQ(m.GetRoot(2), 1);
    m.Clear();
    m.StampConductance(g, &t2, &t3);
    // ga = 2g, gb = -g, k = g * 0.5, wc = 2, wd = -1.
    EXPECT_EQ(m.GetCoefficient(1, 1), 4 * g);
    EXPECT_EQ(m.GetCoefficient(1, 3), -2 * g);
    EXPECT_EQ(m.GetCoefficient(3, 1), -2 * g);
    EXPECT_EQ(m.GetCoefficient(3, 3), g);
    EXPECT_EQ(m.GetCoefficient(2, 2), 0.0);  // merged: never stored
    EXPECT_EQ(m.GetRhs(1), 2 * g * 0.5);
    EXPECT_EQ(m.GetRhs(3), -g * 0.5);
    EXPECT_EQ(m.GetRhs(2), 0.0);
}

TEST(SolverStamp, StampsOutsideTheirPhasesDoNothing)
{
    CMatrix m;
    CNodeTerminal t1(1);
    ASSERT_TRUE(m.Resize(2));
    m.StampConductance(1.0, &t1, nullptr);  // phase 0: links only
    m.MergeLinks();
    m.Clear();
    EXPECT_EQ(m.GetCoefficient(1, 1), 0.0);
    m.AddLink(&t1, nullptr);  // phase 1: links are not collected
    EXPECT_EQ(m.GetLinks().size(), 0u);
}
