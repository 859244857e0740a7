// CWindow: the window of the reed sensor: a click opens or shuts it.
#pragma once

#include "components/stimulus_picture.h"

class CWindow : public CLatchingStimulus {
    WB_DECLARE_SERIAL(CWindow)
public:
    CWindow();
    // Beside the sensor on the side.
    CWindow(int side, CPart* sensor);
};
