// The graph window's behaviour without a window: layout, the RC charging
// curve read with the mouse against V (1 - exp(-t/RC)), moving on at the
// right edge and scrolling back, the ring's oldest samples, a restart, what
// is drawn, and printing.
#include "measure/scope.h"
#include "probe_bench.h"

#include "model/designfile/scope_settings.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

constexpr DWORD kVoltage = 1;

class FakeHost : public CSimulationHost, public CScopeHost {
public:
    bool SetStepTimer(int) override { return true; }
    void KillStepTimer() override {}
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    CSimulationGraph* GetGraph() override { return graph; }
    void Invalidate() override { ++invalidated; }
    void ShowGraphPart() override { ++shown; }

    CSimulationGraph* graph = nullptr;
    int invalidated = 0;
    int shown = 0;
};

struct Line {
    int x1, y1, x2, y2;
    COLORREF colour;
    int width;
};

class RecordingPainter : public CScopePainter {
public:
    void Line(int x1, int y1, int x2, int y2, COLORREF colour, int width) override
    {
        lines.push_back({x1, y1, x2, y2, colour, width});
    }
    void FillRect(const CRect&, COLORREF) override {}
    void Text(const CRect& r, const CString& text, Align, bool, COLORREF) override { texts.emplace_back(r, text); }
    int CountColour(COLORREF c) const
    {
        int n = 0;
        for (const ::Line& l : lines) n += l.colour == c;
        return n;
    }
    bool HasText(const CString& t) const
    {
        for (const auto& [r, s] : texts)
            if (s == t) return true;
        return false;
    }
    std::vector<::Line> lines;
    std::vector<std::pair<CRect, CString>> texts;
};

// 10 V through 1 k into 100 uF (tau 0.1 s), 1 ms steps, a probe on the
// capacitor, a graph of 640 x 320 pixels at 20 ms per division (2 pixels
// a sample, 320 samples across).
class ScopeRC : public ::testing::Test {
protected:
    static constexpr double kV = 10.0, kTau = 0.1, kStep = 0.001;

    ScopeRC() : bench(kV, 1000.0, 1e-4), scope(host, settings)
    {
        probe = bench.ProbeOn(bench.c);
        settings.timePerDivision.SetValue(20.0, 3);
        host.graph = &scope;
        bench.d.SetHost(&host);
        scope.SetDesign(&bench.d);
        scope.OnSize(800, 392);
        bench.Start(1.0 / kStep);
    }
    ~ScopeRC() override { bench.d.SetHost(nullptr); }

    // The charging curve at a time from the start of the recording: the
    // sample shown at t was taken one step later, and the capacitor's
    // backward-Euler model lags by less than V h / (2 tau); together less
    // than 1.5 V h / tau.
    static double Charge(double t) { return kV * (1.0 - std::exp(-t / kTau)); }
    static constexpr double kStepError = 1.5 * kV * kStep / kTau;

    FakeHost host;
    RCBench bench;
    CScopeToolbar settings;
    CScope scope;
    CProbe* probe = nullptr;
};

} // namespace

TEST(ScopeLayout, WidthsAndHeights)
{
    FakeHost host;
    CScopeToolbar settings;
    CScope scope(host, settings);
    struct Case {
        int cx, cy, width, height;
        bool tall;
    };
    const Case cases[] = {{239, 300, 80, 220, true}, {320, 300, 160, 220, true}, {800, 392, 640, 320, true},
                          {100, 90, 80, 40, false},  {401, 111, 240, 40, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(scope.Layout(c.cx, c.cy), c.tall) << c.cx;
        EXPECT_EQ(scope.GetGraphWidth(), c.width) << c.cx;
        EXPECT_EQ(scope.GetGraphHeight(), c.height) << c.cy;
    }
    // Two graphs share the height; the second lies 44 pixels below the first.
    settings.twoGraphs = 1;
    scope.Layout(800, 516);
    EXPECT_EQ(scope.GetGraphHeight(), 200);
    EXPECT_EQ(scope.GetGraphRect(0), CRect(80, 36, 720, 236));
    EXPECT_EQ(scope.GetGraphRect(1), CRect(80, 280, 720, 480));
}

TEST_F(ScopeRC, MouseReadsTheChargingCurve)
{
    bench.Run(300);
    ASSERT_EQ(scope.PixelsPerSample(), 2.0);
    EXPECT_EQ(scope.GetGraphWidth(), 640);
    EXPECT_EQ(scope.GetCaption(0), CString("Voltage (V)"));
    EXPECT_EQ(scope.GetTimeCaption(), CString("Time (ms)"));
    scope.OnButtonDown(CPoint(80 + 200, 100));
    EXPECT_EQ(host.shown, 1);
    ASSERT_TRUE(scope.GetReading().valid);
    EXPECT_EQ(scope.GetReading().sample, probe->GetFirstSampleNumber() + 100);
    EXPECT_NEAR(scope.GetReading().time, 0.1, 1e-12);
    ASSERT_EQ(scope.GetReading().values.size(), 1u);
    EXPECT_NEAR(scope.GetReading().values[0].value, Charge(0.1), kStepError);
    EXPECT_EQ(scope.GetReading().values[0].text.substr(0, 9), CString("Probe 1: "));
    // Dragging along the trace reads on, to the newest sample at most.
    for (int x = 80; x <= 720; x += 37) {
        scope.OnMouseMove(CPoint(x, 150));
        const CScopeReading& r = scope.GetReading();
        ASSERT_TRUE(r.valid) << x;
        const int expected = std::min((x - 80 + 1) / 2, 299);
        EXPECT_EQ(r.sample - probe->GetFirstSampleNumber(), expected) << x;
        EXPECT_NEAR(r.time, expected * kStep, 1e-12) << x;
        EXPECT_NEAR(r.values[0].value, Charge(r.time), kStepError) << x;
        // The marker sits on the trace: 20 pixels a volt from the bottom.
        EXPECT_EQ(scope.YOfValue(0, r.values[0].value), 356 - static_cast<int>(std::lround(20.0 * r.values[0].value)));
    }
    scope.OnButtonUp(CPoint(90, 150));
    EXPECT_FALSE(scope.IsMeasuring());
    EXPECT_TRUE(scope.GetReading().valid);
    // Pressing beside the graphs clears the reading.
    scope.OnButtonDown(CPoint(10, 10));
    EXPECT_FALSE(scope.GetReading().valid);
}

TEST_F(ScopeRC, MovesOnAtTheRightEdgeAndScrollsBack)
{
    const int right = 80 + 640;
    for (int i = 0; i < 400; ++i) {
        bench.Run(1);
        ASSERT_LE(scope.XOfSample(scope.GetNewestSample()), right) << i;
    }
    // Each jump puts the newest sample at 0.9 of the width (288 samples
    // in): at samples 321, 354 and 387.
    EXPECT_EQ(scope.GetNewestSample() - probe->GetFirstSampleNumber(), 399);
    const int left = scope.GetLeftSample();
    EXPECT_EQ(left - probe->GetFirstSampleNumber(), 387 - 288);
    scope.ScrollBy(-20);
    EXPECT_EQ(scope.GetLeftSample(), left - 20);
    scope.ScrollBy(-1000);
    EXPECT_EQ(scope.GetLeftSample(), probe->GetFirstSampleNumber());
    scope.ScrollBy(5000);
    EXPECT_EQ(scope.GetLeftSample() - probe->GetFirstSampleNumber(), 399 - 320 + 1);
    // Scrolled, the mouse still reads the curve at the sample's own time.
    scope.OnButtonDown(CPoint(80 + 100, 200));
    const CScopeReading& r = scope.GetReading();
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.sample - probe->GetFirstSampleNumber(), 80 + 50);
    EXPECT_NEAR(r.time, 0.130, 1e-12);
    EXPECT_NEAR(r.values[0].value, Charge(r.time), kStepError);
    // The left edge's time stands under the axis.
    RecordingPainter p;
    scope.Draw(p);
    bool labelled = false;
    for (const auto& [rect, text] : p.texts) labelled = labelled || text.rfind("Time: ", 0) == 0;
    EXPECT_TRUE(labelled);
}

TEST_F(ScopeRC, OldestSamplesLeaveTheRingAndTheProbesFollow)
{
    // 1 s a division: 0.04 pixels a sample, the whole ring fits.
    settings.timePerDivision.SetValue(1.0, 4);
    scope.Relayout();
    bench.Run(2345);
    ASSERT_EQ(bench.d.GetSampleCount(), CProbe::kRingSize);
    EXPECT_EQ(scope.GetStartSample(), 345);
    EXPECT_EQ(probe->GetFirstSampleNumber(), 345);
    // The left edge shows nothing older than the ring holds.
    scope.OnButtonDown(CPoint(80, 200));
    ASSERT_TRUE(scope.GetReading().valid);
    EXPECT_EQ(scope.GetReading().sample, 345);
    EXPECT_NEAR(scope.GetReading().time, 0.345, 1e-12);
    EXPECT_NEAR(scope.GetReading().values[0].value, Charge(0.345), kStepError);
    // Many samples a column: drawn as columns, all inside the graph.
    RecordingPainter p;
    scope.Draw(p);
    const COLORREF red = ColourRGB(255, 0, 0);
    EXPECT_GT(p.CountColour(red), 50);
    for (const Line& l : p.lines)
        if (l.colour == red) {
            EXPECT_GE(std::min(l.x1, l.x2), 80);
            EXPECT_LE(std::max(l.x1, l.x2), 720);
            EXPECT_GE(std::min(l.y1, l.y2), 36 - 2);
            EXPECT_LE(std::max(l.y1, l.y2), 356 + 2);
        }
}

TEST_F(ScopeRC, ErasingStartsTheGraphAgain)
{
    bench.Run(400);
    ASSERT_GT(scope.GetLeftSample(), scope.GetStartSample());
    bench.d.ControlSimulation(SIM_RESTART_RECORDING);
    bench.Run(10);
    EXPECT_EQ(scope.GetLeftSample(), scope.GetStartSample());
    scope.OnButtonDown(CPoint(80 + 10, 200));
    EXPECT_NEAR(scope.GetReading().time, 0.005, 1e-12);
}

TEST_F(ScopeRC, AutoPauseStopsAtTheRightEdge)
{
    settings.autoPause = 1;
    bench.Run(330);
    EXPECT_TRUE(bench.d.IsPaused());
}

TEST_F(ScopeRC, DrawsAxesLabelsAndTheTrace)
{
    bench.Run(300);
    RecordingPainter p;
    scope.Draw(p);
    EXPECT_TRUE(p.HasText("Voltage (V)"));
    EXPECT_TRUE(p.HasText("Time (ms)"));
    // 16 divisions of 1 V, 16 of 20 ms.
    for (const char* label : {"0", "1", "8", "16"}) EXPECT_TRUE(p.HasText(label)) << label;
    for (const char* label : {"20", "100", "320"}) EXPECT_TRUE(p.HasText(label)) << label;
    const COLORREF red = ColourRGB(255, 0, 0);
    // One line from each sample to the next.
    EXPECT_EQ(p.CountColour(red), 299);
    // The trace rises: its last point stands at 10 (1 - e^-3) V.
    int lastY = 0;
    for (const Line& l : p.lines)
        if (l.colour == red) lastY = l.y2;
    EXPECT_NEAR(lastY, 356 - 20.0 * Charge(0.299), 1.5 + 20.0 * kStepError);
    // The black zero line along the bottom.
    bool zero = false;
    for (const Line& l : p.lines) zero = zero || (l.colour == 0 && l.y1 == 356 && l.y2 == 356 && l.x1 == 80);
    EXPECT_TRUE(zero);
}

TEST_F(ScopeRC, TooFewSamplesADivisionShowsTheNotice)
{
    // 20 us a division at 1 ms a sample: 2000 pixels a sample.
    settings.timePerDivision.SetValue(20.0, 2);
    scope.Relayout();
    bench.Run(5);
    RecordingPainter p;
    scope.Draw(p);
    EXPECT_FALSE(scope.AreTracesReadable());
    EXPECT_TRUE(p.HasText(LoadResString(36540)));
    EXPECT_EQ(p.CountColour(ColourRGB(255, 0, 0)), 0);
}

TEST_F(ScopeRC, TraceAboveTheGraphRunsAlongItsTopEdge)
{
    settings.graph[0].maximum.SetValue(1.0, 4);
    scope.Relayout();
    bench.Run(300);
    RecordingPainter p;
    scope.Draw(p);
    int above = 0;
    for (const Line& l : p.lines)
        if (l.colour == ColourRGB(255, 0, 0)) {
            EXPECT_GE(std::min(l.y1, l.y2), 36 - 2);
            above += l.y1 == 34 && l.y2 == 34;
        }
    EXPECT_GT(above, 200);
}

TEST_F(ScopeRC, PrintsCentredBelowTheTop)
{
    bench.Run(300);
    RecordingPainter p;
    ASSERT_TRUE(scope.Print(p, 1000, 600));
    // As on screen (640 wide), centred: (1000 - 800) / 2 to the right, 90 down.
    bool axis = false;
    for (const Line& l : p.lines) axis = axis || (l.colour == 0 && l.x1 == 180 && l.x2 == 180 && l.y1 == 126);
    EXPECT_TRUE(axis);
    // No graph paper on paper, grey divisions.
    EXPECT_EQ(p.CountColour(ColourRGB(255, 255, 0)), 0);
    EXPECT_GT(p.CountColour(ColourRGB(128, 128, 128)), 0);
    RecordingPainter small;
    EXPECT_FALSE(scope.Print(small, 1000, 150));
    EXPECT_EQ(scope.GetGraphWidth(), 640);
}
