#include "components/latchkey.h"

#include "model/display/visual.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CLatchKey, "CToggle", 2)

namespace {
// Frames: off, on (lit), off held down, on held down.
CVisual& LatchKeyPicture()
{
    static CVisual picture(0, 0, 195, 4, 0, 0, 16, 14);
    static const bool turns = (picture.SetOrientationMask(0xFF), true);
    (void)turns;
    return picture;
}
} // namespace

CLatchKey::CLatchKey() { m_pVisual = &LatchKeyPicture(); }

CLatchKey::CLatchKey(int side, CPart* operated) : CLatchKey()
{
    m_pOperated = operated;
    m_rect.SetRect(0, 0, 16, 14);
    PlaceLabel(side, operated, nullptr);
}

void CLatchKey::Serialize(CArchive& ar)
{
    CToggle::Serialize(ar);
    if (ar.IsLoading() && m_wState > 3) m_wState = 0;
}

int CLatchKey::OnPress(CPartTree* design, int, int)
{
    // A second press without a release (a lost button-up) keeps it held.
    if (m_wState < 2) m_wState = static_cast<WORD>(m_wState + 2);
    RedrawFor(design);
    return 0;
}

int CLatchKey::OnRelease(CPartTree* design, int, int)
{
    m_wState = m_wState == 3 ? 0 : 1;
    RedrawFor(design);
    Report(design, m_wState);
    return 1;
}

int CLatchKey::GetLabelPlacements(CLabelPlacement* records)
{
    records[0] = {4, 3, 1};
    records[1] = {4, 0, 1};
    return 2;
}
