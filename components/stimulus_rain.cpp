#include "components/stimulus_rain.h"

WB_IMPLEMENT_SERIAL(CRain, "CToggle", 2)

CRain::CRain() : CLatchingStimulus(SystemsPicture::kRain, StimulusAction::kAlarm) {}

CRain::CRain(int side, CPart* sensor) : CRain() { PlaceBeside(side, sensor); }
