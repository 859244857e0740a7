#include "components/sensor_reed.h"

#include "components/stimulus_window.h"

WB_IMPLEMENT_SERIAL(CReedSensor, "CLogicIn", 2)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kReedSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CWindow(side, sensor); }, false};
} // namespace

CReedSensor::CReedSensor() { TakeRow(); }

const SwitchSensorRow& CReedSensor::Row() const { return kRow; }
