// CCounter10B: the decade counter with ten decoded outputs, digit 9 on the
// first output pin and digit 0 on the last; exactly the output of the
// present count is high.
#pragma once

#include "components/counter16.h"

class CCounter10B : public CCounter16 {
    WB_DECLARE_SERIAL(CCounter10B)
public:
    CCounter10B();

    void Stamp(CMatrix* matrix) override;
};
