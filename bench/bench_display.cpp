// bench-links: wb_model
// Costs of the drawing layer's pixel paths: a part picture blitted onto a
// canvas-sized view (the common case of every redraw), one-pixel lines
// (wires), a drag-image move and the slow reference rasteriser beside the
// fast one.
#include <benchmark/benchmark.h>

#include "model/display/animate.h"
#include "model/display/display.h"
#include "model/display/line_raster.h"
#include "model/display/visual.h"

namespace {

void BM_DrawPicture40x40(benchmark::State& state)
{
    CImageView view(800, 600);
    CDisplay display(&view);
    static CVisual explosion(0, 0, 203, 5, 0, 0, 40, 40);
    int i = 0;
    for (auto _ : state) {
        explosion.DrawWhole((i * 7) % 700, (i * 3) % 500, i % 5, 0, 0);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawPicture40x40);

void BM_DrawPictureRecoloured(benchmark::State& state)
{
    CImageView view(800, 600);
    CDisplay display(&view);
    static CVisual explosion(0, 0, 203, 5, 0, 0, 40, 40);
    for (auto _ : state) explosion.DrawWhole(100, 100, 2, 1, 0);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawPictureRecoloured);

void BM_ThinLine(benchmark::State& state)
{
    const int length = static_cast<int>(state.range(0));
    CImageView view(1200, 800);
    CDisplay display(&view);
    for (auto _ : state) CDisplay::DrawThinLine(10, 10, 10 + length, 10 + length / 3);
    state.SetItemsProcessed(state.iterations() * length);
}
BENCHMARK(BM_ThinLine)->Arg(20)->Arg(200)->Arg(1000);

void BM_RasterFast(benchmark::State& state)
{
    long sum = 0;
    for (auto _ : state) {
        RasterLine(0, 0, 1000, 377, [&](int x, int y, int) { sum += x ^ y; });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RasterFast);

void BM_RasterReference(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(RasterLineReference(0, 0, 1000, 377));
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RasterReference);

class CBoxPart : public CPart {
public:
    int Draw(DWORD) override
    {
        CDisplay::FillRectColour(m_rect, ColourRGB(0, 0, 0x80));
        return 1;
    }
};

void BM_DragImageMove(benchmark::State& state)
{
    CImageView view(800, 600);
    CDisplay display(&view);
    CBoxPart box;
    box.m_rect = CRect(100, 100, 180, 160);
    CAnimate anim(&box, 1);
    anim.DrawImage();
    int i = 0;
    for (auto _ : state) {
        anim.MoveBy((i++ & 1) ? CPoint(3, 2) : CPoint(-3, -2), true);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DragImageMove);

} // namespace
