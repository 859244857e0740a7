// CPushSwitch: the push button of the push-switch sensor, pressed while held
// down.
#pragma once

#include "components/stimulus_picture.h"

class CPushSwitch : public CMomentaryStimulus {
    WB_DECLARE_SERIAL(CPushSwitch)
public:
    CPushSwitch();
    // Beside the sensor on the side.
    CPushSwitch(int side, CPart* sensor);
};
