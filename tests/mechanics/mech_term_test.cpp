// The mechanical terminal: read-back of position, velocity and force, the
// force-mark levels, its states across stopping and resetting, its record,
// and how it draws its slider's travel.
#include "mechanics/mech_comp.h"
#include "mechanics/mech_term.h"
#include "model/parts/part_records.h"
#include "tests/mechanics/mech_testparts.h"

#include <gtest/gtest.h>

#include "tests/model/display_support.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace {

// A running terminal of the kind, standing alone.
std::unique_ptr<CMechTerm> MakeTerm(int kind)
{
    CMechPin pin;
    pin.kind = kind;
    pin.side = 1;
    pin.pin = CPoint(50, 50);
    auto t = std::make_unique<CMechTerm>(pin, 1);
    t->OnSimulationReset();
    return t;
}

TEST(MechTerm, VelocityFromTheMoveAtTheUpdateRate)
{
    auto tp = MakeTerm(WIRE_LINEAR);
    CMechTerm& t = *tp;
    t.AddForce(1.5);
    t.AddForce(0.5);
    t.ReadMotion(0.01, false, 20.0);
    EXPECT_DOUBLE_EQ(t.GetPosition(), 0.01);
    EXPECT_DOUBLE_EQ(t.GetVelocity(), 0.2);
    EXPECT_DOUBLE_EQ(t.GetForce(), 2.0);
    // The accumulator starts again each step.
    t.ReadMotion(0.005, false, 20.0);
    EXPECT_DOUBLE_EQ(t.GetVelocity(), -0.1);
    EXPECT_EQ(t.GetForce(), 0.0);
}

TEST(MechTerm, MarkLevels)
{
    struct Case {
        int kind;
        double force, linked;
        WORD state, level;
    };
    // Linear: b = F; rotational: b = 10 (T + linked T).  Level = int(|b| + 0.505),
    // from 10 on held at 9 with the saturated state.
    const Case cases[] = {
        {WIRE_LINEAR, 0.0, 0.0, MARK_FORWARD, 0},        {WIRE_LINEAR, 9.4, 0.0, MARK_FORWARD, 9},
        {WIRE_LINEAR, 9.6, 0.0, MARK_FORWARD_FULL, 9},   {WIRE_LINEAR, -9.6, 0.0, MARK_BACKWARD_FULL, 9},
        {WIRE_LINEAR, -3.0, 0.0, MARK_BACKWARD, 3},      {WIRE_LINEAR, 2.4, 0.0, MARK_FORWARD, 2},
        {WIRE_ROTATIONAL, 0.96, 0.0, MARK_FORWARD_FULL, 9}, {WIRE_ROTATIONAL, 0.5, 0.46, MARK_FORWARD_FULL, 9},
        {WIRE_ROTATIONAL, 0.2, 0.0, MARK_FORWARD, 2},    {WIRE_ROTATIONAL, -0.2, 0.0, MARK_BACKWARD, 2},
        {WIRE_LINEAR, NAN, 0.0, MARK_BACKWARD_FULL, 9},
    };
    for (const Case& c : cases) {
        auto tp = MakeTerm(c.kind);
    CMechTerm& t = *tp;
        auto otherp = MakeTerm(WIRE_ROTATIONAL);
    CMechTerm& other = *otherp;
        if (c.linked != 0.0) {
            other.AddForce(c.linked);
            other.ReadMotion(0.0, false, 5.0);
            t.SetLinkedObject(&other);
        }
        t.AddForce(c.force);
        t.ReadMotion(0.0, false, 5.0);
        EXPECT_EQ(t.GetMarkState(), c.state) << c.kind << " " << c.force;
        EXPECT_EQ(t.GetMarkLevel(), c.level) << c.kind << " " << c.force;
    }
    // The direction turns below -0.495 only.
    for (auto [force, state] : {std::pair{-0.495, MARK_FORWARD}, std::pair{-0.496, MARK_BACKWARD}}) {
        auto tp = MakeTerm(WIRE_LINEAR);
    CMechTerm& t = *tp;
        t.AddForce(force);
        t.ReadMotion(0.0, false, 5.0);
        EXPECT_EQ(t.GetMarkState(), state) << force;
    }
}

TEST(MechTerm, LinkEndsWithEitherTerminal)
{
    auto ap = MakeTerm(WIRE_ROTATIONAL);
    {
        auto bp = MakeTerm(WIRE_ROTATIONAL);
        ap->SetLinkedObject(bp.get());
        bp->SetLinkedObject(ap.get());
        bp->AddForce(0.3);
        bp->ReadMotion(0.0, false, 5.0);
        ap->ReadMotion(0.0, false, 5.0);
        EXPECT_EQ(ap->GetMarkLevel(), 3);
    }
    // The linked shaft is gone: the marks count this shaft's torque alone.
    EXPECT_EQ(ap->GetLinkedObject(), nullptr);
    ap->AddForce(0.1);
    ap->ReadMotion(0.0, false, 5.0);
    EXPECT_EQ(ap->GetMarkLevel(), 1);
    auto cp = MakeTerm(WIRE_ROTATIONAL);
    cp->SetLinkedObject(ap.get());
    ap.reset();
    EXPECT_EQ(cp->GetLinkedObject(), nullptr);
}

TEST(MechTerm, MarksReportChangesOnly)
{
    auto tp = MakeTerm(WIRE_ROTATIONAL);
    CMechTerm& t = *tp;
    t.m_dForce = 0.3;
    EXPECT_EQ(t.GetMotion(), 1);
    EXPECT_EQ(t.GetMotion(), 0);
    t.SetStyle(1);
    EXPECT_EQ(t.GetMarkState(), MARK_FIXED);
    t.m_dForce = 0.8;
    EXPECT_EQ(t.GetMotion(), 0);
    t.SetStyle(0);
    EXPECT_EQ(t.GetMarkState(), MARK_NONE);
    EXPECT_EQ(t.GetMotion(), 0);
}

TEST(MechTerm, StoppingAndResetting)
{
    auto tp = MakeTerm(WIRE_LINEAR);
    CMechTerm& t = *tp;
    t.AddForce(4.0);
    t.ReadMotion(0.02, false, 5.0);
    t.AddForce(1.0);
    t.OnSimulationStopped();
    EXPECT_TRUE(t.IsStopped());
    EXPECT_EQ(t.GetVelocity(), 0.0);
    EXPECT_EQ(t.GetForce(), 0.0);
    EXPECT_EQ(t.GetCurrent(), 0.0);
    EXPECT_EQ(t.GetMarkState(), MARK_NONE);
    EXPECT_DOUBLE_EQ(t.GetPosition(), 0.02);
    // Nothing reported before the stop reaches the next step.
    t.OnSimulationReset();
    EXPECT_FALSE(t.IsStopped());
    EXPECT_EQ(t.GetMarkState(), MARK_RESET);
    t.ReadMotion(0.02, false, 5.0);
    EXPECT_EQ(t.GetForce(), 0.0);
}

TEST(MechTerm, BrokenOwnerClearsTheMarksOnce)
{
    auto tp = MakeTerm(WIRE_LINEAR);
    CMechTerm& t = *tp;
    t.AddForce(3.0);
    t.ReadMotion(0.0, false, 5.0);
    EXPECT_EQ(t.GetMarkLevel(), 3);
    t.AddForce(3.0);
    EXPECT_NE(t.ReadMotion(0.0, true, 5.0), 0);
    EXPECT_EQ(t.GetMarkState(), MARK_NONE);
    EXPECT_EQ(t.GetMarkLevel(), 0);
    t.AddForce(5.0);
    EXPECT_EQ(t.ReadMotion(0.0, true, 5.0), 0);
    EXPECT_EQ(t.GetMarkLevel(), 0);
    // Repaired: the first read-back only ends the broken state, and the
    // marks stay off until the next reset.
    t.AddForce(5.0);
    t.ReadMotion(0.0, false, 5.0);
    EXPECT_EQ(t.GetMarkState(), MARK_NONE);
    t.OnSimulationReset();
    t.AddForce(5.0);
    t.ReadMotion(0.0, false, 5.0);
    EXPECT_EQ(t.GetMarkLevel(), 5);
}

TEST(MechTerm, PixelsPerMetre)
{
    EXPECT_EQ(MetresToPixels(0.0), 0);
    EXPECT_EQ(MetresToPixels(0.001), 4);
    EXPECT_EQ(MetresToPixels(-0.001), -4);
    EXPECT_EQ(MetresToPixels(0.000125), 1);   // 0.5 pixel rounds up
    EXPECT_EQ(MetresToPixels(-0.000125), 0);  // and -0.5 up to 0
    EXPECT_EQ(MetresToPixels(1e300), 1000000);
    EXPECT_EQ(MetresToPixels(NAN), -1000000);
}

class CSeedDesign : public CPartTree {};

TEST(MechTerm, RecordsRoundTripInAPartTree)
{
    CCircuit d;
    auto* m = new CMechComp;
    m->m_rect.SetRect(300, 95, 341, 106);
    m->m_pCircuit = &d;
    CMechPin shaft;
    shaft.pin = CPoint(320, 105);
    shaft.side = 2;
    shaft.a = CPoint(320, 100);
    shaft.b = CPoint(320, 125);
    shaft.c = CPoint(-5, 90);
    shaft.showRotationMarks = 1;
    CMechTerm* a = m->AddMechTerminal(shaft);
    CMechPin slider;
    slider.kind = WIRE_LINEAR;
    slider.side = 1;
    slider.pin = CPoint(340, 100);
    slider.showForceMarks = 0;
    CMechTerm* b = m->AddMechTerminal(slider);
    a->SetLinkedObject(b);
    b->SetLinkedObject(a);
    a->m_dPosition = 1.25;
    a->m_dVelocity = -3.5;
    a->m_dForce = 0.75;
    d.AddChild(m);
    d.RenumberNodes();

    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    d.SerializeTree(ar);
    const std::vector<uint8_t> first = ar.GetBuffer();

    CSeedDesign back;
    CArchive in(first);
    in.SetVersion(kCurrentVersion);
    back.SerializeTree(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    auto* m2 = dynamic_cast<CMechComp*>(back.m_pComponents->GetFirstChild());
    ASSERT_NE(m2, nullptr);
    EXPECT_EQ(m2->GetPartKind(), 2);
    ASSERT_EQ(m2->GetTerminalCount(), 2);
    CMechTerm* a2 = nullptr;
    CMechTerm* b2 = nullptr;
    for (int i = 0; i < 2; ++i) {
        CMechTerm* t = m2->GetMechTerminal(i);
        ASSERT_NE(t, nullptr);
        (t->GetKind() == WIRE_ROTATIONAL ? a2 : b2) = t;
    }
    ASSERT_TRUE(a2 && b2);
    EXPECT_EQ(a2->GetPosition(), 1.25);
    EXPECT_EQ(a2->GetVelocity(), -3.5);
    EXPECT_EQ(a2->GetForce(), 0.75);
    EXPECT_EQ(a2->m_ptA, CPoint(320, 100));
    EXPECT_EQ(a2->m_ptB, CPoint(320, 125));
    EXPECT_EQ(a2->m_ptC, CPoint(-5, 90));
    EXPECT_EQ(a2->m_wShowRotationMarks, 1);
    EXPECT_EQ(b2->m_wShowForceMarks, 0);
    // The terminal written first cannot name one not written yet; the later
    // one keeps its link.
    EXPECT_TRUE(a2->GetLinkedObject() == b2 || b2->GetLinkedObject() == a2);

    CArchive again;
    again.SetVersion(kCurrentVersion);
    back.SerializeTree(again);
    CSeedDesign third;
    CArchive in3(again.GetBuffer());
    in3.SetVersion(kCurrentVersion);
    third.SerializeTree(in3);
    CArchive last;
    last.SetVersion(kCurrentVersion);
    third.SerializeTree(last);
    EXPECT_EQ(last.GetBuffer(), again.GetBuffer());
}

// A part with a shaft and a slider, written as a part tree.
std::vector<uint8_t> WriteShaftAndSlider(double position)
{
    CCircuit d;
    auto* m = new CMechComp;
    m->m_rect.SetRect(300, 95, 341, 106);
    m->m_pCircuit = &d;
    CMechPin shaft;
    shaft.pin = CPoint(320, 105);
    shaft.side = 2;
    CMechTerm* a = m->AddMechTerminal(shaft);
    CMechPin slider;
    slider.kind = WIRE_LINEAR;
    slider.side = 1;
    slider.pin = CPoint(340, 100);
    CMechTerm* b = m->AddMechTerminal(slider);
    b->SetLinkedObject(a);
    a->m_dPosition = position;
    a->m_dVelocity = position;
    d.AddChild(m);
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    d.SerializeTree(ar);
    return ar.GetBuffer();
}

TEST(MechTerm, ValuesTheSolverCannotCarryLoadAtRest)
{
    const std::vector<uint8_t> bytes = WriteShaftAndSlider(NAN);
    CSeedDesign back;
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    back.SerializeTree(in);
    auto* m = dynamic_cast<CMechComp*>(back.m_pComponents->GetFirstChild());
    ASSERT_NE(m, nullptr);
    for (int i = 0; i < m->GetTerminalCount(); ++i) {
        EXPECT_EQ(m->GetMechTerminal(i)->GetPosition(), 0.0);
        EXPECT_EQ(m->GetMechTerminal(i)->GetVelocity(), 0.0);
    }
}

TEST(MechTerm, DamagedRecordsFailCleanly)
{
    // Every truncation and every byte turned over either loads or raises
    // the archive's error; the sanitizers watch for the rest.
    const std::vector<uint8_t> bytes = WriteShaftAndSlider(0.5);
    auto tryRead = [](const std::vector<uint8_t>& b) {
        CSeedDesign d;
        CArchive in(b);
        in.SetVersion(kCurrentVersion);
        try {
            d.SerializeTree(in);
        } catch (const CArchiveException&) {
        }
    };
    for (size_t n = 0; n < bytes.size(); ++n) tryRead(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::vector<uint8_t> b = bytes;
        b[i] ^= 0xFF;
        tryRead(b);
    }
}

using MechTermDrawing = DisplayTest;

TEST_F(MechTermDrawing, ShaftForceRingFollowsTheOptions)
{
    // A torque of 0.35 N m is level 4 (b = 3.5): five ticks about A, only
    // with option 0x40000 and never with 0x100000.
    CMechPin pin;
    pin.side = 1;
    pin.pin = CPoint(20, 20);
    pin.a = CPoint(20, 20);
    pin.b = CPoint(40, 20);
    pin.c = CPoint(20, 20);
    auto inked = [](CImageView& v) {
        int n = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) n += v.Pixel(x, y) != kWhite;
        return n;
    };
    struct Case {
        DWORD flags;
        bool ring;
    };
    for (const Case& c : {Case{0, false}, Case{0x40000, true}, Case{0x40000 | 0x100000, false}}) {
        CImageView view(40, 40);
        CDisplay display(&view);
        CMechTerm t(pin, 1);
        t.OnSimulationReset();
        t.AddForce(0.35);
        t.ReadMotion(0.0, false, 5.0);
        ASSERT_EQ(t.GetMarkLevel(), 4);
        t.DrawSymbol(c.flags, 0.0);
        EXPECT_EQ(inked(view), c.ring ? 5 * 4 : 0) << c.flags;
    }
}

TEST_F(MechTermDrawing, SliderTravelFollowsThePosition)
{
    // B at (10, 5); a displacement of 1 mm is 4 pixels of travel to the right.
    CImageView view(40, 12);
    CDisplay display(&view);
    CMechPin pin;
    pin.kind = WIRE_LINEAR;
    pin.side = 1;
    pin.pin = CPoint(2, 5);
    pin.a = CPoint(2, 5);
    pin.b = CPoint(10, 5);
    pin.c = CPoint(2, 5);
    pin.showForceMarks = 0;
    CMechTerm t(pin, 1);
    t.OnSimulationReset();
    t.ReadMotion(0.001, false, 5.0);
    t.DrawMarks(0);
    EXPECT_EQ(Row(view, 5, 8, 16), "..####..");
    // Backwards the line runs left of B.
    CDisplay::EraseRect(CRect(0, 0, 40, 12));
    t.ReadMotion(-0.001, false, 5.0);
    t.DrawMarks(0);
    EXPECT_EQ(Row(view, 5, 5, 13), "..####..");
}

} // namespace
