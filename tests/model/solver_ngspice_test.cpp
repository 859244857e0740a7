// The same linear networks solved by ngspice from a netlist written here:
// node voltages agree to 1e-9 relative.
#include "solver_helpers.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <sstream>

namespace {

std::string Num(double v)
{
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

struct SpiceNet {
    TestNet net;
    std::string cards;
    int loops = 0;  // cells that close a loop (left out of the netlist)
    explicit SpiceNet(uint16_t n) : net(n) {}
};

// Random network: a resistor tree to ground keeps every node tied down for
// ngspice; extra resistors, transconductances, current sources and voltage
// sources (never in a loop) on top.
std::unique_ptr<SpiceNet> MakeNet(uint32_t seed, bool sourceLoops)
{
    std::mt19937 rng(seed);
    auto uni = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    const uint16_t n = static_cast<uint16_t>(3 + rng() % 38);
    auto s = std::make_unique<SpiceNet>(n);
    std::ostringstream cards;
    int id = 0;
    auto resistor = [&](uint16_t a, uint16_t b) {
        double ohms = std::pow(10.0, uni(1, 3));
        s->net.Resistor(a, b, ohms);
        cards << "R" << ++id << " " << a << " " << b << " " << Num(ohms) << "\n";
    };
    for (uint16_t i = 1; i < n; ++i) resistor(i, static_cast<uint16_t>(rng() % i));
    for (int e = 0; e < n; ++e) resistor(static_cast<uint16_t>(rng() % n), static_cast<uint16_t>(rng() % n));
    for (int e = 0; e < n / 3; ++e) {
        uint16_t a = static_cast<uint16_t>(rng() % n), b = static_cast<uint16_t>(rng() % n);
        uint16_t c = static_cast<uint16_t>(rng() % n), d = static_cast<uint16_t>(rng() % n);
        double gm = uni(-1e-3, 1e-3);
        auto ta = s->net.T(a), tb = s->net.T(b), tc = s->net.T(c), td = s->net.T(d);
        s->net.Add([=](CMatrix& m) { m.StampTransfer(gm, 0.0, ta, tb, tc, td); });
        // ngspice's G card: current gm * V(a, b) flows from c through the
        // source to d, i.e. it leaves node c and enters node d.
        cards << "G" << ++id << " " << c << " " << d << " " << a << " " << b << " " << Num(gm) << "\n";
    }
    for (int e = 0; e < n / 4 + 1; ++e) {
        uint16_t c = static_cast<uint16_t>(rng() % n), d = static_cast<uint16_t>(rng() % n);
        double amps = uni(-0.05, 0.05);
        s->net.CurrentSource(c, d, amps);
        cards << "I" << ++id << " " << c << " " << d << " " << Num(amps) << "\n";
    }
    std::vector<int> group(n);
    std::iota(group.begin(), group.end(), 0);
    auto find = [&](int x) {
        while (group[static_cast<size_t>(x)] != x) x = group[static_cast<size_t>(x)];
        return x;
    };
    // With sourceLoops the cells form loops, all consistent: each EMF is the
    // difference of two node potentials.  ngspice cannot take a loop of
    // voltage sources, so it gets only the cells that join separate groups;
    // the others are implied by them.
    std::vector<double> potential(n);
    for (double& p : potential) p = uni(-12, 12);
    const int cells = sourceLoops ? n : n / 3 + 1;
    for (int e = 0; e < cells; ++e) {
        uint16_t p = static_cast<uint16_t>(rng() % n), q = static_cast<uint16_t>(rng() % n);
        const bool joins = find(p) != find(q);
        if (!joins && (!sourceLoops || p == q)) continue;
        double emf = sourceLoops ? potential[p] - potential[q] : uni(-12, 12);
        s->net.Cell(p, q, emf);
        if (!joins) ++s->loops;
        if (joins) {
            group[static_cast<size_t>(find(p))] = find(q);
            cards << "V" << ++id << " " << p << " " << q << " " << Num(emf) << "\n";
        }
    }
    s->cards = cards.str();
    return s;
}

}  // namespace

class SolverAgainstNgspice : public ::testing::TestWithParam<bool> {};

TEST_P(SolverAgainstNgspice, RandomLinearNetworks)
{
    const QString ngspice = QStandardPaths::findExecutable("ngspice");
    if (ngspice.isEmpty()) GTEST_SKIP() << "ngspice is not installed (scripts/setup.sh installs it); comparison skipped";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int compared = 0, loops = 0;
    for (uint32_t seed = 1; seed <= 25; ++seed) {
        auto s = MakeNet(seed, GetParam());
        loops += s->loops;
        ASSERT_TRUE(s->net.Run()) << seed;
        const std::string path = dir.filePath(QString("net%1.cir").arg(seed)).toStdString();
        {
            std::ofstream f(path);
            f << "solver check " << seed << "\n" << s->cards << ".control\nset numdgt=17\nop\nprint";
            for (uint16_t i = 1; i < s->net.nodeCount; ++i) f << " v(" << i << ")";
            f << "\n.endc\n.end\n";
        }
        QProcess p;
        p.start(ngspice, {"-b", QString::fromStdString(path)});
        ASSERT_TRUE(p.waitForFinished(30000)) << seed;
        std::istringstream out(p.readAllStandardOutput().toStdString());
        std::map<int, double> spice;
        for (std::string line; std::getline(out, line);) {
            int node;
            char value[64];
            if (std::sscanf(line.c_str(), " v(%d) = %63s", &node, value) == 2) {
                double v = 0;
                std::from_chars(value, value + std::strlen(value), v);
                spice[node] = v;
            }
        }
        ASSERT_EQ(spice.size(), static_cast<size_t>(s->net.nodeCount - 1)) << "seed " << seed << "\n" << s->cards;
        for (auto [node, v] : spice) {
            double ours = s->net.V(static_cast<uint16_t>(node));
            EXPECT_NEAR(ours, v, 1e-9 * std::max(std::fabs(v), 1e-3)) << "seed " << seed << " node " << node;
            ++compared;
        }
    }
    EXPECT_GT(compared, 300);
    if (GetParam()) {
        EXPECT_GT(loops, 50);
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, SolverAgainstNgspice, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ConsistentSourceLoops" : "NoSourceLoops"; });

// Kirchhoff's current law holds at every node for the currents that the
// read-back reports, links (in loops too) included.
TEST(SolverReadBack, CurrentsBalanceAtEveryNode)
{
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        auto s = MakeNet(seed, true);
        ASSERT_TRUE(s->net.Run()) << seed;
        ASSERT_TRUE(s->net.readBackComplete) << seed;
        std::vector<double> sum(s->net.nodeCount, 0.0), scale(s->net.nodeCount, 0.0);
        for (const auto& t : s->net.terms) {
            sum[t->GetNode()] += t->GetCurrent();
            scale[t->GetNode()] = std::max(scale[t->GetNode()], std::fabs(t->GetCurrent()));
        }
        for (uint16_t k = 1; k < s->net.nodeCount; ++k)
            EXPECT_NEAR(sum[k], 0.0, 1e-12 + 1e-9 * scale[k]) << "seed " << seed << " node " << k;
    }
}
