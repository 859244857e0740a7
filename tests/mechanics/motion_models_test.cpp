// Inertia and friction companions against the physics worked by hand:
// m x'' = F and m x'' + b x' = F, solved through the network solver one
// node at a time, and through a whole design.
#include "mechanics/motion_models.h"
#include "model/parts/part_records.h"
#include "model/solver/matrix.h"
#include "platform/archive.h"
#include "tests/mechanics/mech_testparts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// One mechanical node (node 1) with a mass, a friction and a force F into
// it from t = 0; returns x(t_n) for n = 1..steps.  The first step is always
// backward Euler, as in a design, where the trapezoid flag is set only after
// a step: the trapezoidal rule averages the force with the last step's, and
// at the step where the force is switched on that average would be half of
// it.
std::vector<double> RunNode(double m, double b, double f, double r, int steps, int trapezoid)
{
    CMass mass;
    mass.SetMass(m);
    CFriction friction;
    friction.SetCoefficient(b);
    CNodeTerminal node(1);
    CMatrix matrix;
    std::vector<double> xs;
    for (int n = 0; n < steps; ++n) {
        const int rule = n == 0 ? 0 : trapezoid;
        mass.Prepare(r, rule);
        friction.Prepare(r, rule);
        EXPECT_TRUE(matrix.Resize(2));
        matrix.MergeLinks();
        matrix.Clear();
        mass.StampAt(&matrix, &node);
        friction.StampAt(&matrix, &node);
        matrix.StampTransferToNodes(0.0, -f, nullptr, nullptr, 1, 0);
        EXPECT_TRUE(matrix.Solve());
        const double x = matrix.GetValue(1);
        mass.Update(x, r, rule);
        friction.Update(x);
        xs.push_back(x);
    }
    return xs;
}

// m x'' + b x' = F from rest: x(t) = (F/b) (t - tau (1 - exp(-t/tau))), tau = m/b.
double ExactWithFriction(double m, double b, double f, double t)
{
    const double tau = m / b;
    return f / b * (t - tau * (1.0 - std::exp(-t / tau)));
}

TEST(MotionModels, ConstantForceOnMassBackwardEuler)
{
    // v_n = n h F/m, x_n = h (v_1 + ... + v_n) = F h^2 n (n + 1) / (2m):
    // ahead of F t^2 / (2m) by exactly F h t / (2m), the method's first-order error.
    const double m = 2.0, f = 3.0, r = 5.0, h = 1.0 / r;
    const std::vector<double> xs = RunNode(m, 0.0, f, r, 50, 0);
    for (int n = 1; n <= 50; ++n) {
        const double t = n * h;
        const double byHand = f * h * h * n * (n + 1) / (2.0 * m);
        EXPECT_NEAR(xs[n - 1], byHand, 1e-12 * byHand) << n;
        EXPECT_NEAR(xs[n - 1] - f * t * t / (2.0 * m), f * h * t / (2.0 * m), 1e-12 * byHand) << n;
    }
}

TEST(MotionModels, ConstantForceOnMassTrapezoidIsExact)
{
    // After the first (backward-Euler) step the mass stands at x1 = F h^2 / m
    // with v1 = F h / m; from there the trapezoidal rule integrates the
    // constant acceleration without error: x = x1 + v1 s + F s^2 / (2m), s = t - h.
    const double m = 0.5, f = -1.5, r = 20.0, h = 1.0 / r;
    const std::vector<double> xs = RunNode(m, 0.0, f, r, 100, 1);
    const double x1 = f * h * h / m, v1 = f * h / m;
    for (int n = 1; n <= 100; ++n) {
        const double s = (n - 1) * h;
        const double exact = x1 + v1 * s + f * s * s / (2.0 * m);
        EXPECT_NEAR(xs[n - 1], exact, 1e-12 * std::fabs(exact)) << n;
    }
}

TEST(MotionModels, MassWithFrictionConvergesAtTheMethodsOrder)
{
    // m = 1 kg, b = 2 N s/m, F = 4 N (tau = 0.5 s, terminal speed 2 m/s),
    // compared at t = 2 s.  Halving h halves the backward-Euler error and
    // quarters the trapezoidal one.
    const double m = 1.0, b = 2.0, f = 4.0, t = 2.0;
    const double exact = ExactWithFriction(m, b, f, t);
    auto error = [&](double r, int trapezoid) {
        const int steps = static_cast<int>(std::lround(t * r));
        return RunNode(m, b, f, r, steps, trapezoid).back() - exact;
    };
    const double be1 = error(100.0, 0), be2 = error(200.0, 0);
    EXPECT_LT(std::fabs(be1), 0.01);
    EXPECT_NEAR(be1 / be2, 2.0, 0.05);
    const double tr1 = error(100.0, 1), tr2 = error(200.0, 1);
    EXPECT_LT(std::fabs(tr1), 1e-4);
    EXPECT_NEAR(tr1 / tr2, 4.0, 0.1);
}

TEST(MotionModels, FrictionAloneIsFirstOrderLag)
{
    // b x' = F: the speed is F/b from the first step on, x = F t / b exactly.
    const double b = 4.0, f = 2.0, r = 10.0;
    for (int rule : {0, 1}) {
        const std::vector<double> xs = RunNode(0.0, b, f, r, 20, rule);
        for (int n = 1; n <= 20; ++n) EXPECT_NEAR(xs[n - 1], f * n / (r * b), 1e-12) << rule << " " << n;
    }
}

TEST(MotionModels, MassMomentumAndVelocity)
{
    CMass mass;
    mass.SetMass(2.0);
    mass.SetVelocity(3.0);
    EXPECT_DOUBLE_EQ(mass.GetMomentum(), 6.0);
    EXPECT_DOUBLE_EQ(mass.GetVelocity(), 3.0);
    // Free coasting: x' = x + v h.
    mass.Prepare(10.0, 0);
    EXPECT_NEAR(-mass.GetJ() / mass.GetG(), 0.3, 1e-15);
    // A massless model reports no velocity rather than 0/0.
    CMass none;
    none.SetMass(0.0);
    EXPECT_EQ(none.GetVelocity(), 0.0);
    EXPECT_EQ(none.GetAcceleration(), 0.0);
}

TEST(MotionModels, RebaseKeepsTheAbsolutePosition)
{
    CMass mass;
    mass.SetMass(1.5);
    mass.SetBase(0.25);
    mass.SetPosition(0.75);
    mass.SetVelocity(0.4);
    mass.Prepare(5.0, 0);
    mass.Update(0.6, 5.0, 0);
    const double absolute = mass.GetPosition();
    mass.Rebase();
    EXPECT_DOUBLE_EQ(mass.GetPosition(), absolute);
    EXPECT_EQ(mass.GetDisplacement(), 0.0);
    // After a re-basing, an update at node value 0 leaves it there with F' = J.
    mass.Prepare(5.0, 0);
    const double j = mass.GetJ();
    mass.Update(0.0, 5.0, 0);
    EXPECT_DOUBLE_EQ(mass.GetPosition(), absolute);
    EXPECT_DOUBLE_EQ(mass.GetForce(), j);
    mass.SetDisplacement(0.1);
    EXPECT_DOUBLE_EQ(mass.GetPosition(), absolute);
    EXPECT_DOUBLE_EQ(mass.GetDisplacement(), 0.1);

    CFriction friction;
    friction.Prepare(5.0, 0);
    friction.Update(0.2);
    friction.Rebase();
    EXPECT_DOUBLE_EQ(friction.GetPosition(), 0.2);
    EXPECT_EQ(friction.GetDisplacement(), 0.0);
}

TEST(MotionModels, FrictionWithoutCoefficientTakesSpeedFromTheMove)
{
    CFriction friction;
    friction.SetCoefficient(0.0);
    friction.Prepare(10.0, 0);
    friction.Update(0.5);
    EXPECT_DOUBLE_EQ(friction.GetVelocity(), 5.0);
    EXPECT_EQ(friction.GetForce(), 0.0);
}

TEST(MotionModels, ClearKeepsTheConstant)
{
    CMass mass;
    mass.SetMass(3.0);
    mass.SetVelocity(1.0);
    mass.SetBase(2.0);
    mass.Clear();
    EXPECT_EQ(mass.GetMass(), 3.0);
    EXPECT_EQ(mass.GetMomentum(), 0.0);
    EXPECT_EQ(mass.GetPosition(), 0.0);
    CFriction friction;
    friction.SetCoefficient(7.0);
    friction.Prepare(5.0, 0);
    friction.Update(1.0);
    friction.Clear();
    EXPECT_EQ(friction.GetCoefficient(), 7.0);
    EXPECT_EQ(friction.GetForce(), 0.0);
    EXPECT_EQ(friction.GetPosition(), 0.0);
}

std::vector<uint8_t> Store(CObject& o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    o.Serialize(ar);
    return ar.GetBuffer();
}

TEST(MotionModels, Records)
{
    CMass mass;
    mass.SetMass(1.25);
    mass.SetBase(-0.5);
    mass.SetPosition(0.25);
    mass.SetVelocity(2.0);
    const std::vector<uint8_t> bytes = Store(mass, kCurrentVersion);
    EXPECT_EQ(bytes.size(), 4u * 8u);
    CMass back;
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    back.Serialize(in);
    EXPECT_EQ(back.GetMass(), 1.25);
    EXPECT_EQ(back.GetPosition(), 0.25);
    EXPECT_EQ(back.GetBase(), -0.5);
    EXPECT_EQ(back.GetVelocity(), 2.0);

    // A file of version 3 holds m and x only: the mass is at rest on base 0.
    // Written at that version, the record holds just those.
    EXPECT_EQ(Store(mass, 3).size(), 2u * 8u);
    CArchive old;
    old.SetVersion(3);
    old << 2.0 << 0.125;
    CArchive oldIn(old.GetBuffer());
    oldIn.SetVersion(3);
    CMass oldMass;
    oldMass.SetVelocity(9.0);
    oldMass.SetBase(9.0);
    oldMass.Serialize(oldIn);
    EXPECT_EQ(oldIn.BytesLeft(), 0u);
    EXPECT_EQ(oldMass.GetMass(), 2.0);
    EXPECT_EQ(oldMass.GetDisplacement(), 0.125);
    EXPECT_EQ(oldMass.GetBase(), 0.0);
    EXPECT_EQ(oldMass.GetMomentum(), 0.0);

    CFriction friction;
    friction.Prepare(5.0, 0);
    friction.Update(0.3);
    EXPECT_EQ(Store(friction, kCurrentVersion).size(), 2u * 8u);
    EXPECT_TRUE(Store(friction, 3).empty());
}

TEST(MotionModels, ConstantForceThroughADesign)
{
    // The whole pass: the slider's terminal reads its node as position, the
    // velocity from the move at the design's rate, and the force the mass
    // takes up, which is the applied force.
    CCircuit d;
    auto* s = new CTestSlider;
    s->Place(&d, 100, 100);
    d.AddChild(s);
    s->m_mass.SetMass(2.0);
    s->m_dForce = 3.0;
    d.SetUpdateRate(5.0);
    d.RenumberNodes();
    ASSERT_NE(s->T()->GetNode(), 0) << "a slider is never the electrical reference net";
    const double h = 0.2;
    for (int n = 1; n <= 20; ++n) {
        d.RunSolverPass();
        const double byHand = 3.0 * h * h * n * (n + 1) / 4.0;
        EXPECT_NEAR(s->T()->GetPosition(), byHand, 1e-12 * byHand) << n;
        EXPECT_NEAR(s->T()->GetVelocity(), 3.0 * n * h / 2.0, 1e-9) << n;
        EXPECT_NEAR(s->T()->GetForce(), 3.0, 1e-9) << n;
        EXPECT_NEAR(s->m_mass.GetVelocity(), s->T()->GetVelocity(), 1e-9) << n;
    }
}

} // namespace
