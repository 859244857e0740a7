#include "components/stimulus_noiselevel.h"

WB_IMPLEMENT_SERIAL(CNoiseLevel, "CSlider", 4)

namespace {
const StimulusSliderRow kRow = {
    SystemsPicture::kNoiseLevel, SystemsPicture::kNoiseLevelKnob, 48, 48, 3, 1, 16, 3, 16, 13, 2};
} // namespace

CNoiseLevel::CNoiseLevel() { TakeRow(); }

CNoiseLevel::CNoiseLevel(int x, int y, CPart* sensor) : CNoiseLevel() { PlaceAt(x, y, -16, 64, 75, sensor); }

const StimulusSliderRow& CNoiseLevel::Row() const { return kRow; }
