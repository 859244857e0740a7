// CSystemHeater: the heater block: frame 1 (glowing element) while its input
// is high, frame 0 while it is low.
#pragma once

#include "components/system_output.h"

class CSystemHeater : public CSystemOutput {
    WB_DECLARE_SERIAL(CSystemHeater)
public:
    CSystemHeater();

    // The input test, then the picture shown on or off.
    int AfterStep() override;
};
