#include "components/dpdt.h"

#include "components/component_kit.h"
#include "components/toggle.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CDPDT, "CSPST", 2)

namespace {
// Drawn lying; the part starts a quarter turn anticlockwise, standing with
// the commons 0 (upper pole) and 1 (lower pole) on the right and the
// contacts on the left from the bottom up: 2 and 3 of the lower pole, 4
// and 5 of the upper.
CVisual& DpdtPicture()
{
    static CVisual picture(0, 0, 193, 2, 0, 0, 56, 24);
    return picture;
}
} // namespace

CDPDT::CDPDT()
{
    m_pVisual = &DpdtPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    // Even by even: turned frames need no correction (rows 1-3 shift odd
    // turns by a pixel and would push the pins off the frame edge).
    m_pVisual->SetOffsetRow(0);
}

void CDPDT::CreateChildren()
{
    CreateTerminals(0);
    OrderTerminalsByPicture(this);
    AddChild(new CToggle(2, this, 0));
}

void CDPDT::Stamp(CMatrix* m)
{
    if (m_wStateWord == 1) {
        Link(m, 0, 4);
        Link(m, 1, 2);
    } else {
        Link(m, 0, 5);
        Link(m, 1, 3);
    }
}
