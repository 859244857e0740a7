#include "components/resize.h"

#include "components/knob.h"
#include "model/display/visual.h"
#include "model/parts/parttree.h"
#include "platform/archive.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CResize, "CToggle", 5)

namespace {
// Frame 0 resting, frame 1 held.
CVisual& HandlePicture()
{
    static CVisual picture(0, 0, 115, 2, 0, 0, 4, 4);
    return picture;
}
} // namespace

CResize::CResize() { m_pVisual = &HandlePicture(); }

CResize::CResize(int x, int y, int dx, int dy, CPart* operated, int gridMultiple, int mode) : CResize()
{
    m_pOperated = operated;
    m_anchor = CPoint(x, y);
    m_wGridMultiple = static_cast<WORD>(std::max(gridMultiple, 1));
    m_nMode = mode;
    m_rect.SetRect(x - dx - 4, y - dy - 4, x - dx + 8, y - dy + 8);
}

void CResize::Serialize(CArchive& ar)
{
    CToggle::Serialize(ar);
    if (ar.IsStoring()) {
        ar << PackPair(m_anchor) << m_wGridMultiple;
        return;
    }
    DWORD anchor = 0;
    ar >> anchor >> m_wGridMultiple;
    m_anchor = UnpackPair(anchor);
    // The drag divides by grid step x multiple.
    if (m_wGridMultiple == 0) m_wGridMultiple = 1;
}

void CResize::Place()
{
    const CPoint base = m_pOperated ? m_pOperated->m_rect.TopLeft() : CPoint(0, 0);
    const CPoint a = base + m_anchor;
    m_rect.SetRect(a.x - 4, a.y - 4, a.x + 8, a.y + 8);
}

void CResize::DrawHandle(DWORD flags)
{
    if (!(flags & 0x80) || !m_pVisual) return;
    m_pVisual->DrawWhole(m_rect.left + 4, m_rect.top + 4, std::min<int>(m_wState, 1), 0, 0);
}

bool CResize::Editable(CPartTree* design) const
{
    return design && (design->GetOptionWord() & 0x80) && !design->IsLocked();
}

int CResize::OnPress(CPartTree* design, int x, int y)
{
    if (!design || !m_pOperated || !(design->GetOptionWord() & 0x80)) return 0;
    if (design->IsLocked() && !m_pOperated->IsSelectableWhenLocked(design)) return 0;
    m_last = design->SnapToGrid(CPoint(x, y));
    m_pOperated->Select(design->GetOptionWord());
    if (!design->IsLocked()) m_nOfferedCursor = ResizeCursor();
    m_pOperated->FindAttachments(design);
    m_wState = 1;
    return 0;
}

CRect CResize::OnDrag(CPartTree* design, CPoint point)
{
    if (!Editable(design) || !m_pOperated) return CRect();
    const CPoint s = design->SnapToGrid(point);
    const int step = std::max(design->GetGridStep(), 1) * std::max<int>(m_wGridMultiple, 1);
    const int moved = m_nMode == kHorizontal ? s.x - m_last.x : s.y - m_last.y;
    if (moved == 0 || moved % step != 0) return CRect();
    if (!m_bDragging) {
        // The part leaves the design while it changes size.
        m_bDragging = true;
        design->RemovePart(m_pOperated);
        m_pOperated->JoinConnections(design);
    }
    m_nMovement = moved;
    const int followed = m_pOperated->TrackHandle(design, point);
    m_nMovement = 0;
    if (followed) {
        if (m_nMode == kHorizontal)
            Offset(moved, 0);
        else
            Offset(0, moved);
    } else {
        Place();
    }
    m_last = s;
    m_nOfferedCursor = ResizeCursor();
    return m_rect;
}

int CResize::OnRelease(CPartTree* design, int x, int y)
{
    m_wState = 0;
    m_nOfferedCursor = 0;
    if (!m_pOperated) return 0;
    if (!m_bDragging) {
        m_pOperated->Deselect(DesignOptions(design));
        return 0;
    }
    m_bDragging = false;
    if (m_pOperated->CanDrop(design)) {
        m_pOperated->Drop(design);
        m_pOperated->UpdateAttachments(design);
        return 1;
    }
    m_pOperated->UpdateAttachments(design);
    if (design && (design->IsAboveView(CPoint(x, y)) || design->IsDropBlocked() || design->IsInProgress())) return 2;
    return 3;
}

int CResize::ShowInfo(CPoint, CString&)
{
    CPartTree* design = m_pOperated ? m_pOperated->GetCircuit() : nullptr;
    if (!design || !(design->GetOptionWord() & 0x80) || design->IsLocked()) return 0;
    if (m_pOperated->HasFlag(PF_SELECTABLE_LOCKED | PF_ANCHORED)) return 0;
    return ResizeCursor();
}

int CResize::HasInfo(int x, int y) { return m_pOperated ? m_pOperated->HasInfo(x, y) : 0; }

int CResize::BuildInfo(CString& text, UINT messageId, CPoint point)
{
    if (m_pOperated) m_pOperated->BuildInfo(text, messageId, point);
    return 18;
}
