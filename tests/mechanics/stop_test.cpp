// End stops and the plunger: the force law against the stiffness figures,
// the step limiter's tolerances, impact found by the solver's segment
// switching, following a re-based frame, and the records.
#include "mechanics/stop.h"
#include "model/parts/part_records.h"
#include "model/solver/matrix.h"
#include "platform/archive.h"
#include "platform/random15.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// The stop's force (current out of the node) at x, by the segment x lies in.
double ForceAt(CStop& s, double x)
{
    s.SetTried(x);
    s.Update();
    return s.GetSlope() * x + s.GetIntercept();
}

TEST(Stop, ForceLawOfBothHardnesses)
{
    struct Case {
        bool hard;
        int side;
        double limit, past; // how far past the limit, on the blocked side
        double force;       // magnitude of the force there
    };
    // Past the gap the force rises by 1e14 N per metre.
    const Case cases[] = {
        {false, 1, 0.02, 0.0, 0.0},     {false, 1, 0.02, 5e-6, 5.0},     {false, 1, 0.02, 1e-5, 10.0},
        {false, 1, 0.02, 2e-5, 10.0 + 1e14 * 1e-5}, {false, 0, -0.01, 1e-5, 10.0}, {false, 0, -0.01, 4e-6, 4.0},
        {true, 1, 0.5, 1e-6, 100.0},    {true, 1, 0.5, 3e-6, 100.0 + 1e14 * 2e-6}, {true, 0, 0.0, 1e-6, 100.0},
    };
    for (const Case& c : cases) {
        CStop soft;
        CStop2 hard;
        CStop& s = c.hard ? static_cast<CStop&>(hard) : soft;
        s.Set(c.limit, c.side);
        const double sign = c.side ? 1.0 : -1.0;
        const double f = ForceAt(s, c.limit + sign * c.past);
        EXPECT_NEAR(sign * f, c.force, 1e-6 * c.force + 1e-9) << c.hard << " " << c.side << " " << c.past;
        // No force anywhere on the free side (a fresh law: the last switch
        // left the committed value on a breakpoint).
        s.Set(c.limit, c.side);
        EXPECT_EQ(ForceAt(s, c.limit - sign * 0.3), 0.0);
    }
}

TEST(Stop, SidesAndFreeSegments)
{
    CStop s;
    s.SetFromPosition(0.0);
    EXPECT_EQ(s.GetSide(), 1) << "a stop built at 0 is an upper stop";
    EXPECT_EQ(s.GetSegment(), 0);
    EXPECT_FALSE(s.IsEngaged());
    s.SetFromPosition(-0.001);
    EXPECT_EQ(s.GetSide(), 0);
    EXPECT_EQ(s.GetSegment(), 1);
    EXPECT_FALSE(s.IsEngaged());
    // A lower stop built above 0 starts engaged: 0 lies in its steep part.
    s.Set(0.5, 0);
    EXPECT_TRUE(s.IsEngaged());
    s.Reset();
    EXPECT_EQ(s.GetSegment(), 1);
}

TEST(Stop, LimiterTolerances)
{
    struct Case {
        int side;
        double tried;    // relative to L
        int segment;     // segment the stop is put in first (tried there)
        int crossed;
    };
    const double L = 0.01, g = 1e-5;
    const Case cases[] = {
        // Upper stop: entering needs a micrometre past a bound.
        {1, 0.9e-6, 0, 0}, {1, 1.1e-6, 0, 1}, {1, g + 0.9e-6, 2, 0}, {1, g + 1.1e-6, 2, 1},
        // leaving the gap downwards by 1e-14, the steep part by anything.
        {1, -0.5e-14, 2, 0}, {1, -2e-14, 2, 1}, {1, g - 1e-15, 1, 1}, {1, g + 1e-9, 1, 0},
        // Lower stop, mirrored.
        {0, -0.9e-6, 1, 0}, {0, -1.1e-6, 1, 1}, {0, -g - 1.1e-6, 2, 1}, {0, 0.5e-14, 2, 0},
        {0, 2e-14, 2, 1}, {0, -g + 1e-15, 0, 1}, {0, -g - 1e-9, 0, 0},
    };
    for (const Case& c : cases) {
        CStop s;
        s.Set(L, c.side);
        // Put the stop into the case's segment the way the solver does.
        const double inside[] = {c.side ? L - 1e-3 : L - g - 1e-3, c.side ? L + g + 1e-3 : L + 1e-3,
                                 c.side ? L + g / 2 : L - g / 2};
        s.SetTried(inside[c.segment]);
        s.Update();
        ASSERT_EQ(s.GetSegment(), c.segment);
        s.Commit();
        CState* out = nullptr;
        double fraction = 2.0;
        EXPECT_EQ(s.LimitStep(&out, &fraction, L + c.tried), c.crossed) << c.side << " " << c.tried;
        EXPECT_EQ(out != nullptr, c.crossed != 0);
        if (c.crossed) {
            EXPECT_GE(fraction, 0.0);
            EXPECT_LE(fraction, 1.0);
        }
    }
    // The fraction is where the bound lies between committed and tried.
    CStop s;
    s.Set(0.01, 1);
    s.SetTried(0.0);
    s.Commit();
    CState* out = nullptr;
    double fraction = 2.0;
    s.LimitStep(&out, &fraction, 0.04);
    EXPECT_DOUBLE_EQ(fraction, 0.25);
    EXPECT_EQ(out, static_cast<CState*>(&s));
    // A smaller fraction offered before keeps its model.
    CStop other;
    other.Set(0.03, 1);
    other.SetTried(0.0);
    other.Commit();
    other.LimitStep(&out, &fraction, 0.04);
    EXPECT_EQ(out, static_cast<CState*>(&s));
}

TEST(Stop, RestingExactlyOnTheLimitGoesEitherWay)
{
    SeedRand15(12345);
    int gap = 0, steep = 0;
    for (int i = 0; i < 2000; ++i) {
        CStop s;
        s.Set(0.0, 1);
        s.SetTried(0.0);
        s.Commit();
        // The committed value is on L: leaving segment 0 picks 2 or 1.
        s.SetTried(0.001);
        s.Update();
        (s.GetSegment() == 2 ? gap : steep)++;
    }
    EXPECT_GT(gap, 900);
    EXPECT_GT(steep, 900);
}

// One node: a mass m at rest, a constant force F into it and a stop, solved
// step by step with the segment switching of a design's pass.  Returns the
// node values.
std::vector<double> RunAgainstStop(CStop& stop, double m, double f, double r, int steps)
{
    CMass mass;
    mass.SetMass(m);
    CNodeTerminal node(1);
    CMatrix matrix;
    std::vector<double> xs;
    for (int n = 0; n < steps; ++n) {
        mass.Prepare(r, 0);
        EXPECT_TRUE(matrix.Resize(2));
        matrix.MergeLinks();
        for (int pass = 0; pass < 50; ++pass) {
            matrix.Clear();
            mass.StampAt(&matrix, &node);
            stop.StampAt(&matrix, &node);
            matrix.StampTransferToNodes(0.0, -f, nullptr, nullptr, 1, 0);
            EXPECT_TRUE(matrix.Solve());
            CState* limiter = nullptr;
            double fraction = 2.0;
            stop.LimitStep(&limiter, &fraction, matrix.GetValue(1));
            if (!limiter) break;
            limiter->Switch();
        }
        const double x = matrix.GetValue(1);
        mass.Update(x, r, 0);
        stop.SetDelta(x);
        stop.Commit();
        xs.push_back(x);
    }
    return xs;
}

TEST(Stop, ConstantForceRunsIntoTheStopAndIsHeld)
{
    // Backward Euler from rest: x_n = F h^2 n (n + 1) / (2m) until the stop;
    // then the node stands where stop and mass balance F.  With F = 3 N the
    // force is less than g k = 10 N: x = L + F / k, the gap's spring.
    struct Case {
        double f, limit;
        bool hard;
    };
    for (const Case& c : {Case{3.0, 0.05, false}, Case{30.0, 0.05, false}, Case{-2.0, -0.03, true}}) {
        const double m = 0.5, r = 20.0, h = 1.0 / r;
        CStop soft;
        CStop2 hard;
        CStop& s = c.hard ? static_cast<CStop&>(hard) : soft;
        s.Set(c.limit, c.f > 0 ? 1 : 0);
        const std::vector<double> xs = RunAgainstStop(s, m, c.f, r, 200);
        int n = 1;
        for (; n <= 200; ++n) {
            const double free = c.f * h * h * n * (n + 1) / (2.0 * m);
            if (std::fabs(free) >= std::fabs(c.limit)) break;
            EXPECT_NEAR(xs[n - 1], free, 1e-12) << n;
        }
        ASSERT_LT(n, 150) << "the node never reached the stop";
        // Held: force balance within the stop's stiffness.
        const double k = s.GetStiffness(), g = s.GetGap(), a = std::fabs(c.f);
        const double depth = a <= g * k ? a / k : g + (a - g * k) / CStop::kSteepSlope;
        const double sign = c.f > 0 ? 1.0 : -1.0;
        EXPECT_NEAR(xs.back(), c.limit + sign * depth, 1e-9) << c.f;
        EXPECT_TRUE(s.IsEngaged());
        // Never deeper than the gap and a little.
        for (double x : xs) EXPECT_LE(sign * (x - c.limit), g + 1e-6);
    }
}

TEST(Stop, FollowsARebasedFrame)
{
    // The owner re-bases: the node value restarts at 0 and the stop keeps
    // its place relative to the absolute position.
    CStop s;
    s.Set(0.04, 1);
    s.SetOffset(0.02);
    s.ApplyDelta();
    EXPECT_DOUBLE_EQ(s.GetEffectiveLimit(), 0.02);
    s.SetDelta(0.015);
    s.ApplyDelta();
    EXPECT_DOUBLE_EQ(s.GetOffset(), 0.035);
    EXPECT_DOUBLE_EQ(s.GetPending(), 0.0);
    EXPECT_NEAR(s.GetEffectiveLimit(), 0.005, 1e-15);
    EXPECT_FALSE(s.IsEngaged());
    s.MoveLimit(0.01);
    EXPECT_DOUBLE_EQ(s.GetLimit(), 0.05);
    s.ApplyDelta();
    EXPECT_NEAR(s.GetEffectiveLimit(), 0.015, 1e-15);
}

std::vector<uint8_t> Store(CObject& o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    o.Serialize(ar);
    return ar.GetBuffer();
}

TEST(Stop, Records)
{
    CStop s;
    s.Set(0.04, 0);
    s.SetOffset(0.01);
    s.SetDelta(0.002);
    const std::vector<uint8_t> bytes = Store(s, kCurrentVersion);
    EXPECT_EQ(bytes.size(), 3u * 8u);
    CStop back;
    back.Set(9.0, 0);
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    back.Serialize(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(back.GetLimit(), 0.04);
    EXPECT_EQ(back.GetOffset(), 0.01);
    EXPECT_EQ(back.GetPending(), 0.002);
    EXPECT_DOUBLE_EQ(back.GetEffectiveLimit(), 0.03);
    EXPECT_EQ(back.GetSide(), 0) << "the side is the owner's, not the record's";

    // Version 3: no stop data; the stop keeps what its owner set.
    EXPECT_TRUE(Store(s, 3).empty());
    CArchive old;
    old.SetVersion(3);
    CArchive oldIn(old.GetBuffer());
    oldIn.SetVersion(3);
    CStop kept;
    kept.Set(0.25, 1);
    kept.Serialize(oldIn);
    EXPECT_EQ(kept.GetLimit(), 0.25);

    // Not-a-number is passed over; a short record is an archive error.
    CArchive bad;
    bad.SetVersion(kCurrentVersion);
    bad << 0.0 << std::numeric_limits<double>::quiet_NaN() << 1.0;
    CArchive badIn(bad.GetBuffer());
    badIn.SetVersion(kCurrentVersion);
    CStop guarded;
    guarded.Set(0.5, 1);
    guarded.Serialize(badIn);
    EXPECT_EQ(guarded.GetLimit(), 0.5);
    EXPECT_EQ(guarded.GetOffset(), 0.0);
    EXPECT_DOUBLE_EQ(guarded.GetEffectiveLimit(), 0.5);

    std::vector<uint8_t> shortRecord(bytes.begin(), bytes.begin() + 20);
    CArchive shortIn(shortRecord);
    shortIn.SetVersion(kCurrentVersion);
    CStop cut;
    EXPECT_THROW(cut.Serialize(shortIn), CArchiveException);
}

TEST(Plunger, RestsDetachesAndIsCaught)
{
    CPlunger p;
    p.Set(0.0, 1);
    EXPECT_DOUBLE_EQ(p.GetRestPoint(), -1e-7);
    EXPECT_DOUBLE_EQ(p.GetRestPosition(), -1e-7);
    EXPECT_DOUBLE_EQ(p.GetMass().GetBase(), -1e-7);
    // A moving plunger stamps its mass companion and the holding stiffness
    // m towards the rest point.
    const double m = 0.01, r = 100.0;
    EXPECT_TRUE(p.IsMoving());
    p.Prepare(m, r, 0);
    EXPECT_DOUBLE_EQ(p.GetSlope(), 0.0 + m + m * r * r);
    // A new plunger predicted on the free side detaches from its base.
    EXPECT_EQ(p.GetMass().GetBase(), 0.0);
    EXPECT_NEAR(p.GetIntercept(), m * (0.0 - -1e-7) + p.GetMass().GetJ(), 1e-18);
    EXPECT_NEAR(p.GetMass().GetJ(), m * r * r * 1e-7, 1e-18);

    // Caught: the stop engages with the rest position at the limit.
    p.SetTried(1e-5);
    p.Update();
    EXPECT_TRUE(p.IsEngaged());
    EXPECT_FALSE(p.IsMoving());
    EXPECT_DOUBLE_EQ(p.GetRestPosition(), p.GetMass().GetPosition());
    EXPECT_DOUBLE_EQ(p.GetSlope(), p.CStop::GetSlope() + m);
    EXPECT_DOUBLE_EQ(p.GetAcceleration(), 0.0);

    // Resting with a velocity towards the free side: it detaches and moves.
    p.HoldAt(-0.001);
    EXPECT_TRUE(p.IsMoving());
    EXPECT_DOUBLE_EQ(p.GetPosition(), -0.001);
    EXPECT_DOUBLE_EQ(p.GetVelocity(), 0.0);
    EXPECT_DOUBLE_EQ(p.GetAbsolutePosition(), -0.001);
}

TEST(Plunger, Record)
{
    CPlunger p;
    p.Set(0.02, 0);
    p.HoldAt(0.03);
    const std::vector<uint8_t> bytes = Store(p, kCurrentVersion);
    EXPECT_EQ(bytes.size(), 3u * 8u + 4u * 8u + 2u + 4u * 8u);
    CPlunger back;
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    back.Serialize(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(back.GetLimit(), 0.02);
    EXPECT_TRUE(back.IsMoving());
    EXPECT_DOUBLE_EQ(back.GetPosition(), 0.03);
    EXPECT_DOUBLE_EQ(back.GetAbsolutePosition(), 0.03);
}

} // namespace
