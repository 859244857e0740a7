#include "components/stimulus_sun.h"

WB_IMPLEMENT_SERIAL(CSun, "CSlider", 4)

namespace {
const StimulusSliderRow kRow = {SystemsPicture::kSun, SystemsPicture::kSunKnob, 50, 50, 5, 1, 10, 5, 10, 20, 2};
} // namespace

CSun::CSun() { TakeRow(); }

CSun::CSun(int x, int y, CPart* sensor) : CSun() { PlaceAt(x, y, -24, 64, 70, sensor); }

const StimulusSliderRow& CSun::Row() const { return kRow; }
