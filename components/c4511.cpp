#include "components/c4511.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(C4511, "CComponent", 4)

namespace {
constexpr int kLampTestModel = 10;
constexpr int kBlankingModel = 11;

// Segment models: first node, node count and the mask of the nodes that
// light the segment (digits 0-9, bit 10 lamp test), in segment order a-g.
struct SegmentRow {
    int first;
    int count;
    unsigned mask;
};
constexpr SegmentRow kSegmentRows[C4511::kSegments] = {
    {0, 11, 1965}, // a: 0 2 3 5 7 8 9
    {0, 11, 1951}, // b: 0 1 2 3 4 7 8 9
    {0, 11, 2043}, // c: 0 1 3 4 5 6 7 8 9
    {0, 11, 1389}, // d: 0 2 3 5 6 8
    {0, 11, 1349}, // e: 0 2 6 8
    {0, 11, 1905}, // f: 0 4 5 6 8 9
    {2, 9, 479},   // g: 2 3 4 5 6 8 9 (nodes from 2)
};
// Stamping order of the segment outputs: a, b, c, then d, e, f, g.
constexpr int kSegmentPins[C4511::kSegments] = {C4511::kSegA, C4511::kSegB, C4511::kSegC, C4511::kSegD,
                                                C4511::kSegE, C4511::kSegF, C4511::kSegG};
} // namespace

C4511::C4511()
{
    m_pVisual = &LogicVisual(4238, 1, 32, 108);
    m_nOrientationMask = 15;
    // Watched pins A, B, C, D and blanking (mask 47 skips lamp test); the
    // wanted-high mask is blanking (32) plus the digit's bits.
    for (int i = 0; i < kDigits; ++i) m_inputs[i].SetInputs(kA, 6, 47, 32u + static_cast<unsigned>(i), true);
    m_inputs[kLampTestModel].SetInputs(kLampTest, 1, 1, 1, false);
    m_inputs[kBlankingModel].SetInputs(kBlanking, 1, 1, 1, true);
    for (int s = 0; s < kSegments; ++s)
        m_segments[s].SetInputs(kSegmentRows[s].first, kSegmentRows[s].count, kSegmentRows[s].mask, 0, false);
    LoadRatings(IDS_LOGIC_RATINGS);
}

int C4511::PinOfSegment(int segment) { return kSegmentPins[segment]; }

void C4511::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int C4511::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
}

void C4511::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    ResetSimulation();
}

void C4511::AssignInternalNodes(uint16_t* nextNode)
{
    m_wFirstNode = *nextNode;
    *nextNode = static_cast<uint16_t>(*nextNode + kInternalNodes);
}

void C4511::ResetSimulation()
{
    CCircuit* design = GetDesign();
    if (!design) return;
    for (CLogic& m : m_inputs) m.SetFromCircuit(*design);
    for (CLogic2& m : m_segments) m.SetFromCircuit(*design);
}

void C4511::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins || m_wFirstNode == 0) return;
    const double g = design->GetLogicConductance();
    // A gate model driving an internal node, with G to ground there.
    auto drive = [&](const CLogic& model, int node) {
        const GateTransfer t = GateTransferOf(model, *design);
        const auto n = static_cast<uint16_t>(m_wFirstNode + node);
        matrix->StampTransferToNodes(t.g, t.i0, GetTerminal(model.GetPresentPin()), nullptr, n, 0);
        matrix->StampConductanceNodes(g, n, 0);
    };
    if (!m_bLatched) {
        for (int i = 0; i < kDigits; ++i) drive(m_inputs[i], i);
    } else if (m_wLatchedDigit < kDigits) {
        // The latched digit's node keeps its G: a current into a node
        // without any conductance would leave it at an absurd voltage.
        drive(m_inputs[kBlankingModel], m_wLatchedDigit);
    }
    drive(m_inputs[kLampTestModel], kLampTestNode);
    for (int s = 0; s < kSegments; ++s)
        StampGateCurrentFromNode(matrix, m_segments[s], static_cast<uint16_t>(m_wFirstNode + m_segments[s].GetPresentPin()),
                                 GetTerminal(kSegmentPins[s]), *design);
    for (int s = 0; s < kSegments; ++s) StampLogicLoad(matrix, GetTerminal(kSegmentPins[s]), *design);
}

void C4511::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins || m_wFirstNode == 0) return;
    const LogicPinArray pins(*this);
    for (CLogic& m : m_inputs) m.LimitStep(out, fraction, nodeValues, pins.Get(), *design);
    for (CLogic2& m : m_segments) m.LimitStepIndexed(out, fraction, nodeValues, m_wFirstNode, *design);
}

int C4511::AfterStep()
{
    const int broken = CComponent::AfterStep();
    for (CLogic& m : m_inputs) m.Commit();
    for (CLogic2& m : m_segments) m.Commit();
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kPins) return broken;
    const bool le = IsLogicHigh(GetTerminal(kLatchEnable), *design);
    if (m_bPreviousLatchEnable && !le) {
        m_bLatched = 0;
        design->SetChanged();
    } else if (!m_bPreviousLatchEnable && le) {
        m_bLatched = 1;
        int digit = 0;
        for (int bit = 0; bit < 4; ++bit)
            if (IsLogicHigh(GetTerminal(kA + bit), *design)) digit += 1 << bit;
        m_wLatchedDigit = static_cast<WORD>(digit);
    }
    m_bPreviousLatchEnable = le;
    return broken;
}
