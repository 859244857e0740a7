// CTiltSensor: the tilt switch of a pinball table: high while the table is
// tilted (and while it is clicked). The state takes the low 16 bits of the
// reported value and is stored as a 32-bit int.
#pragma once

#include "components/sensor_switch_base.h"

class CTiltSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CTiltSensor)
public:
    CTiltSensor();

    const SwitchSensorRow& Row() const override;
};
