// CReedSensor: the reed switch of a window: high while the window is open
// (and while it is clicked). The state takes the low 16 bits of the reported
// value and is stored as a 32-bit int.
#pragma once

#include "components/sensor_switch_base.h"

class CReedSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CReedSensor)
public:
    CReedSensor();

    const SwitchSensorRow& Row() const override;
};
