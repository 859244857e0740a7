// CPinball: the pinball table of the tilt sensor: a click tilts it or sets it
// level.
#pragma once

#include "components/stimulus_picture.h"

class CPinball : public CLatchingStimulus {
    WB_DECLARE_SERIAL(CPinball)
public:
    CPinball();
    // Beside the sensor on the side.
    CPinball(int side, CPart* sensor);
};
