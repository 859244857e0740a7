// A cell and two resistors built in code: nets, node voltages and currents
// against the hand-solved values, and how turning, moving and rewiring
// change the network.
#include "circuit_testparts.h"

#include <gtest/gtest.h>

namespace {

// 9 V cell, R1 = 1k and R2 = 2k in series:
//   I = 9 / 3000 = 3 mA; the cell's negative pole is the reference node, so
//   R2's top end is at 9 V, the junction R2-R1 at 9 - 2000 * 0.003 = 3 V.
struct SeriesLoop {
    CCircuit d;
    CTestCell* cell;
    CTestResistor* r1;
    CTestResistor* r2;
    std::vector<CWire*> wires;

    explicit SeriesLoop(bool reset = true)
    {
        cell = AddPart<CTestCell>(d, 100, 100); // outer ends (80,100) +, (160,100) -
        r1 = AddPart<CTestResistor>(d, 300, 100); // (280,100), (360,100)
        r2 = AddPart<CTestResistor>(d, 300, 200); // (280,200), (360,200)
        r2->m_dOhms = 2000.0;
        wires.push_back(AddWire(d, {160, 100}, {280, 100}));  // cell - to R1 A
        wires.push_back(AddWire(d, {360, 100}, {400, 100}));  // R1 B ...
        wires.push_back(AddWire(d, {400, 100}, {400, 200}));
        wires.push_back(AddWire(d, {400, 200}, {360, 200}));  // ... to R2 B
        wires.push_back(AddWire(d, {280, 200}, {80, 200}));   // R2 A ...
        wires.push_back(AddWire(d, {80, 200}, {80, 100}));    // ... to cell +
        if (reset) d.ResetRun(0);
    }
    void Pass()
    {
        d.ResetRun(0);
        d.RunSolverPass();
    }
    // Takes a part out, changes it, puts it back and lets it join again.
    template <class F>
    void Edit(CComponent* part, F change)
    {
        d.RemovePart(part);
        change();
        d.AddChild(part);
        part->Drop(&d);
    }
};

TEST(CircuitNetwork, SeriesLoopMatchesHandSolution)
{
    SeriesLoop s;
    s.Pass();
    EXPECT_EQ(s.d.GetReferencePart(), s.cell);
    EXPECT_EQ(s.cell->B()->GetNode(), 0);
    // Four nets: cell+/R2A, R2B/R1B, R1A/cell- (the reference).
    EXPECT_EQ(s.d.GetNodeCount(), 3);
    EXPECT_EQ(s.wires[1]->GetNodeNumber(), s.r2->B()->GetNode());
    EXPECT_NEAR(s.cell->A()->GetVoltage(), 9.0, 1e-9);
    EXPECT_NEAR(s.r2->A()->GetVoltage(), 9.0, 1e-9);
    EXPECT_NEAR(s.r2->B()->GetVoltage(), 3.0, 1e-9);
    EXPECT_NEAR(s.r1->B()->GetVoltage(), 3.0, 1e-9);
    EXPECT_NEAR(s.r1->A()->GetVoltage(), 0.0, 1e-9);
    // Currents into each part at its terminals.
    EXPECT_NEAR(s.r2->A()->GetCurrent(), 0.003, 1e-12);
    EXPECT_NEAR(s.r2->B()->GetCurrent(), -0.003, 1e-12);
    EXPECT_NEAR(s.r1->B()->GetCurrent(), 0.003, 1e-12);
    EXPECT_NEAR(s.cell->A()->GetCurrent(), -0.003, 1e-12);
    EXPECT_NEAR(s.cell->B()->GetCurrent(), 0.003, 1e-12);
    // Power: I^2 R.
    EXPECT_NEAR(s.r1->GetPower(), 0.009, 1e-12);
    EXPECT_NEAR(s.r2->GetPower(), 0.018, 1e-12);
    EXPECT_NEAR(s.cell->GetPower(), -0.027, 1e-12);
    // A wire traces its net's voltage.
    EXPECT_NEAR(s.wires[2]->GetQuantity(0, 0, 1), 3.0, 1e-9);
}

TEST(CircuitNetwork, NodeCountStaysFromPassToPass)
{
    SeriesLoop s;
    s.Pass();
    uint16_t n = s.d.GetNodeCount();
    for (int i = 0; i < 5; ++i) s.d.RunSolverPass();
    EXPECT_EQ(s.d.GetNodeCount(), n);
    EXPECT_EQ(s.d.GetCompletedPasses(), 6);
}

// A design opened while running gets its first pass before any reset; its
// terminals still carry the node numbers of the design that saved it.
TEST(CircuitNetwork, APassBeforeAnyResetNumbersTheNetsFirst)
{
    SeriesLoop s(false);
    const uint16_t saved[] = {7, 9, 12};
    s.cell->A()->SetNodeNumber(saved[0]);
    s.r2->B()->SetNodeNumber(saved[1]);
    s.r1->A()->SetNodeNumber(saved[2]);
    s.d.RunSolverPass();
    EXPECT_EQ(s.d.GetNodeCount(), 3);
    EXPECT_NEAR(s.r2->A()->GetVoltage(), 9.0, 1e-9);
    EXPECT_NEAR(s.r2->B()->GetVoltage(), 3.0, 1e-9);
    EXPECT_NEAR(s.r1->A()->GetVoltage(), 0.0, 1e-9);
}

TEST(CircuitNetwork, RemovingAWireOpensTheLoop)
{
    SeriesLoop s;
    s.Pass();
    CWire* w = s.wires[2];
    s.d.RemovePart(w);
    delete w;
    // The run joined end to end with it (R1 B to R2 B) went with it.
    EXPECT_EQ(s.d.m_pWires->ChildCount(), 3);
    s.Pass();
    EXPECT_NEAR(s.r1->A()->GetCurrent(), 0.0, 1e-9);
    EXPECT_NEAR(s.r2->A()->GetVoltage(), 9.0, 1e-9);
    // Rewired: a new run closes it again.
    AddWire(s.d, {360, 100}, {400, 100});
    s.wires[2] = AddWire(s.d, {400, 100}, {400, 200});
    AddWire(s.d, {400, 200}, {360, 200});
    s.Pass();
    EXPECT_NEAR(s.r1->B()->GetCurrent(), 0.003, 1e-12);
}

TEST(CircuitNetwork, RewiringAcrossR2ShortsIt)
{
    SeriesLoop s;
    // A wire from R2's A net to its B net: R2 carries nothing, R1 takes 9 V.
    AddWire(s.d, {80, 200}, {80, 260});
    AddWire(s.d, {80, 260}, {400, 260});
    AddWire(s.d, {400, 260}, {400, 200});
    s.Pass();
    EXPECT_NEAR(s.r2->A()->GetCurrent(), 0.0, 1e-12);
    EXPECT_NEAR(s.r1->B()->GetCurrent(), 0.009, 1e-12);
    EXPECT_EQ(s.r2->A()->GetNode(), s.r2->B()->GetNode());
}

TEST(CircuitNetwork, MovingAPartAwayDisconnectsIt)
{
    SeriesLoop s;
    s.Edit(s.r1, [&] { s.r1->Offset(0, 40); });
    s.Pass();
    EXPECT_FALSE(s.r1->A()->IsJoined());
    EXPECT_NEAR(s.r2->A()->GetCurrent(), 0.0, 1e-12);
    EXPECT_NE(s.r1->A()->GetNode(), s.cell->B()->GetNode());
    s.Edit(s.r1, [&] { s.r1->Offset(0, -40); });
    s.Pass();
    EXPECT_NEAR(s.r2->A()->GetCurrent(), 0.003, 1e-12);
}

TEST(CircuitNetwork, TurningAPart)
{
    SeriesLoop s;
    // A quarter turn stands the resistor upright: its pins leave the wires.
    s.Edit(s.r2, [&] { s.r2->SetOrientation(1, 0, 0, nullptr); });
    s.Pass();
    EXPECT_EQ(s.r2->GetOrientation(), 1);
    EXPECT_NEAR(s.r1->B()->GetCurrent(), 0.0, 1e-12);
    // A half turn lays it down the other way round: the same loop, with the
    // terminal that was A now on the right, on the 3 V side.
    CTerminal* wasA = s.r2->A();
    s.Edit(s.r2, [&] { s.r2->SetOrientation(2, 1, 0, nullptr); });
    s.Pass();
    EXPECT_NEAR(s.r1->B()->GetCurrent(), 0.003, 1e-12);
    EXPECT_EQ(wasA->GetSide(), 1);
    EXPECT_EQ(wasA->GetPinPoint(), CPoint(340, 200));
    EXPECT_NEAR(wasA->GetVoltage(), 3.0, 1e-9);
    EXPECT_NEAR(wasA->GetCurrent(), -0.003, 1e-12);
    // The same orientation again changes nothing.
    EXPECT_EQ(s.r2->SetOrientation(2, 2, 0, nullptr), 6);
}

TEST(CircuitNetwork, DeletingAComponentLeavesNoPointersInWires)
{
    SeriesLoop s;
    CTerminal* a = s.r1->A();
    CTerminal* b = s.r1->B();
    s.d.RemovePart(s.r1);
    delete s.r1;
    for (CWire* w : s.wires) {
        EXPECT_FALSE(w->IsLinkedTo(a));
        EXPECT_FALSE(w->IsLinkedTo(b));
    }
    s.Pass();
    EXPECT_NEAR(s.r2->A()->GetCurrent(), 0.0, 1e-12);
}

TEST(CircuitNetwork, KindsThatJoin)
{
    struct Case {
        int a, b;
        bool joins;
    };
    const Case cases[] = {{0, 0, true}, {0, 4, true}, {4, 5, true}, {0, 5, true}, {0, 1, false},
                          {0, 2, false}, {1, 2, false}, {3, 0, false}, {3, 3, true}, {1, 1, true}};
    for (const Case& c : cases) EXPECT_EQ(KindsJoin(c.a, c.b), c.joins) << c.a << " " << c.b;
    CCircuit d;
    auto* e = AddWire(d, {0, 0}, {40, 0});
    auto* r = new CWire(CPoint(40, 0), CPoint(80, 0), WIRE_ROTATIONAL);
    d.AddChild(r);
    r->Drop(&d);
    EXPECT_FALSE(r->IsLinkedTo(e));
    EXPECT_FALSE(e->IsLinkedTo(r));
}

TEST(CircuitNetwork, DiodeSettlesOnItsCurve)
{
    // 5 V through 1k into a diode: the re-solve loop walks the chords until
    // the operating point lies on one; I ~ (5 - Vd) / 1000, Vd ~ 0.6-0.8 V.
    CCircuit d;
    auto* cell = AddPart<CTestCell>(d, 100, 100);
    cell->m_dEmf = 5.0;
    auto* r = AddPart<CTestResistor>(d, 300, 100);
    auto* dio = AddPart<CTestDiode>(d, 300, 200);
    AddWire(d, {160, 100}, {280, 100});
    AddWire(d, {360, 100}, {400, 100});
    AddWire(d, {400, 100}, {400, 200});
    AddWire(d, {400, 200}, {360, 200});
    AddWire(d, {280, 200}, {80, 200});
    AddWire(d, {80, 200}, {80, 100});
    // Loop: cell+ -> diode B (cathode)?  Turn the diode so current flows
    // anode to cathode: cell+ reaches the diode's A end through the left wires.
    d.ResetRun(0);
    d.RunSolverPass();
    double vd = dio->A()->GetVoltage() - dio->B()->GetVoltage();
    double i = dio->A()->GetCurrent();
    EXPECT_GT(d.GetLastPassResolves(), 0);
    EXPECT_FALSE(d.WasLastPassCapped());
    EXPECT_GT(vd, 0.5);
    EXPECT_LT(vd, 0.9);
    EXPECT_NEAR(i, (5.0 - vd) / 1000.0, 1e-6);
    EXPECT_NEAR(r->B()->GetCurrent(), i, 1e-9);
}

} // namespace
