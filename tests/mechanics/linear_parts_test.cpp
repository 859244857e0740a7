// The applied force and torque and the mass on a track, run in a design and
// checked against the physics worked by hand.
#include "components/component_kit.h"
#include "components/directionkey.h"
#include "components/knob.h"
#include "components/resize.h"
#include "mechanics/flywheel.h"
#include "mechanics/force.h"
#include "mechanics/mass_comp.h"
#include "mechanics/mech_text.h"
#include "mechanics/torque.h"
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/components/wire.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

using Rig = MechRig;

void SetLabel(CComponent* part, double value)
{
    CValue* v = ValueLabelOf(part);
    ASSERT_NE(v, nullptr);
    v->SetBaseValue(value);
}

TEST(Torque, DrivesAnInertiaAsBackwardEulerSays)
{
    // J theta'' = -T (direction 0): backward Euler from rest gives
    // theta_n = -T h^2 n (n + 1) / (2 J); direction 1 the same, positive.
    for (int direction : {0, 1}) {
        Rig r;
        auto* t = r.Add<CTorque>(60, 100);
        auto* f = r.Add<CFlywheel>(140, 100);
        ASSERT_EQ(t->GetTerminalCount(), 1);
        EXPECT_EQ(t->m_rect.Size(), CSize(24, 24));
        EXPECT_DOUBLE_EQ(LabelValue(t), 0.1);
        if (direction) {
            EXPECT_EQ(t->OnPropertyCommand(CTorque::kDirection1, ""), 1);
        }
        int checked = 0;
        EXPECT_EQ(t->IsPropertyChecked(CTorque::kDirection0 + direction, checked), 1);
        r.Wire(t->GetTerminal(0), f->GetTerminal(0), WIRE_ROTATIONAL);
        const double T = 0.1, J = 0.1, rate = 20.0, h = 1.0 / rate;
        r.Start(rate);
        const double sign = direction ? 1.0 : -1.0;
        for (int n = 1; n <= 40; ++n) {
            r.d.RunSolverPass();
            const double byHand = sign * T * h * h * n * (n + 1) / (2.0 * J);
            ASSERT_NEAR(f->GetInertia().GetPosition(), byHand, 1e-12 + 1e-12 * std::fabs(byHand)) << n;
        }
        EXPECT_NEAR(f->GetInertia().GetVelocity(), sign * T * 40 * h / J, 1e-9);
        // The torque's terminal reads the flow its source takes out of the
        // node: minus the torque it applies.
        EXPECT_NEAR(t->GetMechTerminal(0)->GetForce(), -sign * T, 1e-9);
        if (direction == 0) {
            // A falling angle shows as a positive one.
            const CString text = MechPositionText(f->GetInertia().GetPosition(), WIRE_ROTATIONAL, CUnitChoices{});
            EXPECT_EQ(text.Find("-"), -1) << text;
        }
    }
}

TEST(MassOnATrack, NewMassStandsBetweenItsStops)
{
    Rig r;
    auto* m = r.Add<CMassComp>(100, 100);
    EXPECT_EQ(m->m_rect, CRect(100, 100, 340, 128));
    ASSERT_EQ(m->GetTerminalCount(), 2);
    EXPECT_EQ(m->GetKindCode(), 6);
    EXPECT_DOUBLE_EQ(LabelValue(m), 1000.0);
    EXPECT_DOUBLE_EQ(m->GetMass().GetPosition(), 0.02);
    EXPECT_DOUBLE_EQ(m->GetLowerStop().GetLimit(), 0.0);
    EXPECT_DOUBLE_EQ(m->GetUpperStop().GetLimit(), 0.04);
    // In the node's displacement the stops stand 2 cm either side.
    EXPECT_DOUBLE_EQ(m->GetLowerStop().GetEffectiveLimit(), -0.02);
    EXPECT_DOUBLE_EQ(m->GetUpperStop().GetEffectiveLimit(), 0.02);
    EXPECT_FALSE(m->IsStopEngaged());
    EXPECT_EQ(m->GetProbeQuantities(0, 0), 284u);
    EXPECT_EQ(m->BodyLeft(), 100 + 80 + 22);
    int grips = 0, knobs = 0;
    for (CPart* c = m->GetFirstChild(); c; c = c->GetNextSibling()) {
        grips += dynamic_cast<CResize*>(c) != nullptr;
        knobs += dynamic_cast<CKnob*>(c) != nullptr;
    }
    EXPECT_EQ(grips, 2);
    EXPECT_EQ(knobs, 1);
}

TEST(MassOnATrack, ConstantForceRunsItIntoTheEndStop)
{
    // A 1 N force on the 1 kg mass: backward Euler from rest puts it at
    // x_n = F h^2 n (n + 1) / (2m) until it meets the upper stop 2 cm on;
    // there it is held where the stop's 1e6 N/m balances the force.
    for (int code : {1, 3}) {
        Rig r;
        auto* f = r.Add<CForce>(40, 108);
        auto* m = r.Add<CMassComp>(140, 100);
        ASSERT_EQ(f->GetTerminalCount(), 1);
        EXPECT_EQ(f->GetDirection(), 1);
        CDirectionKey* key = nullptr;
        for (CPart* c = f->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* k = dynamic_cast<CDirectionKey*>(c)) key = k;
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->m_rect.TopLeft(), f->m_rect.TopLeft() + CPoint(-44, -11));
        EXPECT_EQ(key->m_wState, 1);
        if (code == 3) {
            // The lower half of the key turns the force round.
            key->OnPress(&r.d, key->m_rect.left + 5, key->m_rect.top + 18);
            key->OnRelease(&r.d, key->m_rect.left + 5, key->m_rect.top + 18);
            EXPECT_EQ(f->GetDirection(), 3);
        }
        r.Wire(f->GetTerminal(0), m->GetTerminal(0), WIRE_LINEAR);
        const double F = 1.0, mass = 1.0, rate = 20.0, h = 1.0 / rate, sign = code == 1 ? 1.0 : -1.0;
        r.Start(rate);
        int n = 1;
        for (; n <= 100; ++n) {
            r.d.RunSolverPass();
            const double free = F * h * h * n * (n + 1) / (2.0 * mass);
            if (free >= 0.02) break;
            ASSERT_NEAR(m->GetMass().GetPosition(), 0.02 + sign * free, 1e-12) << n;
            EXPECT_FALSE(m->IsStopEngaged());
        }
        EXPECT_EQ(n, 4);
        r.Run(100);
        EXPECT_TRUE(m->IsStopEngaged());
        EXPECT_TRUE(code == 1 ? m->GetUpperStop().IsEngaged() : m->GetLowerStop().IsEngaged());
        // Held within the stop's stiffness: 1 N pushes the gap 1 um in.
        EXPECT_NEAR(m->GetMass().GetPosition(), 0.02 + sign * (0.02 + F / 1e6), 1e-9);
        EXPECT_NEAR(m->GetMass().GetVelocity(), 0.0, 1e-6);
        // The force's terminal reads the flow its source takes out of the
        // node: minus the force it applies.
        EXPECT_NEAR(f->GetMechTerminal(0)->GetForce(), -sign * F, 1e-9);
        // Released (the same half pressed again), no force acts.
        const int y = code == 1 ? key->m_rect.top + 3 : key->m_rect.top + 18;
        key->OnPress(&r.d, key->m_rect.left + 5, y);
        key->OnRelease(&r.d, key->m_rect.left + 5, y);
        EXPECT_EQ(f->GetDirection(), code - 1);
        EXPECT_EQ(f->GetAppliedForce(), 0.0);
    }
}

TEST(MassOnATrack, HandDragPullsWith4000NewtonsPerMetre)
{
    // Held at 1 cm ahead of a 1 kg mass at rest: the first backward-Euler
    // step moves it K h^2 d / (m + K h^2).
    Rig r;
    auto* m = r.Add<CMassComp>(100, 100);
    const double rate = 20.0, h = 1.0 / rate, K = CMassComp::kHoldStiffness, d = 0.01;
    r.Start(rate);
    r.Run(2);
    m->AccumulateMotion(&r.d, 0, 0, 0.0);
    EXPECT_TRUE(m->IsHeld());
    EXPECT_DOUBLE_EQ(m->GetHeldPosition(), 0.02);
    m->AccumulateMotion(&r.d, 1, 0, d);
    EXPECT_DOUBLE_EQ(m->GetHeldPosition(), 0.03);
    r.d.RunSolverPass();
    EXPECT_NEAR(m->GetMass().GetPosition() - 0.02, K * h * h * d / (1.0 + K * h * h), 1e-12);
    r.Run(200);
    EXPECT_NEAR(m->GetMass().GetPosition(), 0.03, 1e-9);
    m->AccumulateMotion(&r.d, 2, 0, 0.0);
    EXPECT_FALSE(m->IsHeld());
    // Released it stays (backward Euler has taken its speed).
    r.Run(5);
    EXPECT_NEAR(m->GetMass().GetPosition(), 0.03, 1e-6);
}

TEST(MassOnATrack, ProbeQuantitiesAndInformation)
{
    Rig r;
    auto* f = r.Add<CForce>(40, 108);
    auto* m = r.Add<CMassComp>(140, 100);
    SetLabel(m, 500.0);
    SetLabel(f, 2.0);
    r.Wire(f->GetTerminal(0), m->GetTerminal(0), WIRE_LINEAR);
    r.Start(100.0);
    r.Run(2);
    // 0.5 kg under 2 N: a = 4 m/s^2; after two steps of 0.01 s backward
    // Euler, v = 0.08 m/s and x = a h^2 n (n + 1) / 2 = 1.2 mm.
    EXPECT_NEAR(m->GetQuantity(0, 0, 8), 0.08, 1e-9);
    EXPECT_NEAR(m->GetQuantity(0, 0, 16), 4.0, 1e-9);
    EXPECT_NEAR(m->GetQuantity(0, 0, 256), 0.5 * 0.5 * 0.0064, 1e-12);
    EXPECT_NEAR(m->GetQuantity(0, 0, 4), 0.02 + 0.0012, 1e-12);
    EXPECT_EQ(m->GetQuantity(0, 0, 32), 0.0);
    CString text;
    EXPECT_EQ(m->BuildInfo(text, 0, CPoint(m->m_rect.left + 2, m->m_rect.top + 2)), 17);
    EXPECT_NE(text.Find("m/s"), -1);
    EXPECT_EQ(text.Find(","), -1) << text;
    m->BuildInfo(text, 0, CPoint(m->BodyLeft() + 4, m->m_rect.top + 10));
    EXPECT_NE(text.Find(", "), -1) << text;
    // The energy ring holds each step's kinetic energy.
    EXPECT_NEAR(m->GetKineticEnergy(r.d.GetStepIndex() + 9), 0.5 * 0.5 * 0.0064, 1e-12);
}

TEST(MassOnATrack, TrackLengthens)
{
    Rig r;
    auto* m = r.Add<CMassComp>(100, 100);
    // The right end out by 80 pixels: 2 cm more travel.
    EXPECT_EQ(m->AttachMechanism(214, 80), 1);
    EXPECT_EQ(m->m_rect.Width(), 320);
    EXPECT_DOUBLE_EQ(m->GetUpperStop().GetLimit(), 0.06);
    EXPECT_EQ(m->GetTerminal(1)->GetPinPoint().x, m->m_rect.right - 1);
    // Pulled in past the least width it stops at 240 pixels; a mass that
    // stood beyond the new travel moves to its end.
    EXPECT_EQ(m->AttachMechanism(294, -200), 0);
    EXPECT_EQ(m->m_rect.Width(), 240);
    EXPECT_DOUBLE_EQ(m->GetUpperStop().GetLimit(), 0.04);
    // The left end: the part's left edge follows, the right end stays.
    const int right = m->m_rect.right;
    EXPECT_EQ(m->AttachMechanism(18, -40), 1);
    EXPECT_EQ(m->m_rect.Width(), 280);
    EXPECT_EQ(m->m_rect.right, right);
    EXPECT_EQ(m->GetTerminal(0)->GetPinPoint().x, m->m_rect.left);
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

TEST(LinearParts, Records)
{
    Rig r;
    auto* f = r.Add<CForce>(40, 108);
    auto* m = r.Add<CMassComp>(140, 100);
    auto* t = r.Add<CTorque>(40, 300);
    t->OnPropertyCommand(CTorque::kDirection1, "");
    r.Wire(f->GetTerminal(0), m->GetTerminal(0), WIRE_LINEAR);
    r.Start(20.0);
    r.Run(6);
    auto mb = RoundTrip(m, kCurrentVersion);
    ASSERT_NE(mb, nullptr);
    EXPECT_EQ(mb->GetMass().GetPosition(), m->GetMass().GetPosition());
    EXPECT_EQ(mb->GetMass().GetMomentum(), m->GetMass().GetMomentum());
    EXPECT_EQ(mb->GetUpperStop().GetPending(), m->GetUpperStop().GetPending());
    EXPECT_EQ(mb->GetLowerStop().GetEffectiveLimit(), m->GetLowerStop().GetEffectiveLimit());
    EXPECT_EQ(mb->GetTerminalCount(), 2);
    auto fb = RoundTrip(f, kCurrentVersion);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(fb->GetDirection(), 1);
    auto tb = RoundTrip(t, kCurrentVersion);
    ASSERT_NE(tb, nullptr);
    EXPECT_EQ(tb->GetDirection(), 1);

    // Cut short: a clean archive error at every length.
    for (CPart* part : {static_cast<CPart*>(m), static_cast<CPart*>(f), static_cast<CPart*>(t)}) {
        CArchive out;
        out.SetVersion(kCurrentVersion);
        out.WriteObject(part);
        const std::vector<uint8_t> bytes = out.GetBuffer();
        for (size_t n = 0; n + 1 < bytes.size(); n += 7) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
            CArchive in(cut);
            in.SetVersion(kCurrentVersion);
            EXPECT_THROW(delete in.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
        }
    }
}

TEST(LinearParts, MassRecordsOfOldFilesAndNotANumber)
{
    Rig r;
    auto* m = r.Add<CMassComp>(140, 100);
    r.Start(20.0);
    // The value label goes first: text parts write their records at the
    // present layout only.
    CValue* label = ValueLabelOf(m);
    ASSERT_NE(label, nullptr);
    m->RemoveChild(label);
    delete label;
    // Version 3: the mass alone; a new handle, two grips, moved by (12, 14)
    // and restarted.
    auto old = RoundTrip(m, 3);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->m_rect.TopLeft(), m->m_rect.TopLeft() + CPoint(12, 14));
    EXPECT_DOUBLE_EQ(old->GetMass().GetPosition(), 0.02);
    int grips = 0, knobs = 0;
    for (CPart* c = old->GetFirstChild(); c; c = c->GetNextSibling()) {
        grips += dynamic_cast<CResize*>(c) != nullptr;
        knobs += dynamic_cast<CKnob*>(c) != nullptr;
    }
    EXPECT_EQ(grips, 2);
    EXPECT_EQ(knobs, 1);

    // A record whose mass is not a number restarts the mass.
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(m);
    std::vector<uint8_t> bytes = out.GetBuffer();
    // The mass's record follows the component's; its first double is m.
    CArchive probe;
    probe.SetVersion(kCurrentVersion);
    CMass copy = m->GetMass();
    copy.Serialize(probe);
    const std::vector<uint8_t> massBytes = probe.GetBuffer();
    auto at = std::search(bytes.begin(), bytes.end(), massBytes.begin(), massBytes.end());
    ASSERT_NE(at, bytes.end());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(&*at, &nan, sizeof nan);
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CMassComp> back(dynamic_cast<CMassComp*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(std::isfinite(back->GetMass().GetMass()));
    EXPECT_DOUBLE_EQ(back->GetMass().GetPosition(), 0.02);
}

TEST(LinearParts, DrawAndComeFromTheCatalogue)
{
    Rig r;
    auto* f = r.Add<CForce>(60, 40);
    auto* m = r.Add<CMassComp>(140, 32);
    r.Add<CTorque>(60, 120);
    r.Wire(f->GetTerminal(0), m->GetTerminal(0), WIRE_LINEAR);
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 400, 160);
    const QImage rest = RenderDesign(r.d, o);
    r.Start(20.0);
    r.d.SetOptionBits(OPT_SIMULATE, true);
    r.Run(3);
    EXPECT_NE(RenderDesign(r.d, o), rest) << "the mass moves on the canvas";
    for (int id : {33902, 33906, 33903, 33905, 33915}) {
        std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(id, nullptr, nullptr));
        EXPECT_NE(dynamic_cast<CMechComp*>(made.get()), nullptr) << id;
    }
}

} // namespace
