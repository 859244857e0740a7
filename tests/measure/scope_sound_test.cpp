// Selecting recorded loudspeaker sound in the graph: a press on the sound
// starts the selection, the drag's end snaps back to where the waveform
// repeats the start (a like crossing or a peak), the band is drawn, and
// Save Sound reads the same frames.
#include "measure/loudspeaker.h"
#include "measure/probe.h"
#include "measure/scope.h"
#include "measure/sound_recording.h"
#include "model/designfile/scope_toolbar.h"
#include "tests/components/passives_bench.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class FakeHost : public CSimulationHost, public CScopeHost {
public:
    bool SetStepTimer(int) override { return true; }
    void KillStepTimer() override {}
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    CSimulationGraph* GetGraph() override { return graph; }
    void Invalidate() override {}

    CSimulationGraph* graph = nullptr;
};

class FillPainter : public CScopePainter {
public:
    void Line(int, int, int, int, COLORREF, int) override {}
    void FillRect(const CRect& rect, COLORREF colour) override { fills.emplace_back(rect, colour); }
    void Text(const CRect&, const CString&, Align, bool, COLORREF) override {}
    std::vector<std::pair<CRect, COLORREF>> fills;
};

// A loudspeaker whose sample holds 100 frames of 10000 x sin(2 pi i / 20)
// (raw units), on a graph of 2 pixels a sample (1 ms steps, 20 ms a
// division): frame i stands at x = 80 + 2 i.
struct SoundGraph : PassiveBench {
    FakeHost host;
    CScopeToolbar settings;
    CScope scope{host, settings};
    CLoudSpeaker* speaker = nullptr;

    SoundGraph()
    {
        d.SetHost(&host);
        host.graph = &scope;
        speaker = Add<CLoudSpeaker>(100, 200);
        for (int i = 0; i < 100; ++i) {
            const auto v = static_cast<int16_t>(std::lround(10000.0 * std::sin(2.0 * M_PI * i / 20.0)));
            const uint8_t b[2] = {uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF)};
            speaker->Sample().Append(b, 2);
        }
        d.SetUpdateRate(1000.0);
        settings.timePerDivision.SetValue(20.0, 3);
        scope.SetDesign(&d);
        scope.OnSize(800, 392);
    }
    ~SoundGraph() { d.SetHost(nullptr); }
    static CPoint At(int frame) { return CPoint(80 + 2 * frame, 100); }
};

} // namespace

TEST(ScopeSound, TheDragSnapsToWhereTheWaveRepeats)
{
    SoundGraph g;
    ASSERT_EQ(g.scope.PixelsPerSample(), 2.0);
    CProbe* probe = g.speaker->SoundProbe();
    const int first = probe->GetFirstSampleNumber();
    // Frame 5 is a crest (10000, falling next).  Dragged to frame 47
    // (8090), the end goes back to frame 45: the crest two frames before,
    // where the signal passes 10000 +- 2 falling and which is the nearest
    // peak between 6660 and 10000.
    g.scope.OnButtonDown(SoundGraph::At(5));
    EXPECT_TRUE(g.scope.IsSelectingSound());
    g.scope.OnMouseMove(SoundGraph::At(30));
    g.scope.OnMouseMove(SoundGraph::At(47));
    g.scope.OnButtonUp(SoundGraph::At(47));
    EXPECT_FALSE(g.scope.IsSelectingSound());
    int a = 0, b = 0;
    ASSERT_TRUE(g.scope.GetSoundSelection(&a, &b));
    EXPECT_EQ(a, first + 5);
    EXPECT_EQ(b, first + 45);
    // Save Sound reads the same frames.
    ASSERT_TRUE(FindSoundRecording(&g.d)->GetSelection(&a, &b));
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 45);
    EXPECT_TRUE(CSaveSoundChoice::For(*FindSoundRecording(&g.d)).selection);

    // The band covers frames 5 to 45 over the graph's height.
    FillPainter p;
    g.scope.Draw(p);
    bool band = false;
    for (const auto& [rect, colour] : p.fills)
        if (rect == CRect(90, 36, 171, 356)) band = true;
    EXPECT_TRUE(band);

    // Dragged backward past the start and beyond the recording: clamped.
    g.scope.OnButtonDown(SoundGraph::At(50));
    g.scope.OnMouseMove(CPoint(700, 100));
    g.scope.OnButtonUp(CPoint(700, 100));
    ASSERT_TRUE(g.scope.GetSoundSelection(&a, &b));
    EXPECT_EQ(a, first + 50);
    EXPECT_EQ(b, first + 99);

    // A press beyond the recording selects nothing.
    g.scope.OnButtonDown(CPoint(600, 100));
    EXPECT_FALSE(g.scope.IsSelectingSound());
    EXPECT_FALSE(g.scope.GetSoundSelection(&a, &b));
}

TEST(ScopeSound, WithoutALoudspeakerNothingIsSelected)
{
    FakeHost host;
    CScopeToolbar settings;
    CScope scope(host, settings);
    CCircuit d;
    scope.SetDesign(&d);
    scope.OnSize(800, 392);
    scope.OnButtonDown(CPoint(200, 100));
    EXPECT_FALSE(scope.IsSelectingSound());
    int a = 0, b = 0;
    EXPECT_FALSE(scope.GetSoundSelection(&a, &b));
}
