// CSun: the sun of the light sensor.  Knob position 0..50 from the top
// reports light level 5 down to 0, one level every 10 pixels (5 - position /
// 10; 0 at the initial position 50).
#pragma once

#include "components/stimulus_slider.h"

class CSun : public CStimulusSlider {
    WB_DECLARE_SERIAL(CSun)
public:
    CSun();
    // Operating the sensor, from (x - 24, y + 2) to (x + 64, y + 70).
    CSun(int x, int y, CPart* sensor);

    const StimulusSliderRow& Row() const override;
};
