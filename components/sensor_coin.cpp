#include "components/sensor_coin.h"

#include "components/stimulus_coinheight.h"

WB_IMPLEMENT_SERIAL(CCoinSensor, "CLogicIn", 2)

namespace {
const SwitchSensorRow kRow = {SystemsPicture::kCoinSensor,
                              [](int side, CPart* sensor) -> CPart* { return new CCoinHeight(side, sensor); }, false};
} // namespace

CCoinSensor::CCoinSensor() { TakeRow(); }

const SwitchSensorRow& CCoinSensor::Row() const { return kRow; }
