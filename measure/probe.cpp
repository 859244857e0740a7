#include "measure/probe.h"

#include "model/circuit/circuit.h"
#include "model/components/wire.h"
#include "model/designfile/units.h"
#include "model/text/number.h"

#include <algorithm>
#include <bit>

WB_IMPLEMENT_SERIAL(CProbe, "CPart", 2)

namespace {

// A reference read back from the archive, or null when it names another kind.
template <class T>
T* ReadRefAs(CArchive& ar, const char* name)
{
    return dynamic_cast<T*>(ar.ReadObjectRef(name));
}

CRect PlainRect(CPoint topLeft)
{
    return CRect(topLeft.x, topLeft.y, topLeft.x + CProbe::kPictureSize, topLeft.y + CProbe::kPictureSize);
}

// Whether part stands in the tree below list (siblings and descendants).
bool Holds(const CPart* list, const CPart* part)
{
    for (const CPart* p = list; p; p = p->GetNextSibling())
        if (p == part || Holds(p->GetFirstChild(), part)) return true;
    return false;
}

// Whether part stands directly in one of the design's groups.
bool HoldsTopLevel(const CPart* design, const CPart* part)
{
    for (const CPart* g = design->GetFirstChild(); g; g = g->GetNextSibling())
        for (const CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling())
            if (p == part) return true;
    return false;
}

} // namespace

CProbe::CProbe() : CPart(PlainRect(CPoint(0, 0))) { ResetFields(); }

CProbe::CProbe(CCircuit* design, CPoint tip) : CPart(PlainRect(CPoint(tip.x - 7, tip.y - 7)))
{
    ResetFields();
    m_pDesign = design;
    m_wChannel = static_cast<WORD>(design ? design->AllocateProbeChannel() : kSoundChannel);
    m_bHoldsChannel = m_wChannel < 4;
    AllocateTraces(1);
}

CProbe::CProbe(int channel) : CPart(PlainRect(CPoint(0, 0)))
{
    ResetFields();
    m_wChannel = static_cast<WORD>(channel);
    m_samples.clear();
}

CProbe::~CProbe()
{
    ReleaseChannel();
    if (m_pSound) m_pSound->SetProbe(nullptr);
}

void CProbe::ResetFields()
{
    m_wChannel = 0;
    m_wWireNode = 0;
    m_pPart = nullptr;
    m_pDesign = nullptr;
    m_dwMask = kUnconnected;
    m_wTraceCount = 1;
    m_bDetached = 0;
    m_bMechanism = 0;
    m_pSound = nullptr;
    m_nFirstSample = 0;
    m_nSelStart = m_nSelEnd = kNoSelection;
    m_bLoop = 1;
    std::fill(std::begin(m_clip), std::end(m_clip), BYTE(0));
    m_bHoldsChannel = false;
    AllocateTraces(1);
}

int CProbe::TraceCountOf(DWORD mask)
{
    if (mask == kUnconnected) return 1;
    return std::max(std::popcount(mask), 1);
}

void CProbe::AllocateTraces(int count)
{
    m_wTraceCount = static_cast<WORD>(std::max(count, 1));
    m_samples.assign(static_cast<size_t>(m_wTraceCount) * kRingSize, 0.0);
}

void CProbe::ClearSamples() { std::fill(m_samples.begin(), m_samples.end(), 0.0); }

// ---- channels ----

void CProbe::ReleaseChannel()
{
    if (m_pDesign && m_bHoldsChannel) m_pDesign->ReleaseProbeChannel(m_wChannel);
    m_bHoldsChannel = false;
}

void CProbe::ClaimChannel(CCircuit* design)
{
    m_pDesign = design;
    m_bHoldsChannel = false;
    if (!design || m_pSound) return;
    if (design->MarkProbeChannel(m_wChannel)) {
        m_bHoldsChannel = true;
        return;
    }
    // Taken by another probe (two designs' probes pasted together, a
    // damaged file): the first free channel, 4 when none is left.
    m_wChannel = static_cast<WORD>(design->AllocateProbeChannel());
    m_bHoldsChannel = m_wChannel < 4;
}

void CProbe::AttachToCircuit(CPartTree* design)
{
    auto* d = dynamic_cast<CCircuit*>(design);
    if (!d || d == m_pDesign) return;
    // A design that only carries the probe for a while (the floating design
    // of a drag) does not take its channel from the design it records in.
    if (m_pDesign && !m_pDesign->IsTemporary() && d->IsTemporary()) return;
    ReleaseChannel();
    ClaimChannel(d);
}

void CProbe::AttachToDesign(CCircuit* design)
{
    ReleaseChannel();
    m_pDesign = design;
    // The design has marked the channel for this probe (RegisterProbes).
    m_bHoldsChannel = design && m_wChannel < 4 && design->m_probeChannels[m_wChannel] != 0;
}

void CProbe::ForgetDesign(const CCircuit* design)
{
    if (m_pDesign != design) return;
    m_pDesign = nullptr;
    m_bHoldsChannel = false;
}

// ---- archive ----

void CProbe::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    const WORD v = ar.GetVersion();
    if (ar.IsStoring()) {
        ar << m_wChannel << m_wWireNode;
        ar.WriteObjectRef(m_pPart);
        ar.WriteObjectRef(m_pDesign);
        if (v > 3) ar << m_dwMask << m_wTraceCount << static_cast<WORD>(m_bDetached);
        return;
    }
    ReleaseChannel();
    WORD channel = 0, node = 0, traces = 0, detached = 0;
    DWORD mask = 3;
    ar >> channel >> node;
    CPart* part = ReadRefAs<CPart>(ar, "CPart");
    CCircuit* design = ReadRefAs<CCircuit>(ar, "CCircuit");
    if (v > 3) {
        ar >> mask >> traces >> detached;
    } else {
        traces = 2;
    }
    m_wChannel = channel;
    m_wWireNode = node;
    m_pPart = part;
    m_dwMask = mask;
    m_bDetached = detached != 0;
    // The storage follows the mask: a trace count on file that disagrees
    // with it (a damaged file says 65535) would size the rings wrongly.
    AllocateTraces(TraceCountOf(mask));
    m_pDesign = nullptr;
    if (design) ClaimChannel(design);
}

void CProbe::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CPart::AfterLoad(design, flags, version);
    ConnectToPart();
}

void CProbe::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pPart)) {
        m_pPart = nullptr;
        m_wWireNode = 0;
    }
    if (gone.count(m_pDesign)) {
        m_pDesign = nullptr;
        m_bHoldsChannel = false;
    }
    CPart::DropDeadLinks(gone);
}

// ---- connecting ----

CPart* CProbe::FindProbedPart(bool place)
{
    if (!m_pDesign) return nullptr;
    CPart* hit = m_pDesign->FindPartAt(m_rect.CenterPoint(), 1, 1, 2);
    if (hit && hit->DefersToParent()) {
        for (CPart* g = m_pDesign->GetFirstChild(); g; g = g->GetNextSibling())
            if (CPart* parent = CPart::FindParentOf(g->GetFirstChild(), hit)) {
                hit = parent;
                break;
            }
    }
    if (hit == this) hit = nullptr;
    if (!place) return hit;
    if (hit && !hit->IsWire() && !m_bDetached) {
        const CRect extent = hit->GetExtent(m_rect.left, m_rect.top);
        if (!extent.IsRectEmpty()) {
            m_rect = extent;
            return hit;
        }
    }
    if (IsDragIdle()) {
        // A free probe stands one pixel below and right of a grid point.
        // One that already does stays: snapping its corner itself would
        // move it a pixel on every load where the grid is off or finer
        // than 3 pixels (the corner is its own nearest grid point).
        const CPoint corner = m_rect.TopLeft();
        CPoint grid = m_pDesign->SnapToGrid(CPoint(corner.x - 1, corner.y - 1));
        if (grid.x + 1 != corner.x || grid.y + 1 != corner.y) grid = m_pDesign->SnapToGrid(corner);
        m_rect = PlainRect(CPoint(grid.x + 1, grid.y + 1));
    }
    return hit;
}

void CProbe::ConnectToPart()
{
    CPart* part = FindProbedPart(true);
    LinkMechanismControls(part, 0);
    if (!part) {
        m_pPart = nullptr;
        m_wWireNode = 0;
        return;
    }
    m_pPart = part;
    const CPoint tip = GetTip();
    const DWORD mask = part->GetProbeQuantities(tip.x, tip.y);
    if (mask != m_dwMask) {
        const int count = TraceCountOf(mask);
        if (count != m_wTraceCount) AllocateTraces(count);
        m_dwMask = mask;
        ClearSamples();
        if (m_pDesign && m_pDesign->GetHost())
            if (CSimulationGraph* graph = m_pDesign->GetHost()->GetGraph()) graph->Invalidate();
    }
    auto* wire = dynamic_cast<CWire*>(part);
    m_wWireNode = wire ? wire->GetNodeNumber() : 0;
}

void CProbe::LinkMechanismControls(CPart* part, int flag)
{
    m_bMechanism = 0;
    if (!part || !part->IsKindOf("CMechComp")) return;
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (c->IsKindOf("CKnob")) {
            CRect both;
            both.UnionRect(c->GetRect(), m_rect);
            if (both == m_rect) {
                c->SetInputValue(nullptr, flag ? 0 : m_wChannel * 2 + 2);
                m_bMechanism = !flag;
            }
        } else if (c->IsKindOf("CHand")) {
            m_bMechanism = !flag;
        }
    }
}

// ---- recording and reading ----

CPart* CProbe::LiveProbedPart() const
{
    // The part may have left the design since the probe connected (deleted,
    // or a wire merged into its neighbour); until the next connection the
    // probe then measures nothing.  Probed parts are nearly always parts of
    // the groups themselves, so those are looked at before the children
    // (bench_probe: four probes in a design of 200 two-pin parts).
    if (!m_pPart || !m_pDesign) return nullptr;
    if (HoldsTopLevel(m_pDesign, m_pPart)) return m_pPart;
    return Holds(m_pDesign->GetFirstChild(), m_pPart) ? m_pPart : nullptr;
}

void CProbe::RecordSample(int position)
{
    if (m_samples.empty()) return;
    int slot = position + (m_pDesign ? m_pDesign->GetRingStart() : 0);
    if (slot >= kRingSize) slot -= kRingSize;
    if (slot < 0 || slot >= kRingSize) return;
    if (!m_pPart && m_dwMask == kUnconnected) {
        m_samples[static_cast<size_t>(slot)] = 0.0;
        return;
    }
    const CPoint tip = GetTip();
    CPart* part = LiveProbedPart();
    int k = 0;
    for (int b = 0; b < 32 && k < m_wTraceCount; ++b) {
        const DWORD bit = DWORD(1) << b;
        if (!(m_dwMask & bit)) continue;
        const double v = part ? part->GetQuantity(tip.x, tip.y, static_cast<int>(bit)) : 0.0;
        m_samples[static_cast<size_t>(k) * kRingSize + static_cast<size_t>(slot)] = v;
        ++k;
    }
}

double CProbe::GetSample(int sampleNumber, DWORD quantityBit) const
{
    int k = 0;
    if (m_dwMask != kUnconnected) {
        // A quantity the probe does not record reads as 0, not as the
        // trace of the next lower one.
        if (!(m_dwMask & quantityBit) || std::popcount(quantityBit) != 1) return 0.0;
        k = std::popcount(m_dwMask & (quantityBit | (quantityBit - 1))) - 1;
    }
    if (m_pSound) {
        const long long i = static_cast<long long>(sampleNumber) - m_nFirstSample;
        return i >= 0 && i < m_pSound->GetLength() ? m_pSound->GetValue(static_cast<int>(i)) : 0.0;
    }
    if (k < 0 || k >= m_wTraceCount || m_samples.empty()) return 0.0;
    long long i = static_cast<long long>(sampleNumber) - m_nFirstSample;
    if (i < 0 || i >= kRingSize) return 0.0;
    i += m_pDesign ? m_pDesign->GetRingStart() : 0;
    if (i >= kRingSize) i -= kRingSize;
    return m_samples[static_cast<size_t>(k) * kRingSize + static_cast<size_t>(i)];
}

bool CProbe::IsSampleValid(int sampleNumber) const
{
    const long long i = static_cast<long long>(sampleNumber) - m_nFirstSample;
    if (m_pSound) return i >= 0 && i < m_pSound->GetLength();
    const int count = m_pDesign ? m_pDesign->GetSampleCount() : 0;
    return i >= 0 && i < kRingSize && i < count;
}

bool CProbe::ClampRange(int* from, int* to) const
{
    if (*from < 0) *from = 0;
    const int count = m_pDesign ? m_pDesign->GetSampleCount() : 0;
    if (count <= 0) {
        *to = *from;
        return false;
    }
    const int lo = m_nFirstSample, hi = m_nFirstSample + count - 1;
    *from = std::clamp(*from, lo, hi);
    *to = std::clamp(*to, lo, hi);
    return *to >= *from;
}

void CProbe::NormaliseSelection()
{
    if (m_nSelEnd < m_nSelStart) std::swap(m_nSelStart, m_nSelEnd);
}

void CProbe::SetDisplayPosition(int start, int end) { m_nFirstSample = m_pSound ? end : start; }

void CProbe::LinkSoundSample(CProbeSampleSource* sample)
{
    m_pSound = sample;
    if (sample) sample->SetProbe(this);
    m_dwMask = 1;
    m_wTraceCount = 1;
}

// ---- editing ----

int CProbe::OnPress(CPartTree* design, int x, int y)
{
    auto* d = dynamic_cast<CCircuit*>(design);
    if (d && m_pPart && !m_pPart->IsWire() && d->CountSelected(nullptr, 0) < 2) {
        // Lifted off the part so that it can be carried; a click (a release
        // where it was lifted) puts it back round the part.
        m_rcLifted = m_rect;
        const CPoint grid = d->SnapToGrid(CPoint(x, y));
        m_rect = PlainRect(CPoint(grid.x - 7, grid.y - 7));
        m_rcLiftedTo = m_rect;
        m_bDetached = 1;
    }
    return CPart::OnPress(design, x, y);
}

int CProbe::OnRelease(CPartTree* design, int x, int y)
{
    if (m_bDetached && !m_rcLifted.IsRectEmpty() && m_rect == m_rcLiftedTo) {
        m_rect = m_rcLifted;
        m_bDetached = 0;
    }
    m_rcLifted.SetRectEmpty();
    if (IsDragIdle() && m_pDesign) {
        CPart* part = m_pDesign->FindPartAt(m_rect.CenterPoint(), 1, 1, 2);
        if (part && part != this && !part->IsWire()) {
            const CRect extent = part->GetExtent(m_rect.left, m_rect.top);
            if (!extent.IsRectEmpty()) m_rect = extent;
            m_bDetached = 0;
        }
    }
    return CPart::OnRelease(design, x, y);
}

void CProbe::Drop(CPartTree* design)
{
    CPart::Drop(design);
    ConnectToPart();
    if (design) DrawTree(design->GetRedrawFlags());
}

int CProbe::CanDrop(CPartTree* design)
{
    auto* d = dynamic_cast<CCircuit*>(design);
    if (!d) return 0;
    return d->GetPageRect().PtInRect(m_rect.CenterPoint()) ? 1 : 0;
}

void CProbe::FollowSelection(CPartTree* design)
{
    auto* d = dynamic_cast<CCircuit*>(design);
    if (d && d->FindProbe(m_wChannel)) Select(d->GetRedrawFlags() | 0x80000);
}

int CProbe::BuildInfo(CString& text, UINT messageId, CPoint point)
{
    text.clear();
    CUnitChoices units;
    if (m_pDesign) units = CUnitChoices{m_pDesign->m_wAngleUnit, m_pDesign->m_wSpeedUnit, false};
    const CPoint tip = GetTip();
    CPart* part = LiveProbedPart();
    if (m_dwMask != kUnconnected) {
        for (int b = 0; b < 32; ++b) {
            const DWORD bit = DWORD(1) << b;
            if (!(m_dwMask & bit)) continue;
            const double raw = part ? part->GetQuantity(tip.x, tip.y, static_cast<int>(bit)) : 0.0;
            const double shown = ConvertQuantity(raw, bit, units);
            const int code = EngineeringPrefix(shown);
            CNumber n;
            n.SetValue(shown / PrefixFactor(code), code);
            text += n.Format();
            const char letter = PrefixLetter(code);
            if (letter != ' ') text += letter;
            text += GetQuantityUnitText(bit, &units);
            text += ", ";
        }
    }
    if (text.size() >= 2) text.resize(text.size() - 2);
    // A probe that has never measured anything has nothing to tell.
    if (text.empty()) return CPart::BuildInfo(text, messageId, point);
    return 1;
}
