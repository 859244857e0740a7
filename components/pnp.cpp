#include "components/pnp.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CPNP, "CNPN", 2)

// Ratings text of the PNP (the NPN's values).
constexpr UINT IDS_PNP_RATINGS = 20;

namespace {

// Picture 322: 28 x 24, emitter on top, base left, collector below.
CVisual& PnpVisual()
{
    static CVisual visual(0, 0, 322, 1, 2, 2, 28, 24);
    static const bool ready = (visual.SetOrientationMask(255), visual.SetOffsetRow(4), true);
    (void)ready;
    return visual;
}

} // namespace

CPNP::CPNP() : CNPN(&PnpVisual(), IDS_PNP_RATINGS) {}
