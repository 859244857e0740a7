// The motor with a shaft and the generator, run in designs with real
// batteries, resistors, velocity sources and flywheels, and checked against
// the machine's equations by hand: armature current i = Ga (V + Ke w),
// torque Kt i on the shaft, backward Euler for the rotor.
#include "components/battery.h"
#include "components/component_kit.h"
#include "components/resistor.h"
#include "components/rotor.h"
#include "mechanics/flywheel.h"
#include "mechanics/generator.h"
#include "mechanics/motor_em.h"
#include "mechanics/vel_source.h"
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/components/explode.h"
#include "model/components/wire.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGa = CMotorEM::kGa, kKe = CMotorEM::kKe, kKt = CMotorEM::kKt;

struct Lab : MechRig {
    // An upright two-pin part below and left of the machine, its upper pin
    // wired to terminal 0, its lower one to terminal 1, the wires apart.
    template <class T>
    T* Across(CMotorEM* m)
    {
        auto* p = Add<T>(m->m_rect.left - 150, m->m_rect.top + 150);
        Wire(p->GetTerminal(0), m->GetTerminal(0));
        Wire(p->GetTerminal(1), m->GetTerminal(1), -1, true);
        return p;
    }
    // A battery of v volts whose positive pole feeds the motor's terminal 0.
    CBattery* Feed(CMotorEM* m, double v)
    {
        auto* b = Across<CBattery>(m);
        ValueLabelOf(b)->SetBaseValue(v);
        return b;
    }
    CVelSource* Drive(CMotorEM* m, double rpm)
    {
        auto* v = Add<CVelSource>(m->m_rect.right + 150, m->m_rect.top - 150);
        ValueLabelOf(v)->SetBaseValue(std::fabs(rpm));
        v->OnPropertyCommand(rpm >= 0.0 ? CVelSource::kDirection1 : CVelSource::kDirection0, "");
        Wire(v->GetTerminal(0), m->GetTerminal(2));
        return v;
    }
};

double Volts(CMotorEM* m) { return m->GetQuantity(0, 0, 1); }
double Amps(CMotorEM* m) { return m->GetQuantity(0, 0, 2); }

TEST(MotorEM, PinsAndTurning)
{
    for (bool generator : {false, true}) {
        Lab lab;
        CMotorEM* m = generator ? lab.Add<CGenerator>(200, 200) : lab.Add<CMotorEM>(200, 200);
        ASSERT_EQ(m->GetTerminalCount(), 3);
        EXPECT_EQ(m->m_rect, CRect(188, 188, 212, 212));
        // 0 the upper lead (+), 1 the lower lead, 2 the shaft on the right.
        EXPECT_EQ(m->GetTerminal(0)->GetKind(), WIRE_ELECTRIC);
        EXPECT_EQ(m->GetTerminal(1)->GetKind(), WIRE_ELECTRIC);
        EXPECT_EQ(m->GetTerminal(2)->GetKind(), WIRE_ROTATIONAL);
        EXPECT_EQ(m->GetTerminal(0)->GetPinPoint(), CPoint(199, 188));
        EXPECT_EQ(m->GetTerminal(1)->GetPinPoint(), CPoint(199, 211));
        EXPECT_EQ(m->GetTerminal(2)->GetPinPoint(), CPoint(211, 199));
        EXPECT_EQ(m->GetPartKind(), 2);
        // A quarter turn keeps what each pin is; the shaft's marks turn with it.
        CMechTerm* shaft = m->GetMechTerminal(2);
        ASSERT_NE(shaft, nullptr);
        m->SetOrientation(1, 0, 0, nullptr);
        ASSERT_EQ(m->GetMechTerminal(2), shaft);
        EXPECT_EQ(m->GetTerminal(0)->GetKind(), WIRE_ELECTRIC);
        EXPECT_EQ(shaft->GetSide(), 2);
        EXPECT_EQ(shaft->m_ptA, shaft->GetPinPoint());
        EXPECT_EQ(shaft->m_ptB, shaft->GetOuterEnd());
        // Moved, the anchors go along.
        m->Offset(30, -20);
        EXPECT_EQ(shaft->m_ptA, shaft->GetPinPoint());
        EXPECT_EQ(shaft->m_ptC, shaft->GetPinPoint());
        EXPECT_EQ(shaft->m_ptB, shaft->GetOuterEnd());
    }
    // The catalogue makes them, the old horizontal class as a motor.
    for (int id : {33907, 33963, 33917}) {
        std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(id, nullptr, nullptr));
        EXPECT_EQ(made ? made->GetRuntimeClass() : nullptr, RUNTIME_CLASS(CMotorEM)) << id;
    }
    std::unique_ptr<CObject> gen(PartCatalogue::Get().CreateById(33913, nullptr, nullptr));
    EXPECT_NE(dynamic_cast<CGenerator*>(gen.get()), nullptr);
    CMotorEM old;
    old.InitVariant(RUNTIME_CLASS(CMotorEM));
    EXPECT_EQ(old.GetOrientation(), 5);
}

// The alternate look (the quick-add toolbar's): a hobby motor with the
// same three pins, not rated, its disc turning in its own frames.
TEST(MotorEM, AlternateLook)
{
    Lab lab;
    auto* m = new CMotorEM;
    m->UseAlternateLook();
    m->m_rect = CRect(300, 300, 300, 300);
    m->m_pCircuit = &lab.d;
    m->Initialise();
    lab.d.AddChild(m);
    m->Drop(&lab.d);
    EXPECT_EQ(m->GetPartKind(), 4);
    EXPECT_EQ(m->m_rect, CRect(276, 284, 324, 316));
    ASSERT_EQ(m->GetTerminalCount(), 3);
    // The + tag on the left, the other beside it, the shaft on the right.
    EXPECT_EQ(m->GetTerminal(0)->GetPinPoint(), CPoint(284, 315));
    EXPECT_EQ(m->GetTerminal(1)->GetPinPoint(), CPoint(294, 315));
    EXPECT_EQ(m->GetTerminal(2)->GetPinPoint(), CPoint(323, 300));
    EXPECT_EQ(m->GetTerminal(2)->GetKind(), WIRE_ROTATIONAL);
    // 13 V does not burn it out; it turns the right way round.
    lab.Feed(m, 13.0);
    lab.Start(400.0);
    lab.d.SetOptionBits(OPT_SIMULATE, true);
    CDesignRenderOptions o;
    o.area = CRect(270, 280, 330, 320);
    const QImage before = RenderDesign(lab.d, o);
    lab.Run(5);
    EXPECT_EQ(m->GetExplosion(), nullptr);
    EXPECT_LT(m->GetSpeed(), 0.0);
    EXPECT_NE(RenderDesign(lab.d, o), before);
    // It keeps its look through a record.
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(m);
    CArchive in(out.GetBuffer());
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CMotorEM> back(dynamic_cast<CMotorEM*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetPartKind(), 4);
}

// Stalled (the shaft held by a velocity source set to 0), the motor draws
// V Ga; the little speed the hold allows is in the current exactly.
TEST(MotorEM, StallCurrentIsVoltsOverArmatureResistance)
{
    for (double v : {12.0, 6.0, -9.0}) {
        Lab lab;
        auto* m = lab.Add<CMotorEM>(300, 300);
        CBattery* b = lab.Feed(m, v);
        lab.Drive(m, 0.0);
        lab.Start(50.0);
        ASSERT_EQ(m->GetTerminal(0)->GetNode(), b->GetTerminal(0)->GetNode());
        ASSERT_EQ(m->GetTerminal(1)->GetNode(), b->GetTerminal(1)->GetNode());
        ASSERT_NE(m->GetTerminal(0)->GetNode(), m->GetTerminal(1)->GetNode());
        lab.Run(40);
        EXPECT_NEAR(Volts(m), v, 1e-9);
        EXPECT_NEAR(Amps(m), kGa * (v + kKe * m->GetSpeed()), 1e-9) << v;
        EXPECT_NEAR(Amps(m), v / 3.229, 2e-4 * std::fabs(v)) << v;
        EXPECT_FALSE(m->IsBroken());
    }
}

// Free, the motor speeds up until the torque Kt Ga (V + Ke w) balances the
// rotor's friction c w: w = -Kt Ga V / (Kt Ga Ke + c), close to -V / Ke.
// Below 0.995 V the idle motor brakes with c = 0.01 and barely turns.
TEST(MotorEM, NoLoadSpeed)
{
    struct Case {
        double volts, friction;
    };
    for (const Case& k : {Case{12.0, CMotorEM::kFriction}, Case{3.0, CMotorEM::kFriction},
                          Case{-5.0, CMotorEM::kFriction}, Case{0.9, CMotorEM::kBrake}}) {
        Lab lab;
        auto* m = lab.Add<CMotorEM>(300, 300);
        lab.Feed(m, k.volts);
        lab.Start(200.0);
        lab.Run(600);
        const double w = -kKt * kGa * k.volts / (kKt * kGa * kKe + k.friction);
        EXPECT_NEAR(m->GetSpeed(), w, 1e-7 * std::fabs(w)) << k.volts;
        EXPECT_NEAR(m->GetBackEmf(), -kKe * w, 1e-7 * std::fabs(w)) << k.volts;
        EXPECT_DOUBLE_EQ(m->GetFriction().GetCoefficient(), k.friction) << k.volts;
        if (k.friction == CMotorEM::kFriction) {
            // A positive supply turns the shaft backwards, near V / Ke.
            EXPECT_LT(m->GetSpeed() * k.volts, 0.0);
            EXPECT_NEAR(std::fabs(m->GetSpeed()), std::fabs(k.volts) / kKe, 0.2 * std::fabs(k.volts) / kKe);
        }
        // The shaft's terminal reads the rotor's motion.
        EXPECT_NEAR(m->GetMechTerminal(2)->GetVelocity(), m->GetSpeed(), 1e-9 * std::fabs(w));
    }
}

// On a flywheel of inertia Jf the rotor and wheel are one body of
// J = Jf + Jrotor.  Backward Euler for J w' = -Kt Ga (V + Ke w') - c w':
//     w' = (J w - h Kt Ga V) / (J + h (Kt Ga Ke + c)).
TEST(MotorEM, TorqueOnAKnownInertia)
{
    struct Case {
        double volts, gramSquareMetres, rate;
    };
    for (const Case& k : {Case{6.0, 0.5, 20.0}, Case{12.0, 2.0, 100.0}, Case{-3.0, 0.05, 10.0}}) {
        Lab lab;
        auto* m = lab.Add<CMotorEM>(300, 300);
        auto* f = lab.Add<CFlywheel>(500, 150);
        ValueLabelOf(f)->SetBaseValue(k.gramSquareMetres);
        lab.Feed(m, k.volts);
        lab.Wire(m->GetTerminal(2), f->GetTerminal(0));
        lab.Start(k.rate);
        const double J = k.gramSquareMetres / 1000.0 + CMotorEM::kInertia;
        const double c = CMotorEM::kFriction, h = 1.0 / k.rate;
        double w = 0.0, angle = 0.0;
        for (int n = 1; n <= 30; ++n) {
            lab.d.RunSolverPass();
            const double before = w;
            w = (J * w - h * kKt * kGa * k.volts) / (J + h * (kKt * kGa * kKe + c));
            angle += h * w;
            EXPECT_NEAR(m->GetSpeed(), w, 1e-9 * std::fabs(w)) << n;
            EXPECT_NEAR(f->GetInertia().GetVelocity(), w, 1e-9 * std::fabs(w)) << n;
            EXPECT_NEAR(m->GetAngle(), angle, 1e-9 * std::fabs(angle)) << n;
            // The armature current and the torque it makes.
            const double i = kGa * (k.volts + kKe * w);
            EXPECT_NEAR(Amps(m), i, 1e-9 * std::fabs(i)) << n;
            EXPECT_NEAR(f->GetQuantity(0, 0, 128), (w - before) / h, 1e-7 * std::fabs((w - before) / h)) << n;
            EXPECT_NEAR(J * (w - before) / h, -kKt * i - c * w, 1e-9 * std::fabs(kKt * i)) << n;
        }
        // Probes: angle, speed, kinetic energy of the rotor.
        EXPECT_EQ(m->GetQuantity(0, 0, 32), m->GetAngle());
        EXPECT_EQ(m->GetQuantity(0, 0, 64), m->GetSpeed());
        EXPECT_NEAR(m->GetQuantity(0, 0, 256), 0.5 * CMotorEM::kInertia * w * w, 1e-15);
        EXPECT_EQ(m->GetQuantity(0, 0, 4), 0.0);
    }
}

// A generator turned at w by a velocity source: EMF Ke w, and through a
// load R the current Ke w / (R + 1/Ga), from terminal 0 to 1 inside it.
TEST(Generator, DrivenAtASetSpeedIntoAResistor)
{
    struct Case {
        double rpm, ohms; // ohms 0: open circuit
    };
    for (const Case& k : {Case{600.0, 0.0}, Case{600.0, 10.0}, Case{-1200.0, 3.3}, Case{3000.0, 100.0}}) {
        Lab lab;
        auto* g = lab.Add<CGenerator>(300, 300);
        auto* v = lab.Drive(g, k.rpm);
        if (k.ohms > 0.0) {
            auto* r = lab.Across<CResistor>(g);
            ValueLabelOf(r)->SetBaseValue(k.ohms);
            ASSERT_DOUBLE_EQ(r->GetResistance(), k.ohms);
        }
        lab.Start(100.0);
        if (k.ohms > 0.0) {
            ASSERT_NE(g->GetTerminal(0)->GetNode(), g->GetTerminal(1)->GetNode());
        }
        lab.Run(50);
        const double w = g->GetSpeed();
        const double set = k.rpm * 2.0 * kPi / 60.0;
        EXPECT_NEAR(w, set, 1e-3 * std::fabs(set)) << k.rpm;
        EXPECT_NEAR(v->GetSpeed(), w, 1e-9 * std::fabs(w));
        EXPECT_NEAR(g->GetBackEmf(), -kKe * w, 1e-9 * std::fabs(w));
        if (k.ohms == 0.0) {
            EXPECT_NEAR(Volts(g), -kKe * w, 1e-9 * std::fabs(w));
            EXPECT_NEAR(Amps(g), 0.0, 1e-9);
        } else {
            const double i = kKe * w / (k.ohms + 1.0 / kGa);
            EXPECT_NEAR(Amps(g), i, 1e-9 * std::fabs(i)) << k.rpm;
            EXPECT_NEAR(Volts(g), -k.ohms * i, 1e-9 * std::fabs(i) * k.ohms) << k.rpm;
        }
        // The generator never brakes its shaft.
        EXPECT_DOUBLE_EQ(g->GetFriction().GetCoefficient(), CMotorEM::kFriction);
        EXPECT_EQ(g->GetKindCode(), 2);
    }
}

TEST(MotorEM, RatingsBurnOut)
{
    struct Case {
        bool generator;
        double volts, rpm; // volts 0: no battery
        bool indestructible;
        WORD message; // 0: survives
    };
    const Case cases[] = {
        {false, 12.0, 0.0, false, 0},     // at its rating
        {false, 13.0, 0.0, false, 10},    // the peak voltage
        {false, -13.0, 0.0, false, 13},   // the reverse voltage
        {false, 12.0, 2000.0, false, 11}, // driven on: Ga (12 + Ke w) > 4 A
        {false, 13.0, 0.0, true, 0},      // indestructible components
        {true, 0.0, 30000.0, false, 0},   // a generator stands 16 V (into 1 Mohm)
        {true, 12.0, 2000.0, false, 11},  // but not 4 A
    };
    for (const Case& k : cases) {
        Lab lab;
        lab.d.SetOptionBits(OPT_INDESTRUCTIBLE, k.indestructible);
        CMotorEM* m = k.generator ? lab.Add<CGenerator>(300, 300) : lab.Add<CMotorEM>(300, 300);
        if (k.volts != 0.0)
            lab.Feed(m, k.volts);
        else
            ValueLabelOf(lab.Across<CResistor>(m))->SetBaseValue(1e6);
        lab.Drive(m, k.rpm);
        lab.Start(100.0);
        lab.Run(20);
        CExplode* e = m->GetExplosion();
        if (!k.message) {
            EXPECT_EQ(e, nullptr) << k.volts << " " << k.rpm;
            continue;
        }
        ASSERT_NE(e, nullptr) << k.volts << " " << k.rpm;
        EXPECT_EQ(e->m_wMessageId, k.message);
        EXPECT_EQ(e->m_dRating, k.message == 11 ? 4.0 : 12.0);
        // A broken motor goes no further: its rotor keeps its last state.
        const double angle = m->GetAngle();
        lab.Run(3);
        EXPECT_EQ(m->GetAngle(), angle);
    }
}

TEST(MotorEM, RotorFrames)
{
    // 16 frames a turn, frame 16 - n of the centred sixteenth n; faster
    // than 15.28 / 16 of a frame a step, 6 frames a step either way.
    const double r = 10.0, fast = r * 15.278874536821919 / 16.0;
    struct Case {
        WORD frame;
        double angle, w;
        WORD expected;
    };
    const Case cases[] = {
        {3, 0.0, 0.0, 0},
        {3, 2 * kPi / 16, 0.0, 15},
        {3, -2 * kPi / 16, 0.0, 1},
        {3, kPi, 0.0, 8},
        {3, 2 * kPi / 32 - 1e-9, 0.0, 0},
        {3, 2 * kPi / 32 + 1e-9, 0.0, 15},
        {3, 0.0, fast, 0},
        {3, 0.0, fast * 1.001, 9},
        {12, 0.0, fast * 1.001, 2},
        {3, 0.0, -fast * 1.001, 13},
        {3, std::nan(""), 0.0, 0},
    };
    for (const Case& k : cases) EXPECT_EQ(TurnRotorFrame(k.frame, k.angle, k.w, r), k.expected) << k.angle << " " << k.w;
    EXPECT_FALSE(IsMotorIdle(1.0, 0.0));
    EXPECT_TRUE(IsMotorIdle(-0.995, 0.4975));
    EXPECT_FALSE(IsMotorIdle(0.0, -0.5));

    // A running motor animates and draws its rotor turning.
    Lab lab;
    auto* m = lab.Add<CMotorEM>(100, 100);
    lab.Feed(m, 1.5);
    CDesignRenderOptions o;
    o.area = CRect(80, 80, 140, 140);
    lab.Start(400.0);
    lab.d.SetOptionBits(OPT_SIMULATE, true);
    std::vector<WORD> frames;
    std::vector<QImage> images;
    for (int n = 0; n < 6; ++n) {
        lab.d.RunSolverPass();
        frames.push_back(m->GetFrame());
        images.push_back(RenderDesign(lab.d, o));
    }
    EXPECT_NE(frames.front(), frames.back());
    EXPECT_NE(images.front(), images.back());
    m->ResetSimulation();
    EXPECT_EQ(m->GetFrame(), 0);
    EXPECT_EQ(m->GetAngle(), 0.0);
    CString text;
    EXPECT_EQ(m->BuildInfo(text, 0, CPoint()), 13);
    EXPECT_NE(text.Find("rpm"), -1) << text;
}

std::vector<uint8_t> Write(CObject* o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

std::unique_ptr<CMotorEM> ReadBack(const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    std::unique_ptr<CMotorEM> p(dynamic_cast<CMotorEM*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

TEST(MotorEM, Records)
{
    for (bool generator : {false, true}) {
        Lab lab;
        CMotorEM* m = generator ? lab.Add<CGenerator>(300, 300) : lab.Add<CMotorEM>(300, 300);
        lab.Feed(m, 5.0);
        lab.Start(100.0);
        lab.Run(7);
        const std::vector<uint8_t> bytes = Write(m, kCurrentVersion);
        std::unique_ptr<CMotorEM> back = ReadBack(bytes, kCurrentVersion);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->GetRuntimeClass(), m->GetRuntimeClass());
        EXPECT_EQ(back->GetTerminalCount(), 3);
        EXPECT_EQ(back->GetTerminal(2)->GetKind(), WIRE_ROTATIONAL);
        EXPECT_EQ(back->GetAngle(), m->GetAngle());
        EXPECT_EQ(back->GetSpeed(), m->GetSpeed());
        EXPECT_EQ(back->GetInertia().GetMass(), CMotorEM::kInertia);
        EXPECT_EQ(Write(back.get(), kCurrentVersion), bytes);

        // Version 3 carries no rotor: the motor starts at rest.
        std::unique_ptr<CMotorEM> old = ReadBack(Write(m, 3), 3);
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(old->GetAngle(), 0.0);
        EXPECT_EQ(old->GetSpeed(), 0.0);
        EXPECT_DOUBLE_EQ(old->GetFriction().GetCoefficient(), CMotorEM::kFriction);

        // Cut short anywhere: an archive error, nothing leaked.
        for (size_t n = 0; n + 1 < bytes.size(); n += 5) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
            CArchive ar(cut);
            ar.SetVersion(kCurrentVersion);
            EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
        }
        // A rotor whose motion is not a number (the record's last doubles:
        // inertia x, base, momentum) starts at rest; any mass is the rotor's.
        std::vector<uint8_t> bad = bytes;
        const double nan = std::nan("");
        const double huge = 1e300;
        std::memcpy(bad.data() + bad.size() - 8, &nan, 8);
        std::memcpy(bad.data() + bad.size() - 32, &huge, 8);
        std::unique_ptr<CMotorEM> mended = ReadBack(bad, kCurrentVersion);
        ASSERT_NE(mended, nullptr);
        EXPECT_EQ(mended->GetSpeed(), 0.0);
        EXPECT_EQ(mended->GetInertia().GetMass(), CMotorEM::kInertia);
    }
    // A motor of too few terminals stamps nothing and steps without harm.
    CMotorEM lone;
    lone.PrepareStep();
    CMatrix mx;
    ASSERT_TRUE(mx.Resize(2));
    lone.Stamp(&mx);
    EXPECT_EQ(lone.AfterStep(), 0);
}

} // namespace
