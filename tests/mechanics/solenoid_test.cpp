// The solenoid and the microswitch, run in designs with an ideal cell and a
// resistor, and checked against the physics worked by hand: the coil is
// L = 0.1 H in series with R = 14.4 ohm, integrated by backward Euler
// (i_n = (V + (L / h) i_(n-1)) / (R + L / h)), and pulls its plunger with
// 4.2 |i| newtons against a 1 N/m return spring; the microswitch closes once
// its lever is pushed past 2.5 mm.
#include "mechanics/micro_switch.h"
#include "mechanics/solenoid.h"
#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include "tests/components/diodes_support.h"
#include "tests/mechanics/mech_rig.h"
#include "tests/mechanics/mech_testparts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kR = CSolenoid::kCoilResistance;
constexpr double kL = CSolenoid::kCoilInductance;

// A solenoid fed by an ideal cell of v volts (its + to the coil's lead 0).
struct Coil : MechRig {
    CSolenoid* s = nullptr;
    CDiodesCell* cell = nullptr;
    explicit Coil(double v)
    {
        s = Add<CSolenoid>(300, 300);
        cell = AddTestPart<CDiodesCell>(d, 200, 450);
        cell->emf = v;
        Join(d, cell->A(), s->GetTerminal(0));
        Join(d, s->GetTerminal(1), cell->B());
    }
    double Volts() const { return s->GetTerminal(0)->GetVoltage() - s->GetTerminal(1)->GetVoltage(); }
};

TEST(Solenoid, Layout)
{
    MechRig r;
    auto* s = r.Add<CSolenoid>(300, 300);
    EXPECT_EQ(s->m_rect.Size(), CSize(100, 24));
    ASSERT_EQ(s->GetTerminalCount(), 3);
    EXPECT_EQ(s->GetTerminal(0)->GetKind(), WIRE_ELECTRIC);
    EXPECT_EQ(s->GetTerminal(1)->GetKind(), WIRE_ELECTRIC);
    EXPECT_EQ(s->GetTerminal(2)->GetKind(), WIRE_LINEAR);
    EXPECT_DOUBLE_EQ(s->m_dMaxI, 2.0);
    EXPECT_DOUBLE_EQ(s->m_dMaxV, 400.0);
    EXPECT_EQ(s->GetProbeQuantities(0, 0), 7u);
    // Home: against the upper stop at 0, the spring slack, 4.5 mm of
    // travel to the lower stop.
    EXPECT_EQ(s->GetPlungerPosition(), 0.0);
    EXPECT_EQ(s->GetUpperStop().GetLimit(), 0.0);
    EXPECT_EQ(s->GetUpperStop().GetSide(), 1);
    EXPECT_EQ(s->GetLowerStop().GetLimit(), -0.0045);
    EXPECT_EQ(s->GetLowerStop().GetSide(), 0);
    EXPECT_DOUBLE_EQ(s->GetSpring().GetRestLength(), 0.0055);
    EXPECT_DOUBLE_EQ(s->GetSpring().GetForce(), 0.0);
    // The pull: 4.2 N per ampere, either way.
    EXPECT_DOUBLE_EQ(CSolenoid::Pull(2.0), 8.4);
    EXPECT_DOUBLE_EQ(CSolenoid::Pull(-2.0), 8.4);
}

TEST(Solenoid, CoilCurrentRisesAsBackwardEulerSays)
{
    // 10 mV: the steady current 0.694 mA pulls 2.9 mN, which the 1 N/m
    // spring balances 2.9 mm in, short of the lower stop.
    for (double v : {0.01, -0.01}) {
        Coil c(v);
        const double rate = 1000.0, a = kL * rate;
        c.Start(rate);
        double i = 0.0;
        for (int n = 1; n <= 10; ++n) {
            c.d.RunSolverPass();
            i = (v + a * i) / (kR + a);
            ASSERT_NEAR(c.s->GetCoilCurrent(), i, 1e-15) << n;
            // Pull and spring balance: 4.2 |i| = 1 N/m x (-x), from the
            // first step on whichever way the current flows.
            ASSERT_NEAR(c.s->GetPlungerPosition(), -4.2 * std::fabs(i), 1e-12) << n;
            ASSERT_EQ(c.s->PullSign(), v > 0.0 ? 1.0 : -1.0);
        }
        c.Run(200);
        const double steady = v / kR;
        EXPECT_NEAR(c.s->GetCoilCurrent(), steady, 1e-12);
        EXPECT_NEAR(c.s->GetPlungerPosition(), -4.2 * std::fabs(steady), 1e-12);
        // The lead takes the coil's current and the 400 ohm path's.
        EXPECT_NEAR(c.s->GetQuantity(0, 0, 2), steady + v / 400.0, 1e-12);
        EXPECT_NEAR(c.s->GetQuantity(0, 0, 1), v, 1e-12);
        EXPECT_EQ(c.s->GetQuantity(0, 0, 4), c.s->GetPlungerPosition());
        EXPECT_FALSE(c.s->GetLowerStop().IsEngaged());
        // The cell turned round: the current runs down through 0 and up the
        // other way, and the pull follows |i| step by step, also in the
        // step where the current changes its direction.
        // (The cell's source is a link, which the design takes up in the
        // pass after the change.)
        c.cell->emf = -v;
        c.d.RunSolverPass();
        i = c.s->GetCoilCurrent();
        bool turned = false;
        for (int n = 1; n <= 40; ++n) {
            c.d.RunSolverPass();
            const double before = i;
            i = (-v + a * i) / (kR + a);
            turned = turned || (before > 0.0) != (i > 0.0);
            ASSERT_NEAR(c.s->GetCoilCurrent(), i, 1e-15) << n;
            ASSERT_NEAR(c.s->GetPlungerPosition(), -4.2 * std::fabs(i), 1e-12) << n;
        }
        EXPECT_TRUE(turned);
    }
}

TEST(Solenoid, PulledHomeAgainstTheLowerStop)
{
    // 14.4 V: 1 A pulls 4.2 N; the plunger goes the whole 4.5 mm and
    // presses d into the stop's gap: 4.2 - 1 x (0.0045 + d) = 1e6 d.
    Coil c(14.4);
    c.Start(1000.0);
    c.Run(300);
    EXPECT_NEAR(c.s->GetCoilCurrent(), 1.0, 1e-9);
    EXPECT_TRUE(c.s->GetLowerStop().IsEngaged());
    const double d = (4.2 - 0.0045) / (1e6 + 1.0);
    EXPECT_NEAR(c.s->GetPlungerPosition(), -0.0045 - d, 1e-12);
    EXPECT_EQ(c.s->GetExplosion(), nullptr);
    CString text;
    EXPECT_EQ(c.s->BuildInfo(text, 0, CPoint()), 13);
    EXPECT_NE(text.Find("m/s, -4.5"), -1) << text;
    // The cell taken away (0 V): the current decays and the spring brings
    // the plunger home to the upper stop.
    c.cell->emf = 0.0;
    c.Run(300);
    EXPECT_NEAR(c.s->GetCoilCurrent(), 0.0, 1e-9);
    EXPECT_NEAR(c.s->GetPlungerPosition(), 0.0, 1e-9);
}

TEST(Solenoid, BurnsOutAboveItsCurrent)
{
    // 40 V: 40 / 14.4 + 40 / 400 = 2.88 A in the lead, above MaxI = 2.
    Coil c(40.0);
    c.Start(1000.0);
    c.Run(100);
    CExplode* e = c.s->GetExplosion();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->m_wMessageId, 11);
    EXPECT_EQ(e->m_dRating, 2.0);
}

std::vector<uint8_t> Write(CObject* o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

template <class T>
std::unique_ptr<T> ReadBack(const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    std::unique_ptr<T> p(dynamic_cast<T*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

void ExpectCutShortFails(const std::vector<uint8_t>& bytes)
{
    for (size_t n = 0; n + 1 < bytes.size(); n += 3) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive ar(cut);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
}

TEST(Solenoid, Record)
{
    Coil c(0.01);
    c.Start(1000.0);
    c.Run(50);
    const std::vector<uint8_t> bytes = Write(c.s, kCurrentVersion);
    std::unique_ptr<CSolenoid> back = ReadBack<CSolenoid>(bytes, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetTerminalCount(), 3);
    EXPECT_EQ(back->GetTerminal(2)->GetKind(), WIRE_LINEAR);
    EXPECT_EQ(back->GetPlungerPosition(), c.s->GetPlungerPosition());
    EXPECT_EQ(back->GetLowerStop().GetLimit(), -0.0045);
    EXPECT_EQ(Write(back.get(), kCurrentVersion), bytes);
    // Version 3 carries no spring or stops: the plunger starts home.
    std::unique_ptr<CSolenoid> old = ReadBack<CSolenoid>(Write(c.s, 3), 3);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetPlungerPosition(), 0.0);
    EXPECT_EQ(old->GetLowerStop().GetLimit(), -0.0045);
    ExpectCutShortFails(bytes);
}

// A microswitch whose lever a test slider pushes (force against a viscous
// friction: it moves at F / c), and whose contact closes a loop of a 5 V
// cell and a 1 kohm resistor.
struct Switch : MechRig {
    CMicroSwitch* s = nullptr;
    CTestSlider* push = nullptr;
    CDiodesResistor* load = nullptr;
    Switch()
    {
        s = Add<CMicroSwitch>(300, 300);
        push = AddTestPart<CTestSlider>(d, 200, 312);
        push->m_friction.SetCoefficient(10.0);
        Wire(push->T(), s->GetTerminal(1), WIRE_LINEAR, true);
        auto* cell = AddTestPart<CDiodesCell>(d, 600, 400);
        cell->emf = 5.0;
        load = AddTestPart<CDiodesResistor>(d, 600, 200);
        load->ohms = 1000.0;
        Join(d, cell->A(), s->GetTerminal(0));
        Join(d, s->GetTerminal(2), load->A());
        Join(d, load->B(), cell->B());
    }
    double LoadCurrent() const { return (load->A()->GetVoltage() - load->B()->GetVoltage()) / load->ohms; }
};

TEST(MicroSwitch, Layout)
{
    MechRig r;
    auto* s = r.Add<CMicroSwitch>(300, 300);
    EXPECT_EQ(s->m_rect.Size(), CSize(128, 24));
    ASSERT_EQ(s->GetTerminalCount(), 3);
    EXPECT_EQ(s->GetTerminal(0)->GetKind(), WIRE_ELECTRIC);
    EXPECT_EQ(s->GetTerminal(1)->GetKind(), WIRE_LINEAR);
    EXPECT_EQ(s->GetTerminal(2)->GetKind(), WIRE_ELECTRIC);
    EXPECT_DOUBLE_EQ(s->m_dMaxI, 15.0);
    EXPECT_DOUBLE_EQ(s->m_dMaxV, 400.0);
    EXPECT_FALSE(s->IsClosed());
    EXPECT_EQ(s->GetLowerStop().GetLimit(), -0.02);
    EXPECT_EQ(s->GetLowerStop().GetSide(), 0);
    EXPECT_EQ(s->GetUpperStop().GetLimit(), 0.0025);
    EXPECT_EQ(s->GetUpperStop().GetSide(), 1);
    // The contact's travel: closed only beyond 0.0025000049 m.
    EXPECT_FALSE(CMicroSwitch::ClosesAt(0.0025));
    EXPECT_FALSE(CMicroSwitch::ClosesAt(0.0025000049));
    EXPECT_TRUE(CMicroSwitch::ClosesAt(0.002500005));
}

TEST(MicroSwitch, ClosesAsTheLeverMeetsItsStop)
{
    // F = 0.5 N against c = 10 N s/m moves the lever 0.05 m/s, 50 um a
    // step at 1000 steps a second: it reaches 2.5 mm in step 50.  There the
    // stop holds it 0.5 N / 1e6 N/m = 0.5 um further in, and the contact,
    // an ideal link, passes 5 V / 1 kohm.
    Switch w;
    w.push->m_dForce = 0.5;
    w.Start(1000.0);
    for (int n = 1; n <= 49; ++n) {
        w.d.RunSolverPass();
        ASSERT_NEAR(w.s->GetLeverPosition(), n * 5e-5, 1e-12) << n;
        ASSERT_FALSE(w.s->IsClosed()) << n;
    }
    EXPECT_NEAR(w.LoadCurrent(), 0.0, 1e-12);
    w.Run(3);
    EXPECT_TRUE(w.s->GetUpperStop().IsEngaged());
    EXPECT_NEAR(w.s->GetLeverPosition(), 0.0025 + 0.5 / 1e6, 1e-10);
    EXPECT_TRUE(w.s->IsClosed());
    w.Run(1);
    EXPECT_NEAR(w.LoadCurrent(), 5.0 / 1000.0, 1e-12);
    EXPECT_NEAR(w.s->GetTerminal(0)->GetVoltage(), w.s->GetTerminal(2)->GetVoltage(), 1e-12);
    CString text;
    EXPECT_EQ(w.s->BuildInfo(text, 0, CPoint()), 13);
    EXPECT_NE(text.Find("m"), -1) << text;
    // Pulled back: it opens as soon as the lever leaves the stop, and
    // travels on to the lower stop 20 mm out.
    w.push->m_dForce = -0.5;
    w.Run(2);
    EXPECT_LT(w.s->GetLeverPosition(), 0.0025);
    EXPECT_FALSE(w.s->IsClosed());
    w.Run(1);
    EXPECT_NEAR(w.LoadCurrent(), 0.0, 1e-12);
    w.Run(600);
    EXPECT_TRUE(w.s->GetLowerStop().IsEngaged());
    EXPECT_NEAR(w.s->GetLeverPosition(), -0.02 - 0.5 / 1e6, 1e-10);
    EXPECT_EQ(w.s->GetQuantity(0, 0, 4), w.s->GetLeverPosition());
}

TEST(MicroSwitch, Record)
{
    Switch w;
    w.push->m_dForce = 0.5;
    w.Start(1000.0);
    w.Run(60);
    ASSERT_TRUE(w.s->IsClosed());
    const std::vector<uint8_t> bytes = Write(w.s, kCurrentVersion);
    std::unique_ptr<CMicroSwitch> back = ReadBack<CMicroSwitch>(bytes, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->IsClosed());
    EXPECT_EQ(back->GetLeverPosition(), w.s->GetLeverPosition());
    EXPECT_EQ(back->GetTerminal(1)->GetKind(), WIRE_LINEAR);
    EXPECT_EQ(Write(back.get(), kCurrentVersion), bytes);
    // Reset folds the lever's travel into its base: it stays where it is.
    back->ResetState();
    EXPECT_EQ(back->GetLeverPosition(), w.s->GetLeverPosition());
    std::unique_ptr<CMicroSwitch> old = ReadBack<CMicroSwitch>(Write(w.s, 3), 3);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetLeverPosition(), 0.0);
    EXPECT_FALSE(old->IsClosed());
    ExpectCutShortFails(bytes);
}

} // namespace
