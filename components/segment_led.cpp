#include "components/segment_led.h"

#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

// A record for the class, but no factory: a segment is only ever read and
// written inside its display.
WB_IMPLEMENT_RUNTIMECLASS(CSevenSegmentLED, "CDiode", 2)

// Ratings text of a segment: 30 mA, 3 V either way.
constexpr UINT IDS_SEGMENT_RATINGS = 71;

namespace {

// Picture 273: six 16 x 16 frames, the dark upright bar, level bar and
// point (0-2) and the same lit (3-5), each in its frame's top-left corner.
CVisual& SegmentVisual()
{
    static CVisual visual(0, 1, 273, 6, 0, 0, 16, 16);
    static const bool ready = (visual.SetOrientationMask(1), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}

} // namespace

CSevenSegmentLED::~CSevenSegmentLED()
{
    // The terminals are the display's: they are neither deleted nor
    // unlinked with the segment.
    m_terminals.clear();
    m_wTerminalCount = 0;
}

void CSevenSegmentLED::Setup(CPoint position, CSize size, CTerminal* segmentPin, CTerminal* commonPin,
                             WORD baseFrame, CPart* owner)
{
    m_rect.SetRect(position.x, position.y, position.x + size.cx, position.y + size.cy);
    m_wBaseFrame = baseFrame;
    m_wStateWord = baseFrame;
    m_pOwner = owner;
    m_terminals = {segmentPin, commonPin};
    m_wTerminalCount = 2;
    m_model.SetKnee(1.75);
    m_pVisual = &SegmentVisual();
    m_nOrientationMask = 1;
    m_nOrientation = 0;
    LoadRatings(IDS_SEGMENT_RATINGS);
}

void CSevenSegmentLED::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_wStateWord;
    else
        ar >> m_wStateWord;
}

CPoint CSevenSegmentLED::OwnerTopLeft() const { return m_pOwner ? m_pOwner->m_rect.TopLeft() : CPoint(0, 0); }

bool CSevenSegmentLED::UpdateSegment(CExplode** explosion)
{
    if (m_terminals.size() < 2 || !m_terminals[0] || !m_terminals[1]) return false;
    // Every segment shares the common pin's current: the segment is judged
    // on its own pin only.
    // The segment's design is its display's.
    if (m_pOwner) m_pCircuit = m_pOwner->GetCircuit();
    CTerminal* common = m_terminals[1];
    const double shared = common->GetCurrent();
    common->SetCurrent(0.0);
    CComponent::AfterStep();
    common->SetCurrent(shared);

    bool broke = false;
    if (CExplode* marker = GetExplosion()) {
        const CPoint at = m_rect.TopLeft() + OwnerTopLeft();
        marker->m_rect.SetRect(at.x - 28, at.y - 28, at.x + 40, at.y + 40);
        CPart::RemoveChild(marker);
        if (explosion)
            *explosion = marker;
        else
            delete marker;
        broke = true;
    }
    m_model.Commit();
    const double current = GetModelCurrent();
    const WORD frame = static_cast<WORD>(m_wBaseFrame + (current >= kLitCurrent && !broke ? 3 : 0));
    if (frame != m_wStateWord) {
        m_wStateWord = frame;
        CCircuit* design = dynamic_cast<CCircuit*>(m_pOwner ? m_pOwner->GetCircuit() : nullptr);
        const CPoint tl = OwnerTopLeft();
        DrawSegment(design ? design->GetOptions() : 0, tl.x, tl.y);
    }
    return broke;
}

void CSevenSegmentLED::DrawSegment(DWORD flags, int x, int y)
{
    if (!(flags & 0x4) || !m_pVisual) return;
    // Only the segment's own rectangle: the frames are larger than the
    // segments, and a whole frame would paint over its neighbours.
    m_pVisual->DrawBitmap(x + m_rect.left, y + m_rect.top, m_wStateWord, IsBroken() ? 1 : 0, CPoint(0, 0),
                          m_rect.Size(), 0);
}

void CSevenSegmentLED::ResetVisual()
{
    const int rest = m_pVisual ? m_pVisual->GetRestFrame() : -1;
    if (rest >= 0) m_wStateWord = static_cast<WORD>(m_wBaseFrame + rest);
}
