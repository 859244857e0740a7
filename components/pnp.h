// CPNP: the PNP transistor, the NPN model with every junction turned round
// (pins emitter, base, collector) and no base leakage.
#pragma once

#include "components/npn.h"

class CPNP : public CNPN {
    WB_DECLARE_SERIAL(CPNP)
public:
    CPNP();
};
