#include "components/stimulus_footheight.h"

WB_IMPLEMENT_SERIAL(CFootHeight, "CSlider", 4)

CFootHeight::CFootHeight() : CMomentaryStimulus(SystemsPicture::kFootHeight, StimulusAction::kMomentary) {}

CFootHeight::CFootHeight(int side, CPart* sensor) : CFootHeight() { PlaceBeside(side, sensor); }
