// The pulley with its hanging weight: the weight's pull m g against hand
// calculation, the stop at the wheel, lengthening the rope, moving the
// part, its record and its drawing.
#include "components/component_kit.h"
#include "components/resize.h"
#include "mechanics/pulley.h"
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
#include <vector>

namespace {

struct Yard : MechRig {
    // A slider of mass M joined to the pulley's rope.
    CTestSlider* Load(CPulley* p, double mass)
    {
        auto* s = new CTestSlider;
        const CPoint end = p->GetTerminal(0)->GetOuterEnd();
        s->Place(&d, end.x - 140, end.y - 40);
        d.AddChild(s);
        s->m_mass.SetMass(mass);
        Wire(s->T(), p->GetTerminal(0), WIRE_LINEAR, true);
        return s;
    }
};

std::vector<CResize*> Grips(CPart* p)
{
    std::vector<CResize*> out;
    for (CPart* c = p->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) out.push_back(g);
    return out;
}

TEST(Pulley, Layout)
{
    Yard y;
    CPulley* p = y.Add<CPulley>(100, 50);
    EXPECT_EQ(p->m_rect, CRect(100, 50, 125, 246));
    ASSERT_EQ(p->GetTerminalCount(), 1);
    EXPECT_EQ(p->GetTerminal(0)->GetKind(), WIRE_LINEAR);
    EXPECT_EQ(p->GetTerminal(0)->GetPinPoint(), CPoint(108, 50));
    const std::vector<CResize*> grips = Grips(p);
    ASSERT_EQ(grips.size(), 2u);
    EXPECT_EQ(grips[0]->m_anchor, CPoint(20, 191));
    EXPECT_EQ(grips[1]->m_anchor, CPoint(1, 191));
    EXPECT_EQ(grips[0]->m_nMode, CResize::kVertical);
    // A 1 kg weight (1000 g) at the top, under gravity 10: 10 N.
    EXPECT_DOUBLE_EQ(LabelValue(p), 1000.0);
    EXPECT_DOUBLE_EQ(p->GetPull(), 10.0);
    EXPECT_DOUBLE_EQ(p->GetWeight().GetPosition(), 0.0);
    EXPECT_EQ(p->GetStop().GetSide(), 0);
    EXPECT_DOUBLE_EQ(p->GetStop().GetLimit(), 0.0);
    EXPECT_DOUBLE_EQ(p->GetRope().GetKnee(), 1000.0);
    EXPECT_EQ(p->GetKindCode(), 5);
    std::unique_ptr<CObject> made(PartCatalogue::Get().CreateById(33923, nullptr, nullptr));
    EXPECT_NE(dynamic_cast<CPulley*>(made.get()), nullptr);
}

// The weight m pulls a free slider of mass M: one body of m + M under m g,
// a = m g / (m + M).  Backward Euler from rest: x_n = a h^2 n (n + 1) / 2,
// v_n = a h n; the rope's tension is what accelerates the slider, M a.
TEST(Pulley, WeightPullsWithMassTimesGravity)
{
    struct Case {
        double grams, slider, gravity, rate;
    };
    for (const Case& k : {Case{1000, 0.5, 10.0, 20.0}, Case{250, 2.0, 9.81, 50.0}, Case{50, 0.0, 9.81, 10.0}}) {
        Yard y;
        CPulley* p = y.Add<CPulley>(300, 100);
        ValueLabelOf(p)->SetBaseValue(k.grams);
        y.d.m_dGravity = k.gravity;
        CTestSlider* s = y.Load(p, k.slider);
        y.Start(k.rate);
        ASSERT_EQ(s->T()->GetNode(), p->GetTerminal(0)->GetNode());
        const double m = k.grams / 1000.0, h = 1.0 / k.rate;
        EXPECT_DOUBLE_EQ(p->GetPull(), m * k.gravity);
        const double a = m * k.gravity / (m + k.slider);
        for (int n = 1; n <= 20; ++n) {
            y.d.RunSolverPass();
            const double x = a * h * h * n * (n + 1) / 2.0;
            EXPECT_NEAR(p->GetWeight().GetPosition(), x, 1e-9 * x) << k.grams << " step " << n;
            EXPECT_NEAR(p->GetWeight().GetVelocity(), a * h * n, 1e-9 * a * h * n) << n;
            EXPECT_NEAR(s->m_mass.GetPosition(), x, 1e-9 * x) << n;
            EXPECT_NEAR(s->m_mass.GetForce(), k.slider * a, 1e-9 * m * k.gravity) << n;
        }
        EXPECT_FALSE(p->GetStop().IsEngaged());
    }
}

// Pulled up harder than the weight pulls down, the weight rests against
// the wheel: the stop holds it within its gap of 10 um.
TEST(Pulley, WeightStopsAtTheWheel)
{
    Yard y;
    CPulley* p = y.Add<CPulley>(300, 100);
    CTestSlider* s = y.Load(p, 0.1);
    s->m_dForce = -15.0;
    y.Start(20.0);
    y.Run(40);
    EXPECT_TRUE(p->GetStop().IsEngaged());
    EXPECT_LE(p->GetWeight().GetPosition(), 0.0);
    EXPECT_NEAR(p->GetWeight().GetPosition(), 0.0, 2e-5);
    EXPECT_NEAR(p->GetWeight().GetVelocity(), 0.0, 1e-6);
    // Let go, it falls at g: from rest after one step of 0.05 s, v = g h.
    s->m_dForce = 0.0;
    s->m_mass.SetMass(0.0);
    y.Run(1);
    EXPECT_NEAR(p->GetWeight().GetVelocity(), 10.0 * 0.05, 1e-3);
}

TEST(Pulley, UnjoinedRopeIsNotStamped)
{
    Yard y;
    CPulley* p = y.Add<CPulley>(300, 100);
    y.Start(20.0);
    y.Run(10);
    EXPECT_EQ(p->GetWeight().GetPosition(), 0.0);
    EXPECT_EQ(p->GetWeight().GetVelocity(), 0.0);
    EXPECT_EQ(p->GetMechTerminal(0)->GetForce(), 0.0);
}

TEST(Pulley, RopeLengthensAndMovingThePartRaisesTheWeight)
{
    Yard y;
    CPulley* p = y.Add<CPulley>(300, 100);
    CValue* label = ValueLabelOf(p);
    const CRect labelAt = label->m_rect;
    const std::vector<CResize*> grips = Grips(p);
    // Down by 40: the label half as far, the grips' anchors with the bottom.
    EXPECT_EQ(p->AttachMechanism(191, 40), 1);
    EXPECT_EQ(p->m_rect.Height(), 236);
    EXPECT_EQ(label->m_rect.top, labelAt.top + 20);
    for (CResize* g : grips) {
        EXPECT_EQ(g->m_anchor.y, 231);
        EXPECT_EQ(g->m_rect.top, p->m_rect.top + 231 - 4);
    }
    EXPECT_TRUE(p->IsResized());
    // Up past the least height: it stops at 196.
    EXPECT_EQ(p->AttachMechanism(231, -100), 0);
    EXPECT_EQ(p->m_rect.Height(), 196);
    EXPECT_EQ(label->m_rect.top, labelAt.top);

    // The weight falls 5 cm; dropping after the resize keeps it there,
    // moving the part afterwards puts it back at the top at rest.
    y.Load(p, 0.0);
    y.Start(20.0);
    y.Run(2);
    const double fallen = p->GetWeight().GetPosition();
    EXPECT_GT(fallen, 0.01);
    p->Drop(&y.d);
    EXPECT_EQ(p->GetWeight().GetPosition(), fallen);
    EXPECT_FALSE(p->IsResized());
    p->Drop(&y.d);
    EXPECT_EQ(p->GetWeight().GetPosition(), 0.0);
    EXPECT_EQ(p->GetWeight().GetMomentum(), 0.0);
    EXPECT_DOUBLE_EQ(p->GetStop().GetEffectiveLimit(), 0.0);
}

std::vector<uint8_t> Write(CObject* o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

std::unique_ptr<CPulley> ReadBack(const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    std::unique_ptr<CPulley> p(dynamic_cast<CPulley*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

TEST(Pulley, Records)
{
    Yard y;
    CPulley* p = y.Add<CPulley>(300, 100);
    ASSERT_EQ(p->AttachMechanism(191, 24), 1);
    ValueLabelOf(p)->SetBaseValue(200.0);
    y.Load(p, 0.3);
    y.Start(20.0);
    y.Run(3);
    const std::vector<uint8_t> bytes = Write(p, kCurrentVersion);
    std::unique_ptr<CPulley> back = ReadBack(bytes, kCurrentVersion);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_rect, p->m_rect);
    EXPECT_EQ(back->GetTerminalCount(), 1);
    EXPECT_EQ(back->GetWeight().GetPosition(), p->GetWeight().GetPosition());
    EXPECT_EQ(back->GetWeight().GetMomentum(), p->GetWeight().GetMomentum());
    EXPECT_EQ(back->GetStop().GetOffset(), p->GetStop().GetOffset());
    EXPECT_DOUBLE_EQ(LabelValue(back.get()), 200.0);
    EXPECT_EQ(Grips(back.get()).size(), 2u);
    EXPECT_TRUE(back->IsResized()) << "a part read back keeps its weight when dropped";
    // Written again and read back once more, nothing changes.
    const std::vector<uint8_t> again = Write(back.get(), kCurrentVersion);
    EXPECT_EQ(again.size(), bytes.size());
    EXPECT_EQ(Write(ReadBack(again, kCurrentVersion).get(), kCurrentVersion), again);

    // Cut short anywhere: an archive error, nothing leaked.
    for (size_t n = 0; n + 1 < bytes.size(); n += 5) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive ar(cut);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
    // The last three doubles are the stop's; before them the weight's m, x,
    // base and momentum.  A momentum that is not a number restarts it.
    std::vector<uint8_t> bad = bytes;
    const double nan = std::nan("");
    std::memcpy(bad.data() + bad.size() - 32, &nan, 8);
    std::unique_ptr<CPulley> mended = ReadBack(bad, kCurrentVersion);
    ASSERT_NE(mended, nullptr);
    EXPECT_EQ(mended->GetWeight().GetPosition(), 0.0);
    EXPECT_EQ(mended->GetWeight().GetMomentum(), 0.0);
}

QImage DrawPulley(CPulley* p, DWORD flags)
{
    CImageView view(200, 400);
    {
        CDisplay display(&view);
        p->DrawMoving(1, flags);
    }
    return view.Image().copy();
}

TEST(Pulley, DrawsTheWeightWhereItHangs)
{
    CDisplay::ResetForTest();
    Yard y;
    CPulley* p = y.Add<CPulley>(10, 10);
    auto ink = [](const QImage& image, int x, int yy) { return (image.pixel(x, yy) & 0xFFFFFF) != 0xFFFFFF; };
    const QImage rest = DrawPulley(p, 0);
    EXPECT_EQ(p->WeightTop(), 10 + 17);
    // The weight's bottom edge 15 pixels below its top, across its middle.
    EXPECT_TRUE(ink(rest, 10 + 5 + 8, 10 + 17 + 15));
    EXPECT_FALSE(ink(rest, 10 + 5 + 8, 10 + 17 + 40));
    y.Load(p, 0.0);
    y.Start(20.0);
    y.Run(1);
    // One step of 0.05 s at g from rest: 0.025 m, 100 pixels down.
    EXPECT_NEAR(p->GetWeight().GetPosition(), 0.025, 1e-12);
    EXPECT_EQ(p->WeightTop(), 10 + 17 + 100);
    const QImage fallen = DrawPulley(p, 0x4);
    EXPECT_TRUE(ink(fallen, 10 + 5 + 8, 10 + 117 + 15));
    EXPECT_FALSE(ink(fallen, 10 + 5 + 8, 10 + 17 + 15));
    // Past the part's bottom (196 pixels = 0.049 m) the weight is gone and
    // the rope reaches the bottom.
    y.Run(1);
    EXPECT_GT(p->GetWeight().GetPosition(), 0.049);
    EXPECT_FALSE(p->IsWeightShown());
    const QImage gone = DrawPulley(p, 0x4);
    EXPECT_TRUE(ink(gone, 10 + 12, 10 + 190));
    CDisplay::ResetForTest();
}

} // namespace
