// CAND: the two-input AND gate: the NAND model with its output direct.
#pragma once

#include "components/nand.h"

class CAND : public CNAND {
    WB_DECLARE_SERIAL(CAND)
public:
    CAND();
};
