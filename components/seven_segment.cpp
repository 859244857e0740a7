#include "components/seven_segment.h"

#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSevenSegmentDisplay, "CComponent", 1)

// Option bit of a design that shows the displays without their segments.
constexpr DWORD kOptionHideSegments = 0x200;

namespace {

// Picture 272: the case with the dark segments, 48 x 64, one orientation.
CVisual& DisplayVisual()
{
    static CVisual visual(0, 0, 272, 1, 0, 0, 48, 64);
    return visual;
}

// Where each segment stands in the case, its size, its pin and its dark
// frame (0 upright bar, 1 level bar, 2 point; +3 lit).
struct SegmentPlace {
    CPoint at;
    CSize size;
    int pin;
    WORD baseFrame;
};
constexpr SegmentPlace kPlaces[CSevenSegmentDisplay::kSegments] = {
    {{20, 8}, {12, 4}, CSevenSegmentDisplay::kPinA, 1},     {{30, 12}, {6, 16}, CSevenSegmentDisplay::kPinB, 0},
    {{27, 33}, {6, 16}, CSevenSegmentDisplay::kPinC, 0},    {{14, 50}, {12, 4}, CSevenSegmentDisplay::kPinD, 1},
    {{12, 33}, {6, 16}, CSevenSegmentDisplay::kPinE, 0},    {{15, 12}, {6, 16}, CSevenSegmentDisplay::kPinF, 0},
    {{17, 29}, {12, 4}, CSevenSegmentDisplay::kPinG, 1},    {{30, 50}, {6, 6}, CSevenSegmentDisplay::kPinPoint, 2},
};

} // namespace

CSevenSegmentDisplay::CSevenSegmentDisplay()
{
    m_pVisual = &DisplayVisual();
    m_nOrientationMask = 1;
}

int CSevenSegmentDisplay::PinOfSegment(int segment)
{
    return segment >= 0 && segment < kSegments ? kPlaces[segment].pin : -1;
}

void CSevenSegmentDisplay::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    SetupSegments();
}

void CSevenSegmentDisplay::SetupSegments()
{
    AttachToCircuit(m_pCircuit);
    for (CSevenSegmentLED& s : m_segments) s.ResetSimulation();
    CTerminal* common = GetTerminal(kPinCommon);
    for (int i = 0; i < kSegments; ++i) {
        const SegmentPlace& p = kPlaces[i];
        m_segments[static_cast<size_t>(i)].Setup(p.at, p.size, GetTerminal(p.pin), common, p.baseFrame, this);
    }
}

void CSevenSegmentDisplay::AttachToCircuit(CPartTree* design)
{
    CComponent::AttachToCircuit(design);
    for (CSevenSegmentLED& s : m_segments) s.AttachToCircuit(design);
}

void CSevenSegmentDisplay::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring()) SetupSegments();
    for (CSevenSegmentLED& s : m_segments) s.Serialize(ar);
    if (ar.IsStoring()) return;
    // A damaged file may name any frame: keep each segment to its own two.
    for (CSevenSegmentLED& s : m_segments)
        if (s.m_wStateWord != s.GetBaseFrame() && s.m_wStateWord != s.GetBaseFrame() + 3) s.ResetState();
}

void CSevenSegmentDisplay::ResetState()
{
    for (CSevenSegmentLED& s : m_segments) s.ResetState();
}

void CSevenSegmentDisplay::ResetVisual()
{
    CComponent::ResetVisual();
    for (CSevenSegmentLED& s : m_segments) s.ResetVisual();
}

void CSevenSegmentDisplay::Stamp(CMatrix* matrix)
{
    if (!HasAllPins()) return;
    for (CSevenSegmentLED& s : m_segments) s.Stamp(matrix);
}

void CSevenSegmentDisplay::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (!HasAllPins()) return;
    for (CSevenSegmentLED& s : m_segments) s.LimitStep(out, fraction, nodeValues);
}

int CSevenSegmentDisplay::AfterStep()
{
    CComponent::AfterStep();
    if (!HasAllPins()) return IsBroken();
    CExplode* burnt = nullptr;
    for (CSevenSegmentLED& s : m_segments) {
        if (IsBroken() || burnt) break;
        s.UpdateSegment(&burnt);
    }
    if (burnt) {
        ResetState();
        CPart::AddChild(burnt);
    }
    return IsBroken();
}

int CSevenSegmentDisplay::GetSupplyRails(double* high, double* low)
{
    CTerminal* common = GetTerminal(kPinCommon);
    if (!common || !common->IsJoined()) return 0;
    *high = *low = common->GetVoltage();
    return 1;
}

int CSevenSegmentDisplay::Draw(DWORD flags)
{
    const int broken = IsBroken();
    if (m_pVisual) m_pVisual->DrawWhole(m_rect.left, m_rect.top, 0, broken, m_nOrientation);
    CCircuit* design = GetDesign();
    if (!broken && !(design && design->TestOptions(kOptionHideSegments)))
        for (CSevenSegmentLED& s : m_segments) s.DrawSegment(flags, m_rect.left, m_rect.top);
    return CPart::Draw(flags);
}
