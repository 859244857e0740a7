// CCoinSensor: the coin slot: high while the coin is in the slot. The state
// takes the low 16 bits of the reported value and is stored as a 32-bit int.
#pragma once

#include "components/sensor_switch_base.h"

class CCoinSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CCoinSensor)
public:
    CCoinSensor();

    const SwitchSensorRow& Row() const override;
};
