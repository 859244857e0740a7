// bench-links: wb_app
// The toolbar strips of the shared bitmap table: every strip of a toolbar
// layout composed from its buttons' pictures (ComposeToolBarStrip), the
// work start-up leaves until after the first paint.
#include "app/shared_bitmaps.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

namespace {

void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_strips";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

void BM_ComposeLayoutStrips(benchmark::State& state)
{
    EnsureApp();
    int strips = 0;
    for (auto _ : state) {
        strips = 0;
        for (const SharedBitmapRow& row : SharedBitmapRows())
            if (const int layout = StripLayout(row.bitmapId)) {
                QImage strip = ComposeToolBarStrip(layout);
                benchmark::DoNotOptimize(strip.constBits());
                ++strips;
            }
    }
    state.counters["strips"] = strips;
}
BENCHMARK(BM_ComposeLayoutStrips)->Unit(benchmark::kMillisecond);

} // namespace
