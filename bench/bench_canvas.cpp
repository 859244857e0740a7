// bench-links: wb_app
// The canvas view's repaint: a 200-part design (a rail, 198 resistors with
// their value labels, an earth and their wires) painted whole into a
// 1280 x 800 client area through CCanvasController::Paint, as an expose of
// the whole window does (background, page, every part), at zoom 1 and 2.
#include "app/canvas/canvas_controller.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "tests/app/canvas_design200.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>

namespace {

void EnsureGuiApp()
{
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_canvas";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

class CBenchHost : public CCanvasHost {
public:
    CBenchHost() : view(1280, 800) {}
    CView* GetDrawView() override
    {
        view.m_zoom = zoom;
        view.m_scroll = CPoint(0, 0);
        return &view;
    }
    CSize GetClientSize() override { return {1280, 800}; }
    void SetScrollRange(CSize) override {}
    CPoint GetScrollPos() override { return {}; }
    void ScrollTo(CPoint) override {}
    void Invalidate() override {}
    void InvalidateRect(const CRect&) override {}
    void SetCapture(bool) override {}
    bool HasCapture() override { return false; }
    CPoint GetCursorPos() override { return {-1, -1}; }
    void SetCursorCode(int) override {}
    uint32_t GetTickCount() override { return 0; }
    void ShowMessage(const CString&) override {}
    CImageView view;
    int zoom = 1;
};

class CNoBubble : public CBubbleWindow {
public:
    void Place(CPoint) override {}
    void SetVisible(bool) override {}
    void SetText(const CString&) override {}
    int GetWidth() override { return 0; }
    int GetScreenWidth() override { return 1920; }
    bool SetTimer(int, int) override { return true; }
    void KillTimer(int) override {}
    void SendPrompt(int) override {}
};

void Repaint(benchmark::State& state, bool zoom)
{
    EnsureGuiApp();
    CDesign200 built;
    CCircuit* design = built.Get();
    design->SetOptionBits(0x100, zoom);
    CBenchHost host;
    host.zoom = zoom ? 2 : 1;
    CNoBubble window;
    CBubble bubble(window);
    CCanvasController view(host, bubble);
    view.OnUpdate(design, 1);
    int parts = 0;
    for (CPartIterator it(design, 0); it.GetCurrent(); it.Next()) ++parts;
    for (auto _ : state) view.Paint(CRect(0, 0, 1280, 800));
    state.counters["top_level_parts"] = parts;
    view.DetachDesign();
}

void BM_CanvasFullRepaint(benchmark::State& state) { Repaint(state, false); }
BENCHMARK(BM_CanvasFullRepaint)->Unit(benchmark::kMillisecond);

void BM_CanvasFullRepaintZoom2(benchmark::State& state) { Repaint(state, true); }
BENCHMARK(BM_CanvasFullRepaintZoom2)->Unit(benchmark::kMillisecond);

} // namespace
