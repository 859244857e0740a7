// The chain drive: its layout, the chain's ratio against hand calculation
// and against the gear pair, turning by hand, its record and its drawing.
#include "components/component_kit.h"
#include "components/rotateknob.h"
#include "mechanics/chain.h"
#include "mechanics/two_cogs.h"
#include "mechanics/vel_source.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "model/components/wire.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"
#include "tests/mechanics/mech_testparts.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct Yard : MechRig {
    CTestShaft* Drive(CTerminal* to, double torque)
    {
        auto* s = new CTestShaft;
        const CPoint end = to->GetOuterEnd();
        s->Place(&d, end.x + 100, end.y + 300);
        d.AddChild(s);
        s->m_dTorque = torque;
        WireAt(s->T()->GetOuterEnd(), end, WIRE_ROTATIONAL);
        return s;
    }
    CVelSource* Turn(CTerminal* to, double rpm)
    {
        const CPoint end = to->GetOuterEnd();
        auto* v = Add<CVelSource>(end.x + 200, end.y + 300);
        ValueLabelOf(v)->SetBaseValue(std::fabs(rpm));
        v->OnPropertyCommand(rpm >= 0.0 ? CVelSource::kDirection1 : CVelSource::kDirection0, "");
        WireAt(v->GetTerminal(0)->GetOuterEnd(), end, WIRE_ROTATIONAL);
        return v;
    }
};

TEST(Chain, Layout)
{
    Yard y;
    CChain* c = y.Add<CChain>(100, 50);
    EXPECT_EQ(c->m_rect, CRect(100, 50, 100 + CChain::kWidth, 50 + CChain::kHeight));
    ASSERT_EQ(c->GetTerminalCount(), 4);
    EXPECT_EQ(c->GetCog(0).GetTeeth(), 8);
    EXPECT_EQ(c->GetCog(1).GetTeeth(), 24);
    const CPoint corner = c->m_rect.TopLeft();
    EXPECT_EQ(c->GetCog(0).GetCentre(), CPoint(25, 55));
    EXPECT_EQ(c->GetCog(1).GetCentre(), CPoint(121, 55));
    // 0 and 3 on the big sprocket, 1 and 2 on the small one, each linked to
    // its sprocket's other terminal.
    EXPECT_EQ(c->GetTerminal(0)->GetPinPoint(), corner + CPoint(121, 55));
    EXPECT_EQ(c->GetTerminal(1)->GetPinPoint(), corner + CPoint(25, 55));
    EXPECT_EQ(c->GetTerminal(2)->GetPinPoint(), corner + CPoint(25, 55));
    EXPECT_EQ(c->GetTerminal(3)->GetPinPoint(), corner + CPoint(121, 55));
    const int partner[4] = {3, 2, 1, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->GetMechTerminal(i)->GetLinkedObject(), c->GetMechTerminal(partner[i]));
    EXPECT_DOUBLE_EQ(c->GetInertia(0).GetMass(), 1.12e-9);
    EXPECT_DOUBLE_EQ(c->GetInertia(1).GetMass(), 9.072e-8);
    EXPECT_DOUBLE_EQ(c->GetFriction(1).GetCoefficient(), 1e-7);
    for (int axis : {0, 1}) {
        CRotateKnob* h = c->GetHandle(axis);
        ASSERT_NE(h, nullptr);
        const CCog& s = c->GetCog(axis);
        EXPECT_EQ(h->m_centre, s.GetCentre());
        EXPECT_EQ(h->m_rect.TopLeft(), corner + s.GetMarkerPoint());
    }
    std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(33910, nullptr, nullptr));
    EXPECT_NE(dynamic_cast<CChain*>(made.get()), nullptr);
    EXPECT_EQ(c->GetProbeQuantities(0, 0), 480u);
    EXPECT_EQ(c->WheelAt(corner + CPoint(25, 55)), 0);
    EXPECT_EQ(c->WheelAt(corner + CPoint(121, 55)), 1);
    EXPECT_EQ(c->GetKindCode(), 5);
}

// A constant torque T on the small shaft.  The big sprocket turns a third
// as far the same way, so the drive is one body of J = J1 + J2 / 9 with
// friction c1 + c2 / 9 seen from the small shaft; backward Euler over
// steps of h: w' = (J w + T h) / (J + c h).
TEST(Chain, ConstantTorqueMatchesHandCalculation)
{
    for (double rate : {5.0, 20.0, 100.0}) {
        Yard y;
        CChain* c = y.Add<CChain>(100, 100);
        const double torque = 1e-6;
        CTestShaft* s = y.Drive(c->GetTerminal(1), torque);
        y.Start(rate);
        ASSERT_EQ(s->T()->GetNode(), c->GetTerminal(1)->GetNode());
        const double k = 1.0 / 3.0;
        const double J = 1.12e-9 + k * k * 9.072e-8, f = 1e-7 * (1.0 + k * k), h = 1.0 / rate;
        double w = 0.0, angle = 0.0;
        for (int n = 1; n <= 30; ++n) {
            y.d.RunSolverPass();
            w = (J * w + torque * h) / (J + f * h);
            angle += h * w;
            const double small = c->GetInertia(0).GetPosition(), big = c->GetInertia(1).GetPosition();
            EXPECT_NEAR(small, angle, 1e-9 * angle) << rate << " step " << n;
            EXPECT_NEAR(c->GetInertia(0).GetVelocity(), w, 1e-9 * w) << n;
            EXPECT_NEAR(big, k * small, 1e-12 * small) << n;
            EXPECT_NEAR(c->GetInertia(1).GetVelocity(), k * w, 1e-9 * w) << n;
            const double taken = c->GetInertia(0).GetForce() + c->GetFriction(0).GetForce() +
                                 k * (c->GetInertia(1).GetForce() + c->GetFriction(1).GetForce());
            EXPECT_NEAR(taken, torque, 1e-12) << n;
        }
    }
}

// One turn of the big sprocket turns the small one three times the same
// way; the gear pair 8:24 turns its small wheel three times the other way.
TEST(Chain, BothSprocketsTurnTheSameWayUnlikeGears)
{
    struct Case {
        bool chain;
        double rpm, ratio;
    };
    for (const Case& k : {Case{true, 60.0, 3.0}, Case{true, -30.0, 3.0}, Case{false, 60.0, -3.0}}) {
        Yard y;
        CMechComp* part = nullptr;
        const CMomentOfInertia* small = nullptr;
        const CMomentOfInertia* big = nullptr;
        if (k.chain) {
            CChain* c = y.Add<CChain>(100, 100);
            part = c;
            small = &c->GetInertia(0);
            big = &c->GetInertia(1);
        } else {
            auto* g = new CTwoCogs;
            g->m_rect = CRect(100, 100, 100, 100);
            g->m_pCircuit = &y.d;
            g->Initialise();
            y.d.AddChild(g);
            g->Drop(&y.d);
            ASSERT_EQ(g->ApplySettingsText("8:24", 1), 1);
            part = g;
            small = &g->GetInertia(0);
            big = &g->GetInertia(1);
        }
        // The big wheel's shaft (terminal 0) driven for one simulated second.
        y.Turn(part->GetTerminal(0), k.rpm);
        y.Start(50.0);
        y.Run(50);
        const double turns = k.rpm / 60.0;
        EXPECT_NEAR(big->GetPosition(), 2 * kPi * turns, 1e-3) << k.chain;
        EXPECT_NEAR(small->GetPosition(), k.ratio * big->GetPosition(), 1e-12 * std::fabs(small->GetPosition()));
        EXPECT_NEAR(small->GetVelocity(), k.ratio * big->GetVelocity(), 1e-9 * std::fabs(small->GetVelocity()));
    }
}

TEST(Chain, TurnedByHand)
{
    Yard y;
    y.d.SetOptionBits(0x80 | 0x100000, true);
    CChain* c = y.Add<CChain>(100, 100);
    y.Start(20.0);
    CRotateKnob* h = c->GetHandle(1);
    ASSERT_NE(h, nullptr);
    const CPoint centre = c->m_rect.TopLeft() + c->GetCog(1).GetCentre();
    h->OnPress(&y.d, centre.x, centre.y - 30);
    EXPECT_TRUE(c->IsHeld(1));
    h->OnDrag(&y.d, CPoint(centre.x - 30, centre.y));
    EXPECT_NEAR(c->GetTargetAngle(1), kPi / 2, 1e-12);
    y.Run(300);
    EXPECT_NEAR(c->GetInertia(1).GetPosition(), kPi / 2, 1e-6);
    EXPECT_NEAR(c->GetInertia(0).GetPosition(), 3 * kPi / 2, 3e-6);
    h->OnRelease(&y.d, centre.x - 30, centre.y);
    EXPECT_FALSE(c->IsHeld(1));
    EXPECT_EQ(h->m_rect.TopLeft(), c->m_rect.TopLeft() + c->GetCog(1).GetMarkerPoint());
    c->AccumulateMotion(&y.d, 0, 0, 0.0);
    EXPECT_TRUE(c->IsHeld(0));
    c->AccumulateMotion(&y.d, 1, 0, std::nan(""));
    EXPECT_TRUE(std::isfinite(c->GetTargetAngle(0)));
    // A reset lets go and puts the sprockets back at rest.
    c->ResetSimulation();
    EXPECT_FALSE(c->IsHeld(0));
    EXPECT_EQ(c->GetInertia(0).GetPosition(), 0.0);
    EXPECT_EQ(c->GetCog(0).GetCurrentFrame(), 0);
}

std::vector<uint8_t> Write(CObject* o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

std::unique_ptr<CChain> ReadBack(const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    std::unique_ptr<CChain> p(dynamic_cast<CChain*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

int Handles(CPart* p)
{
    int n = 0;
    for (CPart* c = p->GetFirstChild(); c; c = c->GetNextSibling()) n += dynamic_cast<CRotateKnob*>(c) != nullptr;
    return n;
}

TEST(Chain, Records)
{
    Yard y;
    CChain* c = y.Add<CChain>(100, 100);
    y.Drive(c->GetTerminal(1), 1e-6);
    y.Start(20.0);
    y.Run(5);
    const std::vector<uint8_t> bytes = Write(c, kCurrentVersion);
    std::unique_ptr<CChain> back = ReadBack(bytes, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_rect, c->m_rect);
    EXPECT_EQ(back->GetTerminalCount(), 4);
    EXPECT_EQ(back->GetInertia(0).GetPosition(), c->GetInertia(0).GetPosition());
    EXPECT_EQ(back->GetInertia(1).GetMomentum(), c->GetInertia(1).GetMomentum());
    EXPECT_EQ(back->GetCog(0).GetCurrentFrame(), c->GetCog(0).GetCurrentFrame());
    EXPECT_EQ(back->GetMechTerminal(1)->GetLinkedObject(), back->GetMechTerminal(2));
    EXPECT_EQ(Handles(back.get()), 2);
    EXPECT_EQ(Write(back.get(), kCurrentVersion), bytes);

    // Version 3: no friction records; at rest, default friction, two fresh
    // handles on the sprockets.
    std::unique_ptr<CChain> old = ReadBack(Write(c, 3), 3);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetInertia(0).GetPosition(), 0.0);
    EXPECT_DOUBLE_EQ(old->GetFriction(0).GetCoefficient(), 1e-7);
    EXPECT_EQ(Handles(old.get()), 2);
    EXPECT_EQ(old->GetHandle(0)->m_rect.TopLeft(), old->m_rect.TopLeft() + old->GetCog(0).GetMarkerPoint());

    // Cut short anywhere: an archive error, nothing leaked.
    for (size_t n = 0; n + 1 < bytes.size(); n += 7) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive ar(cut);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
    // A friction record that is not a number (the last double: friction 2's
    // base) starts the drive at rest.
    std::vector<uint8_t> bad = bytes;
    const double nan = std::nan("");
    std::memcpy(bad.data() + bad.size() - 8, &nan, 8);
    std::unique_ptr<CChain> mended = ReadBack(bad, kCurrentVersion);
    ASSERT_NE(mended, nullptr);
    EXPECT_EQ(mended->GetInertia(0).GetPosition(), 0.0);
    EXPECT_EQ(mended->GetFriction(1).GetPosition(), 0.0);

    // A drive of too few terminals stamps nothing and steps without harm.
    CChain lone;
    lone.PrepareStep();
    CMatrix m;
    ASSERT_TRUE(m.Resize(2));
    lone.Stamp(&m);
    EXPECT_EQ(m.GetLinks().size(), 0u);
    EXPECT_EQ(lone.AfterStep(), 0);
}

// The drive drawn on a white image; the count of pixels in the blur colour.
QImage DrawChain(CChain* c, DWORD flags)
{
    CImageView view(300, 200);
    {
        CDisplay display(&view);
        c->DrawMoving(1, flags);
    }
    return view.Image().copy();
}

int BlurPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == 0xA0A0D0) ++n;
    return n;
}

TEST(Chain, DrawsTheChainMovingAndBlursWhenFast)
{
    CDisplay::ResetForTest();
    for (double rpm : {5.0, 3000.0}) {
        Yard y;
        CChain* c = y.Add<CChain>(10, 10);
        const QImage rest = DrawChain(c, 0);
        y.Turn(c->GetTerminal(0), rpm);
        y.Start(20.0);
        std::vector<QImage> seen{rest};
        for (int n = 0; n < 3; ++n) {
            y.Run(1);
            const QImage running = DrawChain(c, 0x4);
            if (rpm < 100.0) {
                // Slow, each step shows the chain moved on, never blurred.
                EXPECT_FALSE(c->GetCog(0).IsFast());
                for (const QImage& s : seen) EXPECT_NE(running, s) << n;
                EXPECT_EQ(BlurPixels(running), 0);
            } else {
                // 3000 rpm on the big sprocket is 9000 rpm on the small one,
                // far over 6/16 of a tooth a step: the blur goes over the frame.
                EXPECT_TRUE(c->GetCog(0).IsFast());
                EXPECT_GT(BlurPixels(running), 100);
                EXPECT_EQ(BlurPixels(DrawChain(c, 0x4 | 0x200)), 0);
            }
            seen.push_back(running);
        }
        // Stopped, the rest frame shows again.
        EXPECT_EQ(DrawChain(c, 0), rest);
        CString text;
        c->BuildInfo(text, 0, c->m_rect.TopLeft() + CPoint(25, 55));
        EXPECT_NE(text.Find(", "), -1) << text;
    }
    CDisplay::ResetForTest();
}

} // namespace
