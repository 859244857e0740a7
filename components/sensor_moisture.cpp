#include "components/sensor_moisture.h"

#include "components/stimulus_rain.h"

WB_IMPLEMENT_SERIAL(CMoistureSensor, "CLogicIn", 2)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kMoistureSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CRain(side, sensor); }, true};
} // namespace

CMoistureSensor::CMoistureSensor() { TakeRow(); }

const SwitchSensorRow& CMoistureSensor::Row() const { return kRow; }
