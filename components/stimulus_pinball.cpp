#include "components/stimulus_pinball.h"

WB_IMPLEMENT_SERIAL(CPinball, "CToggle", 2)

CPinball::CPinball() : CLatchingStimulus(SystemsPicture::kPinball, StimulusAction::kAlarm) {}

CPinball::CPinball(int side, CPart* sensor) : CPinball() { PlaceBeside(side, sensor); }
