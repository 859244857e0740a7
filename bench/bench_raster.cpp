// bench-links: wb_movieplayer cairo
//
// Fill rate of the movie rasteriser (megapixels per second) for solid,
// 50%-alpha, gradient and bitmap fills, with and without anti-aliasing, at
// 550 x 400 and 1024 x 768, and edge throughput for a scene of thousands of
// small curves. Each case draws the same paths with Cairo in the same run
// and reports the ratio (ours / Cairo's throughput, above 1 = faster).
#include "movieplayer/curve.h"
#include "movieplayer/rasteriser.h"
#include "movieplayer/stroke.h"

#include <benchmark/benchmark.h>
#include <cairo/cairo.h>

#include <array>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

using namespace movie;

namespace {

enum Kind { kSolid, kHalf, kLinear, kRadial, kBitmap, kTilted, kKinds };

// The tilted linear gradient: the horizontal one turned by 30 degrees about
// the frame's centre, so its colour changes along both axes.
constexpr double kTilt = 0.5235987755982988;
MovieMatrix TiltedMatrix(int w, int h)
{
    const double s = w / 32768.0 * 65536.0;
    return MovieMatrix{static_cast<Fixed>(s * std::cos(kTilt)), static_cast<Fixed>(s * std::sin(kTilt)), static_cast<Fixed>(-s * std::sin(kTilt)),
                       static_cast<Fixed>(s * std::cos(kTilt)), (w / 2) << 16, (h / 2) << 16};
}

struct Frame {
    int w, h;
    std::vector<uint32_t> pixels;
    Frame(int w_, int h_) : w(w_), h(h_), pixels(static_cast<size_t>(w_) * h_, 0xFFFFFFFFu) {}
    PixelTarget Target()
    {
        PixelTarget t;
        t.bits = reinterpret_cast<uint8_t*>(pixels.data());
        t.rowBytes = w * 4;
        t.width = w;
        t.height = h;
        t.format = 7;
        return t;
    }
};

struct Edges {
    RecordPool<EdgeRecord> pool;
    EdgeSink sink;
    Edges()
    {
        pool.Init(600, false, 0);
        sink.pool = &pool;
    }
    ~Edges() { FreeEdgeList(sink); }
};

BitmapRecord& TestBitmap()
{
    static BitmapRecord* bm = [] {
        auto* b = new BitmapRecord;
        b->Init(kBitmap32, 64, 64, nullptr);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                uint8_t* p = b->pixels + y * b->rowBytes + 4 * x;
                p[0] = static_cast<uint8_t>(x * 4);
                p[1] = static_cast<uint8_t>(y * 4);
                p[2] = static_cast<uint8_t>((x ^ y) * 4);
                p[3] = 255;
            }
        return b;
    }();
    return *bm;
}

FillRecord* MakeFill(Rasteriser& r, Kind k, int w, int h)
{
    static const GradientStop stops[3] = {{0, PackRgba(255, 0, 0, 255)}, {128, PackRgba(0, 255, 0, 255)}, {255, PackRgba(0, 0, 255, 255)}};
    switch (k) {
    case kSolid: return r.NewSolidFill(PackRgba(30, 120, 200, 255));
    case kHalf: return r.NewSolidFill(PackRgba(30, 120, 200, 128));
    case kLinear: return r.NewGradientFill(kTypeLinearGradient, stops, 3, MovieMatrix{(w << 16) / 32768, 0, 0, (w << 16) / 32768, (w / 2) << 16, 0});
    case kTilted: return r.NewGradientFill(kTypeLinearGradient, stops, 3, TiltedMatrix(w, h));
    case kRadial:
        return r.NewGradientFill(kTypeRadialGradient, stops, 3, MovieMatrix{(h << 16) / 32768, 0, 0, (h << 16) / 32768, (w / 2) << 16, (h / 2) << 16});
    default: {
        // Scaled by 1.5 so the smoothed sampler runs.
        BitmapRecord& bm = TestBitmap();
        bm.hasAlpha = false;
        return r.NewBitmapFill(&bm, kTypeBitmapRepeat, MovieMatrix{0x18000, 0, 0, 0x18000, 0, 0}, nullptr);
    }
    }
}

cairo_pattern_t* CairoSource(Kind k, int w, int h, cairo_surface_t* bitmap)
{
    switch (k) {
    case kSolid: return cairo_pattern_create_rgba(200 / 255.0, 120 / 255.0, 30 / 255.0, 1);
    case kHalf: return cairo_pattern_create_rgba(200 / 255.0, 120 / 255.0, 30 / 255.0, 128 / 255.0);
    case kLinear:
    case kTilted:
    case kRadial: {
        const double ex = w / 2.0 * std::cos(kTilt), ey = w / 2.0 * std::sin(kTilt);
        cairo_pattern_t* p = k == kLinear   ? cairo_pattern_create_linear(0, 0, w, 0)
                             : k == kTilted ? cairo_pattern_create_linear(w / 2.0 - ex, h / 2.0 - ey, w / 2.0 + ex, h / 2.0 + ey)
                                            : cairo_pattern_create_radial(w / 2.0, h / 2.0, 0, w / 2.0, h / 2.0, h / 2.0);
        cairo_pattern_add_color_stop_rgb(p, 0, 1, 0, 0);
        cairo_pattern_add_color_stop_rgb(p, 128 / 255.0, 0, 1, 0);
        cairo_pattern_add_color_stop_rgb(p, 1, 0, 0, 1);
        return p;
    }
    default: {
        cairo_pattern_t* p = cairo_pattern_create_for_surface(bitmap);
        cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(p, CAIRO_FILTER_BILINEAR);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, 1 / 1.5, 1 / 1.5);
        cairo_pattern_set_matrix(p, &m);
        return p;
    }
    }
}

cairo_surface_t* CairoBitmap()
{
    BitmapRecord& bm = TestBitmap();
    return cairo_image_surface_create_for_data(bm.pixels, CAIRO_FORMAT_ARGB32, bm.width, bm.height, bm.rowBytes);
}

// Seconds of CPU time used by this thread. Google Benchmark's rate counters
// divide by CPU time too; on a shared, loaded machine the wall clock would
// charge Cairo for time spent waiting for a core.
double ThreadSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Frames per second (CPU time) of Cairo filling the whole frame with a
// rectangle; frames are drawn until at least a tenth of a second has passed.
double CairoFillFps(Kind k, int w, int h, bool aa)
{
    Frame f(w, h);
    cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(f.pixels.data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    cairo_surface_t* bm = CairoBitmap();
    cairo_t* cr = cairo_create(s);
    cairo_set_antialias(cr, aa ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_pattern_t* p = CairoSource(k, w, h, bm);
    const double t0 = ThreadSeconds();
    int frames = 0;
    double sec = 0;
    while (sec < 0.1) {
        // Not pixel-aligned with anti-aliasing, so the edges are really smoothed.
        cairo_rectangle(cr, aa ? 0.25 : 0, aa ? 0.25 : 0, w - 0.5 * aa, h - 0.5 * aa);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_surface_flush(s);
        ++frames;
        sec = ThreadSeconds() - t0;
    }
    cairo_pattern_destroy(p);
    cairo_destroy(cr);
    cairo_surface_destroy(bm);
    cairo_surface_destroy(s);
    return frames / sec;
}

void BM_FillRate(benchmark::State& state)
{
    const Kind k = static_cast<Kind>(state.range(0));
    const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
    const bool aa = state.range(3) != 0;
    Frame frame(w, h);
    Rasteriser r;
    r.Attach(frame.Target(), 0, 0, w, h, aa);
    const int s = aa ? 4 : 1;
    Edges e;
    // One rectangle covering the frame (quarter-pixel inset with anti-aliasing).
    const int in = aa ? 1 : 0;
    AddFillEdge(MakeLine({in, in}, {in, h * s - in}), nullptr, nullptr, kRuleOneFillParity, e.sink);
    AddFillEdge(MakeLine({w * s - in, h * s - in}, {w * s - in, in}), nullptr, nullptr, kRuleOneFillParity, e.sink);
    for (auto _ : state) {
        r.BeginFrame();
        if (k == kHalf) r.FillBackground(PackRgba(255, 255, 255, 255));
        FillRecord* f = MakeFill(r, k, w, h);
        for (EdgeRecord* ed = e.sink.head; ed; ed = ed->next) ed->fillA = f;
        r.AddEdges(e.sink.head, f, nullptr);
        r.Paint();
        r.EndFrame();
        benchmark::DoNotOptimize(frame.pixels.data());
    }
    const double ours = static_cast<double>(state.iterations()) * w * h;
    state.SetItemsProcessed(static_cast<int64_t>(ours));
    const double cairoFps = CairoFillFps(k, w, h, aa);
    state.counters["MPx/s"] = benchmark::Counter(ours / 1e6, benchmark::Counter::kIsRate);
    state.counters["cairo_MPx/s"] = cairoFps * w * h / 1e6;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    // ours / Cairo's frames per second; the rate counters are finished by
    // the library from the measured time, so the ratio uses it too.
    state.counters["vs_cairo"] = benchmark::Counter(static_cast<double>(state.iterations()) / cairoFps, benchmark::Counter::kIsRate);
    static const char* kNames[] = {"solid", "alpha50", "linear", "radial", "bitmap", "tilted"};
    state.SetLabel(std::string(kNames[k]) + (aa ? " aa" : " plain"));
}

void FillArgs(benchmark::internal::Benchmark* b)
{
    for (int aa = 0; aa < 2; ++aa)
        for (int k = 0; k < kKinds; ++k) {
            b->Args({k, 550, 400, aa});
            b->Args({k, 1024, 768, aa});
        }
}

BENCHMARK(BM_FillRate)->Apply(FillArgs)->Unit(benchmark::kMicrosecond);

// Thousands of small curved shapes: circles of 8 quadratic pieces each.
struct CurveScene {
    static constexpr int kCount = 3000;
    std::vector<std::array<double, 3>> circles;  // x, y, radius in pixels
    CurveScene()
    {
        uint32_t seed = 12345;
        auto rnd = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / double(1 << 24);
        };
        for (int i = 0; i < kCount; ++i) circles.push_back({rnd() * 1000 + 12, rnd() * 740 + 12, 3 + rnd() * 9});
    }
};

void BM_SmallCurves(benchmark::State& state)
{
    const bool aa = state.range(0) != 0;
    const int w = 1024, h = 768, s = aa ? 4 : 1;
    CurveScene scene;
    Frame frame(w, h);
    Rasteriser r;
    r.Attach(frame.Target(), 0, 0, w, h, aa);
    Edges e;
    for (const auto& c : scene.circles) {
        std::vector<Curve> arc;
        AppendArc(arc, {static_cast<int32_t>(c[0] * s), static_cast<int32_t>(c[1] * s)}, static_cast<int32_t>(c[2] * s), 0, 360 << 16);
        for (const Curve& piece : arc) AddFillEdge(piece, nullptr, nullptr, kRuleWinding, e.sink);
    }
    int edges = 0;
    for (EdgeRecord* ed = e.sink.head; ed; ed = ed->next) ++edges;
    for (auto _ : state) {
        r.BeginFrame();
        r.FillBackground(PackRgba(255, 255, 255, 255));
        FillRecord* f = r.NewSolidFill(PackRgba(20, 40, 160, 200));
        for (EdgeRecord* ed = e.sink.head; ed; ed = ed->next) ed->fillA = f;
        r.AddEdges(e.sink.head, f, nullptr);
        r.Paint();
        r.EndFrame();
        benchmark::DoNotOptimize(frame.pixels.data());
    }
    // The same circles through Cairo.
    Frame cf(w, h);
    cairo_surface_t* cs = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(cf.pixels.data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    cairo_t* cr = cairo_create(cs);
    cairo_set_antialias(cr, aa ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    const double t0 = ThreadSeconds();
    int frames = 0;
    for (; ThreadSeconds() - t0 < 0.1; ++frames) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        for (const auto& c : scene.circles) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, c[0], c[1], c[2], 0, 2 * M_PI);
        }
        cairo_set_source_rgba(cr, 160 / 255.0, 40 / 255.0, 20 / 255.0, 200 / 255.0);
        cairo_fill(cr);
    }
    cairo_surface_flush(cs);
    const double cairoFps = frames / (ThreadSeconds() - t0);
    cairo_destroy(cr);
    cairo_surface_destroy(cs);
    state.counters["edges"] = edges;
    state.counters["Medges/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * edges / 1e6, benchmark::Counter::kIsRate);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cairo_fps"] = cairoFps;
    state.counters["vs_cairo"] = benchmark::Counter(static_cast<double>(state.iterations()) / cairoFps, benchmark::Counter::kIsRate);
    state.SetLabel(aa ? "aa" : "plain");
}

BENCHMARK(BM_SmallCurves)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
