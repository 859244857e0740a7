// bench-links: wb_movieplayer
// Frames per second of the frame loop when every frame runs 1000 actions:
// 166 counter updates (push, push, get variable, push number, add, set
// variable) plus a stop-free tail, on a 550 x 400 stage with one shape.
#include <benchmark/benchmark.h>

#include "movieplayer/player/headless_player.h"
#include "tests/movieplayer/action_writer.h"

using namespace moviefile_test;

namespace {

Bytes ThousandActionMovie()
{
    ActionWriter a;
    int count = 0;
    for (int i = 0; i < 166; ++i) {
        std::string name(1, 'v');
        name += std::to_string(i % 20);
        a.Push(name).Push(name).Op(0x1C).PushFloat(1.5f).Op(0x0A).Op(0x1D);
        count += 6;
    }
    while (count < 1000) {
        a.Push("x").Op(0x17);
        count += 2;
    }
    MovieWriter w;
    w.frameCount = 2;
    w.Add(DefineRectShape(2, 1, 0, 0, 2000, 2000, 0xFF0000FF));
    Place p;
    p.id = 1;
    w.Add(PlaceObject2(p));
    for (int f = 0; f < 2; ++f) {
        w.Add(a.Tag());
        w.ShowFrame();
    }
    return w.Finish();
}

void BM_ThousandActionsPerFrame(benchmark::State& state)
{
    const Bytes movie = ThousandActionMovie();
    movie::HeadlessPlayer player(550, 400);
    player.OpenMovie("bench.swf");
    player.ServeBytes(movie.data(), movie.size());
    for (auto _ : state) player.Tick(100);
    state.counters["frames_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["actions_per_s"] =
        benchmark::Counter(double(state.iterations()) * 1000, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThousandActionsPerFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
