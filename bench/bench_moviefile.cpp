// bench-links: wb_movieplayer
// Frames per second of a shape-heavy movie frame drawn through the whole
// engine (display list, outline walks, edge building, rasteriser) at two
// stage sizes, with and without anti-aliasing.
#include <benchmark/benchmark.h>

#include <cmath>

#include "movieplayer/render/movie_renderer.h"
#include "tests/movieplayer/moviefile_writer.h"

using namespace moviefile_test;

namespace {

// 400 round blobs of eight quadratic curves each, radius 10-60 px, a third
// of them half transparent and a quarter outlined, scattered over a
// 550 x 400 px stage.
Bytes ShapeHeavyMovie()
{
    MovieWriter w;
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    for (int i = 0; i < 400; ++i) {
        int32_t r = int32_t(200 + next() % 1000);   // twips
        bool alpha = i % 3 == 0, outline = i % 4 == 0;
        BitWriter s;
        s.UI16(uint32_t(i + 1));
        WriteRect(s, -r, r, -r, r);
        WriteStyleCount(s, 1);
        uint32_t rgba = (next() << 16 | next()) | 0xFF;
        if (alpha) rgba = (rgba & 0xFFFFFF00u) | 0x80;
        WriteSolidFill(s, rgba, true);
        WriteStyleCount(s, outline ? 1 : 0);
        if (outline) WriteLineStyle(s, 40, 0x000000FF, true);
        WriteIndexBits(s, 1, outline ? 1 : 0);
        StyleChange sc;
        sc.move = true;
        sc.x = r;
        sc.y = 0;
        sc.fill1 = 1;
        if (outline) sc.line = 1;
        WriteStyleChange(s, sc, 1, outline ? 1 : 0);
        // Eight 45-degree arcs: control point at r / cos(22.5°).
        double rc = r / std::cos(M_PI / 8);
        double px = r, py = 0;
        for (int k = 0; k < 8; ++k) {
            double am = (k + 0.5) * M_PI / 4, ae = (k + 1) * M_PI / 4;
            int32_t cx = int32_t(std::lround(rc * std::cos(am))), cy = int32_t(std::lround(rc * std::sin(am)));
            int32_t ex = int32_t(std::lround(r * std::cos(ae))), ey = int32_t(std::lround(r * std::sin(ae)));
            WriteCurve(s, cx - int32_t(px), cy - int32_t(py), ex - cx, ey - cy);
            px = ex;
            py = ey;
        }
        WriteEndShape(s);
        w.Add(Tag(32, s.Take()));
        Matrix at = Matrix::Translate(int32_t(next() % 11000), int32_t(next() % 8000));
        Place p;
        p.depth = uint16_t(i + 1);
        p.id = i + 1;
        p.matrix = &at;
        w.Add(PlaceObject2(p));
    }
    w.ShowFrame();
    return w.Finish();
}

void DrawFrame(benchmark::State& state)
{
    static const Bytes movie = ShapeHeavyMovie();
    int width = int(state.range(0)), height = int(state.range(1));
    bool aa = state.range(2) != 0;
    movie::MovieRenderer r;
    r.Load(movie.data(), movie.size());
    r.SetSize(width, height, aa);
    r.Seek(0);
    for (auto _ : state) {
        r.Draw(true);
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(aa ? "anti-aliased" : "aliased");
}

}  // namespace

BENCHMARK(DrawFrame)
    ->Args({550, 400, 0})
    ->Args({550, 400, 1})
    ->Args({1024, 768, 0})
    ->Args({1024, 768, 1})
    ->Unit(benchmark::kMillisecond);
