#include "components/relaydpdt.h"

#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CRelayDPDT, "CRelaySPDT", 2)

namespace {
// The commons on the right edge (0 above, 1 below), the coil's pins on
// the bottom edge (2 right, 3 left) with pole 1's contacts left of them
// (4 operated, 5 rest), pole 0's contacts on the left edge (6 operated
// below, 7 rest above).
CVisual& RelayDpdtPicture()
{
    static CVisual picture(0, 0, 191, 2, 0, 0, 76, 24);
    return picture;
}
} // namespace

CRelayDPDT::CRelayDPDT()
{
    m_pVisual = &RelayDpdtPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    // Even by even: turned frames need no correction (rows 1-3 shift odd
    // turns by a pixel and would push the pins off the frame edge).
    m_pVisual->SetOffsetRow(0);
}

void CRelayDPDT::Stamp(CMatrix* m)
{
    StampCoil(m);
    if (m_wStateWord == 1) {
        Link(m, 1, 4);
        Link(m, 0, 6);
    } else {
        Link(m, 1, 5);
        Link(m, 0, 7);
    }
}
