#include "components/sensor_tilt.h"

#include "components/stimulus_pinball.h"

WB_IMPLEMENT_SERIAL(CTiltSensor, "CLogicIn", 2)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kTiltSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CPinball(side, sensor); }, false};
} // namespace

CTiltSensor::CTiltSensor() { TakeRow(); }

const SwitchSensorRow& CTiltSensor::Row() const { return kRow; }
