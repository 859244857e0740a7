// CLatch: the door latch of the switch sensor: a click latches it open or
// shut; the sensor hears of it on release.
#pragma once

#include "components/stimulus_picture.h"

class CLatch : public CLatchingStimulus {
    WB_DECLARE_SERIAL(CLatch)
public:
    CLatch();
    // Beside the sensor on the side.
    CLatch(int side, CPart* sensor);
};
