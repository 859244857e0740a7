// CPressureSensor: the pressure mat: high while the foot stands on it.
// The state takes the whole reported value and is stored as a 16-bit word.
#pragma once

#include "components/sensor_switch_base.h"

class CPressureSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CPressureSensor)
public:
    CPressureSensor();

    const SwitchSensorRow& Row() const override;
};
