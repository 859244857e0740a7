#include "components/mosfet_p.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CMOSFETp, "CMOSFETn", 6)

// Ratings text of the p-channel MOSFET (its limits are the n-channel's).
constexpr UINT IDS_MOSFET_P_RATINGS = 4131;

namespace {

// Picture 4246: 28 x 24, outer pins on top and below, gate left.
CVisual& MosfetPVisual()
{
    static CVisual visual(0, 0, 4246, 1, 2, 2, 28, 24);
    static const bool ready = (visual.SetOrientationMask(51), visual.SetOffsetRow(4), true);
    (void)ready;
    return visual;
}

} // namespace

CMOSFETp::CMOSFETp() : CMOSFETn(&MosfetPVisual(), IDS_MOSFET_P_RATINGS) {}
