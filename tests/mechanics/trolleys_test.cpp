// The trolleys on a track, run in a design and checked against the physics
// of a collision worked by hand: momentum m1 u1 + m2 u2 is kept, and the
// velocity of separation is e times the velocity of approach
// (v2 - v1 = e (u1 - u2)); between collisions no force acts, so a trolley
// keeps its velocity (a = F / m = 0) and moves u / r a step.
#include "components/knob.h"
#include "components/resize.h"
#include "mechanics/trolleys.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "model/text/value.h"
#include "platform/archive.h"
#include "platform/strings.h"

#include "tests/mechanics/mech_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Rate 16 steps a second and velocities of eighths keep every position a
// binary fraction, so the step in which the trolleys meet is exact.
constexpr double kRate = 16.0;

struct Track : MechRig {
    CTrolleys* t = nullptr;
    Track()
    {
        t = Add<CTrolleys>(100, 100);
        Start(kRate);
    }
    void Masses(double g1, double g2)
    {
        t->GetMassLabel(0)->SetBaseValue(g1);
        t->GetMassLabel(1)->SetBaseValue(g2);
    }
    // Runs until the step that resolved a collision (at most n steps).
    bool RunToCollision(int n)
    {
        for (int i = 0; i < n; ++i) {
            d.RunSolverPass();
            if (t->WasCollision()) return true;
        }
        return false;
    }
};

TEST(Trolleys, NewTrack)
{
    Track r;
    CTrolleys* t = r.t;
    EXPECT_EQ(t->m_rect.Size(), CSize(474, 28));
    ASSERT_EQ(t->GetTerminalCount(), 1);
    EXPECT_EQ(t->GetTerminal(0)->GetKind(), WIRE_LINEAR);
    EXPECT_EQ(t->GetTerminal(0)->GetPinPoint(), CPoint(105, 114));
    EXPECT_DOUBLE_EQ(t->GetTrackLength(), 0.1); // (474 - 74) / 4000
    EXPECT_EQ(t->GetX(0), 0.0);
    EXPECT_EQ(t->GetX(1), 0.1);
    EXPECT_EQ(t->GetCollisionType(), 0);
    ASSERT_NE(t->GetHandle(0), nullptr);
    ASSERT_NE(t->GetHandle(1), nullptr);
    int grips = 0;
    for (CPart* c = t->GetFirstChild(); c; c = c->GetNextSibling())
        if (dynamic_cast<CResize*>(c)) ++grips;
    EXPECT_EQ(grips, 2);
    for (int i : {0, 1}) {
        ASSERT_NE(t->GetMassLabel(i), nullptr);
        EXPECT_DOUBLE_EQ(t->GetMassLabel(i)->GetValue(), 1000.0);
        EXPECT_DOUBLE_EQ(t->GetMassKg(i), 1.0);
    }
    EXPECT_LT(t->GetMassLabel(0)->m_rect.CenterPoint().x, t->GetMassLabel(1)->m_rect.CenterPoint().x);
    // Drawn: the left trolley at the track's start, the right one a
    // trolley's width past x2 = 0.1 m (400 pixels).
    EXPECT_EQ(t->GetLeftRect(), CRect(105, 102, 137, 126));
    EXPECT_EQ(t->GetRightRect(), CRect(537, 102, 569, 126));
    EXPECT_EQ(t->GetPositionNumber(1).Format(), "100");
    EXPECT_EQ(t->GetProbeQuantities(0, 0), 268u);
}

TEST(Trolleys, FreeTrolleyKeepsItsVelocity)
{
    Track r;
    // Both run right, the right one faster: they part, and each moves u / r
    // a step until the right one reaches the end (0.05 + 6 x 0.0078125).
    r.t->SetMotion(0, 0.0, 0.0625);
    r.t->SetMotion(1, 0.05, 0.125);
    for (int n = 1; n <= 6; ++n) {
        r.d.RunSolverPass();
        ASSERT_EQ(r.t->GetX(0), n * 0.0625 / kRate) << n;
        ASSERT_EQ(r.t->GetX(1), 0.05 + n * 0.125 / kRate) << n;
        ASSERT_EQ(r.t->GetU(0), 0.0625);
        ASSERT_EQ(r.t->GetU(1), 0.125);
        ASSERT_FALSE(r.t->WasCollision());
    }
}

struct CollisionCase {
    double g1, g2;  // masses in grams
    double u1, u2;  // velocities before
    int type;       // 0 elastic, 1 inelastic, 2 semi-elastic
    double v1, v2;  // velocities after, worked by hand
};

TEST(Trolleys, CollisionsKeepMomentumAndRestitution)
{
    const CollisionCase cases[] = {
        // Equal masses, elastic: the velocities are exchanged.
        {1000, 1000, 0.125, 0.0, 0, 0.0, 0.125},
        {1000, 1000, 0.25, -0.125, 0, -0.125, 0.25},
        // Equal masses, inelastic: both leave with the mean velocity.
        {1000, 1000, 0.25, -0.125, 1, 0.0625, 0.0625},
        // Semi-elastic onto a stationary equal mass: u1 / 4 and 3 u1 / 4.
        {1000, 1000, 0.25, 0.0, 2, 0.0625, 0.1875},
        // 2 kg onto 0.5 kg at rest, elastic: v1 = u1 (m1 - m2) / (m1 + m2)
        // = 0.6 u1, v2 = 2 m1 u1 / (m1 + m2) = 1.6 u1.
        {2000, 500, 0.25, 0.0, 0, 0.15, 0.4},
        // 0.5 kg onto 2 kg, inelastic: (0.5 x 0.25) / 2.5 = 0.05.
        {500, 2000, 0.25, 0.0, 1, 0.05, 0.05},
    };
    for (const CollisionCase& c : cases) {
        Track r;
        r.t->OnPropertyCommand(CTrolleys::kCollisionItem, LoadResString(c.type == 0 ? 235 : c.type == 1 ? 237 : 246));
        ASSERT_EQ(r.t->GetCollisionType(), c.type);
        r.Masses(c.g1, c.g2);
        r.t->SetMotion(0, 0.0, c.u1);
        r.t->SetMotion(1, 0.05, c.u2);
        ASSERT_TRUE(r.RunToCollision(100)) << c.g1 << " " << c.u1;
        const double m1 = c.g1 / 1000, m2 = c.g2 / 1000, e = CTrolleys::Restitution(c.type);
        const double v1 = r.t->GetU(0), v2 = r.t->GetU(1);
        EXPECT_NEAR(v1, c.v1, 1e-12);
        EXPECT_NEAR(v2, c.v2, 1e-12);
        EXPECT_NEAR(m1 * v1 + m2 * v2, m1 * c.u1 + m2 * c.u2, 1e-12) << "momentum";
        EXPECT_NEAR(v2 - v1, e * (c.u1 - c.u2), 1e-12) << "restitution";
        if (c.type == 0) {
            EXPECT_NEAR(m1 * v1 * v1 + m2 * v2 * v2, m1 * c.u1 * c.u1 + m2 * c.u2 * c.u2, 1e-12) << "energy";
        }
        // They stand where they met: the meeting point of x1 + u1 t and
        // x2 + u2 t, c = (u1 x2 - u2 x1) / (u1 - u2) for the positions
        // before the step (the left one's a whole number of steps on).
        EXPECT_NEAR(r.t->GetX(0), r.t->GetX(1), 1e-12);
        // One collision is resolved; afterwards they separate (or ride
        // together) and none follows.
        r.Run(3);
        EXPECT_GE(r.t->GetX(1), r.t->GetX(0) - 1e-15);
    }
}

TEST(Trolleys, MeetingPointIsExact)
{
    // Left at 0 with 0.125 m/s, right at rest at 0.05: after 6 steps the
    // left one stands at 6 x 0.0078125 = 0.046875 and would reach 0.0546875,
    // past 0.05, in step 7.  Elastic, equal masses: the left one stops at
    // c = 0.05 and the right one leaves from there at 0.125 m/s.
    Track r;
    r.t->SetMotion(0, 0.0, 0.125);
    r.t->SetMotion(1, 0.05, 0.0);
    r.Run(6);
    EXPECT_FALSE(r.t->WasCollision());
    EXPECT_EQ(r.t->GetX(0), 0.046875);
    r.Run(1);
    EXPECT_TRUE(r.t->WasCollision());
    EXPECT_EQ(r.t->GetX(0), 0.05);
    EXPECT_EQ(r.t->GetX(1), 0.05);
    r.Run(2);
    EXPECT_EQ(r.t->GetX(0), 0.05);
    EXPECT_EQ(r.t->GetX(1), 0.05 + 2 * 0.125 / kRate);
}

TEST(Trolleys, SameVelocityNeverCollides)
{
    Track r;
    r.t->SetMotion(0, 0.0, 0.125);
    r.t->SetMotion(1, 0.0, 0.125);
    for (int n = 0; n < 10; ++n) {
        r.d.RunSolverPass();
        EXPECT_FALSE(r.t->WasCollision());
    }
    EXPECT_EQ(r.t->GetU(0), 0.125);
    EXPECT_EQ(r.t->GetU(1), 0.125);
}

TEST(Trolleys, TrackEndsStopDead)
{
    Track r;
    // Right trolley runs off the right end, left one off the left end.
    r.t->SetMotion(0, 0.01, -0.125);
    r.t->SetMotion(1, 0.09, 0.125);
    r.Run(3);
    EXPECT_EQ(r.t->GetX(0), 0.0);
    EXPECT_EQ(r.t->GetU(0), 0.0);
    EXPECT_EQ(r.t->GetX(1), 0.1);
    EXPECT_EQ(r.t->GetU(1), 0.0);
    r.Run(3);
    EXPECT_EQ(r.t->GetX(0), 0.0);
    EXPECT_EQ(r.t->GetX(1), 0.1);
}

TEST(Trolleys, DraggedByHand)
{
    Track r;
    r.t->SetMotion(1, 0.06, 0.0);
    // The left handle carries the left trolley 0.02 m: it goes there in
    // one step, with the velocity of that move.
    r.t->AccumulateMotion(&r.d, 0, 0, 0.0);
    EXPECT_TRUE(r.t->IsHeld(0));
    r.t->AccumulateMotion(&r.d, 1, 0, 0.02);
    r.d.RunSolverPass();
    EXPECT_EQ(r.t->GetX(0), 0.02);
    EXPECT_EQ(r.t->GetU(0), 0.02 * kRate);
    // Dragged past the right trolley: both touch and stand still.
    r.t->AccumulateMotion(&r.d, 1, 0, 0.07);
    r.d.RunSolverPass();
    EXPECT_EQ(r.t->GetX(0), r.t->GetX(1));
    EXPECT_EQ(r.t->GetU(0), 0.0);
    EXPECT_EQ(r.t->GetU(1), 0.0);
    // Left of the track's start: at the start, at rest.
    r.t->AccumulateMotion(&r.d, 1, 0, -1.0);
    r.d.RunSolverPass();
    EXPECT_EQ(r.t->GetX(0), 0.0);
    r.t->AccumulateMotion(&r.d, 2, 0, 0.0);
    EXPECT_FALSE(r.t->IsHeld(0));
    // The right handle: past the end stops at the end, left of the left
    // trolley puts it against that one.
    r.t->AccumulateMotion(&r.d, 0, 1, 0.0);
    r.t->AccumulateMotion(&r.d, 1, 1, 1.0);
    r.d.RunSolverPass();
    EXPECT_EQ(r.t->GetX(1), 0.1);
    r.t->SetMotion(0, 0.03, 0.0);
    r.t->AccumulateMotion(&r.d, 1, 1, -1.05);
    r.d.RunSolverPass();
    EXPECT_EQ(r.t->GetX(1), 0.03);
    r.t->AccumulateMotion(&r.d, 2, 1, 0.0);
    // The handles ride on their trolleys.
    EXPECT_EQ(r.t->GetHandle(0)->GetAnchor().x, r.t->TrolleyLeft(0) + 13);
    EXPECT_EQ(r.t->GetHandle(1)->GetAnchor().x, r.t->TrolleyLeft(1) + 13);
}

TEST(Trolleys, ResizingTheTrack)
{
    Track r;
    CTrolleys* t = r.t;
    const int left = t->m_rect.left;
    // The right end out by 400 pixels: 0.1 m more track.
    EXPECT_EQ(t->AttachMechanism(469, 400), 1);
    EXPECT_EQ(t->m_rect.Width(), 874);
    EXPECT_DOUBLE_EQ(t->GetTrackLength(), 0.2);
    EXPECT_EQ(t->m_rect.left, left);
    const auto labelX = [&](int i) { return t->GetMassLabel(i)->m_rect.CenterPoint().x; };
    EXPECT_NEAR(labelX(0), left + 874 / 4, 1);
    EXPECT_NEAR(labelX(1), left + 3 * 874 / 4, 1);
    t->SetMotion(1, 0.18, 0.0);
    t->SetMotion(0, 0.15, 0.0);
    // The left end in by 600: clamped at 474 pixels, and both trolleys
    // beyond the new end stand at it.
    EXPECT_EQ(t->AttachMechanism(1, 600), 0);
    EXPECT_EQ(t->m_rect.Width(), 474);
    EXPECT_EQ(t->m_rect.right, left + 874);
    EXPECT_DOUBLE_EQ(t->GetTrackLength(), 0.1);
    EXPECT_EQ(t->GetX(0), 0.1);
    EXPECT_EQ(t->GetX(1), 0.1);
    EXPECT_NEAR(labelX(0), t->m_rect.left + 474 / 4, 1);
    EXPECT_NEAR(labelX(1), t->m_rect.left + 3 * 474 / 4, 1);
    // The terminal went with the left end.
    EXPECT_EQ(t->GetTerminal(0)->GetPinPoint().x, t->m_rect.left + 5);
}

TEST(Trolleys, PropertyToolbar)
{
    Track r;
    CTrolleys* t = r.t;
    CControlItemList items;
    t->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 17);
    EXPECT_EQ(items[0].type, CI_DROPLIST);
    EXPECT_EQ(items[0].label, "Elastic\nInelastic\nSemi-elastic");
    EXPECT_EQ(items[0].width, 76);
    EXPECT_EQ(items[14].label, "m/s");
    EXPECT_EQ(items[15].id, CTrolleys::kLeftTrolley);
    EXPECT_EQ(items[16].id, CTrolleys::kRightTrolley);
    std::vector<int> ids;
    EXPECT_EQ(t->GetPropertyBitmap(ids, nullptr), 2);
    int flag = 0;
    EXPECT_EQ(t->IsPropertyChecked(CTrolleys::kLeftTrolley, flag), 1);
    EXPECT_EQ(t->IsPropertyChecked(CTrolleys::kRightTrolley, flag), 0);

    // The collision type by its text.
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kCollisionItem, "Semi-elastic"), 1);
    EXPECT_EQ(t->GetCollisionType(), 2);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kCollisionItem, "Bouncy"), 0);
    EXPECT_EQ(t->GetCollisionType(), 2);

    // The left trolley: position limited to 0 .. x2 (100 mm).
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kPositionNumber, "40"), 1);
    EXPECT_DOUBLE_EQ(t->GetX(0), 0.04);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kPositionNumber, "250"), 2);
    EXPECT_DOUBLE_EQ(t->GetX(0), 0.1);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kPositionNumber, "30"), 1);
    // Velocity 200 mm/s.
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kVelocityNumber, "200"), 1);
    EXPECT_DOUBLE_EQ(t->GetU(0), 0.2);
    // The mass through the label: 2 kg.
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kMassNumber, "2"), 1);
    EXPECT_DOUBLE_EQ(t->GetMassKg(0), 2.0);
    CControlItemList texts = items;
    EXPECT_EQ(t->GetPropertyTexts(texts), 6);
    EXPECT_EQ(texts[texts.FindById(CTrolleys::kPositionNumber)].label, "30");
    EXPECT_EQ(texts[texts.FindById(CTrolleys::kVelocityNumber)].label, "200");
    EXPECT_EQ(texts[texts.FindById(CTrolleys::kVelocityPrefix)].label, "m");
    EXPECT_EQ(texts[texts.FindById(CTrolleys::kMassNumber)].label, "2");
    EXPECT_EQ(texts[texts.FindById(CTrolleys::kMassPrefix)].label, "k");
    EXPECT_EQ(texts[texts.FindById(CTrolleys::kCollisionItem)].label, "Semi-elastic");

    // The right trolley: position limited to x1 (30 mm) .. L (100 mm).
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kRightTrolley, ""), 0x41);
    EXPECT_EQ(t->GetShownTrolley(), 1);
    EXPECT_EQ(t->IsPropertyChecked(CTrolleys::kRightTrolley, flag), 1);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kPositionNumber, "10"), 2);
    EXPECT_DOUBLE_EQ(t->GetX(1), 0.03);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kPositionNumber, "70"), 1);
    EXPECT_DOUBLE_EQ(t->GetX(1), 0.07);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kPositionSpin, SpinCommandText(1, false)), 1);
    EXPECT_GT(t->GetX(1), 0.07);
    EXPECT_DOUBLE_EQ(t->GetMassKg(1), 1.0);
    EXPECT_EQ(t->OnPropertyCommand(CTrolleys::kVelocityNumber, "-100"), 1);
    EXPECT_DOUBLE_EQ(t->GetU(1), -0.1);
    EXPECT_EQ(t->OnPropertyCommand(36999, ""), 0);
}

TEST(Trolleys, QuantitiesAndInformation)
{
    Track r;
    CTrolleys* t = r.t;
    r.Masses(1000, 500);
    t->SetMotion(0, 0.01, 0.125);
    t->SetMotion(1, 0.08, -0.25);
    const CRect a = t->GetLeftRect(), b = t->GetRightRect();
    EXPECT_EQ(t->GetQuantity(a.left, a.top, 4), 0.01);
    EXPECT_EQ(t->GetQuantity(a.left, a.top, 8), 0.125);
    EXPECT_DOUBLE_EQ(t->GetQuantity(a.left, a.top, 256), 0.5 * 1.0 * 0.125 * 0.125);
    EXPECT_EQ(t->GetQuantity(b.left, b.top, 4), 0.08);
    EXPECT_DOUBLE_EQ(t->GetQuantity(b.left, b.top, 256), 0.5 * 0.5 * 0.25 * 0.25);
    EXPECT_EQ(t->GetQuantity(b.left, b.top, 16), 0.0);
    EXPECT_EQ(t->CanProbeAt(a.left + 3, a.top + 3), 1);
    EXPECT_EQ(t->CanProbeAt(a.right + 3, a.top + 3), 0);
    EXPECT_EQ(t->GetExtent(a.left, a.top), a);
    EXPECT_EQ(t->GetExtent(b.left, b.top), b);
    CString text;
    EXPECT_EQ(t->BuildInfo(text, 0, a.CenterPoint()), 17);
    EXPECT_NE(text.Find("m/s, "), -1) << text;
    EXPECT_EQ(t->BuildInfo(text, 0, b.CenterPoint()), 16);
    t->SetMotion(1, 0.08, 0.0);
    EXPECT_EQ(t->BuildInfo(text, 0, b.CenterPoint()), 13);
}

std::vector<uint8_t> Write(CObject* o)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

std::unique_ptr<CTrolleys> ReadBack(const std::vector<uint8_t>& bytes)
{
    CArchive ar(bytes);
    ar.SetVersion(kCurrentVersion);
    std::unique_ptr<CTrolleys> p(dynamic_cast<CTrolleys*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

TEST(Trolleys, Record)
{
    Track r;
    r.t->OnPropertyCommand(CTrolleys::kCollisionItem, "Inelastic");
    r.t->OnPropertyCommand(CTrolleys::kRightTrolley, "");
    r.t->SetMotion(0, 0.015, 0.125);
    r.t->SetMotion(1, 0.0625, -0.0625);
    r.Masses(1500, 250);
    const std::vector<uint8_t> bytes = Write(r.t);
    std::unique_ptr<CTrolleys> back = ReadBack(bytes);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetX(0), 0.015);
    EXPECT_EQ(back->GetX(1), 0.0625);
    EXPECT_EQ(back->GetU(0), 0.125);
    EXPECT_EQ(back->GetU(1), -0.0625);
    EXPECT_EQ(back->GetCollisionType(), 1);
    EXPECT_EQ(back->GetShownTrolley(), 1);
    EXPECT_DOUBLE_EQ(back->GetMassKg(0), 1.5);
    EXPECT_DOUBLE_EQ(back->GetMassKg(1), 0.25);
    EXPECT_EQ(back->GetTerminalCount(), 1);
    EXPECT_NE(back->GetHandle(0), nullptr);
    EXPECT_NE(back->GetHandle(1), nullptr);
    EXPECT_EQ(back->GetPositionNumber(0).Format(), "15");
    // Written again, the record reads back to itself (a value label's text
    // flags settle on their first reading).
    const std::vector<uint8_t> again = Write(back.get());
    EXPECT_EQ(Write(ReadBack(again).get()), again);

    // Cut short anywhere: an archive error, nothing leaked.
    for (size_t n = 0; n + 1 < bytes.size(); n += 3) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        CArchive ar(cut);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CPart)), CException) << n;
    }
}

TEST(Trolleys, MalformedRecordIsMended)
{
    // The trolleys' own fields: four doubles, a WORD and a DWORD, found by
    // their written values.
    Track r;
    r.t->SetMotion(0, 0.015, 0.125);
    r.t->SetMotion(1, 0.0625, -0.0625);
    std::vector<uint8_t> bytes = Write(r.t);
    const double x1 = 0.015;
    size_t at = 0;
    for (size_t i = 0; i + 8 <= bytes.size(); ++i)
        if (std::memcmp(bytes.data() + i, &x1, 8) == 0) at = i;
    ASSERT_NE(at, 0u);
    const double nan = std::nan("");
    std::memcpy(bytes.data() + at + 8, &nan, 8);
    const WORD type = 9;
    std::memcpy(bytes.data() + at + 32, &type, 2);
    const DWORD shown = 7;
    std::memcpy(bytes.data() + at + 34, &shown, 4);
    std::unique_ptr<CTrolleys> back = ReadBack(bytes);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetX(0), 0.0);
    EXPECT_EQ(back->GetX(1), 0.1);
    EXPECT_EQ(back->GetU(0), 0.0);
    EXPECT_EQ(back->GetCollisionType(), 0);
    EXPECT_EQ(back->GetShownTrolley(), 0);
}

} // namespace
