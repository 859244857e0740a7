#include "components/stimulus_coinheight.h"

WB_IMPLEMENT_SERIAL(CCoinHeight, "CSlider", 4)

CCoinHeight::CCoinHeight() : CMomentaryStimulus(SystemsPicture::kCoinHeight, StimulusAction::kMomentary) {}

CCoinHeight::CCoinHeight(int side, CPart* sensor) : CCoinHeight() { PlaceBeside(side, sensor); }
