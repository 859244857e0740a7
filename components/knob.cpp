#include "components/knob.h"

#include "model/display/visual.h"
#include "model/parts/parttree.h"
#include "platform/archive.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CKnob, "CToggle", 5)

namespace {
// Frame = state: even frames resting, odd frames highlighted.
CVisual& KnobHandlePicture()
{
    static CVisual picture(0, 0, 116, 10, 0, 0, 7, 7);
    return picture;
}
// Cursor ids of the shared table: the grab hand and the open hand.
constexpr int kGrabCursor = 19;
constexpr int kOpenHandCursor = 21;
} // namespace

DWORD PackPair(CPoint p) { return (static_cast<DWORD>(static_cast<WORD>(p.y)) << 16) | static_cast<WORD>(p.x); }

CPoint UnpackPair(DWORD packed)
{
    return CPoint(static_cast<int16_t>(packed & 0xFFFF), static_cast<int16_t>(packed >> 16));
}

CKnob::CKnob() { m_pVisual = &KnobHandlePicture(); }

CKnob::CKnob(int x, int y, int dx, int dy, int axis, CPart* operated) : CKnob()
{
    m_pOperated = operated;
    m_nAxis = axis;
    m_rect.SetRect(x - dx, y - dy, x - dx + 7, y - dy + 7);
}

void CKnob::Serialize(CArchive& ar)
{
    CToggle::Serialize(ar);
    if (ar.IsStoring()) {
        ar << PackPair(m_anchor) << static_cast<WORD>(m_nAxis);
        return;
    }
    DWORD anchor = 0;
    WORD axis = 0;
    ar >> anchor >> axis;
    m_anchor = UnpackPair(anchor);
    m_nAxis = axis;
}

bool CKnob::HandlesShown(CPartTree* design)
{
    const DWORD o = DesignOptions(design);
    return (o & 0x80) && (o & 0x100000);
}

void CKnob::Motion(CPartTree* design, int phase, double displacement)
{
    if (m_pOperated) m_pOperated->AccumulateMotion(design, phase, m_nAxis, displacement);
}

int CKnob::OnPress(CPartTree* design, int x, int y)
{
    if (!HandlesShown(design)) return 0;
    m_last = CPoint(x, y);
    Motion(design, 0, 0.0);
    m_nOfferedCursor = kGrabCursor;
    m_wState = static_cast<WORD>(m_wState | 1);
    return 0;
}

CRect CKnob::OnDrag(CPartTree* design, CPoint point)
{
    if (!HandlesShown(design)) return CRect();
    Motion(design, 1, (point.x - m_last.x) / 4000.0);
    m_last = point;
    m_nOfferedCursor = kGrabCursor;
    return m_rect;
}

int CKnob::OnRelease(CPartTree* design, int, int)
{
    if (!HandlesShown(design)) return 0;
    Motion(design, 2, 0.0);
    m_wState = static_cast<WORD>(m_wState & ~1);
    m_nOfferedCursor = 0;
    return 1;
}

int CKnob::SetAnchor(CPoint anchor)
{
    if (anchor == m_anchor) return 1;
    Offset(anchor.x - m_anchor.x, anchor.y - m_anchor.y);
    m_anchor = anchor;
    return 0;
}

void CKnob::DrawOnOwner(DWORD flags, int force)
{
    if (!m_pVisual || !m_pOperated || !(flags & 0x4) || !(flags & 0x100000)) return;
    if (!force && !(flags & 0x200)) return;
    const int frame = std::min<int>(m_wState, FrameCount() - 1);
    const CPoint at = m_pOperated->m_rect.TopLeft() + m_anchor;
    m_pVisual->DrawWhole(at.x, at.y, frame, 0, 0);
}

int CKnob::ShowInfo(CPoint, CString&)
{
    CPartTree* design = m_pOperated ? m_pOperated->GetCircuit() : nullptr;
    if (!HandlesShown(design)) return 0;
    return IsHighlighted() ? kGrabCursor : kOpenHandCursor;
}

int CKnob::HasInfo(int x, int y) { return m_pOperated ? m_pOperated->HasInfo(x, y) : 0; }

int CKnob::BuildInfo(CString& text, UINT messageId, CPoint point)
{
    CPartTree* design = m_pOperated ? m_pOperated->GetCircuit() : nullptr;
    if (m_pOperated) m_pOperated->BuildInfo(text, messageId, point);
    return HandlesShown(design) ? kOpenHandCursor : 0;
}
