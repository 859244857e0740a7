#include "components/sensor_sound.h"

#include "components/stimulus_noiselevel.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CSoundSensor, "CLogicIn", 2)

namespace {
const ThresholdSensorRow kRow = {SystemsPicture::kSoundSensor, 0, 3, 33878};
} // namespace

CSoundSensor::CSoundSensor() : CNumberThresholdSensor(3.0f, 0.0f, CNumber(3.0, kPrefixNone, "", 28)) { TakeRow(); }

const ThresholdSensorRow& CSoundSensor::Row() const { return kRow; }

void CSoundSensor::ApplySettings()
{
    double level = 0.0;
    m_threshold.GetMantissa(&level);
    level = std::trunc(level * m_threshold.scale);
    m_fThreshold = static_cast<float>(level);
    m_threshold.SetValue(level, kPrefixNone);
    ApplyMode();
}

CPart* CSoundSensor::MakeControl() { return new CNoiseLevel(m_rect.left - 100, m_rect.top - 40, this); }
