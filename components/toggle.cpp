#include "components/toggle.h"

#include "model/display/visual.h"
#include "model/parts/parttree.h"
#include "platform/archive.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CToggle, "CPart", 2)

namespace {
// The lever: frame 0 off (tilted left), frame 1 on (tilted right); the
// alternate look is the large lever of the large switch pictures.
// Both turn with the switch: every turn is built from the upright picture.
CVisual& LargeLeverPicture()
{
    static CVisual picture(0, 0, 447, 2, 0, 0, 94, 36);
    static const bool turns = (picture.SetOrientationMask(0xFF), true);
    (void)turns;
    return picture;
}
CVisual& LeverPicture()
{
    static CVisual picture(0, 0, 161, 2, 0, 0, 32, 32, 0, nullptr, &LargeLeverPicture());
    static const bool turns = (picture.SetOrientationMask(0xFF), true);
    (void)turns;
    return picture;
}

// The code that draws a picture drawn at `code` after the turn from
// oldCode to newCode (the code whose turn of the upright picture is the
// old one followed by this one); `code` itself when none is.
int ComposeTurn(int code, int newCode, int oldCode)
{
    for (int c = 0; c < 8; ++c) {
        bool same = true;
        for (CPoint v : {CPoint(1, 0), CPoint(0, 1)})
            same = same && TurnPoint(TurnDoubled(v, code), CPoint(0, 0), newCode, oldCode) == TurnDoubled(v, c);
        if (same) return c;
    }
    return code;
}

int FloorHalf(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
} // namespace

DWORD DesignOptions(CPartTree* design) { return design ? design->GetOptionWord() : 0; }

CToggle::CToggle() : m_pVisual(&LeverPicture()) {}

CToggle::CToggle(int side, CPart* operated, int alternateLook) : CToggle()
{
    m_pOperated = operated;
    TakePictureSize();
    if (alternateLook) {
        UseAlternateLook();
        const CPoint offset(0, 6);
        PlaceLabel(side, operated, &offset);
    } else {
        PlaceLabel(side, operated, nullptr);
    }
}

void CToggle::TakePictureSize()
{
    if (!m_pVisual) return;
    const CSize s = m_pVisual->GetSize();
    m_rect.SetRect(0, 0, s.cx, s.cy);
}

void CToggle::CentreRectOn(CPoint doubledCentre, CSize size)
{
    const int left = FloorHalf(doubledCentre.x - size.cx), top = FloorHalf(doubledCentre.y - size.cy);
    m_rect.SetRect(left, top, left + size.cx, top + size.cy);
}

bool CToggle::TurnsWithPart() const { return m_pVisual && m_pVisual->GetOrientationMask() == 0xFF; }

int CToggle::FrameCount() const { return m_pVisual ? std::max(m_pVisual->GetFrameCount(), 1) : 1; }

void CToggle::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_wState;
        ar.WriteObjectRef(m_pOperated);
        // As reading takes it: older records have no alternate-look word.
        if (ar.GetVersion() >= 4) ar << static_cast<WORD>(m_bAlternateLook);
        return;
    }
    ar >> m_wState;
    m_pOperated = static_cast<CPart*>(ar.ReadObjectRef("CPart"));
    if (ar.GetVersion() >= 4) {
        WORD alt = 0;
        ar >> alt;
        if (alt) UseAlternateLook();
    }
}

void CToggle::UseAlternateLook()
{
    m_bAlternateLook = 1;
    if (m_pVisual && m_pVisual->GetAlternate()) {
        const CPoint tl = m_rect.TopLeft();
        m_pVisual = m_pVisual->GetAlternate();
        const CSize s = m_pVisual->GetSize(TurnsWithPart() ? m_nOrientation : 0);
        m_rect.SetRect(tl.x, tl.y, tl.x + s.cx, tl.y + s.cy);
    }
}

void CToggle::RedrawFor(CPartTree* design)
{
    if (design) Draw(design->GetOptionWord());
}

void CToggle::Report(CPartTree* design, int value)
{
    if (m_pOperated) m_pOperated->SetInputValue(design, value);
}

int CToggle::OnRelease(CPartTree* design, int, int)
{
    m_wState = m_wState ? 0 : 1;
    RedrawFor(design);
    Report(design, m_wState);
    return 1;
}

int CToggle::GetLabelPlacements(CLabelPlacement* records)
{
    records[0] = {2, 1, 1};
    records[1] = {2, 2, 1};
    return 2;
}

int CToggle::Draw(DWORD flags)
{
    if (!m_pVisual || !((flags & 0x80) || m_bAlternateLook)) return 0;
    // A state read from a damaged file never picks a frame beyond the strip.
    const int frame = std::min<int>(m_wState, FrameCount() - 1);
    m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, 0, TurnsWithPart() ? m_nOrientation : 0);
    return CPart::Draw(flags);
}

int CToggle::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    const CPoint a = anchor ? *anchor : m_rect.CenterPoint();
    // The centre of the rectangle in doubled coordinates turns exactly.
    const CPoint c2(m_rect.left + m_rect.right, m_rect.top + m_rect.bottom);
    const CPoint t = TurnPoint(c2, CPoint(2 * a.x, 2 * a.y), newCode, oldCode);
    if (TurnsWithPart()) {
        // The picture turns too: its rect takes the turned size about the
        // turned centre.
        m_nOrientation = ComposeTurn(m_nOrientation, newCode, oldCode);
        CentreRectOn(t, m_pVisual->GetSize(m_nOrientation));
        return flag;
    }
    const int dx = (t.x - c2.x) / 2, dy = (t.y - c2.y) / 2;
    Offset(dx, dy);
    return flag;
}

void CToggle::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pOperated)) m_pOperated = nullptr;
    CPart::DropDeadLinks(gone);
}
