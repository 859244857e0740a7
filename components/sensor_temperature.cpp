#include "components/sensor_temperature.h"

#include "components/stimulus_thermometer.h"

WB_IMPLEMENT_SERIAL(CTempSensor, "CLogicIn", 2)

namespace {
const ThresholdSensorRow kRow = {SystemsPicture::kTempSensor, 273, 100, 33873};
} // namespace

CTempSensor::CTempSensor()
    : CNumberThresholdSensor(313.0f, 293.0f,
                             CNumber(40.0, kPrefixNone,
                                     "\xB0"
                                     "C",
                                     27))
{
    TakeRow();
}

const ThresholdSensorRow& CTempSensor::Row() const { return kRow; }

void CTempSensor::ApplySettings()
{
    double celsius = 0.0;
    m_threshold.GetMantissa(&celsius);
    celsius *= m_threshold.scale;
    m_fThreshold = static_cast<float>(celsius + 273.0);
    m_threshold.SetValue(celsius, kPrefixNone);
    ApplyMode();
}

CPart* CTempSensor::MakeControl() { return new CThermometer(m_rect.left - 34, m_rect.top - 30, this); }
