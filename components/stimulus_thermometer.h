// CThermometer: the thermometer of the temperature sensor.  Knob position
// 0..50 from the top reports 373 K down to 273 K, 2 K a pixel (373 - 2 x
// position; 293 K at the initial position 40).
#pragma once

#include "components/stimulus_slider.h"

class CThermometer : public CStimulusSlider {
    WB_DECLARE_SERIAL(CThermometer)
public:
    CThermometer();
    // Operating the sensor, from (x - 50, y + 2) to (x + 0, y + 70).
    CThermometer(int x, int y, CPart* sensor);

    const StimulusSliderRow& Row() const override;
};
