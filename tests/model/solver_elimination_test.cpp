// The fast elimination against the plain dense one, bit for bit, on random
// networks with merged nodes, floating nodes, unsymmetric transfers and
// stamps that appear only in later rounds.
#include "solver_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

struct StampRecord {
    double g, i0;
    uint16_t a, b, c, d;
    int round;  // first round in which the stamp is made
};

struct RandomNet {
    uint16_t n = 0;
    std::vector<StampRecord> stamps;
    std::vector<std::unique_ptr<CNodeTerminal>> terms;
    struct LinkRecord {
        double ratio, offset;
        CNodeTerminal *a, *b;
    };
    std::vector<LinkRecord> links;
};

RandomNet MakeNet(uint32_t seed)
{
    std::mt19937 rng(seed);
    auto uni = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    RandomNet net;
    net.n = static_cast<uint16_t>(2 + rng() % 60);
    auto node = [&] { return static_cast<uint16_t>(rng() % net.n); };
    const int elements = 1 + static_cast<int>(rng() % (3u * net.n));
    for (int e = 0; e < elements; ++e) {
        StampRecord s{};
        s.round = rng() % 5 == 0 ? 1 : 0;
        switch (rng() % 4) {
        case 0:
        case 1:  // conductance, sometimes 0, sometimes huge
            s.a = s.c = node();
            s.b = s.d = node();
            s.g = rng() % 10 == 0 ? 0.0 : std::pow(10.0, uni(-6, 6));
            break;
        case 2:  // transfer (unsymmetric)
            s.a = node(), s.b = node(), s.c = node(), s.d = node();
            s.g = uni(-1, 1);
            s.i0 = uni(-1, 1);
            break;
        default:  // current source
            s.a = s.b = 0;
            s.c = node(), s.d = node();
            s.i0 = uni(-0.1, 0.1);
            break;
        }
        net.stamps.push_back(s);
    }
    const int links = static_cast<int>(rng() % (net.n / 2 + 1));
    for (int l = 0; l < links; ++l) {
        net.terms.push_back(std::make_unique<CNodeTerminal>(node()));
        CNodeTerminal* a = net.terms.back().get();
        net.terms.push_back(std::make_unique<CNodeTerminal>(node()));
        CNodeTerminal* b = net.terms.back().get();
        double ratio = rng() % 3 == 0 ? uni(0.2, 3.0) : 1.0;
        double offset = rng() % 2 ? uni(-5, 5) : 0.0;
        net.links.push_back({ratio, offset, a, b});
    }
    return net;
}

void StampRound(CMatrix& m, const RandomNet& net, int round)
{
    for (const auto& s : net.stamps)
        if (s.round <= round) m.Stamp(s.g, s.i0, s.a, s.b, s.c, s.d, nullptr, nullptr);
}

void ExpectSameBits(const CMatrix& m, const std::vector<double>& reference, uint32_t seed, int round)
{
    ASSERT_EQ(reference.size(), m.GetSize());
    EXPECT_EQ(std::memcmp(reference.data(), m.GetSolution(), reference.size() * sizeof(double)), 0)
        << "seed " << seed << " round " << round;
}

}  // namespace

TEST(SolverElimination, FastPathMatchesDenseBitForBit)
{
    int compared = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        RandomNet net = MakeNet(seed);
        CMatrix m;
        ASSERT_TRUE(m.Resize(net.n));
        for (const auto& l : net.links) m.AddIdealLink(l.ratio, l.offset, l.a, l.b);
        m.MergeLinks();
        for (int round = 0; round < 3; ++round) {
            // Odd seeds solve the fast way first, so that new positions reach
            // the fast path through its queue rather than a finished structure.
            const bool fastFirst = seed % 2 == 1;
            bool firstOk, secondOk;
            m.Clear();
            StampRound(m, net, round);
            firstOk = fastFirst ? m.Solve() : m.SolveReference();
            std::vector<double> first(m.GetSolution(), m.GetSolution() + net.n);
            m.Clear();
            StampRound(m, net, round);
            secondOk = fastFirst ? m.SolveReference() : m.Solve();
            ASSERT_EQ(firstOk, secondOk) << "seed " << seed;
            if (!secondOk) continue;
            ExpectSameBits(m, first, seed, round);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
}

TEST(SolverElimination, StructureIsLearntOnceAndReused)
{
    // A ladder: after the first round no stamp misses its slot and the store
    // holds the tridiagonal band only.
    const uint16_t n = 200;
    CMatrix m;
    ASSERT_TRUE(m.Resize(n));
    m.MergeLinks();
    for (int round = 0; round < 3; ++round) {
        m.Clear();
        for (uint16_t i = 1; i < n; ++i) {
            m.StampConductanceNodes(1.0, i, static_cast<uint16_t>(i - 1));
            m.StampConductanceNodes(0.5, i, 0);
        }
        m.StampTransferToNodes(0.0, 1.0, nullptr, nullptr, 0, 1);
        ASSERT_TRUE(m.Solve());
    }
    EXPECT_EQ(m.GetStoredCount(), static_cast<size_t>(3 * (n - 1) - 2));
}
