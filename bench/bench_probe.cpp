// bench-links: wb_measure
// What the probes add to a simulation pass: four probes record after every
// pass, each first making sure that its part still stands in the design (a
// walk of the groups, then of the whole part tree).  The design holds n
// two-pin components (each with its two terminals as children) and the
// probes stand on the last one, or on a terminal of it, so the walks visit
// every part.  Compare with bench_step's pass of 200 components.
#include "measure/probe.h"
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"

#include "bench/two_pin_part.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RecordFourProbes(benchmark::State& state)
{
    CCircuit design;
    const int n = static_cast<int>(state.range(0));
    BenchTwoPin* last = nullptr;
    for (int i = 0; i < n; ++i) {
        last = new BenchTwoPin;
        last->Place(&design, 60 * (i % 20), 40 * (i / 20) + 20);
        design.AddChild(last);
    }
    const bool onTerminal = state.range(1) != 0;
    CPart* target = onTerminal ? static_cast<CPart*>(last->GetTerminal(1)) : last;
    CProbe* probes[4];
    for (CProbe*& p : probes) {
        p = new CProbe(&design, onTerminal ? last->GetTerminal(1)->GetOuterEnd() : last->GetRect().CenterPoint());
        design.AddChild(p);
        p->ConnectToPart();
    }
    if (probes[3]->GetProbedPart() != target) state.SkipWithError("the probes found another part");
    int position = 0;
    for (auto _ : state) {
        for (CProbe* p : probes) p->RecordSample(position);
        position = position + 1 < CProbe::kRingSize ? position + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["parts"] = n;
}
BENCHMARK(BM_RecordFourProbes)->ArgsProduct({{20, 200, 1000}, {0, 1}});

} // namespace
