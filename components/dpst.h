// CDPST: a double-pole on/off switch.  Closed (state 1) it links pin 0 to
// 3 and 1 to 2.
#pragma once

#include "components/spst.h"

class CDPST : public CSPST {
    WB_DECLARE_SERIAL(CDPST)
public:
    CDPST();
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
};
