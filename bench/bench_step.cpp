// bench-links: wb_model
// The simulation pass of a whole design: 200 components (a sine cell, a
// ladder of 99 series resistors, and at every rung a shunt that is a
// resistor or a diode) joined terminal to terminal, run pass after pass
// through CCircuit::RunSolverPass.  The cell's EMF follows a sine of 50
// passes, so the diodes change segment and the re-solve loop works on every
// pass.  Counters: passes per second, re-solves per pass, the solver's bytes
// and the process's peak resident size.
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/solver/diode_model.h"

#include "bench/two_pin_part.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <numbers>

namespace {

long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

class BenchResistor : public BenchTwoPin {
public:
    void Stamp(CMatrix* m) override { m->StampConductance(m_g, A(), B()); }
    double m_g = 1e-3;
};

class BenchCell : public BenchTwoPin {
public:
    void PrepareStep() override
    {
        m_emf = 5.0 * std::sin(2.0 * std::numbers::pi * m_step / 50.0);
        ++m_step;
    }
    void Stamp(CMatrix* m) override { m->AddVoltageSource(m_emf, A(), B()); }
    int GetKindCode() override { return 1; }
    double m_emf = 0.0;
    long m_step = 0;
};

class BenchDiode : public BenchTwoPin {
public:
    void Stamp(CMatrix* m) override
    {
        m->StampTransfer(m_model.GetSlope(), m_model.GetIntercept(), A(), B(), A(), B());
    }
    void LimitStep(CState** out, double* fraction, const double* v) override
    {
        m_model.LimitStep(out, fraction, v[A()->GetNode()] - v[B()->GetNode()]);
    }
    int AfterStep() override
    {
        m_model.Commit();
        return CComponent::AfterStep();
    }
    CDiodeModel m_model;
};

// Joins the outer ends of two terminals.
void Join(CTerminal* a, CTerminal* b) { CWire::Join(a, a->GetOuterEndIndex(), b, b->GetOuterEndIndex()); }

// Terminals of several parts on one point: each joins the first.
struct Net {
    CTerminal* first = nullptr;
    void Add(CTerminal* t)
    {
        if (!first)
            first = t;
        else if (!t->GetLink(t->GetOuterEndIndex()))
            Join(first, t);
        else
            CWire::Join(first, first->GetOuterEndIndex() ^ 1, t, t->GetOuterEndIndex());
    }
};

void BuildLadder(CCircuit& d, int rungs)
{
    auto* cell = new BenchCell;
    cell->Place(&d, 0, 0);
    d.AddChild(cell);
    // Ground: the cell's negative pole and every shunt's lower end.
    std::vector<CTerminal*> ground{cell->B()};
    CTerminal* top = cell->A();
    for (int k = 0; k < rungs; ++k) {
        auto* r = new BenchResistor;
        r->Place(&d, 100 * (k + 1), 0);
        d.AddChild(r);
        BenchTwoPin* shunt = nullptr;
        if (k % 2) {
            shunt = new BenchDiode;
        } else {
            auto* rs = new BenchResistor;
            rs->m_g = 1.0 / 4700.0;
            shunt = rs;
        }
        shunt->Place(&d, 100 * (k + 1), 200);
        d.AddChild(shunt);
        // The series resistor's A end meets the previous node and the shunt's A.
        Join(top, r->A());
        CWire::Join(r->A(), r->A()->GetOuterEndIndex() ^ 1, shunt->A(), shunt->A()->GetOuterEndIndex());
        top = r->B();
        ground.push_back(shunt->B());
    }
    // One more shunt at the far end completes the 200 parts.
    auto* last = new BenchResistor;
    last->Place(&d, 100 * (rungs + 1), 200);
    d.AddChild(last);
    Join(top, last->A());
    ground.push_back(last->B());
    // Chain the ground terminals through their inner ends' link words.
    for (size_t i = 1; i < ground.size(); ++i)
        CWire::Join(ground[i - 1], ground[i - 1]->GetOuterEndIndex() ^ 1, ground[i], ground[i]->GetOuterEndIndex());
    d.RenumberNodes();
}

void BM_DesignPass(benchmark::State& state)
{
    CCircuit d;
    BuildLadder(d, 99);
    long resolves = 0;
    long passes = 0;
    for (auto _ : state) {
        d.RunSolverPass();
        resolves += d.GetLastPassResolves();
        ++passes;
    }
    int parts = 0;
    for (CPart* p = d.m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) ++parts;
    state.counters["parts"] = parts;
    state.counters["nodes"] = d.GetNodeCount();
    state.counters["passes_per_s"] = benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kIsRate);
    state.counters["resolves_per_pass"] = passes ? static_cast<double>(resolves) / passes : 0.0;
    state.counters["solver_bytes"] = static_cast<double>(d.GetMatrix().GetMemoryBytes());
    state.counters["peak_rss_kb"] = static_cast<double>(PeakRssKb());
}
BENCHMARK(BM_DesignPass)->Iterations(10000)->Unit(benchmark::kMicrosecond);

} // namespace
