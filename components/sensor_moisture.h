// CMoistureSensor: the moisture sensor: high while it rains (and while the
// cloud is clicked). The state takes the whole reported value and is stored
// as a 16-bit word.
#pragma once

#include "components/sensor_switch_base.h"

class CMoistureSensor : public CSwitchTypeSensor {
    WB_DECLARE_SERIAL(CMoistureSensor)
public:
    CMoistureSensor();

    const SwitchSensorRow& Row() const override;
};
