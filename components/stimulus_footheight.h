// CFootHeight: the foot of the pressure sensor, stepping on the mat while
// held down.  Registered with the slider as its base, although it is a
// picture control.
#pragma once

#include "components/stimulus_picture.h"

class CFootHeight : public CMomentaryStimulus {
    WB_DECLARE_SERIAL(CFootHeight)
public:
    CFootHeight();
    // Beside the sensor on the side.
    CFootHeight(int side, CPart* sensor);
};
