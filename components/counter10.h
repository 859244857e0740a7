// CCounter10: the decade counter with binary outputs (CCounter16 with
// modulus 10).
#pragma once

#include "components/counter16.h"

class CCounter10 : public CCounter16 {
    WB_DECLARE_SERIAL(CCounter10)
public:
    CCounter10();
};
