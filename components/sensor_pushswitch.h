// CPushSwitchSensor: the push switch: high while the button is held down. The
// state takes the low 16 bits of the reported value and is stored as a 32-bit
// int.
#pragma once

#include "components/sensor_switch_base.h"

class CPushSwitchSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CPushSwitchSensor)
public:
    CPushSwitchSensor();

    const SwitchSensorRow& Row() const override;
};
