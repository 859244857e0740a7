// CMOSFETp: the enhancement p-channel MOSFET: the n-channel model driven by
// the source-to-gate voltage (mode 0: source = outer B, drain = outer A;
// mode 1 the reverse).
#pragma once

#include "components/mosfet_n.h"

class CMOSFETp : public CMOSFETn {
    WB_DECLARE_SERIAL(CMOSFETp)
public:
    CMOSFETp();
};
