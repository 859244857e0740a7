// CNAND4: the four-input NAND gate.
#pragma once

#include "components/nand.h"

class CNAND4 : public CNAND {
    WB_DECLARE_SERIAL(CNAND4)
public:
    CNAND4();
};
