// The link merge against its plain reference (MergeLinksReference) on random
// networks of ideal links: chains, stars on ground, dense tangles, parallel
// links and self-loops, with consistent and contradictory ratios and offsets.
// Every node's tree, every link's state and current, the fault, the solution
// and the terminal currents of a whole pass must be equal, bit for bit.
#include "model/solver/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Link {
    uint16_t a, b;
    double ratio, offset;
};

struct Network {
    uint16_t nodes = 0;
    std::vector<Link> links;
};

// Node values the consistent links agree with: value(B) = ratio * value(A) + offset.
Network RandomNetwork(std::mt19937& rng, int shape, double contradictory)
{
    Network net;
    net.nodes = static_cast<uint16_t>(2 + rng() % 39);
    const int count = static_cast<int>(rng() % 400);
    std::vector<double> value(net.nodes);
    for (uint16_t i = 1; i < net.nodes; ++i) value[i] = 0.25 * static_cast<int>(rng() % 41) - 5.0;
    const double ratios[] = {1.0, 1.0, 2.0, 0.5, -1.0, 4.0};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto node = [&] { return static_cast<uint16_t>(rng() % net.nodes); };
    for (int i = 0; i < count; ++i) {
        uint16_t a = node(), b = node();
        if (shape == 0 && i + 1 < net.nodes) {  // a chain first, then loops over it
            a = static_cast<uint16_t>(i);
            b = static_cast<uint16_t>(i + 1);
        } else if (shape == 1 && unit(rng) < 0.5) {  // many links to ground
            a = 0;
        }
        double ratio = ratios[rng() % 6];
        if (rng() % 3 == 0) ratio = 1.0;
        // A consistent link; a node on ground keeps value 0 only in its own
        // tree, so links through node 0 are consistent too.
        double offset = value[b] - ratio * value[a];
        if (ratio != 1.0 && std::fabs(value[a]) > 0.0 && rng() % 2 == 0) {
            // Gears: value(B) = ratio * value(A) only where the values agree.
            offset = 0.0;
            if (value[b] != ratio * value[a]) ratio = 1.0, offset = value[b] - value[a];
        }
        if (unit(rng) < contradictory) {
            if (rng() % 2) offset += 1.0 + static_cast<double>(rng() % 5);
            else ratio *= 3.0;
        }
        if (rng() % 50 == 0) ratio = rng() % 2 ? 0.0 : NAN;  // rejected
        net.links.push_back({a, b, ratio, offset});
    }
    return net;
}

struct Pass {
    CMatrix::Fault mergeFault = CMatrix::Fault::kNone;
    std::vector<uint16_t> depth, root;
    std::vector<double> ratio, offset;
    std::vector<CIdeal> links;
    int eliminated = 0;
    bool solved = false;
    std::vector<double> solution;
    std::vector<CIdeal> readLinks;
    std::vector<double> currents;
    bool readBack = false;
};

Pass RunPass(const Network& net, bool reference)
{
    std::vector<std::unique_ptr<CNodeTerminal>> terms;
    for (const Link& l : net.links) {
        terms.push_back(std::make_unique<CNodeTerminal>(l.a));
        terms.push_back(std::make_unique<CNodeTerminal>(l.b));
    }
    std::vector<std::unique_ptr<CNodeTerminal>> loads;
    for (uint16_t i = 0; i < net.nodes; ++i) loads.push_back(std::make_unique<CNodeTerminal>(i));
    CMatrix m;
    auto declare = [&] {
        for (size_t i = 0; i < net.links.size(); ++i)
            m.AddIdealLink(net.links[i].ratio, net.links[i].offset, terms[2 * i].get(), terms[2 * i + 1].get());
        // Every node loaded to ground, and a current into node 1.
        for (uint16_t i = 1; i < net.nodes; ++i) m.StampConductance(1e-3 * i, loads[i].get(), loads[0].get());
        m.StampTransfer(0.0, 1e-3, loads[0].get(), loads[1].get(), loads[0].get(), loads[1].get());
    };
    Pass p;
    EXPECT_TRUE(m.Resize(net.nodes));
    declare();
    if (reference) m.MergeLinksReference();
    else m.MergeLinks();
    p.mergeFault = m.GetFault();
    for (uint16_t i = 0; i < net.nodes; ++i) {
        p.depth.push_back(m.GetDepth(i));
        p.root.push_back(m.GetRoot(i));
        p.ratio.push_back(m.GetNodeRatio(i));
        p.offset.push_back(m.GetNodeOffset(i));
    }
    p.links = m.GetLinks();
    p.eliminated = m.GetEliminatedCount();
    m.Clear();
    declare();
    p.solved = m.Solve();
    p.solution.assign(m.GetSolution(), m.GetSolution() + net.nodes);
    if (p.solved) {
        m.BeginBranchReadBack();
        declare();
        m.BeginLinkReadBack();
        declare();
        p.readBack = m.EndLinkReadBack();
        p.readLinks = m.GetLinks();
        for (const auto& t : terms) p.currents.push_back(t->GetCurrent());
        for (const auto& t : loads) p.currents.push_back(t->GetCurrent());
    }
    return p;
}

bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

void ExpectSameLinks(const std::vector<CIdeal>& fast, const std::vector<CIdeal>& ref)
{
    ASSERT_EQ(fast.size(), ref.size());
    for (size_t i = 0; i < fast.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fast[i].m_NodeA, ref[i].m_NodeA);
        EXPECT_EQ(fast[i].m_NodeB, ref[i].m_NodeB);
        EXPECT_TRUE(SameBits(fast[i].m_Ratio, ref[i].m_Ratio));
        EXPECT_TRUE(SameBits(fast[i].m_Offset, ref[i].m_Offset));
        EXPECT_TRUE(SameBits(fast[i].m_Current, ref[i].m_Current));
        EXPECT_EQ(fast[i].m_LoopState, ref[i].m_LoopState);
        EXPECT_EQ(fast[i].m_Rejected, ref[i].m_Rejected);
    }
}

}  // namespace

TEST(SolverMerge, EqualsTheReferenceWalkOnRandomNetworks)
{
    std::mt19937 rng(20261211);
    const double contradictory[] = {0.0, 0.01, 0.05, 0.3};
    int loops = 0, inconsistent = 0, cutOrFault = 0;
    for (int round = 0; round < 240; ++round) {
        const int shape = round % 3;
        const Network net = RandomNetwork(rng, shape, contradictory[(round / 3) % 4]);
        SCOPED_TRACE(round);
        const Pass ref = RunPass(net, true);
        const Pass fast = RunPass(net, false);
        EXPECT_EQ(fast.mergeFault, ref.mergeFault);
        EXPECT_EQ(fast.depth, ref.depth);
        EXPECT_EQ(fast.root, ref.root);
        for (uint16_t i = 0; i < net.nodes; ++i) {
            EXPECT_TRUE(SameBits(fast.ratio[i], ref.ratio[i])) << "node " << i;
            EXPECT_TRUE(SameBits(fast.offset[i], ref.offset[i])) << "node " << i;
        }
        ExpectSameLinks(fast.links, ref.links);
        EXPECT_EQ(fast.eliminated, ref.eliminated);
        EXPECT_EQ(fast.solved, ref.solved);
        for (uint16_t i = 0; i < net.nodes; ++i) EXPECT_TRUE(SameBits(fast.solution[i], ref.solution[i])) << "node " << i;
        EXPECT_EQ(fast.readBack, ref.readBack);
        ExpectSameLinks(fast.readLinks, ref.readLinks);
        ASSERT_EQ(fast.currents.size(), ref.currents.size());
        for (size_t i = 0; i < fast.currents.size(); ++i) EXPECT_TRUE(SameBits(fast.currents[i], ref.currents[i]));
        if (HasFailure()) return;
        for (size_t i = 0; i < ref.links.size(); ++i) {
            loops += ref.links[i].m_LoopState == 1;
            inconsistent += ref.links[i].m_LoopState == 2;
            cutOrFault += ref.links[i].m_NodeA != net.links[i].a || ref.links[i].m_NodeB != net.links[i].b;
        }
        cutOrFault += ref.mergeFault != CMatrix::Fault::kNone;
    }
    // The networks reach every kind of loop.
    EXPECT_GT(loops, 1000);
    EXPECT_GT(inconsistent, 100);
    EXPECT_GT(cutOrFault, 20);
}
