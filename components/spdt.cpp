#include "components/spdt.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSPDT, "CSPST", 2)

namespace {
// Drawn with the common on the right edge (pin 0) and the contacts on the
// left edge, 1 below and 2 above; the part starts turned half round.
// Frame 0 the blade on 2, frame 1 on 1.
// The alternate look keeps its pins along one edge, the common (pin 1) in
// the middle.
CVisual& LargeSpdtPicture()
{
    static CVisual picture(0, 0, 443, 2, 0, 0, 94, 42);
    static const bool turns = (picture.SetOrientationMask(15), true);
    (void)turns;
    return picture;
}
CVisual& SpdtPicture()
{
    static CVisual picture(0, 0, 152, 2, 0, 0, 24, 24, 0, nullptr, &LargeSpdtPicture());
    return picture;
}
} // namespace

CSPDT::CSPDT()
{
    m_pVisual = &SpdtPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    m_pVisual->SetOffsetRow(10);
}

void CSPDT::InitVariant(const CRuntimeClass*)
{
    SetOrientation(2, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(0, -12, 24, 12);
}

void CSPDT::Stamp(CMatrix* m)
{
    const int common = m_bAlternateLook ? 1 : 0;
    const int other = m_bAlternateLook ? 0 : 1;
    Link(m, common, m_wStateWord == 1 ? other : 2);
}
