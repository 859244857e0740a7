// COR: the two-input OR gate: both inputs wanted low, the output complemented
// (high as soon as one input is high).
#pragma once

#include "components/nand.h"

class COR : public CNAND {
    WB_DECLARE_SERIAL(COR)
public:
    COR();
};
