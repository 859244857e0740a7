// The velocity source, the flywheel and the rotational coupling, run in a
// design and checked against hand calculation.
#include "components/component_kit.h"
#include "components/rotateknob.h"
#include "mechanics/flywheel.h"
#include "mechanics/rot_couple.h"
#include "mechanics/two_cogs.h"
#include "mechanics/vel_source.h"
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/components/wire.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"
#include "tests/mechanics/mech_testparts.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

using Rig = MechRig;

void SetLabel(CComponent* part, double value)
{
    CValue* v = ValueLabelOf(part);
    ASSERT_NE(v, nullptr);
    v->SetBaseValue(value);
}

TEST(VelSource, TurnsAFreeShaftAtItsSpeed)
{
    struct Case {
        int direction;
        double rpm, rate;
    };
    for (const Case& k : {Case{1, 60.0, 20.0}, Case{0, 60.0, 20.0}, Case{1, 150.0, 8.0}}) {
        Rig r;
        auto* v = r.Add<CVelSource>(100, 100);
        ASSERT_EQ(v->GetTerminalCount(), 1);
        EXPECT_EQ(v->m_rect, CRect(88, 88, 112, 112));
        SetLabel(v, k.rpm);
        if (k.direction == 1) {
            EXPECT_EQ(v->OnPropertyCommand(CVelSource::kDirection1, ""), 1);
        }
        EXPECT_EQ(v->OnPropertyCommand(k.direction ? CVelSource::kDirection1 : CVelSource::kDirection0, ""), 0);
        int checked = 0;
        EXPECT_EQ(v->IsPropertyChecked(CVelSource::kDirection0 + k.direction, checked), 1);
        r.Start(k.rate);
        const int steps = static_cast<int>(k.rate);
        r.Run(steps);
        // One simulated second: rpm / 60 turns, the sign by the direction.
        const double turns = (k.direction ? 1.0 : -1.0) * k.rpm / 60.0;
        EXPECT_NEAR(v->GetMechTerminal(0)->GetPosition(), 2 * kPi * turns, 1e-9);
        EXPECT_NEAR(v->GetSpeed(), 2 * kPi * turns, 1e-9);
        CString text;
        v->BuildInfo(text, 0, CPoint());
        EXPECT_NE(text.Find("rpm"), -1) << text;
    }
}

TEST(VelSource, HeavyLoadFallsBehindWithoutWindingUp)
{
    // A flywheel of 1000 kg m^2 on a 60 rpm source: the 1000 N m/rad spring
    // cannot keep it up, so it turns slower than set, and the pull never
    // exceeds one step's advance of the target.
    Rig r;
    auto* v = r.Add<CVelSource>(100, 100);
    auto* f = r.Add<CFlywheel>(200, 200);
    SetLabel(v, 60.0);
    v->OnPropertyCommand(CVelSource::kDirection1, "");
    SetLabel(f, 1e6);
    r.Wire(v->GetTerminal(0), f->GetTerminal(0));
    r.Start(20.0);
    const double advance = 2 * kPi / 20.0;
    for (int n = 0; n < 60; ++n) {
        r.d.RunSolverPass();
        EXPECT_NEAR(v->GetTargetAngle(), v->GetLastAngle(), 1e-15);
        EXPECT_LE(v->GetSpeed(), 2 * kPi + 1e-9);
    }
    EXPECT_LT(v->GetSpeed(), 0.5 * 2 * kPi);
    // The flywheel's angle is the source's.
    EXPECT_NEAR(f->GetInertia().GetPosition(), v->GetLastAngle(), 1e-9);
    // Backward Euler by hand for J w' = K (theta_target - theta'):
    // the first step from rest moves K h^2 a / (J + K h^2).
    Rig h;
    auto* v2 = h.Add<CVelSource>(100, 100);
    auto* f2 = h.Add<CFlywheel>(200, 200);
    SetLabel(v2, 60.0);
    v2->OnPropertyCommand(CVelSource::kDirection1, "");
    SetLabel(f2, 1e6);
    h.Wire(v2->GetTerminal(0), f2->GetTerminal(0));
    h.Start(20.0);
    h.d.RunSolverPass();
    const double K = CVelSource::kStiffness, J = 1000.0, step = 1.0 / 20.0;
    EXPECT_NEAR(v2->GetLastAngle(), K * step * step * advance / (J + K * step * step), 1e-12);
}

TEST(Flywheel, TorqueAccelerationAndALabelChangedDuringTheRun)
{
    Rig r;
    auto* f = r.Add<CFlywheel>(100, 100);
    EXPECT_EQ(f->m_rect.Size(), CSize(56, 56));
    ASSERT_EQ(f->GetTerminalCount(), 2);
    auto* s = new CTestShaft;
    s->Place(&r.d, 400, 400);
    r.d.AddChild(s);
    s->m_dTorque = 0.2;
    r.Wire(s->T(), f->GetTerminal(1));
    r.Start(10.0);
    // J = 100 g m^2 = 0.1 kg m^2: backward Euler from rest gives
    // theta_n = T h^2 n (n + 1) / (2 J).
    const double h = 0.1;
    for (int n = 1; n <= 5; ++n) {
        r.d.RunSolverPass();
        EXPECT_NEAR(f->GetInertia().GetPosition(), 0.2 * h * h * n * (n + 1) / (2 * 0.1), 1e-12) << n;
        EXPECT_NEAR(f->GetQuantity(0, 0, 128), 2.0, 1e-9) << n;
    }
    // 400 g m^2 from the next step on: a quarter of the acceleration.
    SetLabel(f, 400.0);
    r.d.RunSolverPass();
    EXPECT_NEAR(f->GetQuantity(0, 0, 128), 0.5, 1e-9);
    EXPECT_NEAR(f->GetQuantity(0, 0, 256), 0.5 * 0.4 * std::pow(f->GetInertia().GetVelocity(), 2), 1e-12);
    // Both ends of the shaft read the wheel's angle.
    EXPECT_NEAR(f->GetMechTerminal(0)->GetPosition(), f->GetMechTerminal(1)->GetPosition(), 1e-12);
    // A label of no inertia is taken as a small one: the shaft stays solvable.
    SetLabel(f, 0.0);
    r.Run(3);
    EXPECT_TRUE(std::isfinite(f->GetInertia().GetPosition()));
}

TEST(Flywheel, TurnedByHand)
{
    Rig r;
    r.d.SetOptionBits(0x80 | 0x100000, true);
    auto* f = r.Add<CFlywheel>(100, 100);
    r.Start(20.0);
    r.d.SetOptionBits(0x80 | 0x100000, true);
    CRotateKnob* k = f->GetHandle();
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->m_rect.TopLeft(), f->m_rect.TopLeft() + f->GetCog().GetMarkerPoint());
    const CPoint c = f->m_rect.CenterPoint();
    k->OnPress(&r.d, c.x + 20, c.y);
    EXPECT_TRUE(f->IsHeld());
    k->OnDrag(&r.d, CPoint(c.x, c.y - 20));
    EXPECT_NEAR(f->GetTargetAngle(), kPi / 2, 1e-12);
    r.Run(400);
    // 57.3 N m/rad on 0.1 kg m^2, backward Euler: settled within 400 steps.
    EXPECT_NEAR(f->GetInertia().GetPosition(), kPi / 2, 1e-3);
    k->OnRelease(&r.d, c.x, c.y - 20);
    EXPECT_FALSE(f->IsHeld());
}

TEST(RotCouple, BothWiresShareOneAngle)
{
    Rig r;
    auto* v = r.Add<CVelSource>(100, 100);
    auto* c = r.Add<CMechRotCouple>(200, 200);
    auto* f = r.Add<CFlywheel>(300, 300);
    ASSERT_EQ(c->GetTerminalCount(), 2);
    EXPECT_EQ(c->m_rect.Size(), CSize(20, 20));
    SetLabel(v, 30.0);
    r.Wire(v->GetTerminal(0), c->GetTerminal(0));
    r.Wire(c->GetTerminal(1), f->GetTerminal(0));
    r.Start(20.0);
    for (int n = 0; n < 10; ++n) {
        r.d.RunSolverPass();
        EXPECT_NEAR(c->GetMechTerminal(0)->GetPosition(), c->GetMechTerminal(1)->GetPosition(), 1e-12);
        EXPECT_NEAR(c->GetMechTerminal(0)->GetVelocity(), c->GetMechTerminal(1)->GetVelocity(), 1e-9);
        EXPECT_NEAR(f->GetInertia().GetPosition(), v->GetLastAngle(), 1e-12);
    }
    EXPECT_LT(v->GetLastAngle(), 0.0) << "direction 0 turns the angle down";
}

TEST(RotaryParts, AVelocitySourceDrivesAGearPair)
{
    // 60 rpm into the left wheel of an 8:24 pair: the right wheel turns a
    // third of a turn the other way in one second.
    Rig r;
    auto* v = r.Add<CVelSource>(100, 100);
    auto* g = r.Add<CTwoCogs>(200, 200);
    ASSERT_EQ(g->ApplySettingsText("8:24", 1), 1);
    SetLabel(v, 60.0);
    v->OnPropertyCommand(CVelSource::kDirection1, "");
    r.Wire(v->GetTerminal(0), g->GetTerminal(1));
    r.Start(20.0);
    r.Run(20);
    EXPECT_NEAR(g->GetInertia(0).GetPosition(), 2 * kPi, 1e-3);
    EXPECT_NEAR(g->GetInertia(1).GetPosition(), -2 * kPi / 3, 1e-3);
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

TEST(RotaryParts, Records)
{
    Rig r;
    auto* v = r.Add<CVelSource>(100, 100);
    auto* f = r.Add<CFlywheel>(200, 200);
    auto* c = r.Add<CMechRotCouple>(300, 300);
    v->OnPropertyCommand(CVelSource::kDirection1, "");
    r.Wire(v->GetTerminal(0), f->GetTerminal(0));
    r.Start(20.0);
    r.Run(7);
    auto vb = RoundTrip(v, kCurrentVersion);
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(vb->GetDirection(), 1);
    EXPECT_EQ(vb->GetLastAngle(), v->GetLastAngle());
    EXPECT_EQ(vb->GetTargetAngle(), v->GetTargetAngle());
    auto fb = RoundTrip(f, kCurrentVersion);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(fb->GetInertia().GetPosition(), f->GetInertia().GetPosition());
    EXPECT_EQ(fb->GetCog().GetCurrentFrame(), f->GetCog().GetCurrentFrame());
    EXPECT_EQ(fb->GetMechTerminal(0)->GetLinkedObject(), fb->GetMechTerminal(1));
    auto cb = RoundTrip(c, kCurrentVersion);
    ASSERT_NE(cb, nullptr);
    EXPECT_EQ(cb->GetTerminalCount(), 2);
    // Version 3: the source holds its direction only and starts at rest;
    // the flywheel starts at rest with one fresh handle.  (The value labels
    // go first: the text parts write their records at the present layout
    // only.)
    for (CComponent* part : {static_cast<CComponent*>(v), static_cast<CComponent*>(f)}) {
        CValue* label = ValueLabelOf(part);
        ASSERT_NE(label, nullptr);
        part->RemoveChild(label);
        delete label;
    }
    auto vo = RoundTrip(v, 3);
    ASSERT_NE(vo, nullptr);
    EXPECT_EQ(vo->GetDirection(), 1);
    EXPECT_EQ(vo->GetLastAngle(), 0.0);
    EXPECT_EQ(vo->GetBaseAngle(), 0.0);
    auto fo = RoundTrip(f, 3);
    ASSERT_NE(fo, nullptr);
    EXPECT_EQ(fo->GetInertia().GetPosition(), 0.0);
    int handles = 0;
    for (CPart* p = fo->GetFirstChild(); p; p = p->GetNextSibling()) handles += dynamic_cast<CRotateKnob*>(p) != nullptr;
    EXPECT_EQ(handles, 1);
    // Cut short: a clean archive error.
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(f);
    std::vector<uint8_t> bytes = out.GetBuffer();
    for (size_t n = 0; n + 1 < bytes.size(); n += 11) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive in(cut);
        in.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete in.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
}

TEST(RotaryParts, DrawAndComeFromTheCatalogue)
{
    Rig r;
    auto* v = r.Add<CVelSource>(40, 40);
    auto* f = r.Add<CFlywheel>(100, 40);
    r.Add<CMechRotCouple>(200, 60);
    SetLabel(v, 120.0);
    v->OnPropertyCommand(CVelSource::kDirection1, "");
    r.Wire(v->GetTerminal(0), f->GetTerminal(0));
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 240, 120);
    const QImage rest = RenderDesign(r.d, o);
    r.Start(20.0);
    r.d.SetOptionBits(OPT_SIMULATE, true);
    std::vector<QImage> seen{rest};
    for (int n = 0; n < 3; ++n) {
        r.d.RunSolverPass();
        const QImage running = RenderDesign(r.d, o);
        for (const QImage& s : seen) EXPECT_NE(running, s) << n;
        seen.push_back(running);
    }
    for (int id : {33914, 33918, 33916, 33920}) {
        std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(id, nullptr, nullptr));
        EXPECT_NE(dynamic_cast<CMechComp*>(made.get()), nullptr) << id;
    }
}

} // namespace

namespace {

// A velocity source driving an 8:24 gear pair whose slow wheel turns a
// flywheel, saved as a design file under the build folder (for looking at
// it in the program) and read back from the file.
TEST(RotaryParts, ADesignOfGearsRoundTripsThroughAFile)
{
    Rig r;
    auto* v = r.Add<CVelSource>(60, 140);
    auto* g = r.Add<CTwoCogs>(120, 60);
    ASSERT_EQ(g->ApplySettingsText("8:24", 1), 1);
    auto* f = r.Add<CFlywheel>(300, 150);
    SetLabel(v, 20.0);
    v->OnPropertyCommand(CVelSource::kDirection1, "");
    r.Wire(v->GetTerminal(0), g->GetTerminal(1));
    r.Wire(g->GetTerminal(0), f->GetTerminal(0));
    r.Start(20.0);
    r.Run(3);
    const QString dir = QString(WB_BUILD_DIR) + "/shots";
    QDir().mkpath(dir);
    const QString path = dir + "/gears.zrn";
    ASSERT_TRUE(SaveDesignFile(r.d, path));
    QString error;
    std::unique_ptr<CCircuit> back = LoadDesignFile(path, &error);
    ASSERT_NE(back, nullptr) << error.toStdString();
    CTwoCogs* gb = nullptr;
    CVelSource* vb = nullptr;
    CFlywheel* fb = nullptr;
    for (CPartIterator it(back.get(), 0); it.GetCurrent(); it.Next()) {
        if (auto* p = dynamic_cast<CTwoCogs*>(it.GetCurrent())) gb = p;
        if (auto* p = dynamic_cast<CVelSource*>(it.GetCurrent())) vb = p;
        if (auto* p = dynamic_cast<CFlywheel*>(it.GetCurrent())) fb = p;
    }
    ASSERT_TRUE(gb && vb && fb);
    EXPECT_EQ(gb->GetCog(1).GetTeeth(), 24);
    EXPECT_EQ(vb->GetDirection(), 1);
    // The read design runs as the saved one: the flywheel on the slow wheel
    // turns a third as fast as the source, the other way.
    back->ResetRun(0);
    back->SetUpdateRate(20.0);
    for (int n = 0; n < 20; ++n) back->RunSolverPass();
    EXPECT_LT(fb->GetInertia().GetVelocity(), 0.0);
    EXPECT_NEAR(gb->GetInertia(1).GetVelocity(), -gb->GetInertia(0).GetVelocity() / 3.0,
                1e-9 * std::fabs(gb->GetInertia(0).GetVelocity()));
}

} // namespace
