#include "components/sensor_pressure.h"

#include "components/stimulus_footheight.h"

WB_IMPLEMENT_SERIAL(CPressureSensor, "CLogicIn", 4)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kPressureSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CFootHeight(side, sensor); }, true};
} // namespace

CPressureSensor::CPressureSensor() { TakeRow(); }

const SwitchSensorRow& CPressureSensor::Row() const { return kRow; }
