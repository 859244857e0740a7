// CTempSensor: the temperature sensor, worked by a thermometer that reports
// 273 to 373 K.  The threshold is typed in degrees Celsius (40 at first:
// high from 313 K); analogue mode reads (T - 273) / 100 of the logic supply.
#pragma once

#include "components/sensor_number_base.h"

class CTempSensor : public CNumberThresholdSensor {
    WB_DECLARE_SERIAL(CTempSensor)
public:
    CTempSensor();

    const ThresholdSensorRow& Row() const override;
    // threshold (K) = the number (Celsius) + 273; the number is set again
    // with the same value and no prefix; then the mode.
    void ApplySettings() override;

protected:
    CPart* MakeControl() override;
};
