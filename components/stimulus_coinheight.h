// CCoinHeight: the coin of the coin sensor, dropped into the slot while held
// down.  Registered with the slider as its base, although it is a picture
// control.
#pragma once

#include "components/stimulus_picture.h"

class CCoinHeight : public CMomentaryStimulus {
    WB_DECLARE_SERIAL(CCoinHeight)
public:
    CCoinHeight();
    // Beside the sensor on the side.
    CCoinHeight(int side, CPart* sensor);
};
