// CSystemLamp: the lamp block: frame 1 (lit) while its input is high, frame 0
// while it is low.
#pragma once

#include "components/system_output.h"

class CSystemLamp : public CSystemOutput {
    WB_DECLARE_SERIAL(CSystemLamp)
public:
    CSystemLamp();

    // The input test, then the picture shown on or off.
    int AfterStep() override;
};
