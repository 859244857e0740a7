// CDPDT: a double-pole changeover switch.  State 1 links pin 0 to 4 and
// 1 to 2; state 0 links 0 to 5 and 1 to 3.
#pragma once

#include "components/spst.h"

class CDPDT : public CSPST {
    WB_DECLARE_SERIAL(CDPDT)
public:
    CDPDT();
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
};
