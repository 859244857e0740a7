// CSPDT: a changeover switch.  Pins: common 0, then 1 and 2 (in the
// alternate look the common is 1).  Closed (state 1) the common is linked
// to 1, open to 2.
#pragma once

#include "components/spst.h"

class CSPDT : public CSPST {
    WB_DECLARE_SERIAL(CSPDT)
public:
    CSPDT();
    void InitVariant(const CRuntimeClass* variant) override;
    void Stamp(CMatrix* matrix) override;
};
