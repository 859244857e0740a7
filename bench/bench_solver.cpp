// bench-links: wb_model
// Network solver: one re-solve (Clear, stamps, Solve) of RC ladders and of
// a dense random network, the stamps alone, and a whole pass with link merge
// and read-back, and the link merge of many ideal links closing many loops.  Counters: solves per second, the solver's own bytes, and
// the process's peak resident size after the case.
#include "model/solver/matrix.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>
#include <random>
#include <vector>

namespace {

long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// A cell on node 1, then node i joined to node i - 1 by 1 kOhm and to ground
// by a 1 uF capacitor's companion (conductance and history current).
struct Ladder {
    explicit Ladder(uint16_t n) : n(n)
    {
        for (uint16_t i = 0; i < n; ++i) terms.push_back(std::make_unique<CNodeTerminal>(i));
    }
    CSolverTerminal* T(uint16_t i) { return terms[i].get(); }
    void Stamp(CMatrix& m)
    {
        m.AddVoltageSource(5.0, T(1), T(0));
        for (uint16_t i = 2; i < n; ++i) {
            m.StampConductance(1e-3, T(static_cast<uint16_t>(i - 1)), T(i));
            m.StampTransfer(1e-6 / 1e-3, -1e-4 * i, T(i), T(0), T(i), T(0));
        }
    }
    void Begin(CMatrix& m)
    {
        m.Resize(n);
        Stamp(m);
        m.MergeLinks();
        m.Clear();
        Stamp(m);
        m.Solve();
    }
    uint16_t n;
    std::vector<std::unique_ptr<CNodeTerminal>> terms;
};

void Report(benchmark::State& state, const CMatrix& m)
{
    state.counters["solves_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["solver_bytes"] = static_cast<double>(m.GetMemoryBytes());
    state.counters["peak_rss_kB"] = static_cast<double>(PeakRssKb());
}

void BM_LadderResolve(benchmark::State& state)
{
    Ladder l(static_cast<uint16_t>(state.range(0)));
    CMatrix m;
    l.Begin(m);
    for (auto _ : state) {
        m.Clear();
        l.Stamp(m);
        benchmark::DoNotOptimize(m.Solve());
    }
    Report(state, m);
}

void BM_LadderStampsOnly(benchmark::State& state)
{
    Ladder l(static_cast<uint16_t>(state.range(0)));
    CMatrix m;
    l.Begin(m);
    for (auto _ : state) {
        m.Clear();
        l.Stamp(m);
        benchmark::ClobberMemory();
    }
    Report(state, m);
}

void BM_LadderWholePass(benchmark::State& state)
{
    Ladder l(static_cast<uint16_t>(state.range(0)));
    CMatrix m;
    l.Begin(m);
    for (auto _ : state) {
        l.Begin(m);
        m.BeginBranchReadBack();
        l.Stamp(m);
        m.BeginLinkReadBack();
        l.Stamp(m);
        benchmark::DoNotOptimize(m.EndLinkReadBack());
    }
    Report(state, m);
}

void BM_DenseRandomResolve(benchmark::State& state)
{
    const uint16_t n = static_cast<uint16_t>(state.range(0));
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> g(1e-4, 1e-2);
    struct S {
        double g;
        uint16_t a, b;
    };
    std::vector<S> stamps;
    for (uint16_t a = 0; a < n; ++a)
        for (uint16_t b = static_cast<uint16_t>(a + 1); b < n; ++b) stamps.push_back({g(rng), a, b});
    CMatrix m;
    m.Resize(n);
    m.MergeLinks();
    auto stampAll = [&] {
        for (const S& s : stamps) m.StampConductanceNodes(s.g, s.a, s.b);
        m.StampTransferToNodes(0.0, 1e-3, nullptr, nullptr, 0, 1);
    };
    m.Clear();
    stampAll();
    m.Solve();
    for (auto _ : state) {
        m.Clear();
        stampAll();
        benchmark::DoNotOptimize(m.Solve());
    }
    Report(state, m);
}

// Link merge alone: `links` ideal links at random over 40 nodes (as the
// solver fuzz target makes them), each an EMF equal to the difference of two
// fixed node potentials, so every loop closes consistently; hundreds of loops.
void BM_MergeManyLoops(benchmark::State& state)
{
    const uint16_t n = 40;
    const int links = static_cast<int>(state.range(0));
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> node(0, n - 1);
    std::vector<std::unique_ptr<CNodeTerminal>> terms;
    std::vector<double> emf;
    for (int i = 0; i < links; ++i) {
        const int a = node(rng), b = node(rng);
        terms.push_back(std::make_unique<CNodeTerminal>(static_cast<uint16_t>(a)));
        terms.push_back(std::make_unique<CNodeTerminal>(static_cast<uint16_t>(b)));
        emf.push_back(0.25 * (a - b));
    }
    CMatrix m;
    for (auto _ : state) {
        m.Resize(n);
        for (int i = 0; i < links; ++i)
            m.AddVoltageSource(emf[static_cast<size_t>(i)], terms[static_cast<size_t>(2 * i)].get(),
                               terms[static_cast<size_t>(2 * i + 1)].get());
        m.MergeLinks();
        benchmark::DoNotOptimize(m.GetEliminatedCount());
    }
    Report(state, m);
}

}  // namespace

BENCHMARK(BM_MergeManyLoops)->Arg(50)->Arg(300);
BENCHMARK(BM_LadderResolve)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000);
BENCHMARK(BM_LadderStampsOnly)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000);
BENCHMARK(BM_LadderWholePass)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000);
BENCHMARK(BM_DenseRandomResolve)->Arg(100);
