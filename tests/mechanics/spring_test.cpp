// The spring model and the fixed spring: the force law, the settling test's
// limits, and a spring-mass oscillator against its hand-worked period and
// the known energy loss of backward Euler, switched to the trapezoidal rule
// once it oscillates freely.
#include "components/component_kit.h"
#include "components/resize.h"
#include "mechanics/mass_comp.h"
#include "mechanics/spring_fixed.h"
#include "model/circuit/circuit.h"
#include "model/components/wire.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

namespace {

TEST(SpringModel, ForceLawAndEnds)
{
    CSpringModel s;
    s.Init(0.0, 0.008, -2.0);
    EXPECT_EQ(s.GetStiffness(), 2.0);
    EXPECT_EQ(s.GetStiffness2(), 2.0);
    EXPECT_DOUBLE_EQ(s.GetRestLength(), 0.008);
    EXPECT_EQ(s.GetForce(), 0.0);
    // End A moved on by 3 mm and committed: the element carries k x' + F, so
    // at x' = 0 it pushes back with k times the whole displacement.
    s.SetPendingMoves(0.003, 0.0);
    EXPECT_DOUBLE_EQ(s.GetExtension(), -0.003);
    EXPECT_DOUBLE_EQ(s.GetEndA(), 0.003);
    EXPECT_EQ(s.GetCommittedA(), 0.0);
    s.Commit();
    EXPECT_DOUBLE_EQ(s.GetCommittedA(), 0.003);
    EXPECT_DOUBLE_EQ(s.GetForce(), 2.0 * 0.003);
    // A spring whose end B moves (A + L = 0): the law of end B.
    CSpringModel b;
    b.Init(-0.01, 0.0, 5.0);
    b.SetEndB(0.002);
    EXPECT_DOUBLE_EQ(b.GetForce(), -5.0 * (-0.002 + 0.01 - 0.01));
    b.MoveEndA(0.001);
    EXPECT_DOUBLE_EQ(b.GetCommittedA(), -0.009);
    EXPECT_DOUBLE_EQ(b.GetRestLength(), 0.009);
    b.MoveEndB(0.001);
    EXPECT_DOUBLE_EQ(b.GetCommittedB(), 0.003);
    EXPECT_DOUBLE_EQ(b.GetRestLength(), 0.01);
    b.Clear();
    EXPECT_EQ(b.GetRestLength(), 0.0);
    EXPECT_EQ(b.GetEndB(), 0.0);
}

std::vector<uint8_t> Store(CObject& o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    o.Serialize(ar);
    return ar.GetBuffer();
}

TEST(SpringModel, Records)
{
    CSpringModel s;
    s.Init(0.001, 0.009, 3.0);
    s.SetPendingMoves(0.0005, -0.0002);
    const std::vector<uint8_t> bytes = Store(s, kCurrentVersion);
    EXPECT_EQ(bytes.size(), 5u * 8u);
    CSpringModel back;
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    back.Serialize(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(back.GetEndA(), s.GetEndA());
    EXPECT_EQ(back.GetEndB(), s.GetEndB());
    EXPECT_EQ(back.GetRestLength(), s.GetRestLength());
    EXPECT_TRUE(Store(s, 3).empty());
    // Not a number: passed over; cut short: an archive error.
    CArchive bad;
    bad.SetVersion(kCurrentVersion);
    bad << 0.0 << 0.0 << std::numeric_limits<double>::infinity() << 0.0 << 0.0;
    CArchive badIn(bad.GetBuffer());
    badIn.SetVersion(kCurrentVersion);
    CSpringModel kept;
    kept.Init(0.0, 0.008, 1.0);
    kept.Serialize(badIn);
    EXPECT_DOUBLE_EQ(kept.GetRestLength(), 0.008);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 33);
    CArchive cutIn(cut);
    cutIn.SetVersion(kCurrentVersion);
    EXPECT_THROW(kept.Serialize(cutIn), CArchiveException);
}

TEST(Spring, SettlingTestLimits)
{
    // Ten steps, the newest at ring index 3.  The spring's share changes by
    // 1e-18 J every step (more than the 5e-19 of a resting spring, less
    // than the totals' rounding, so each total is exactly the one built).
    auto run = [](double ratio, bool resting) {
        double potential[10], kinetic[10];
        const int index = 3;
        double total = 1.0;
        for (int j = 1; j <= 10; ++j) {
            const int i = (index + j) % 10;
            potential[i] = resting ? 0.25 : (j % 2 ? 1e-18 : 0.0);
            kinetic[i] = total - potential[i];
            total *= ratio;
        }
        return CSpring::Settled(potential, kinetic, index);
    };
    EXPECT_TRUE(run(1.0, false));
    EXPECT_TRUE(run(1.005, false));
    EXPECT_TRUE(run(0.6, false));
    EXPECT_FALSE(run(1.0051, false));
    EXPECT_FALSE(run(0.5999, false));
    // A spring at rest (its energy unchanged over two steps) never passes.
    EXPECT_FALSE(run(1.0, true));
    double potential[10] = {}, kinetic[10] = {};
    EXPECT_FALSE(CSpring::Settled(potential, kinetic, 0));
}

using Rig = MechRig;

TEST(Spring, NewFixedSpring)
{
    Rig r;
    auto* s = r.Add<CSpringFixed>(100, 100);
    EXPECT_EQ(s->m_rect.Size(), CSize(108, 19));
    ASSERT_EQ(s->GetTerminalCount(), 1);
    EXPECT_EQ(s->GetMechTerminal(0)->GetKind(), WIRE_LINEAR);
    EXPECT_DOUBLE_EQ(s->GetModel().GetRestLength(), 0.008);
    EXPECT_DOUBLE_EQ(s->GetLowerStop().GetLimit(), -0.0125);
    EXPECT_DOUBLE_EQ(s->GetUpperStop().GetLimit(), 0.006);
    EXPECT_DOUBLE_EQ(LabelValue(s), 1.0);
    EXPECT_EQ(s->GetKindCode(), 5);
    EXPECT_EQ(s->EndAPixel(), 72);
    EXPECT_EQ(s->EndBPixel(), 104);
    for (int id : {33904, 33908}) {
        std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(id, nullptr, nullptr));
        EXPECT_NE(dynamic_cast<CSpring*>(made.get()), nullptr) << id;
    }
}

// Total energy of the pair: the mass's kinetic and the spring's potential.
double Energy(const CMassComp* m, double k)
{
    const double v = m->GetMass().GetVelocity();
    const double x = m->GetMass().GetPosition() - CMassComp::kStartPosition;
    return 0.5 * m->GetMass().GetMass() * v * v + 0.5 * k * x * x;
}

TEST(Spring, MassOscillatesWithItsPeriodAndTheIntegratorsDamping)
{
    // 1 kg on 100 N/m: omega = 10 rad/s, period 2 pi sqrt(m/k) = 0.628 s,
    // at 200 steps a second (omega h = 0.05).
    Rig r;
    auto* m = r.Add<CMassComp>(60, 100);
    auto* s = r.Add<CSpringFixed>(400, 100);
    CValue* label = ValueLabelOf(s);
    ASSERT_NE(label, nullptr);
    label->SetBaseValue(100.0);
    r.Wire(m->GetTerminal(1), s->GetTerminal(0));
    const double k = 100.0, mass = 1.0, rate = 200.0, h = 1.0 / rate, w = std::sqrt(k / mass);
    r.d.ResetRun(0);
    r.d.SetUpdateRate(rate);
    r.d.RenumberNodes();
    // Pulled 4 mm towards the spring by hand and held until it rests.
    m->AccumulateMotion(&r.d, 0, 0, 0.0);
    m->AccumulateMotion(&r.d, 1, 0, 0.004);
    for (int n = 0; n < 1000; ++n) {
        r.d.RunSolverPass();
        ASSERT_EQ(m->GetStepRule(), 0) << "a held mass runs backward Euler";
        ASSERT_EQ(s->GetPartner(), nullptr) << "nor is it a spring's partner";
    }
    EXPECT_NEAR(m->GetMass().GetPosition() - 0.02, 4000.0 * 0.004 / 4100.0, 1e-12);
    m->AccumulateMotion(&r.d, 2, 0, 0.0);

    // Let go: backward Euler loses the same share of the energy every step,
    // E(n+1) = E(n) / (1 + omega^2 h^2).
    double before = Energy(m, k);
    int n = 0;
    for (; n < 40 && m->GetStepRule() == 0; ++n) {
        r.d.RunSolverPass();
        if (m->GetStepRule() != 0) break;
        const double after = Energy(m, k);
        EXPECT_NEAR(after / before, 1.0 / (1.0 + w * w * h * h), 1e-9) << n;
        before = after;
    }
    // Oscillating freely, the spring has found the mass and switched it to
    // the trapezoidal rule within the ten steps of its energy ring (plus
    // the step it takes effect).
    EXPECT_GE(n, 5);
    EXPECT_LE(n, 12);
    EXPECT_EQ(s->GetPartner(), m);
    EXPECT_EQ(m->GetStepRule(), 1);

    // Trapezoidal: no damping, and the period of the rule,
    // 2 pi / omega', omega' = (2/h) atan(omega h / 2), within 0.02% of
    // 2 pi sqrt(m/k).
    const double e0 = Energy(m, k);
    std::vector<double> crossings;
    double last = m->GetMass().GetPosition() - 0.02;
    for (int i = 1; i <= 2000; ++i) {
        r.d.RunSolverPass();
        ASSERT_EQ(m->GetStepRule(), 1) << i;
        EXPECT_NEAR(Energy(m, k), e0, 1e-9 * e0) << i;
        const double x = m->GetMass().GetPosition() - 0.02;
        if (last < 0.0 && x >= 0.0) crossings.push_back(i - 1 + (-last) / (x - last));
        last = x;
    }
    ASSERT_GE(crossings.size(), 5u);
    const double period = (crossings.back() - crossings.front()) / (crossings.size() - 1) * h;
    const double rulePeriod = 2.0 * std::numbers::pi / (2.0 / h * std::atan(w * h / 2.0));
    EXPECT_NEAR(period, rulePeriod, 2e-4 * rulePeriod);
    EXPECT_NEAR(period, 2.0 * std::numbers::pi * std::sqrt(mass / k), 5e-4 * period);
    EXPECT_FALSE(s->IsStopEngaged());
    EXPECT_FALSE(m->IsStopEngaged());
}

TEST(Spring, StopContactDropsThePartner)
{
    // A mass driven hard into the spring's upper stop (6 mm on) bounces:
    // while a stop is in contact the pair runs backward Euler.
    Rig r;
    auto* m = r.Add<CMassComp>(60, 100);
    auto* s = r.Add<CSpringFixed>(400, 100);
    ValueLabelOf(s)->SetBaseValue(100.0);
    r.Wire(m->GetTerminal(1), s->GetTerminal(0));
    r.d.ResetRun(0);
    r.d.SetUpdateRate(200.0);
    r.d.RenumberNodes();
    m->AccumulateMotion(&r.d, 0, 0, 0.0);
    m->AccumulateMotion(&r.d, 1, 0, -0.012);
    for (int n = 0; n < 400; ++n) r.d.RunSolverPass();
    m->AccumulateMotion(&r.d, 2, 0, 0.0);
    bool contact = false;
    for (int n = 0; n < 400; ++n) {
        r.d.RunSolverPass();
        if (s->IsStopEngaged()) {
            contact = true;
            EXPECT_EQ(s->GetPartner(), nullptr);
        }
        // Never much past the stop.
        EXPECT_LE(m->GetMass().GetPosition() - 0.02, 0.006 + 2e-5);
    }
    EXPECT_TRUE(contact);
}

template <class T>
std::unique_ptr<T> RoundTrip(T* part, WORD version)
{
    CArchive out;
    out.SetVersion(version);
    out.WriteObject(part);
    CArchive in(out.GetBuffer());
    in.SetVersion(version);
    std::unique_ptr<T> back(dynamic_cast<T*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(in.BytesLeft(), 0u);
    return back;
}

TEST(Spring, Records)
{
    Rig r;
    auto* m = r.Add<CMassComp>(60, 100);
    auto* s = r.Add<CSpringFixed>(400, 100);
    r.Wire(m->GetTerminal(1), s->GetTerminal(0));
    r.d.ResetRun(0);
    r.d.SetUpdateRate(50.0);
    r.d.RenumberNodes();
    m->AccumulateMotion(&r.d, 0, 0, 0.0);
    m->AccumulateMotion(&r.d, 1, 0, 0.003);
    for (int n = 0; n < 5; ++n) r.d.RunSolverPass();
    auto back = RoundTrip(s, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetModel().GetEndA(), s->GetModel().GetEndA());
    EXPECT_EQ(back->GetUpperStop().GetLimit(), 0.006);
    EXPECT_EQ(back->GetLowerStop().GetPending(), s->GetLowerStop().GetPending());
    // Version 3: two dropped numbers, a fresh spring.
    CValue* label = ValueLabelOf(s);
    ASSERT_NE(label, nullptr);
    s->RemoveChild(label);
    delete label;
    auto old = RoundTrip(s, 3);
    ASSERT_NE(old, nullptr);
    EXPECT_DOUBLE_EQ(old->GetModel().GetRestLength(), 0.008);
    EXPECT_EQ(old->GetModel().GetEndA(), 0.0);
    // Cut short: a clean archive error.
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(s);
    const std::vector<uint8_t> bytes = out.GetBuffer();
    for (size_t n = 0; n + 1 < bytes.size(); n += 7) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive in(cut);
        in.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete in.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
}

} // namespace

namespace {

TEST(Spring, PlacedAloneItJoinsTwoMasses)
{
    // Mass 1 pulled 4 mm by hand, mass 2 tied to it by a 100 N/m spring:
    // the first backward-Euler step solves
    //   (M + K + k) x1 - k x2 = K d,  -k x1 + (M + k) x2 = 0,  M = m r^2.
    Rig r;
    auto* m1 = r.Add<CMassComp>(20, 100);
    auto* s = r.Add<CSpring>(300, 100);
    auto* m2 = r.Add<CMassComp>(460, 100);
    ASSERT_EQ(s->GetTerminalCount(), 2);
    ValueLabelOf(s)->SetBaseValue(100.0);
    r.Wire(m1->GetTerminal(1), s->GetTerminal(0));
    r.Wire(s->GetTerminal(1), m2->GetTerminal(0));
    r.d.ResetRun(0);
    r.d.SetUpdateRate(50.0);
    r.d.RenumberNodes();
    m1->AccumulateMotion(&r.d, 0, 0, 0.0);
    m1->AccumulateMotion(&r.d, 1, 0, 0.004);
    r.d.RunSolverPass();
    const double M = 1.0 * 50.0 * 50.0, K = CMassComp::kHoldStiffness, k = 100.0, d = 0.004;
    const double det = (M + K + k) * (M + k) - k * k;
    EXPECT_NEAR(m1->GetMass().GetPosition() - 0.02, K * d * (M + k) / det, 1e-12);
    EXPECT_NEAR(m2->GetMass().GetPosition() - 0.02, K * d * k / det, 1e-12);
}

} // namespace

namespace {

int GripCount(const CPart* part)
{
    int n = 0;
    for (const CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling()) n += dynamic_cast<const CResize*>(c) != nullptr;
    return n;
}

// What a fixed spring e pixels wider than a new one holds, worked by hand
// at 4000 pixels a metre: the rod and the coil each grow by e / 2 pixels,
// so the rest length is 8 mm + e / 8000 m, the outward travel 12.5 mm +
// e / 8000 m and the inward travel 6 mm + 3 e / 32000 m.
struct Widened {
    int e;
    double rest, lower, upper;
};

const Widened kWidened[] = {
    {0, 0.008, -0.0125, 0.006},
    // 80 pixels: 0.008 + 0.01, -0.0125 - 0.01, 0.006 + 0.0075.
    {80, 0.018, -0.0225, 0.0135},
    // 24 pixels (three grid steps): 0.008 + 0.003, -0.0125 - 0.003,
    // 0.006 + 0.00225.
    {24, 0.011, -0.0155, 0.00825},
};

void ExpectWidened(const CSpringFixed* s, const Widened& w)
{
    EXPECT_EQ(s->m_rect.Width(), 108 + w.e);
    EXPECT_NEAR(s->GetModel().GetRestLength(), w.rest, 1e-15);
    EXPECT_NEAR(s->GetModel().GetEndB(), w.rest, 1e-15);
    EXPECT_EQ(s->GetModel().GetEndA(), 0.0);
    EXPECT_NEAR(s->GetLowerStop().GetLimit(), w.lower, 1e-15);
    EXPECT_NEAR(s->GetUpperStop().GetLimit(), w.upper, 1e-15);
    // At rest the stops' limits are where they act on the node.
    EXPECT_NEAR(s->GetLowerStop().GetEffectiveLimit(), w.lower, 1e-15);
    EXPECT_NEAR(s->GetUpperStop().GetEffectiveLimit(), w.upper, 1e-15);
    // End A half the growth right of 72, end B 4 pixels inside the right
    // edge, where the wall stands.
    EXPECT_EQ(s->EndAPixel(), 72 + w.e / 2);
    EXPECT_EQ(s->EndBPixel(), s->m_rect.Width() - 4);
}

TEST(FixedSpringResize, TheLeftGripLengthensTheSpring)
{
    for (const Widened& w : kWidened) {
        Rig r;
        auto* s = r.Add<CSpringFixed>(200, 100);
        ASSERT_EQ(GripCount(s), 1);
        const int right = s->m_rect.right;
        // The left edge dragged e pixels to the left.
        EXPECT_EQ(s->AttachMechanism(CSpringFixed::kGripX, -w.e), 1) << w.e;
        ExpectWidened(s, w);
        EXPECT_EQ(s->m_rect.right, right);
        EXPECT_EQ(s->GetTerminal(0)->GetPinPoint().x, s->m_rect.left);
        // A restart keeps the spring of its width.
        s->ResetSimulation();
        ExpectWidened(s, w);
    }
}

TEST(FixedSpringResize, NeverNarrowerThanANewSpring)
{
    Rig r;
    auto* s = r.Add<CSpringFixed>(200, 100);
    ASSERT_EQ(s->AttachMechanism(CSpringFixed::kGripX, -80), 1);
    // Pushed 200 pixels in, it stops at 108: only 80 of them are followed.
    EXPECT_EQ(s->AttachMechanism(CSpringFixed::kGripX, 200), 0);
    ExpectWidened(s, kWidened[0]);
    EXPECT_EQ(s->m_rect.left, 200);
    EXPECT_EQ(s->AttachMechanism(CSpringFixed::kGripX, 8), 0);
    ExpectWidened(s, kWidened[0]);
}

TEST(FixedSpringResize, ResizedSpringKeepsItsEndAtTheWall)
{
    // The force law holds on a lengthened spring (end B stays at the rest
    // length): end A moved 5 mm in against 40 N/m pushes back with
    // 40 x 0.005 = 0.2 N.
    Rig r;
    auto* s = r.Add<CSpringFixed>(200, 100);
    ASSERT_EQ(s->AttachMechanism(CSpringFixed::kGripX, -80), 1);
    CSpringModel m = s->GetModel();
    m.SetStiffness(40.0);
    m.SetPendingMoves(0.005, 0.0);
    EXPECT_NEAR(m.GetExtension(), -0.005, 1e-15);
    m.Commit();
    EXPECT_NEAR(m.GetForce(), 0.2, 1e-12);
}

TEST(FixedSpringResize, RecordsKeepTheLengthAndTheHandle)
{
    Rig r;
    auto* s = r.Add<CSpringFixed>(200, 100);
    ASSERT_EQ(s->AttachMechanism(CSpringFixed::kGripX, -80), 1);
    auto back = RoundTrip(s, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    ExpectWidened(back.get(), kWidened[1]);
    EXPECT_EQ(back->m_rect, s->m_rect);
    EXPECT_EQ(GripCount(back.get()), 1);

    // Version 3: the numbers are dropped, the part restarts with the rest
    // length of its width and a new handle on its left edge.
    CValue* label = ValueLabelOf(s);
    ASSERT_NE(label, nullptr);
    s->RemoveChild(label);
    delete label;
    auto old = RoundTrip(s, 3);
    ASSERT_NE(old, nullptr);
    ExpectWidened(old.get(), kWidened[1]);
    ASSERT_EQ(GripCount(old.get()), 1);
    for (CPart* c = old->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) {
            EXPECT_EQ(g->m_anchor, CPoint(CSpringFixed::kGripX, CSpringFixed::kGripY));
            EXPECT_EQ(g->m_nMode, CResize::kHorizontal);
        }

    // Cut short anywhere: a clean archive error.
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(s);
    const std::vector<uint8_t> bytes = out.GetBuffer();
    for (size_t n = 0; n + 1 < bytes.size(); n += 5) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive in(cut);
        in.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete in.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
}

} // namespace

namespace {

// Runs of ink along one row of the picture, from x0 to x1.
int InkRuns(const QImage& image, int y, int x0, int x1)
{
    int runs = 0;
    bool in = false;
    for (int x = x0; x <= x1; ++x) {
        const bool ink = (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        runs += ink && !in;
        in = ink;
    }
    return runs;
}

TEST(FixedSpringResize, DrawsMoreTurnsOverALongerCoil)
{
    CDisplay::ResetForTest();
    Rig r;
    auto* s = r.Add<CSpringFixed>(10, 10);
    ASSERT_EQ(s->AttachMechanism(CSpringFixed::kGripX, -80), 1);
    const int left = s->m_rect.left, axis = s->m_rect.top + 9;
    CImageView view(400, 100);
    {
        CDisplay display(&view);
        s->Draw(0);
    }
    const QImage image = view.Image().copy();
    // The coil runs from end A (pixel 112) to the wall (184) over a rest
    // length of 72 pixels: 72 x 7 / 32 = 16 segments, so 8 turns peak
    // above the axis and 7 below, where a new spring has 3 and 3.
    EXPECT_EQ(InkRuns(image, axis - 5, left + 113, left + 183), 8);
    EXPECT_EQ(InkRuns(image, axis + 5, left + 113, left + 183), 7);
    // The rod from the terminal to end A lies on the axis.
    EXPECT_EQ(InkRuns(image, axis, left + 2, left + 110), 1);
    CDisplay::ResetForTest();
}

} // namespace
