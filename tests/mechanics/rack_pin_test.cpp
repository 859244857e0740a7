// The rack and pinion: its layout, the mesh's ratio and its force balance
// against hand calculation, the end stops, moving both elements by hand,
// lengthening the rack, its record and its drawing.
#include "components/component_kit.h"
#include "components/knob.h"
#include "components/resize.h"
#include "components/rotateknob.h"
#include "mechanics/rack_pin.h"
#include "mechanics/vel_source.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/view.h"
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
constexpr double r = CRackPin::kRatio;
// The pinion's angle is the rack's position x 261.8075, 1 / r to seven
// figures (1 / 0.0038196 = 261.807519...): over the rack's travel the two
// differ by at most 0.018 x 2e-5 rad.
constexpr double kAngleSlack = 1e-6;

struct Yard : MechRig {
    CTestShaft* Drive(CTerminal* to, double torque)
    {
        auto* s = new CTestShaft;
        const CPoint end = to->GetOuterEnd();
        s->Place(&d, end.x + 100, end.y - 200);
        d.AddChild(s);
        s->m_dTorque = torque;
        WireAt(s->T()->GetOuterEnd(), end, WIRE_ROTATIONAL);
        return s;
    }
    CVelSource* Turn(CTerminal* to, double rpm)
    {
        const CPoint end = to->GetOuterEnd();
        auto* v = Add<CVelSource>(end.x + 200, end.y - 200);
        ValueLabelOf(v)->SetBaseValue(std::fabs(rpm));
        v->OnPropertyCommand(rpm >= 0.0 ? CVelSource::kDirection1 : CVelSource::kDirection0, "");
        WireAt(v->GetTerminal(0)->GetOuterEnd(), end, WIRE_ROTATIONAL);
        return v;
    }
};

int Count(CPart* p, bool grips)
{
    int n = 0;
    for (CPart* c = p->GetFirstChild(); c; c = c->GetNextSibling())
        n += grips ? dynamic_cast<CResize*>(c) != nullptr : dynamic_cast<CKnob*>(c) != nullptr;
    return n;
}

TEST(RackPin, Layout)
{
    Yard y;
    CRackPin* p = y.Add<CRackPin>(100, 50);
    const CPoint corner = p->m_rect.TopLeft();
    EXPECT_EQ(p->m_rect, CRect(100, 50, 316, 106));
    ASSERT_EQ(p->GetTerminalCount(), 4);
    EXPECT_EQ(p->GetPinion().GetTeeth(), 8);
    EXPECT_EQ(p->GetPinion().GetCentre(), CPoint(108, 20));
    const int kinds[4] = {WIRE_ROTATIONAL, WIRE_LINEAR, WIRE_ROTATIONAL, WIRE_LINEAR};
    const CPoint pins[4] = {{108, 20}, {0, 41}, {108, 20}, {215, 41}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p->GetTerminal(i)->GetKind(), kinds[i]) << i;
        EXPECT_EQ(p->GetTerminal(i)->GetPinPoint(), corner + pins[i]) << i;
    }
    EXPECT_EQ(p->GetMechTerminal(0)->GetLinkedObject(), p->GetMechTerminal(2));
    // A new rack: 0.84 g at 9 mm between stops at 0 and 18 mm, 22.75 mm
    // long; the pinion's angle is the rack's position / r (three teeth).
    EXPECT_DOUBLE_EQ(p->GetRackMass().GetMass(), 0.00084);
    EXPECT_DOUBLE_EQ(p->GetPinionInertia().GetMass(), 1.12e-9);
    EXPECT_DOUBLE_EQ(p->GetRackMass().GetPosition(), 0.009);
    EXPECT_NEAR(p->GetPinionInertia().GetPosition(), 0.009 * 261.8075, 1e-12);
    EXPECT_NEAR(p->GetPinionInertia().GetPosition(), 3 * kPi / 4, 1e-4);
    EXPECT_DOUBLE_EQ(p->GetStop(0).GetLimit(), 0.0);
    EXPECT_DOUBLE_EQ(p->GetStop(1).GetLimit(), 0.018);
    EXPECT_DOUBLE_EQ(p->GetRackLength(), 0.02275);
    EXPECT_DOUBLE_EQ(p->GetPinionFriction().GetCoefficient(), 1e-7);
    EXPECT_DOUBLE_EQ(p->GetRackFriction().GetCoefficient(), 1e-7);
    // The rack is drawn from x 63 to 154, its handle at (105, 41), the
    // pinion's on the pinion's marker point.
    EXPECT_EQ(p->RackLeft(0x4), corner.x + 63);
    EXPECT_EQ(p->RackRight(0x4), corner.x + 154);
    ASSERT_NE(p->GetRackHandle(), nullptr);
    ASSERT_NE(p->GetPinionHandle(), nullptr);
    EXPECT_EQ(p->GetRackHandle()->m_rect.TopLeft(), corner + CPoint(105, 41));
    EXPECT_EQ(p->GetPinionHandle()->m_rect.TopLeft(), corner + p->GetPinion().GetMarkerPoint());
    EXPECT_EQ(Count(p, true), 2);
    // The top 35 rows are the pinion's, the rest the rack's.
    EXPECT_EQ(p->GetProbeQuantities(corner.x + 5, corner.y + 34), 480u);
    EXPECT_EQ(p->GetProbeQuantities(corner.x + 5, corner.y + 35), 284u);
    EXPECT_EQ(p->GetExtent(corner.x, corner.y + 40), CRect(100, 85, 316, 106));
    EXPECT_DOUBLE_EQ(p->GetQuantity(corner.x, corner.y + 40, 4), 0.009);
    EXPECT_EQ(p->GetKindCode(), 5);
    std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(33901, nullptr, nullptr));
    EXPECT_NE(dynamic_cast<CRackPin*>(made.get()), nullptr);
}

// A constant torque T on the pinion's shaft.  The rack moves r theta, so
// the mesh is one body seen from the shaft: J = Jp + m r^2 and friction
// c = cp + cr r^2; backward Euler over steps of h: w' = (J w + T h) / (J + c h).
// The torque the pinion's own inertia and friction do not take passes to
// the rack as a force F = T' / r.
TEST(RackPin, ConstantTorqueMatchesHandCalculation)
{
    for (double rate : {5.0, 20.0, 100.0}) {
        Yard y;
        CRackPin* p = y.Add<CRackPin>(100, 300);
        const double torque = 1e-9;
        y.Drive(p->GetTerminal(0), torque);
        y.Start(rate);
        const double J = 1.12e-9 + 0.00084 * r * r, c = 1e-7 + 1e-7 * r * r, h = 1.0 / rate;
        double w = 0.0, angle = 0.0;
        const double pinion0 = p->GetPinionInertia().GetPosition(), rack0 = p->GetRackMass().GetPosition();
        for (int n = 1; n <= 30; ++n) {
            y.d.RunSolverPass();
            w = (J * w + torque * h) / (J + c * h);
            angle += h * w;
            const double turned = p->GetPinionInertia().GetPosition() - pinion0;
            EXPECT_NEAR(turned, angle, 1e-9 * angle) << rate << " step " << n;
            EXPECT_NEAR(p->GetPinionInertia().GetVelocity(), w, 1e-9 * w) << n;
            // Rack displacement = pinion radius x angle.
            EXPECT_NEAR(p->GetRackMass().GetPosition() - rack0, r * turned, 1e-15) << n;
            EXPECT_NEAR(p->GetRackMass().GetVelocity(), r * w, 1e-9 * r * w) << n;
            const double onPinion = p->GetPinionInertia().GetForce() + p->GetPinionFriction().GetForce();
            const double onRack = p->GetRackMass().GetForce() + p->GetRackFriction().GetForce();
            EXPECT_NEAR(onPinion + r * onRack, torque, 1e-15) << n;
            EXPECT_NEAR(onRack, (torque - onPinion) / r, 1e-10 * torque / r) << n;
        }
    }
}

// Held at its upper stop by a steady torque, the rack presses on the stop
// with F = T / r: 1e-4 N m / 0.0038196 m = 0.0261807 N, and the pinion
// stands still at the stop's position / r.
TEST(RackPin, TorqueAgainstTheStopPushesWithTorqueOverRadius)
{
    for (double torque : {1e-4, -2e-4}) {
        Yard y;
        CRackPin* p = y.Add<CRackPin>(100, 300);
        y.Drive(p->GetTerminal(0), torque);
        y.Start(20.0);
        y.Run(200);
        const bool up = torque > 0;
        const double limit = up ? 0.018 : 0.0;
        EXPECT_NEAR(p->GetRackMass().GetPosition(), limit, 1e-6) << torque;
        EXPECT_NEAR(p->GetPinionInertia().GetPosition(), p->GetRackMass().GetPosition() * 261.8075, kAngleSlack);
        EXPECT_NEAR(p->GetPinionInertia().GetVelocity(), 0.0, 1e-9);
        const CStop& stop = p->GetStop(up ? 1 : 0);
        EXPECT_TRUE(stop.IsEngaged());
        EXPECT_FALSE(p->GetStop(up ? 0 : 1).IsEngaged());
        const double x = p->GetMechTerminal(up ? 3 : 1)->GetPosition();
        const double pressed = stop.GetSlope() * x + stop.GetIntercept();
        EXPECT_NEAR(pressed, torque / 0.0038196, 1e-9) << torque;
    }
}

// A velocity source turns the pinion at 60 rpm for one second: one turn,
// and the rack moves 2 pi r = 0.024 m (96 pixels) on a rack lengthened at
// both ends so that its travel (29 mm from 9 mm) takes a whole turn.
TEST(RackPin, OneTurnMovesTheRack24Millimetres)
{
    Yard y;
    CRackPin* p = y.Add<CRackPin>(100, 300);
    ASSERT_EQ(p->AttachMechanism(CRackPin::kLeftGrip, -80), 1);
    ASSERT_EQ(p->AttachMechanism(p->m_rect.Width() - CRackPin::kRightGripFromEnd, 80), 1);
    ASSERT_DOUBLE_EQ(p->GetStop(1).GetLimit(), 0.038);
    y.Turn(p->GetTerminal(0), 60.0);
    y.Start(50.0);
    const double pinion0 = p->GetPinionInertia().GetPosition(), rack0 = p->GetRackMass().GetPosition();
    const int left0 = p->RackLeft(0x4);
    y.Run(50);
    const double turned = p->GetPinionInertia().GetPosition() - pinion0;
    const double moved = p->GetRackMass().GetPosition() - rack0;
    EXPECT_NEAR(turned, 2 * kPi, 1e-3);
    EXPECT_NEAR(moved, r * turned, 1e-15);
    EXPECT_NEAR(moved, 0.024, 1e-5);
    EXPECT_EQ(p->RackLeft(0x4) - left0, 96);
}

// Driven fast both ways, the rack stops at 0 and 18 mm and the pinion,
// linked by the ratio, stops with it.
TEST(RackPin, StopsHoldRackAndPinion)
{
    for (double rpm : {120.0, -120.0}) {
        Yard y;
        CRackPin* p = y.Add<CRackPin>(100, 300);
        y.Turn(p->GetTerminal(0), rpm);
        y.Start(20.0);
        y.Run(40);
        const double limit = rpm > 0 ? 0.018 : 0.0;
        EXPECT_NEAR(p->GetRackMass().GetPosition(), limit, 2e-5) << rpm;
        EXPECT_NEAR(p->GetPinionInertia().GetPosition(), p->GetRackMass().GetPosition() * 261.8075, kAngleSlack);
        const double held = p->GetRackMass().GetPosition();
        y.Run(5);
        EXPECT_NEAR(p->GetRackMass().GetPosition(), held, 2e-5);
    }
}

TEST(RackPin, DraggingTheRackTurnsThePinionAndBack)
{
    Yard y;
    y.d.SetOptionBits(0x80 | 0x100000, true);
    CRackPin* p = y.Add<CRackPin>(100, 300);
    y.Start(20.0);
    // The rack's handle carried 16 pixels right: 4 mm; the hand's 4000 N/m
    // brings the rack there and the pinion turns 4 mm / r = 1.0472 rad.
    CKnob* h = p->GetRackHandle();
    const CPoint grip = h->m_rect.CenterPoint();
    h->OnPress(&y.d, grip.x, grip.y);
    EXPECT_TRUE(p->IsRackHeld());
    EXPECT_DOUBLE_EQ(p->GetRackTarget(), 0.009);
    h->OnDrag(&y.d, grip + CPoint(16, 0));
    EXPECT_NEAR(p->GetRackTarget(), 0.013, 1e-12);
    y.Run(200);
    EXPECT_NEAR(p->GetRackMass().GetPosition(), 0.013, 1e-8);
    EXPECT_NEAR(p->GetPinionInertia().GetPosition(), 0.013 * 261.8075, 1e-5);
    h->OnRelease(&y.d, grip.x + 16, grip.y);
    EXPECT_FALSE(p->IsRackHeld());
    EXPECT_EQ(p->GetRackHandle()->m_rect.CenterPoint(), grip + CPoint(16, 0)) << "the handle rides on the rack";
    // The pinion turned back a quarter turn by its handle: the rack goes
    // back r pi / 2 = 6 mm, against its lower stop at 0 it stops there.
    p->AccumulateMotion(&y.d, 0, 1, 0.0);
    EXPECT_TRUE(p->IsPinionHeld());
    p->AccumulateMotion(&y.d, 1, 1, -kPi / 8);
    y.Run(300);
    EXPECT_NEAR(p->GetPinionInertia().GetPosition(), 0.013 * 261.8075 - kPi / 8, 1e-5);
    EXPECT_NEAR(p->GetRackMass().GetPosition(), 0.013 - r * kPi / 8, 1e-8);
    p->AccumulateMotion(&y.d, 1, 1, std::nan(""));
    EXPECT_TRUE(std::isfinite(p->GetPinionTarget()));
    p->AccumulateMotion(&y.d, 2, 1, 0.0);
    EXPECT_FALSE(p->IsPinionHeld());
    // Stopping re-bases the models: the positions stay where they are.
    const double at = p->GetRackMass().GetPosition();
    p->ResetState();
    EXPECT_DOUBLE_EQ(p->GetRackMass().GetPosition(), at);
    EXPECT_EQ(p->GetRackMass().GetDisplacement(), 0.0);
}

// Lengthening the rack (right end, then left end by hand):
//   reach A = upper limit + length + d / 4000 (the right end at the upper
//   stop), rest R the pinion's contact, lower limit L1 = 0;
//   length = max(A - R, R - L1) + 0.002375, upper limit = A - length.
TEST(RackPin, RackLengthens)
{
    Yard y;
    CRackPin* p = y.Add<CRackPin>(100, 300);
    const CPoint shaft = p->GetTerminal(0)->GetPinPoint();
    // A new rack's ends stand 108 pixels from the pinion's centre: neither
    // end comes in.
    EXPECT_EQ(p->AttachMechanism(190, -8), 0);
    EXPECT_EQ(p->AttachMechanism(23, 8), 0);
    EXPECT_EQ(p->m_rect, CRect(100, 300, 316, 356));
    // Right end out 80: A = 0.06075, R = 0.020375: length 0.04275, the
    // upper stop stays at 0.018.
    EXPECT_EQ(p->AttachMechanism(190, 80), 1);
    EXPECT_EQ(p->m_rect.Width(), 296);
    EXPECT_NEAR(p->GetRackLength(), 0.04275, 1e-12);
    EXPECT_NEAR(p->GetStop(1).GetLimit(), 0.018, 1e-12);
    EXPECT_EQ(p->GetTerminal(3)->GetPinPoint().x, p->m_rect.right - 1);
    // Left end out 40: R = 0.030375, A = 0.07075: length 0.04275 still,
    // upper stop 0.028.  The left edge and the rack's left grip and
    // terminal move; the pinion and its shafts stay, and so does the rack on
    // the canvas: from the moved origin it stands at 0.009 + 0.01 = 0.019.
    EXPECT_EQ(p->AttachMechanism(23, -40), 1);
    EXPECT_EQ(p->m_rect, CRect(60, 300, 396, 356));
    EXPECT_NEAR(p->GetRestParameter(), 0.030375, 1e-12);
    EXPECT_NEAR(p->GetRackLength(), 0.04275, 1e-12);
    EXPECT_NEAR(p->GetStop(1).GetLimit(), 0.028, 1e-12);
    EXPECT_NEAR(p->GetRackMass().GetPosition(), 0.019, 1e-12);
    EXPECT_NEAR(p->GetPinionInertia().GetPosition(), 0.019 * 261.8075, 1e-9);
    EXPECT_EQ(p->GetTerminal(0)->GetPinPoint(), shaft);
    EXPECT_EQ(p->GetTerminal(2)->GetPinPoint(), shaft);
    EXPECT_EQ(p->m_rect.left + p->GetPinion().GetCentre().x, shaft.x);
    EXPECT_EQ(p->GetPinionHandle()->m_rect.TopLeft(), p->m_rect.TopLeft() + p->GetPinion().GetMarkerPoint());
    EXPECT_EQ(p->GetPinionHandle()->m_centre, p->GetPinion().GetCentre());
    EXPECT_EQ(p->GetTerminal(1)->GetPinPoint().x, p->m_rect.left);
    EXPECT_EQ(p->RackLeft(0x4), 100 + 63);
    EXPECT_EQ(p->RackRight(0x4), 100 + 63 + 171);
    // Driven to 0.025 by hand and stopped, then the right end in by 80:
    // A = 0.05075, length max(0.020375, 0.030375) + 0.002375 = 0.03275 and
    // the upper stop falls to 0.018; the rack, beyond it, goes back to it
    // with the pinion.
    y.Start(20.0);
    p->AccumulateMotion(&y.d, 0, 0, 0.0);
    p->AccumulateMotion(&y.d, 1, 0, 0.006);
    y.Run(200);
    p->AccumulateMotion(&y.d, 2, 0, 0.0);
    p->ResetState();
    ASSERT_NEAR(p->GetRackMass().GetPosition(), 0.025, 1e-6);
    EXPECT_EQ(p->AttachMechanism(p->m_rect.Width() - 26, -80), 1);
    EXPECT_EQ(p->m_rect.Width(), 256);
    EXPECT_NEAR(p->GetStop(1).GetLimit(), 0.018, 1e-12);
    EXPECT_NEAR(p->GetRackLength(), 0.03275, 1e-12);
    EXPECT_DOUBLE_EQ(p->GetRackMass().GetPosition(), 0.018);
    EXPECT_DOUBLE_EQ(p->GetPinionInertia().GetPosition(), 0.018 * 261.8075);
    EXPECT_DOUBLE_EQ(p->GetStop(1).GetOffset(), 0.018);
    EXPECT_DOUBLE_EQ(p->GetStop(0).GetOffset(), 0.018);
    // The stops work from there: the lower one 18 mm below, the upper at it.
    EXPECT_DOUBLE_EQ(p->GetStop(0).GetEffectiveLimit(), -0.018);
    EXPECT_DOUBLE_EQ(p->GetStop(1).GetEffectiveLimit(), 0.0);
}

std::vector<uint8_t> Write(CObject* o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

std::unique_ptr<CRackPin> ReadBack(const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    std::unique_ptr<CRackPin> p(dynamic_cast<CRackPin*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

TEST(RackPin, Records)
{
    Yard y;
    CRackPin* p = y.Add<CRackPin>(100, 300);
    ASSERT_EQ(p->AttachMechanism(190, 40), 1);
    y.Drive(p->GetTerminal(0), 1e-9);
    y.Start(20.0);
    y.Run(5);
    const std::vector<uint8_t> bytes = Write(p, kCurrentVersion);
    std::unique_ptr<CRackPin> back = ReadBack(bytes, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_rect, p->m_rect);
    EXPECT_EQ(back->GetTerminalCount(), 4);
    EXPECT_EQ(back->GetRackMass().GetPosition(), p->GetRackMass().GetPosition());
    EXPECT_EQ(back->GetRackMass().GetMomentum(), p->GetRackMass().GetMomentum());
    EXPECT_EQ(back->GetPinionInertia().GetPosition(), p->GetPinionInertia().GetPosition());
    EXPECT_EQ(back->GetRackLength(), p->GetRackLength());
    EXPECT_EQ(back->GetRestParameter(), p->GetRestParameter());
    EXPECT_EQ(back->GetStop(1).GetLimit(), p->GetStop(1).GetLimit());
    EXPECT_EQ(back->GetPinion().GetCentre(), p->GetPinion().GetCentre());
    EXPECT_EQ(back->GetMechTerminal(0)->GetLinkedObject(), back->GetMechTerminal(2));
    EXPECT_EQ(Count(back.get(), false), 2);
    EXPECT_EQ(Count(back.get(), true), 2);
    EXPECT_EQ(Write(back.get(), kCurrentVersion), bytes);

    // Version 3: inertia, mass and pinion only; a new rack at rest with
    // fresh handles and grips.
    std::unique_ptr<CRackPin> old = ReadBack(Write(p, 3), 3);
    ASSERT_NE(old, nullptr);
    EXPECT_DOUBLE_EQ(old->GetRackMass().GetPosition(), 0.009);
    EXPECT_DOUBLE_EQ(old->GetRackLength(), 0.02275);
    EXPECT_DOUBLE_EQ(old->GetRestParameter(), 0.020375);
    EXPECT_DOUBLE_EQ(old->GetStop(1).GetLimit(), 0.018);
    EXPECT_EQ(old->m_rect.Width(), CRackPin::kWidth);
    EXPECT_EQ(Count(old.get(), false), 2);
    EXPECT_EQ(Count(old.get(), true), 2);
    EXPECT_DOUBLE_EQ(old->GetPinionFriction().GetCoefficient(), 1e-7);

    // Cut short anywhere: an archive error, nothing leaked.
    for (size_t n = 0; n + 1 < bytes.size(); n += 5) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive ar(cut);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
    // The last two doubles are the rack's length and rest parameter: a rack
    // of no length, or one whose pinion would stand outside the part, is
    // refused.
    const double nan = std::nan("");
    for (double length : {nan, 0.0, -1.0})
        for (double rest : {0.020375, nan, 1.0}) {
            if (length == 0.0 && rest == 0.020375) continue;
            std::vector<uint8_t> bad = bytes;
            std::memcpy(bad.data() + bad.size() - 16, &length, 8);
            std::memcpy(bad.data() + bad.size() - 8, &rest, 8);
            if (std::isfinite(length) && length > 0.0 && rest == 0.020375) continue;
            CArchive ar(bad);
            ar.SetVersion(kCurrentVersion);
            EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << length << " " << rest;
        }
    // A rack friction record that is not a number (its base, just before
    // the length) starts the rack again at rest.
    std::vector<uint8_t> bad = bytes;
    std::memcpy(bad.data() + bad.size() - 24, &nan, 8);
    std::unique_ptr<CRackPin> mended = ReadBack(bad, kCurrentVersion);
    ASSERT_NE(mended, nullptr);
    EXPECT_DOUBLE_EQ(mended->GetRackMass().GetPosition(), 0.009);
    EXPECT_EQ(mended->GetRackFriction().GetPosition(), 0.0);

    // A part of too few terminals stamps nothing and steps without harm.
    CRackPin lone;
    lone.PrepareStep();
    CMatrix m;
    ASSERT_TRUE(m.Resize(2));
    lone.Stamp(&m);
    EXPECT_EQ(m.GetLinks().size(), 0u);
    EXPECT_EQ(lone.AfterStep(), 0);
}

QImage DrawRack(CRackPin* p, DWORD flags)
{
    CImageView view(400, 200);
    {
        CDisplay display(&view);
        p->DrawMoving(1, flags);
    }
    return view.Image().copy();
}

TEST(RackPin, DrawsTheRackMovingAndTellsWhatIsUnderThePointer)
{
    CDisplay::ResetForTest();
    Yard y;
    CRackPin* p = y.Add<CRackPin>(10, 10);
    const QImage rest = DrawRack(p, 0);
    // The rack's ink from x 63 to 154 at the rack's height.
    auto ink = [](const QImage& image, int x, int yy) { return (image.pixel(x, yy) & 0xFFFFFF) != 0xFFFFFF; };
    EXPECT_TRUE(ink(rest, 10 + 63, 10 + 32 + 10));
    EXPECT_FALSE(ink(rest, 10 + 60, 10 + 32 + 10));
    EXPECT_TRUE(ink(rest, 10 + 153, 10 + 32 + 10));
    EXPECT_FALSE(ink(rest, 10 + 156, 10 + 32 + 10));
    y.Turn(p->GetTerminal(0), 30.0);
    y.Start(20.0);
    y.Run(4);
    const QImage moved = DrawRack(p, 0x4);
    EXPECT_NE(moved, rest);
    const int shift = p->RackLeft(0x4) - (10 + 63);
    EXPECT_GT(shift, 5);
    EXPECT_TRUE(ink(moved, 10 + 153 + shift, 10 + 32 + 10));

    CString text;
    const CPoint corner = p->m_rect.TopLeft();
    // On the pinion: its speed in rpm and its angle.
    EXPECT_EQ(p->BuildInfo(text, 0, corner + CPoint(108, 20)), 15);
    EXPECT_NE(text.Find("rpm"), -1) << text;
    EXPECT_NE(text.Find(", "), -1) << text;
    // On the rack: m/s and m.
    EXPECT_EQ(p->BuildInfo(text, 0, CPoint(p->RackLeft(0x4) + 30, corner.y + 45)), 17);
    EXPECT_NE(text.Find("m/s"), -1) << text;
    EXPECT_NE(text.Find(", "), -1) << text;
    // Beside the rack, on a side no wire joins: not on the element.
    EXPECT_FALSE(p->HitElement(CPoint(corner.x + 2, corner.y + 45)).on);
    EXPECT_EQ(p->HitElement(CPoint(corner.x + 2, corner.y + 45)).kind, WIRE_LINEAR);
    p->BuildInfo(text, 0, CPoint(corner.x + 2, corner.y + 45));
    EXPECT_EQ(text.Find(", "), -1) << text;
    CDisplay::ResetForTest();
}

} // namespace
