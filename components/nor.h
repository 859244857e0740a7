// CNOR: the two-input NOR gate: both inputs wanted low, the output direct.
#pragma once

#include "components/nand.h"

class CNOR : public CNAND {
    WB_DECLARE_SERIAL(CNOR)
public:
    CNOR();
};
