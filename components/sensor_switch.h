// CSwitchSensor: the door switch: high while the latch is shut. The state
// takes the low 16 bits of the reported value and is stored as a 32-bit int.
#pragma once

#include "components/sensor_switch_base.h"

class CSwitchSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CSwitchSensor)
public:
    CSwitchSensor();

    const SwitchSensorRow& Row() const override;
};
