// CScope: the graph window's behaviour without a window.  It draws the
// probes' traces against time on one or two graphs, moves on when the
// traces reach the right edge, reads the values under the mouse and lays
// itself out for printing.  What it draws goes to a CScopePainter and what
// it asks of its window to a CScopeHost, so tests drive it with plain events
// and a recording painter; app/graph_pane.* is the thin widget round it.
//
// Sample numbers are the probes' (CProbe::GetSample): the oldest stored
// sample is the start sample F, the design's recorded count C follows it,
// the newest is F + C - 1.  The controller moves F on by one whenever the
// ring drops its oldest sample (SetStartSample), and the graph hands F to
// every probe.  The left edge of the graph is a sample number of its own.
#pragma once

#include "measure/scope_limits.h"
#include "model/circuit/simhost.h"
#include "model/designfile/scope_toolbar.h"
#include "model/display/colour.h"
#include "platform/archive.h"
#include "platform/geometry.h"

#include <array>
#include <vector>

class CCircuit;
class CAdvancedScopeForm;
class CProbe;
class CSoundSample;

class CScopePainter {
public:
    enum Align { kCentredBelow = 2, kRightAligned = 3, kLeftCaption = 4 };
    virtual ~CScopePainter() = default;
    virtual void Line(int x1, int y1, int x2, int y2, COLORREF colour, int width) = 0;
    virtual void FillRect(const CRect& rect, COLORREF colour) = 0;
    // Text (Windows-1252) in a rectangle: centred below its top edge's
    // middle, right-aligned to its right edge, or left-aligned; emphasised
    // in bold.
    virtual void Text(const CRect& rect, const CString& text, Align align, bool bold, COLORREF colour) = 0;
};

class CScopeHost {
public:
    virtual ~CScopeHost() = default;
    // The pane should be painted again (CScope::Draw).
    virtual void Invalidate() = 0;
    virtual bool IsMonochrome() { return false; }
    // The user pressed in the pane: the property toolbar shows the graph
    // part.
    virtual void ShowGraphPart() {}
    // "Advanced Graph Controls"; true on OK (the form holds the choices).
    virtual bool EditAdvanced(CAdvancedScopeForm& form)
    {
        (void)form;
        return false;
    }
};

// One trace as the graph draws it: a channel, or the difference of a pair
// (first minus second).
struct CScopeTrace {
    int channel = 0;
    int minus = -1; // the pair's second channel, or -1
    COLORREF colour = 0;
    int width = 1;
};

// The values under the mouse.
struct CScopeReading {
    struct Value {
        CScopeTrace trace;
        double value = 0.0; // in the shown unit (the design's conversion)
        CString text;       // "Probe 1: 5.02 V"
    };
    bool valid = false;
    int graph = 0;
    int sample = 0;    // sample number
    double time = 0.0; // seconds from the start of the recording
    CString timeText;  // "t = 0.250 s"
    std::vector<Value> values;
};

class CScope : public CSimulationGraph, public CScopeView {
public:
    static constexpr int kLeft = 80;
    static constexpr int kTop = 36;
    static constexpr int kPixelsPerXDivision = 40;
    static constexpr int kGraphGap = 44;
    // Traces are drawn only up to this many pixels per sample.
    static constexpr double kReadableLimit = 40.0;

    CScope(CScopeHost& host, CScopeToolbar& settings);
    ~CScope() override;
    CScope(const CScope&) = delete;
    CScope& operator=(const CScope&) = delete;

    // The design whose probes are drawn (null: none).  The start sample is
    // taken from its first probe.
    void SetDesign(CCircuit* design);
    CCircuit* GetDesign() const { return m_pDesign; }
    CScopeToolbar& Settings() { return m_settings; }

    // Layout for a client size: graph width (a multiple of 40, at least 80)
    // and height per graph (a multiple of 20, at least 40).  True when the
    // height reached 40 without the minimum.
    bool Layout(int cx, int cy);
    void OnSize(int cx, int cy);
    // After a change of the graph settings: scales again and repaints.
    void Relayout() override;
    // The graph part's advanced options, with the design's probes.
    bool EditAdvanced(CScopeToolbar& settings) override;
    void RedrawAll();
    // Scale again, forget the reading; repaint when asked.
    void ResetTraceRange(bool invalidate);

    void Draw(CScopePainter& painter);
    // The graph laid out on a page (pixels) less 90 at the top, no larger
    // than on screen, centred; false (nothing drawn) when a graph would be
    // lower than 40 pixels.
    bool Print(CScopePainter& painter, int pageWidth, int pageHeight);

    // The mouse: a press in a graph reads the values at the sample under
    // it, a move with the button down follows, the reading stays after the
    // release; a press outside the graphs clears it.
    void OnButtonDown(CPoint point);
    void OnMouseMove(CPoint point);
    void OnButtonUp(CPoint point);
    bool IsMeasuring() const { return m_bMeasuring; }
    // With a loudspeaker, a press on its recorded sound starts a selection
    // that the drag extends (the end snapped to a like crossing or a peak
    // of the waveform); the band shows it.  Sample numbers, first <= last;
    // false without a selection.
    bool GetSoundSelection(int* first, int* last) const;
    bool IsSelectingSound() const { return m_bSelecting; }
    const CScopeReading& GetReading() const { return m_reading; }
    // Moves the left edge by whole samples, within what is stored.
    void ScrollBy(int samples);
    // Scrolls by tenths of the width (wheel notches, arrow keys).
    void ScrollSteps(int steps);

    // ---- geometry ----
    int GetGraphWidth() const { return m_nWidth; }
    int GetGraphHeight() const { return m_nHeight; }
    int GetGraphCount() const;
    CRect GetGraphRect(int graph) const;
    double PixelsPerSample() const;
    int GetLeftSample() const { return m_nLeft; }
    int GetNewestSample() const;
    double XOfSample(int sample) const;
    int SampleAtX(int x) const;
    // y of a value (base units after the design's conversion) on a graph.
    int YOfValue(int graph, double value) const;
    const CGraphScale& GetScale(int graph) const { return m_scale[static_cast<size_t>(graph & 1)]; }
    CString GetCaption(int graph) const;
    CString GetTimeCaption() const;
    bool AreTracesReadable() const { return PixelsPerSample() <= kReadableLimit; }
    // The traces of a graph in drawing order.
    std::vector<CScopeTrace> TracesOf(int graph) const;
    // A trace's value at a sample in the graph's unit.
    double TraceValue(int graph, const CScopeTrace& trace, int sample) const;
    // Seconds from the start of the recording to a sample.
    double TimeOfSample(int sample) const;

    // ---- CSimulationGraph ----
    bool DrawNewSamples(int count) override;
    bool WouldOverflow(int count) override;
    bool StopsAtEnd() override;
    int GetStartSample() override { return m_nStart; }
    void SetStartSample(int sample) override;
    int GetCapacity() override;
    void Invalidate() override;

private:
    struct Frame {
        CPoint origin; // added to every point drawn
        bool printing = false;
        bool monochrome = false;
    };
    void Rescale();
    void PushStartToProbes();
    // A recording that started again (fewer samples than before): the left
    // edge and the time origin go back to the start sample.
    void FollowRestart();
    CProbe* Probe(int channel) const;
    bool ChannelDrawn(int graph, int channel) const;
    bool DifferenceDrawn(int graph, int pair) const;
    DWORD QuantityBit(int graph) const;
    int VisibleSamples() const;
    void DrawGraph(CScopePainter& p, const Frame& f, int graph);
    void DrawTrace(CScopePainter& p, const Frame& f, int graph, const CScopeTrace& trace);
    void DrawSegment(CScopePainter& p, const Frame& f, int graph, int x1, int y1, int x2, int y2, COLORREF colour,
                     int width);
    void DrawReading(CScopePainter& p, const Frame& f);
    void Measure(CPoint point);
    CSoundSample* SoundSample() const;
    void BeginSoundSelection(CPoint point);
    void ExtendSoundSelection(CPoint point);
    int GraphAt(CPoint point) const;

    CScopeHost& m_host;
    CScopeToolbar& m_settings;
    CCircuit* m_pDesign = nullptr;
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    int m_nWidth = 80;
    int m_nHeight = 40;
    std::array<CGraphScale, 2> m_scale;
    bool m_bRescale = true;
    int m_nStart = 0;       // F: the oldest stored sample
    int m_nLeft = 0;        // the sample at the left edge
    int m_nOrigin = 0;      // the first sample of the recording (time 0)
    int m_nLastCount = 0;   // the recorded count last seen
    bool m_bMeasuring = false;
    bool m_bSelecting = false;
    CScopeReading m_reading;
    int m_nReadingX = -1;
};

// The colour and width of a channel's trace.
CScopeTrace ScopeTraceOf(int channel, bool monochrome);
