#include "components/sensor_pushswitch.h"

#include "components/stimulus_pushswitch.h"

WB_IMPLEMENT_SERIAL(CPushSwitchSensor, "CLogicIn", 2)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kPushSwitchSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CPushSwitch(side, sensor); }, false};
} // namespace

CPushSwitchSensor::CPushSwitchSensor() { TakeRow(); }

const SwitchSensorRow& CPushSwitchSensor::Row() const { return kRow; }
