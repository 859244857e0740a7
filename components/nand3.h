// CNAND3: the three-input NAND gate.
#pragma once

#include "components/nand.h"

class CNAND3 : public CNAND {
    WB_DECLARE_SERIAL(CNAND3)
public:
    CNAND3();
};
