// CNoiseLevel: the loudspeaker of the sound sensor.  Knob position 0..48 from
// the top reports sound level 3 down to 0, one level every 16 pixels (3 -
// position / 16; 0 at the initial position 48).
#pragma once

#include "components/stimulus_slider.h"

class CNoiseLevel : public CStimulusSlider {
    WB_DECLARE_SERIAL(CNoiseLevel)
public:
    CNoiseLevel();
    // Operating the sensor, from (x - 16, y + 2) to (x + 64, y + 75).
    CNoiseLevel(int x, int y, CPart* sensor);

    const StimulusSliderRow& Row() const override;
};
