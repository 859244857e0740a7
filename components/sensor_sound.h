// CSoundSensor: the sound sensor, worked by a loudspeaker control that
// reports sound level 0 to 3.  The threshold is a whole level (3 at first);
// analogue mode reads level / 3 of the logic supply.
#pragma once

#include "components/sensor_number_base.h"

class CSoundSensor : public CNumberThresholdSensor {
    WB_DECLARE_SERIAL(CSoundSensor)
public:
    CSoundSensor();

    const ThresholdSensorRow& Row() const override;
    // The number is cut to a whole number, which becomes the threshold and
    // is set back into the number; then the mode.
    void ApplySettings() override;

protected:
    CPart* MakeControl() override;
};
