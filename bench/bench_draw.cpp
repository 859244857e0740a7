// bench-links: wb_components
// A full redraw of a 200-part design into a 1280 x 800 view, as the canvas
// paints: one drawing scope on the view, the view erased, the design's
// DrawTree.  The design is ten rows of twenty real parts (resistors,
// capacitors, diodes, LEDs and fuses, each with its value label) joined end
// to end, the rows' ends wired together, so 400 terminals, 200 labels and
// the wires are drawn as well.  Goal: at most 5 ms per redraw.
#include "components/capacitor.h"
#include "components/diode.h"
#include "components/fuse.h"
#include "components/led.h"
#include "components/resistor.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/display/display.h"
#include "model/display/view.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_draw";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

template <class T>
CComponent* Place(CCircuit& d, int x, int y)
{
    auto* p = new T;
    p->m_rect.SetRect(x, y, x, y);
    p->m_pCircuit = &d;
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    return p;
}

// One part of the row's kind at column c, moved so that its left terminal's
// outer end stands at (x, y).
CComponent* PartAt(CCircuit& d, int kind, int x, int y)
{
    CComponent* p = nullptr;
    switch (kind % 5) {
    case 0: p = Place<CResistor>(d, 0, 0); break;
    case 1: p = Place<CCapacitor>(d, 0, 0); break;
    case 2: p = Place<CDiode>(d, 0, 0); break;
    case 3: p = Place<CLED>(d, 0, 0); break;
    default: p = Place<CFuse>(d, 0, 0); break;
    }
    CTerminal* left = p->GetTerminal(0);
    for (int i = 0; i < p->GetTerminalCount(); ++i)
        if (p->GetTerminal(i)->GetOuterEnd().x < left->GetOuterEnd().x) left = p->GetTerminal(i);
    const CPoint end = left->GetOuterEnd();
    p->Offset(x - end.x, y - end.y);
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

struct DrawBench {
    CCircuit d;
    int parts = 0;
    DrawBench()
    {
        EnsureApp();
        d.CreateMissingGroups();
        d.SetOptionBits(OPT_SIMULATE, true);
        for (int row = 0; row < 10; ++row) {
            const int y = 40 + row * 76;
            int x = 16;
            for (int c = 0; c < 20; ++c) {
                CComponent* p = PartAt(d, c + row, x, y);
                CTerminal* right = p->GetTerminal(0);
                for (int i = 0; i < p->GetTerminalCount(); ++i)
                    if (p->GetTerminal(i)->GetOuterEnd().x > right->GetOuterEnd().x) right = p->GetTerminal(i);
                x = right->GetOuterEnd().x;
                ++parts;
            }
            // The row's ends wired down to the next row.
            auto* w = new CWire(CPoint(x, y), CPoint(x, y + 76));
            d.AddChild(w);
            w->Drop(&d);
        }
        d.ResetRun(0);
    }
};

void BM_FullRedraw(benchmark::State& state)
{
    DrawBench bench;
    CImageView view(1280, 800);
    for (auto _ : state) {
        CDisplay display(&view);
        CDisplay::EraseRect(CRect(0, 0, 1280, 800));
        bench.d.DrawTree(bench.d.GetRedrawFlags());
        benchmark::DoNotOptimize(view.Image().constBits());
    }
    state.counters["parts"] = bench.parts;
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

// The parts' own share: DrawTree over a view that is not erased first.
void BM_DrawTreeOnly(benchmark::State& state)
{
    DrawBench bench;
    CImageView view(1280, 800);
    for (auto _ : state) {
        CDisplay display(&view);
        bench.d.DrawTree(bench.d.GetRedrawFlags());
        benchmark::DoNotOptimize(view.Image().constBits());
    }
}
BENCHMARK(BM_DrawTreeOnly)->Unit(benchmark::kMillisecond);

// Erasing the whole view alone (the drawing layer's brush fill).
void BM_EraseOnly(benchmark::State& state)
{
    EnsureApp();
    CImageView view(1280, 800);
    for (auto _ : state) {
        CDisplay display(&view);
        CDisplay::EraseRect(CRect(0, 0, 1280, 800));
        benchmark::DoNotOptimize(view.Image().constBits());
    }
}
BENCHMARK(BM_EraseOnly)->Unit(benchmark::kMillisecond);

} // namespace
