#include "components/sensor_switch.h"

#include "components/stimulus_latch.h"

WB_IMPLEMENT_SERIAL(CSwitchSensor, "CLogicIn", 2)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kSwitchSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CLatch(side, sensor); }, false};
} // namespace

CSwitchSensor::CSwitchSensor() { TakeRow(); }

const SwitchSensorRow& CSwitchSensor::Row() const { return kRow; }
