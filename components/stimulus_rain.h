// CRain: the rain cloud of the moisture sensor: a click starts or stops the
// rain.
#pragma once

#include "components/stimulus_picture.h"

class CRain : public CLatchingStimulus {
    WB_DECLARE_SERIAL(CRain)
public:
    CRain();
    // Beside the sensor on the side.
    CRain(int side, CPart* sensor);
};
