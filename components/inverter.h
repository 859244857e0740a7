// CInverter: the inverter: a one-input NAND.
#pragma once

#include "components/nand.h"

class CInverter : public CNAND {
    WB_DECLARE_SERIAL(CInverter)
public:
    CInverter();
};
