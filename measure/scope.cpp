#include "measure/scope.h"

#include "measure/probe.h"
#include "measure/scope_advanced.h"
#include "measure/sound_sample.h"
#include "measure/sound_system.h"
#include "model/circuit/simhost.h"
#include "model/circuit/circuit.h"
#include "model/designfile/scope_settings.h"
#include "model/designfile/units.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr COLORREF kGrey = ColourRGB(128, 128, 128);
constexpr COLORREF kPaper = ColourRGB(255, 255, 0);
constexpr COLORREF kDivision = ColourRGB(0, 255, 0);
constexpr COLORREF kCursor = ColourRGB(96, 96, 96);
constexpr int kSoundChannel = 4;
// The band over a selection of recorded sound.
constexpr COLORREF kSelectionBand = ColourRGB(192, 192, 192);
// The notice's second line (36543 is the publishing pane's "Icons").
constexpr uint32_t kSetRateText = 36553;

// The selection end under the mouse (frame indices), moved toward the
// start to where the waveform crosses the start frame's level in the same
// direction, or to a peak between two thirds of that level and the level,
// whichever lies nearer the mouse; the mouse's frame when neither is found.
int SnapSelectionEnd(const CSoundSample& s, int start, int mouse)
{
    if (mouse == start) return mouse;
    const bool backward = mouse > start;
    const int count = std::abs(mouse - start);
    const double level = s.RawLevel(start);
    const int wanted = s.RawLevel(start + 1) >= s.RawLevel(start) ? 1 : 2;
    int offset = 0;
    int best = s.FindCrossing(mouse, count, level, wanted, !backward, &offset) == wanted ? offset : -1;
    const int peak = s.FindPeak(mouse, count, 0.666 * level, level, !backward);
    if (peak >= 0 && (best < 0 || peak < best)) best = peak;
    if (best < 0) return mouse;
    return backward ? mouse - best : mouse + best;
}

CString Printf(const char* format, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

// The time per division's prefix: the letter and the mantissa the labels
// count in.
struct TimeUnit {
    const char* letter;
    double mantissa;
};

TimeUnit TimeUnitOf(const CNumber& perDivision)
{
    double mantissa = 0.0;
    const int code = perDivision.GetMantissa(&mantissa);
    switch (code) {
    case 3: return {"m", mantissa};
    case 2: return {"\xB5", mantissa};
    case 1: return {"n", mantissa};
    default: return {"", perDivision.value};
    }
}

// A value with its SI prefix, without the padding of the five-character
// field.
CString ValueText(double value)
{
    CString t = FormatValueWithPrefix(value, false, true, true, false, false);
    t.erase(0, t.find_first_not_of(' ') == CString::npos ? t.size() : t.find_first_not_of(' '));
    return t;
}

CString ChannelName(int channel)
{
    return CString("Probe ") + CString(1, static_cast<char>('1' + channel));
}

CUnitChoices UnitsOf(const CCircuit* design)
{
    CUnitChoices units;
    if (design) units = CUnitChoices{design->m_wAngleUnit, design->m_wSpeedUnit, false};
    return units;
}

CRect Offset(CRect r, CPoint o)
{
    r.OffsetRect(o.x, o.y);
    return r;
}

} // namespace

CScopeTrace ScopeTraceOf(int channel, bool monochrome)
{
    CScopeTrace t;
    t.channel = channel;
    if (monochrome) {
        t.colour = channel <= 1 ? kBlack : kGrey;
        t.width = channel == 1 || channel == 3 ? 2 : 1;
        return t;
    }
    static const COLORREF colours[] = {ColourRGB(255, 0, 0), ColourRGB(0, 0, 255), ColourRGB(255, 0, 255),
                                       ColourRGB(0, 128, 128), kBlack};
    t.colour = channel >= 0 && channel <= 4 ? colours[channel] : kBlack;
    return t;
}

CScope::CScope(CScopeHost& host, CScopeToolbar& settings) : m_host(host), m_settings(settings)
{
    m_settings.owner = this;
}

CScope::~CScope()
{
    if (m_settings.owner == this) m_settings.owner = nullptr;
}

void CScope::SetDesign(CCircuit* design)
{
    m_pDesign = design;
    m_nStart = 0;
    if (design)
        for (int c = 0; c < 4; ++c)
            if (CProbe* p = Probe(c)) {
                m_nStart = p->GetFirstSampleNumber();
                break;
            }
    m_nLeft = m_nOrigin = m_nStart;
    m_nLastCount = design ? design->GetSampleCount() : 0;
    m_reading = CScopeReading();
    m_bRescale = true;
    PushStartToProbes();
    m_host.Invalidate();
}

// ---- layout ----

int CScope::GetGraphCount() const { return m_settings.GetGraphCount(); }

bool CScope::Layout(int cx, int cy)
{
    m_nWidth = std::max((cx - 2 * kLeft) / kPixelsPerXDivision * kPixelsPerXDivision, 2 * kPixelsPerXDivision);
    const int n = GetGraphCount();
    const int height = (cy - (n == 1 ? 72 : 116)) / n / kPixelsPerYDivision * kPixelsPerYDivision;
    m_nHeight = std::max(height, 2 * kPixelsPerYDivision);
    m_bRescale = true;
    return height >= 2 * kPixelsPerYDivision;
}

void CScope::OnSize(int cx, int cy)
{
    m_nClientWidth = cx;
    m_nClientHeight = cy;
    Layout(cx, cy);
    m_host.Invalidate();
}

void CScope::Relayout()
{
    Layout(m_nClientWidth, m_nClientHeight);
    m_reading.valid = false;
    m_host.Invalidate();
}

void CScope::RedrawAll() { m_host.Invalidate(); }

bool CScope::EditAdvanced(CScopeToolbar& settings)
{
    CAdvancedScopeForm form(settings, [this](int channel) -> DWORD {
        const CProbe* p = Probe(channel);
        return p ? p->GetQuantityMask() : 0;
    });
    if (!m_host.EditAdvanced(form)) return false;
    form.ApplyTo(settings);
    return true;
}

void CScope::ResetTraceRange(bool invalidate)
{
    m_bRescale = true;
    m_reading.valid = false;
    if (CProbe* sound = Probe(kSoundChannel)) sound->SetSelection(CProbe::kNoSelection, CProbe::kNoSelection);
    if (invalidate) m_host.Invalidate();
}

CRect CScope::GetGraphRect(int graph) const
{
    const int top = kTop + graph * (m_nHeight + kGraphGap);
    return CRect(kLeft, top, kLeft + m_nWidth, top + m_nHeight);
}

void CScope::Rescale()
{
    for (int g = 0; g < 2; ++g) {
        const CScopeGraph& s = m_settings.graph[static_cast<size_t>(g)];
        double maxMantissa = 0.0;
        const int code = s.maximum.GetMantissa(&maxMantissa);
        // The minimum counts in the maximum's prefix, as the toolbar shows
        // one prefix field for both.
        const double minMantissa = s.minimum.value / PrefixFactor(code);
        m_scale[static_cast<size_t>(g)] = ScaleGraph(maxMantissa, minMantissa, code, m_nHeight);
    }
    m_bRescale = false;
}

CString CScope::GetCaption(int graph) const
{
    const DWORD bit = QuantityBit(graph);
    const CUnitChoices units = UnitsOf(m_pDesign);
    const CString name = ScopeQuantityName(static_cast<int>(m_settings.graph[static_cast<size_t>(graph & 1)].quantityIndex));
    return GraphCaption(name, GetScale(graph), GetQuantityUnitText(bit, &units));
}

CString CScope::GetTimeCaption() const
{
    return LoadResString(36527) + " (" + TimeUnitOf(m_settings.timePerDivision).letter + LoadResString(36558) + ")";
}

// ---- samples and positions ----

double CScope::PixelsPerSample() const
{
    const double perDivision = m_settings.timePerDivision.value;
    if (!m_pDesign || !(perDivision > 0.0)) return 1.0;
    const double step = m_pDesign->GetStepPeriod();
    const double pps = step / perDivision * kPixelsPerXDivision;
    return std::isfinite(pps) && pps > 0.0 ? pps : 1.0;
}

int CScope::GetNewestSample() const { return m_nStart + (m_pDesign ? m_pDesign->GetSampleCount() : 0) - 1; }

double CScope::XOfSample(int sample) const { return kLeft + (sample - m_nLeft) * PixelsPerSample(); }

int CScope::SampleAtX(int x) const { return m_nLeft + static_cast<int>((x - kLeft) / PixelsPerSample() + 0.5); }

int CScope::YOfValue(int graph, double value) const
{
    const CGraphScale& s = GetScale(graph);
    const CRect r = GetGraphRect(graph);
    double d = (value - s.bottomValue) / s.unitsPerPixel;
    const double limit = 100.0 * m_nHeight;
    if (!(d == d)) d = 0.0;
    d = std::clamp(d, -limit, limit);
    return r.bottom - static_cast<int>(std::lround(d));
}

double CScope::TimeOfSample(int sample) const
{
    return m_pDesign ? (sample - m_nOrigin) * m_pDesign->GetStepPeriod() : 0.0;
}

int CScope::VisibleSamples() const { return std::max(static_cast<int>(m_nWidth / PixelsPerSample()), 1); }

CProbe* CScope::Probe(int channel) const
{
    return m_pDesign ? dynamic_cast<CProbe*>(m_pDesign->FindProbe(channel)) : nullptr;
}

DWORD CScope::QuantityBit(int graph) const { return m_settings.GetQuantityBit(graph & 1); }

bool CScope::ChannelDrawn(int graph, int channel) const
{
    const CProbe* p = Probe(channel);
    if (!p || p->GetQuantityMask() == CProbe::kUnconnected) return false;
    if (!(p->GetQuantityMask() & QuantityBit(graph))) return false;
    if (channel == kSoundChannel) return true;
    return m_settings.graph[static_cast<size_t>(graph & 1)].channel[static_cast<size_t>(channel)] != 0;
}

bool CScope::DifferenceDrawn(int graph, int pair) const
{
    if (!m_settings.graph[static_cast<size_t>(graph & 1)].difference[static_cast<size_t>(pair)]) return false;
    const DWORD bit = QuantityBit(graph);
    for (int c : {2 * pair, 2 * pair + 1}) {
        const CProbe* p = Probe(c);
        if (!p || p->GetQuantityMask() == CProbe::kUnconnected || !(p->GetQuantityMask() & bit)) return false;
    }
    return true;
}

std::vector<CScopeTrace> CScope::TracesOf(int graph) const
{
    const bool mono = m_host.IsMonochrome();
    std::vector<CScopeTrace> out;
    for (int pair = 0; pair < 2; ++pair) {
        if (DifferenceDrawn(graph, pair)) {
            CScopeTrace t = ScopeTraceOf(2 * pair, mono);
            t.minus = 2 * pair + 1;
            out.push_back(t);
            continue;
        }
        for (int c : {2 * pair + 1, 2 * pair})
            if (ChannelDrawn(graph, c)) out.push_back(ScopeTraceOf(c, mono));
    }
    if (ChannelDrawn(graph, kSoundChannel)) out.push_back(ScopeTraceOf(kSoundChannel, mono));
    return out;
}

double CScope::TraceValue(int graph, const CScopeTrace& trace, int sample) const
{
    const DWORD bit = QuantityBit(graph);
    const CProbe* p = Probe(trace.channel);
    double v = p ? p->GetSample(sample, bit) : 0.0;
    if (trace.minus >= 0)
        if (const CProbe* q = Probe(trace.minus)) v -= q->GetSample(sample, bit);
    return ConvertQuantity(v, bit, UnitsOf(m_pDesign));
}

// ---- the controller's side ----

void CScope::PushStartToProbes()
{
    for (int c = 0; c <= kSoundChannel; ++c)
        if (CProbe* p = Probe(c)) p->SetDisplayPosition(m_nStart, m_nStart);
}

void CScope::SetStartSample(int sample)
{
    m_nStart = sample;
    PushStartToProbes();
}

void CScope::FollowRestart()
{
    const int count = m_pDesign ? m_pDesign->GetSampleCount() : 0;
    if (count < m_nLastCount || count == 0) {
        m_nLeft = m_nOrigin = m_nStart;
        m_reading.valid = false;
    }
    m_nLastCount = count;
}

bool CScope::WouldOverflow(int count)
{
    return XOfSample(GetNewestSample() + count) > kLeft + m_nWidth;
}

bool CScope::StopsAtEnd() { return m_settings.autoPause != 0; }

int CScope::GetCapacity() { return CProbe::kRingSize; }

bool CScope::DrawNewSamples(int count)
{
    (void)count;
    if (!m_pDesign) return false;
    FollowRestart();
    PushStartToProbes();
    if (XOfSample(GetNewestSample()) > kLeft + m_nWidth) {
        if (StopsAtEnd()) return false;
        // The newest sample goes to 0.9 of the width.
        m_nLeft = std::max(GetNewestSample() - static_cast<int>(0.9 * m_nWidth / PixelsPerSample()), m_nStart);
    }
    if (m_reading.valid) Measure(CPoint(m_nReadingX, GetGraphRect(m_reading.graph).top));
    m_host.Invalidate();
    return true;
}

void CScope::Invalidate()
{
    FollowRestart();
    m_host.Invalidate();
}

void CScope::ScrollBy(int samples)
{
    // Never further back than what is stored, nor past the newest page.
    const int last = std::max(m_nStart, GetNewestSample() - VisibleSamples() + 1);
    m_nLeft = std::clamp(m_nLeft + samples, m_nStart, last);
    if (m_reading.valid) Measure(CPoint(m_nReadingX, GetGraphRect(m_reading.graph).top));
    m_host.Invalidate();
}

void CScope::ScrollSteps(int steps) { ScrollBy(steps * std::max(VisibleSamples() / 10, 1)); }

// ---- the mouse ----

int CScope::GraphAt(CPoint point) const
{
    for (int g = 0; g < GetGraphCount(); ++g) {
        const CRect r = GetGraphRect(g);
        if (point.x >= r.left - 2 && point.x <= r.right + 2 && point.y >= r.top - 2 && point.y <= r.bottom + 2)
            return g;
    }
    return -1;
}

void CScope::Measure(CPoint point)
{
    m_reading = CScopeReading();
    const int graph = GraphAt(point);
    if (graph < 0 || !m_pDesign) return;
    const int x = std::clamp(point.x, kLeft, kLeft + m_nWidth);
    int sample = SampleAtX(x);
    const int newest = GetNewestSample();
    if (newest < m_nStart) return;
    sample = std::clamp(sample, std::max(m_nStart, m_nLeft), std::max(newest, m_nStart));
    m_nReadingX = x;
    m_reading.valid = true;
    m_reading.graph = graph;
    m_reading.sample = sample;
    m_reading.time = TimeOfSample(sample);
    m_reading.timeText = "t = " + ValueText(m_reading.time) + "s";
    const DWORD bit = QuantityBit(graph);
    const CUnitChoices units = UnitsOf(m_pDesign);
    for (const CScopeTrace& t : TracesOf(graph)) {
        CScopeReading::Value v;
        v.trace = t;
        v.value = TraceValue(graph, t, sample);
        CString name = t.channel == kSoundChannel ? CString("Sound") : ChannelName(t.channel);
        if (t.minus >= 0) name += " - " + ChannelName(t.minus);
        v.text = name + ": " + ValueText(v.value) + GetQuantityUnitText(bit, &units);
        m_reading.values.push_back(v);
    }
}

void CScope::OnButtonDown(CPoint point)
{
    // With two graphs the toolbar edits the one pressed.
    if (const int g = GraphAt(point); g >= 0 && GetGraphCount() == 2) m_settings.editedGraph = static_cast<DWORD>(g);
    m_host.ShowGraphPart();
    m_bMeasuring = GraphAt(point) >= 0;
    Measure(point);
    BeginSoundSelection(point);
    m_host.Invalidate();
}

CSoundSample* CScope::SoundSample() const
{
    const CProbe* p = Probe(kSoundChannel);
    return p ? dynamic_cast<CSoundSample*>(p->GetSoundSource()) : nullptr;
}

void CScope::BeginSoundSelection(CPoint point)
{
    CProbe* sound = Probe(kSoundChannel);
    m_bSelecting = false;
    if (!sound || !SoundSample()) return;
    const int sample = SampleAtX(std::clamp(point.x, kLeft, kLeft + m_nWidth));
    if (GraphAt(point) >= 0 && sound->IsSampleValid(sample)) {
        sound->SetSelection(sample, sample);
        m_bSelecting = true;
    } else {
        sound->SetSelection(CProbe::kNoSelection, CProbe::kNoSelection);
    }
}

void CScope::ExtendSoundSelection(CPoint point)
{
    CProbe* sound = Probe(kSoundChannel);
    const CSoundSample* s = SoundSample();
    if (!sound || !s || s->Length() == 0) return;
    const int first = sound->GetFirstSampleNumber();
    const int start = sound->GetSelectionStart();
    const int sample = SampleAtX(std::clamp(point.x, kLeft, kLeft + m_nWidth));
    int end = 0;
    if (sound->IsSampleValid(sample)) end = first + SnapSelectionEnd(*s, start - first, sample - first);
    else end = std::clamp(sample, first, first + s->Length() - 1);
    sound->SetSelection(start, end);
}

bool CScope::GetSoundSelection(int* first, int* last) const
{
    const CProbe* sound = Probe(kSoundChannel);
    if (!sound || sound->GetSelectionStart() == CProbe::kNoSelection) return false;
    *first = std::min(sound->GetSelectionStart(), sound->GetSelectionEnd());
    *last = std::max(sound->GetSelectionStart(), sound->GetSelectionEnd());
    return true;
}

void CScope::OnMouseMove(CPoint point)
{
    if (m_bSelecting) ExtendSoundSelection(point);
    if (!m_bMeasuring) return;
    // Held beyond the graph, the reading stays on its edge.
    const CRect r = GetGraphRect(m_reading.valid ? m_reading.graph : 0);
    Measure(CPoint(std::clamp(point.x, r.left, r.right), std::clamp(point.y, r.top, r.bottom)));
    m_host.Invalidate();
}

void CScope::OnButtonUp(CPoint point)
{
    OnMouseMove(point);
    m_bMeasuring = false;
    if (!m_bSelecting) return;
    m_bSelecting = false;
    if (CProbe* sound = Probe(kSoundChannel)) sound->NormaliseSelection();
    // What played before the new selection stops.
    CSimulationHost* host = m_pDesign ? m_pDesign->GetHost() : nullptr;
    if (CSoundSystem* output = host ? host->GetSoundSystem() : nullptr) output->Stop(false, true);
    m_host.Invalidate();
}

// ---- drawing ----

void CScope::Draw(CScopePainter& painter)
{
    if (m_bRescale) Rescale();
    FollowRestart();
    Frame f;
    f.monochrome = m_host.IsMonochrome();
    for (int g = 0; g < GetGraphCount(); ++g) DrawGraph(painter, f, g);
    DrawReading(painter, f);
}

bool CScope::Print(CScopePainter& painter, int pageWidth, int pageHeight)
{
    const int width = m_nWidth, height = m_nHeight;
    Layout(pageWidth, pageHeight - 90);
    m_nWidth = std::min(m_nWidth, width);
    m_nHeight = std::min(m_nHeight, height);
    const bool fits = (pageHeight - 90 - (GetGraphCount() == 1 ? 72 : 116)) / GetGraphCount() >= 40;
    if (fits) {
        Rescale();
        Frame f;
        f.printing = true;
        // Centred across the page, 90 pixels below its top.
        f.origin = CPoint((pageWidth - (m_nWidth + 2 * kLeft)) / 2, 90);
        for (int g = 0; g < GetGraphCount(); ++g) DrawGraph(painter, f, g);
    }
    m_nWidth = width;
    m_nHeight = height;
    m_bRescale = true;
    return fits;
}

void CScope::DrawGraph(CScopePainter& p, const Frame& f, int graph)
{
    const CRect r = GetGraphRect(graph);
    const CPoint o = f.origin;
    const CGraphScale& s = GetScale(graph);
    const bool readable = AreTracesReadable();
    const bool last = graph == GetGraphCount() - 1;
    const COLORREF division = f.printing ? kGrey : kDivision;
    if (!f.printing) p.FillRect(Offset(r, o), kWhite);
    int selFirst = 0, selLast = 0;
    if (!f.printing && !f.monochrome && GetSoundSelection(&selFirst, &selLast)) {
        const int x1 = std::clamp(static_cast<int>(std::lround(XOfSample(selFirst))), r.left, r.right);
        const int x2 = std::clamp(static_cast<int>(std::lround(XOfSample(selLast))) + 1, r.left, r.right);
        if (x2 > x1) p.FillRect(Offset(CRect(x1, r.top, x2, r.bottom), o), kSelectionBand);
    }
    if (readable && !f.printing) {
        for (int x = r.left + 4; x < r.right; x += 4) p.Line(x + o.x, r.top + o.y, x + o.x, r.bottom + o.y, kPaper, 1);
        for (int y = r.bottom - 4; y > r.top; y -= 4) p.Line(r.left + o.x, y + o.y, r.right + o.x, y + o.y, kPaper, 1);
    }
    if (!readable) {
        const double pps = PixelsPerSample();
        const double rate = m_pDesign ? m_pDesign->GetUpdateRate() : 0.0;
        p.Text(Offset(CRect(r.left + 8, r.top + 4, r.right - 8, r.top + 20), o), LoadResString(36540),
               CScopePainter::kLeftCaption, false, kBlack);
        const CString second = LoadResString(kSetRateText) + " " +
                               FormatValueWithPrefix(rate * pps / kReadableLimit, false, true, true, true, false) +
                               "Hz" + LoadResString(36552) + " " +
                               FormatValueWithPrefix(m_settings.timePerDivision.value * pps / kReadableLimit, false,
                                                     true, true, true, false) +
                               "s.";
        p.Text(Offset(CRect(r.left + 8, r.top + 22, r.right - 8, r.top + 38), o), second, CScopePainter::kLeftCaption,
               false, kBlack);
    }
    // Time divisions.
    const TimeUnit unit = TimeUnitOf(m_settings.timePerDivision);
    const double leftTime = TimeOfSample(m_nLeft);
    for (int i = 0, x = r.left; x <= r.right; ++i, x += kPixelsPerXDivision) {
        if (readable || x == r.left || x + kPixelsPerXDivision > r.right)
            p.Line(x + o.x, r.top + o.y, x + o.x, r.bottom + o.y, division, 1);
        const double v = i * unit.mantissa;
        p.Text(Offset(CRect(x - 20, r.bottom + 3, x + 20, r.bottom + 17), o),
               Printf(v > 99.99 ? "%.0f" : "%.3g", v), CScopePainter::kCentredBelow, last, kBlack);
    }
    // Value divisions, the zero line black.
    for (int i = 0, y = r.bottom; y >= r.top; ++i, y -= kPixelsPerYDivision) {
        const double v = s.labelBottom + i * s.labelStep;
        const bool zero = std::fabs(v) < 0.001;
        p.Line(r.left + o.x, y + o.y, r.right + o.x, y + o.y, zero ? kBlack : division, 1);
        p.Text(Offset(CRect(8, y - 7, r.left - 4, y + 7), o), FormatGraphLabel(v, s.decimals),
               CScopePainter::kRightAligned, false, kBlack);
    }
    p.Text(Offset(CRect(8, r.top - 28, r.left + 200, r.top - 12), o), GetCaption(graph), CScopePainter::kLeftCaption,
           true, kBlack);
    p.Text(Offset(CRect(r.left, r.bottom + 18, r.right, r.bottom + 34), o), GetTimeCaption(),
           CScopePainter::kCentredBelow, last, kBlack);
    if (m_nLeft != m_nOrigin) {
        const CString from = LoadResString(36527) + ": " +
                             FormatValueWithPrefix(leftTime, false, true, true, false, false) + LoadResString(36558) +
                             " +";
        p.Text(Offset(CRect(0, r.bottom + 18, r.left + 60, r.bottom + 34), o), from, CScopePainter::kLeftCaption,
               false, kBlack);
    }
    p.Line(r.left + o.x, r.top + o.y, r.left + o.x, r.bottom + o.y, kBlack, 1);
    if (readable)
        for (const CScopeTrace& t : TracesOf(graph)) DrawTrace(p, f, graph, t);
}

void CScope::DrawSegment(CScopePainter& p, const Frame& f, int graph, int x1, int y1, int x2, int y2,
                         COLORREF colour, int width)
{
    const CRect r = GetGraphRect(graph);
    const CPoint o = f.origin;
    // Entirely outside: a line along that edge, 2 pixels beyond it.
    if (y1 < r.top && y2 < r.top) {
        p.Line(x1 + o.x, r.top - 2 + o.y, x2 + o.x, r.top - 2 + o.y, colour, width);
        return;
    }
    if (y1 > r.bottom && y2 > r.bottom) {
        p.Line(x1 + o.x, r.bottom + 2 + o.y, x2 + o.x, r.bottom + 2 + o.y, colour, width);
        return;
    }
    // Cut at the edges it crosses.
    auto cut = [&](int& xa, int& ya, int xb, int yb) {
        const int edge = ya < r.top ? r.top : ya > r.bottom ? r.bottom : ya;
        if (edge == ya) return;
        xa = xa + static_cast<int>(std::lround(double(xb - xa) * (edge - ya) / double(yb - ya)));
        ya = edge;
    };
    cut(x1, y1, x2, y2);
    cut(x2, y2, x1, y1);
    p.Line(x1 + o.x, y1 + o.y, x2 + o.x, y2 + o.y, colour, width);
}

void CScope::DrawTrace(CScopePainter& p, const Frame& f, int graph, const CScopeTrace& trace)
{
    CProbe* probe = Probe(trace.channel);
    if (!probe) return;
    int from = std::max(m_nLeft, m_nStart);
    int to = std::min(GetNewestSample(), m_nLeft + VisibleSamples());
    if (!probe->ClampRange(&from, &to)) return;
    const double pps = PixelsPerSample();
    const CRect r = GetGraphRect(graph);
    auto xOf = [&](int n) { return static_cast<int>(std::lround(XOfSample(n))); };
    if (pps > 0.5) {
        int px = xOf(from), py = YOfValue(graph, TraceValue(graph, trace, from));
        if (from == to) DrawSegment(p, f, graph, px, py, px, py, trace.colour, trace.width);
        for (int n = from + 1; n <= to; ++n) {
            const int x = xOf(n), y = YOfValue(graph, TraceValue(graph, trace, n));
            DrawSegment(p, f, graph, px, py, x, y, trace.colour, trace.width);
            px = x;
            py = y;
        }
    } else {
        // Many samples to a pixel column: one span from the column's lowest
        // to its highest value, joined to the next column's.
        int column = xOf(from), lo = YOfValue(graph, TraceValue(graph, trace, from)), hi = lo, lastY = lo;
        bool joined = false;
        int prevColumn = column, prevY = lo;
        auto flush = [&]() {
            DrawSegment(p, f, graph, column, hi, column, lo, trace.colour, trace.width);
            if (joined && pps > 0.05) DrawSegment(p, f, graph, prevColumn, prevY, column, lo, trace.colour, trace.width);
            joined = true;
            prevColumn = column;
            prevY = lastY;
        };
        for (int n = from + 1; n <= to; ++n) {
            const int x = xOf(n), y = YOfValue(graph, TraceValue(graph, trace, n));
            if (x != column) {
                flush();
                column = x;
                lo = hi = y;
            } else {
                lo = std::max(lo, y);
                hi = std::min(hi, y);
            }
            lastY = y;
        }
        flush();
    }
    if (pps > 4.0)
        for (int n = from; n <= to; ++n) {
            const int x = xOf(n), y = YOfValue(graph, TraceValue(graph, trace, n));
            if (y < r.top || y > r.bottom) continue;
            const CPoint o = f.origin;
            p.Line(x - 1 + o.x, y - 1 + o.y, x + 1 + o.x, y - 1 + o.y, trace.colour, 1);
            p.Line(x + 1 + o.x, y - 1 + o.y, x + 1 + o.x, y + 1 + o.y, trace.colour, 1);
            p.Line(x + 1 + o.x, y + 1 + o.y, x - 1 + o.x, y + 1 + o.y, trace.colour, 1);
            p.Line(x - 1 + o.x, y + 1 + o.y, x - 1 + o.x, y - 1 + o.y, trace.colour, 1);
        }
}

void CScope::DrawReading(CScopePainter& p, const Frame& f)
{
    if (!m_reading.valid) return;
    const CRect r = GetGraphRect(m_reading.graph);
    const int x = static_cast<int>(std::lround(XOfSample(m_reading.sample)));
    if (x < r.left || x > r.right) return;
    p.Line(x + f.origin.x, r.top + f.origin.y, x + f.origin.x, r.bottom + f.origin.y, kCursor, 1);
    // The readings stand above the graph, right of its caption.
    int left = r.left + 200;
    p.Text(CRect(left, r.top - 28, left + 110, r.top - 12), m_reading.timeText, CScopePainter::kLeftCaption, true,
           kBlack);
    left += 110;
    for (const CScopeReading::Value& v : m_reading.values) {
        p.Text(CRect(left, r.top - 28, left + 150, r.top - 12), v.text, CScopePainter::kLeftCaption, true,
               v.trace.colour);
        left += 150;
    }
    // A marker on each trace at the cursor.
    for (const CScopeReading::Value& v : m_reading.values) {
        const int y = YOfValue(m_reading.graph, v.value);
        if (y < r.top || y > r.bottom) continue;
        p.FillRect(CRect(x - 2, y - 2, x + 3, y + 3), v.trace.colour);
    }
}
