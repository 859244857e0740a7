#include "components/stimulus_thermometer.h"

WB_IMPLEMENT_SERIAL(CThermometer, "CSlider", 3)

namespace {
const StimulusSliderRow kRow = {
    SystemsPicture::kThermometer, SystemsPicture::kThermometerKnob, 50, 40, 373, 2, 1, 10, 5, 20, 2};
} // namespace

CThermometer::CThermometer() { TakeRow(); }

CThermometer::CThermometer(int x, int y, CPart* sensor) : CThermometer() { PlaceAt(x, y, -50, 0, 70, sensor); }

const StimulusSliderRow& CThermometer::Row() const { return kRow; }
