#include "components/dpst.h"

#include "components/component_kit.h"
#include "components/toggle.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CDPST, "CSPST", 2)

namespace {
// As the part first shows it (a quarter turn anticlockwise from the
// drawing): pins 0 and 1 on the right (top first), 2 and 3 on the left
// (bottom first); the upper pole joins 0 and 3, the lower 1 and 2.
CVisual& DpstPicture()
{
    static CVisual picture(0, 0, 194, 2, 0, 0, 24, 24);
    return picture;
}
} // namespace

CDPST::CDPST()
{
    m_pVisual = &DpstPicture();
    SetOrientationMask(9);
    m_pVisual->SetOrientationMask(9);
    m_pVisual->SetOffsetRow(6);
}

void CDPST::CreateChildren()
{
    CreateTerminals(0);
    OrderTerminalsByPicture(this);
    AddChild(new CToggle(2, this, 0));
}

void CDPST::Stamp(CMatrix* m)
{
    if (m_wStateWord != 1) return;
    Link(m, 0, 3);
    Link(m, 1, 2);
}
