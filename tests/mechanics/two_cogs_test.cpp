// The gear pair: its layout, the gear link against hand calculation,
// turning by hand, the tooth-count settings, its record and its drawing.
#include "components/rotateknob.h"
#include "mechanics/two_cogs.h"
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/components/wire.h"
#include "model/parts/catalogue.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "tests/mechanics/mech_testparts.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct Bench : MechRig {
    CTwoCogs* AddPair(int x, int y, int left = 8, int right = 8)
    {
        auto* p = new CTwoCogs;
        p->m_rect = CRect(x, y, x, y);
        p->m_pCircuit = &d;
        p->Initialise();
        d.AddChild(p);
        p->Drop(&d);
        if (left != 8 || right != 8) {
            CString text = FormatCounts(left, right);
            EXPECT_EQ(p->ApplySettingsText(text, 1), 1);
        }
        return p;
    }
    static CString FormatCounts(int a, int b) { return CString(std::to_string(a) + ":" + std::to_string(b)); }
    // A shaft driven with a constant torque, wired to a terminal's end.
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
};

TEST(TwoCogs, Layout)
{
    struct Case {
        int left, right;
    };
    for (const Case& k : {Case{8, 8}, Case{8, 24}, Case{40, 16}, Case{16, 40}, Case{24, 24}}) {
        Bench b;
        CTwoCogs* p = b.AddPair(100, 50, k.left, k.right);
        ASSERT_EQ(p->GetTerminalCount(), 4);
        const CCog& c1 = p->GetCog(0);
        const CCog& c2 = p->GetCog(1);
        EXPECT_EQ(c1.GetTeeth(), k.left);
        EXPECT_EQ(c2.GetTeeth(), k.right);
        // The pitch circles touch, both centres on one line.
        EXPECT_EQ(c2.GetCentre().x - c1.GetCentre().x, 2 * k.left + 2 * k.right);
        EXPECT_EQ(c2.GetCentre().y, c1.GetCentre().y);
        EXPECT_EQ(p->m_rect.TopLeft(), CPoint(100, 50));
        EXPECT_EQ(p->m_rect.Height(), 4 * std::max(k.left, k.right) + 7);
        // Shafts at the centres: 0 and 3 on the right wheel, 1 and 2 on the
        // left, each linked to its wheel's other terminal.
        const CPoint corner = p->m_rect.TopLeft();
        EXPECT_EQ(p->GetTerminal(0)->GetPinPoint(), corner + c2.GetCentre());
        EXPECT_EQ(p->GetTerminal(1)->GetPinPoint(), corner + c1.GetCentre());
        EXPECT_EQ(p->GetTerminal(2)->GetPinPoint(), corner + c1.GetCentre());
        EXPECT_EQ(p->GetTerminal(3)->GetPinPoint(), corner + c2.GetCentre());
        const int partner[4] = {3, 2, 1, 0};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(p->GetMechTerminal(i)->GetLinkedObject(), p->GetMechTerminal(partner[i]));
        EXPECT_DOUBLE_EQ(p->GetInertia(0).GetMass(), 1.12e-9 * std::pow(k.left / 8.0, 4));
        EXPECT_DOUBLE_EQ(p->GetInertia(1).GetMass(), 1.12e-9 * std::pow(k.right / 8.0, 4));
        // The handles ride on the wheels: at rest straight above each centre.
        for (int axis : {0, 1}) {
            CRotateKnob* h = p->GetHandle(axis);
            ASSERT_NE(h, nullptr);
            const CCog& c = axis == 0 ? c1 : c2;
            EXPECT_EQ(h->m_centre, c.GetCentre());
            EXPECT_EQ(h->m_rect.TopLeft(), corner + c.GetMarkerPoint());
        }
    }
    EXPECT_DOUBLE_EQ(CTwoCogs::InertiaOf(16), 1.792e-8);
    EXPECT_DOUBLE_EQ(CTwoCogs::InertiaOf(24), 9.072e-8);
    EXPECT_DOUBLE_EQ(CTwoCogs::InertiaOf(40), 7e-7);
}

// A constant torque T on the left shaft of an N1:N2 pair.  With k = -N1/N2
// the right wheel turns k times the left one, and the pair is one body of
// inertia J1 + k^2 J2 with friction c1 + k^2 c2 seen from the left shaft.
// Backward Euler over steps of h: w' = (J w + T h) / (J + c h).
TEST(TwoCogs, ConstantTorqueMatchesHandCalculation)
{
    struct Case {
        int left, right;
        double rate;
    };
    for (const Case& k : {Case{16, 40, 100.0}, Case{8, 24, 5.0}, Case{40, 8, 50.0}, Case{8, 8, 20.0}}) {
        Bench b;
        CTwoCogs* p = b.AddPair(100, 100, k.left, k.right);
        const double torque = 1e-6;
        CTestShaft* s = b.Drive(p->GetTerminal(1), torque);
        b.Start(k.rate);
        ASSERT_EQ(s->T()->GetNode(), p->GetTerminal(1)->GetNode()) << "the drive is on the left shaft";
        const double ratio = -static_cast<double>(k.left) / k.right;
        const double J = CTwoCogs::InertiaOf(k.left) + ratio * ratio * CTwoCogs::InertiaOf(k.right);
        const double c = CTwoCogs::kFriction * (1.0 + ratio * ratio);
        const double h = 1.0 / k.rate;
        double w = 0.0, angle = 0.0;
        for (int n = 1; n <= 40; ++n) {
            b.d.RunSolverPass();
            const double before = w;
            w = (J * w + torque * h) / (J + c * h);
            angle += h * w;
            const double left = p->GetInertia(0).GetPosition();
            const double right = p->GetInertia(1).GetPosition();
            EXPECT_NEAR(left, angle, 1e-9 * std::fabs(angle)) << k.left << ":" << k.right << " step " << n;
            EXPECT_NEAR(p->GetInertia(0).GetVelocity(), w, 1e-9 * std::fabs(w)) << n;
            // The wheels keep the tooth ratio, in opposite senses.
            EXPECT_NEAR(right, ratio * left, 1e-12 * std::fabs(left)) << n;
            EXPECT_NEAR(p->GetInertia(1).GetVelocity(), ratio * w, 1e-9 * std::fabs(w)) << n;
            // The probed acceleration of the left wheel.
            const CPoint onLeft = p->m_rect.TopLeft() + p->GetCog(0).GetCentre();
            EXPECT_NEAR(p->GetQuantity(onLeft.x, onLeft.y, 128), (w - before) / h, 1e-9 * torque / J)
                << n;
            // Torque balance: what the drive gives is taken up by the left
            // wheel and, through the gearing, by the right one.
            const double taken = p->GetInertia(0).GetForce() + p->GetFriction(0).GetForce() +
                                 ratio * (p->GetInertia(1).GetForce() + p->GetFriction(1).GetForce());
            EXPECT_NEAR(taken, torque, 1e-12) << n;
        }
        EXPECT_GT(angle, 0.0);
    }
}

TEST(TwoCogs, DrivenFromTheRightTheLeftTurnsBack)
{
    // Driven on the right shaft (terminal 0), an 8:24 pair: the left wheel
    // turns three times as far, the other way.
    Bench b;
    CTwoCogs* p = b.AddPair(100, 100, 8, 24);
    b.Drive(p->GetTerminal(0), 1e-6);
    b.Start(20.0);
    for (int n = 0; n < 10; ++n) b.d.RunSolverPass();
    const double left = p->GetInertia(0).GetPosition(), right = p->GetInertia(1).GetPosition();
    EXPECT_GT(right, 0.0);
    EXPECT_LT(left, 0.0);
    EXPECT_NEAR(left, -3.0 * right, 1e-12 * std::fabs(left));
    // The shafts' terminals read the angles of their wheels.
    EXPECT_NEAR(p->GetMechTerminal(1)->GetPosition(), left, 1e-12 * std::fabs(left));
    EXPECT_NEAR(p->GetMechTerminal(0)->GetPosition(), right, 1e-12 * std::fabs(right));
    // A reset puts the wheels back at rest with their rest frames.
    p->ResetSimulation();
    EXPECT_EQ(p->GetInertia(0).GetPosition(), 0.0);
    EXPECT_EQ(p->GetCog(0).GetCurrentFrame(), 0);
    EXPECT_EQ(p->GetCog(1).GetCurrentFrame(), 8);
    EXPECT_DOUBLE_EQ(p->GetFriction(1).GetCoefficient(), CTwoCogs::kFriction);
}

TEST(TwoCogs, TurnedByHand)
{
    Bench b;
    b.d.SetOptionBits(0x80 | 0x100000, true);
    CTwoCogs* p = b.AddPair(100, 100, 8, 16);
    b.Start(20.0);
    b.d.SetOptionBits(0x80 | 0x100000, true);
    CRotateKnob* h = p->GetHandle(1);
    ASSERT_NE(h, nullptr);
    // Grab the right wheel's handle and drag it a quarter turn forwards
    // (anticlockwise) about the wheel's centre.
    const CPoint c = p->m_rect.TopLeft() + p->GetCog(1).GetCentre();
    h->OnPress(&b.d, c.x, c.y - 30);
    EXPECT_TRUE(p->IsHeld(1));
    EXPECT_FALSE(p->IsHeld(0));
    h->OnDrag(&b.d, CPoint(c.x - 30, c.y));
    EXPECT_NEAR(p->GetTargetAngle(1), kPi / 2, 1e-12);
    // The spring pulls the wheel after the handle; the left wheel follows
    // at twice the angle the other way.
    for (int n = 0; n < 200; ++n) b.d.RunSolverPass();
    EXPECT_NEAR(p->GetInertia(1).GetPosition(), kPi / 2, 1e-6);
    EXPECT_NEAR(p->GetInertia(0).GetPosition(), -kPi, 2e-6);
    h->OnRelease(&b.d, c.x - 30, c.y);
    EXPECT_FALSE(p->IsHeld(1));
    // Let go, the wheel stays (the friction brings it to rest).
    for (int n = 0; n < 20; ++n) b.d.RunSolverPass();
    EXPECT_NEAR(p->GetInertia(1).GetPosition(), kPi / 2, 1e-3);
    // The handle rode round with its wheel.
    const CPoint m = p->GetCog(1).GetMarkerPoint();
    EXPECT_LT(m.x + 3, p->GetCog(1).GetCentre().x - 10);
    EXPECT_EQ(h->m_rect.TopLeft(), p->m_rect.TopLeft() + m);
    // The left handle works the left wheel.
    p->AccumulateMotion(&b.d, 0, 0, 0.0);
    EXPECT_TRUE(p->IsHeld(0));
    EXPECT_NEAR(p->GetTargetAngle(0), p->GetInertia(0).GetPosition(), 1e-15);
    p->AccumulateMotion(&b.d, 1, 0, std::nan(""));
    EXPECT_TRUE(std::isfinite(p->GetTargetAngle(0)));
    p->AccumulateMotion(&b.d, 2, 0, 0.0);
    EXPECT_FALSE(p->IsHeld(0));
}

TEST(TwoCogs, ToothCountSettings)
{
    Bench b;
    CTwoCogs* p = b.AddPair(100, 100);
    CControlItemList items;
    p->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 4);
    EXPECT_EQ(items[0].type, CI_DROPLIST);
    EXPECT_EQ(items[0].label, CString("8\n16\n24\n40"));
    EXPECT_EQ(items[1].width, 28);
    EXPECT_EQ(items[3].label, CString("Teeth"));
    p->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, CString("8"));
    // The count a wheel has changes nothing.
    EXPECT_EQ(p->OnPropertyCommand(36053, "8"), 0);
    EXPECT_EQ(p->OnPropertyCommand(36059, "8"), 0);
    // A new right count keeps the left edge.
    ASSERT_EQ(p->OnPropertyCommand(36059, "24"), 8);
    EXPECT_EQ(p->m_strSettingsText, CString("8:24"));
    EXPECT_EQ(p->ApplySettingsText(), 1);
    EXPECT_EQ(p->GetCog(1).GetTeeth(), 24);
    EXPECT_EQ(p->m_rect.left, 100);
    EXPECT_EQ(p->m_rect.top, 100);
    const int right = p->m_rect.right;
    // A new left count keeps the right edge.
    ASSERT_EQ(p->OnPropertyCommand(36053, "40"), 8);
    EXPECT_EQ(p->m_strSettingsText, CString("40:24"));
    EXPECT_EQ(p->ApplySettingsText(), 1);
    EXPECT_EQ(p->GetCog(0).GetTeeth(), 40);
    EXPECT_EQ(p->m_rect.right, right);
    EXPECT_EQ(p->m_rect.top, 100);
    EXPECT_EQ(p->GetTerminalCount(), 4);
    // The rebuilt part's terminals and handles stand on its wheels.
    EXPECT_EQ(p->GetTerminal(2)->GetPinPoint(), p->m_rect.TopLeft() + p->GetCog(0).GetCentre());
    EXPECT_EQ(p->GetHandle(0)->m_rect.TopLeft(), p->m_rect.TopLeft() + p->GetCog(0).GetMarkerPoint());
    int handles = 0;
    for (CPart* c = p->GetFirstChild(); c; c = c->GetNextSibling()) handles += dynamic_cast<CRotateKnob*>(c) != nullptr;
    EXPECT_EQ(handles, 2);
    // A wire on the left shaft stays joined when the right wheel changes.
    b.Drive(p->GetTerminal(1), 1e-6);
    ASSERT_TRUE(p->GetTerminal(1)->IsJoined());
    ASSERT_EQ(p->OnPropertyCommand(36059, "16"), 8);
    EXPECT_EQ(p->ApplySettingsText(), 1);
    EXPECT_TRUE(p->GetTerminal(1)->IsJoined());
    EXPECT_FALSE(p->GetTerminal(0)->IsJoined());
    // A count no wheel has keeps that wheel but rebuilds the pair.
    EXPECT_EQ(p->ApplySettingsText("10:24", 1), 1);
    EXPECT_EQ(p->GetCog(0).GetTeeth(), 40);
    EXPECT_EQ(p->GetCog(1).GetTeeth(), 24);
    // Other texts are the component's (one orientation only).
    EXPECT_EQ(p->ApplySettingsText("Orient:1", 1), 6);
    EXPECT_EQ(p->OnPropertyCommand(36044, ""), 0);
}

std::vector<uint8_t> Write(CObject* o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

std::unique_ptr<CTwoCogs> ReadBack(const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    std::unique_ptr<CTwoCogs> p(dynamic_cast<CTwoCogs*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

TEST(TwoCogs, Records)
{
    Bench b;
    CTwoCogs* p = b.AddPair(100, 100, 16, 40);
    b.Drive(p->GetTerminal(1), 1e-6);
    b.Start(20.0);
    for (int n = 0; n < 5; ++n) b.d.RunSolverPass();
    const std::vector<uint8_t> bytes = Write(p, kCurrentVersion);
    std::unique_ptr<CTwoCogs> back = ReadBack(bytes, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetCog(0).GetTeeth(), 16);
    EXPECT_EQ(back->GetCog(1).GetTeeth(), 40);
    EXPECT_EQ(back->GetTerminalCount(), 4);
    EXPECT_EQ(back->m_rect, p->m_rect);
    EXPECT_EQ(back->GetInertia(0).GetPosition(), p->GetInertia(0).GetPosition());
    EXPECT_EQ(back->GetInertia(1).GetMomentum(), p->GetInertia(1).GetMomentum());
    EXPECT_EQ(back->GetCog(1).GetCurrentFrame(), p->GetCog(1).GetCurrentFrame());
    EXPECT_EQ(back->GetMechTerminal(0)->GetLinkedObject(), back->GetMechTerminal(3));
    ASSERT_NE(back->GetHandle(0), nullptr);
    EXPECT_EQ(Write(back.get(), kCurrentVersion), bytes);

    // Version 3: no friction records; the pair starts at rest with default
    // friction and two fresh handles.
    const std::vector<uint8_t> old = Write(p, 3);
    std::unique_ptr<CTwoCogs> oldBack = ReadBack(old, 3);
    ASSERT_NE(oldBack, nullptr);
    EXPECT_EQ(oldBack->GetCog(1).GetTeeth(), 40);
    EXPECT_EQ(oldBack->GetInertia(0).GetPosition(), 0.0);
    EXPECT_DOUBLE_EQ(oldBack->GetFriction(0).GetCoefficient(), CTwoCogs::kFriction);
    EXPECT_EQ(oldBack->GetCog(0).GetCurrentFrame(), oldBack->GetCog(0).GetRestFrame());
    int handles = 0;
    for (CPart* c = oldBack->GetFirstChild(); c; c = c->GetNextSibling())
        handles += dynamic_cast<CRotateKnob*>(c) != nullptr;
    EXPECT_EQ(handles, 2);
    EXPECT_EQ(oldBack->GetHandle(1)->m_rect.TopLeft(), oldBack->m_rect.TopLeft() + oldBack->GetCog(1).GetMarkerPoint());
}

TEST(TwoCogs, DamagedRecordsFailCleanly)
{
    Bench b;
    CTwoCogs* p = b.AddPair(100, 100, 8, 24);
    const std::vector<uint8_t> bytes = Write(p, kCurrentVersion);
    // Cut short anywhere: an archive error, no crash, nothing leaked.
    for (size_t n = 0; n + 1 < bytes.size(); n += 7) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive ar(cut);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
    // A gear pair of too few terminals stamps nothing and steps without harm.
    CTwoCogs lone;
    lone.PrepareStep();
    CMatrix m;
    ASSERT_TRUE(m.Resize(2));
    lone.Stamp(&m);
    EXPECT_EQ(m.GetLinks().size(), 0u);
    EXPECT_EQ(lone.AfterStep(), 0);
}

TEST(TwoCogs, DrawsItsWheelsTurning)
{
    Bench b;
    CTwoCogs* p = b.AddPair(40, 40, 8, 24);
    b.d.SetOptionBits(0x80 | 0x100000, true);
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 260, 200);
    const QImage rest = RenderDesign(b.d, o);
    b.Drive(p->GetTerminal(1), 2e-7);
    b.Start(20.0);
    b.d.SetOptionBits(OPT_SIMULATE, true);
    std::vector<QImage> seen{rest};
    for (int n = 0; n < 4; ++n) {
        b.d.RunSolverPass();
        const QImage running = RenderDesign(b.d, o);
        for (const QImage& s : seen) EXPECT_NE(running, s) << n;
        seen.push_back(running);
    }
    // Selected, the pair is framed; the catalogue makes it.
    p->m_bSelected = 1;
    EXPECT_NE(RenderDesign(b.d, o), seen.back());
    std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(33921, nullptr, nullptr));
    EXPECT_NE(dynamic_cast<CTwoCogs*>(made.get()), nullptr);
    // Information: the speed over either wheel, with the angle on a wheel.
    CString text;
    const CPoint c1 = p->m_rect.TopLeft() + p->GetCog(0).GetCentre();
    p->BuildInfo(text, 0, c1);
    EXPECT_NE(text.Find(", "), -1) << text;
    p->BuildInfo(text, 0, p->m_rect.TopLeft() + CPoint(p->GetCog(0).GetRect().right - 2, 1));
    EXPECT_EQ(text.Find(", "), -1) << text;
    EXPECT_EQ(p->GetProbeQuantities(0, 0), 480u);
    EXPECT_EQ(p->WheelAt(c1), 0);
    EXPECT_EQ(p->WheelAt(p->m_rect.TopLeft() + p->GetCog(1).GetCentre()), 1);
}

} // namespace
