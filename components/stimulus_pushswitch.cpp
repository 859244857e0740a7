#include "components/stimulus_pushswitch.h"

WB_IMPLEMENT_SERIAL(CPushSwitch, "CToggle", 2)

CPushSwitch::CPushSwitch() : CMomentaryStimulus(SystemsPicture::kPushSwitch, StimulusAction::kMomentary) {}

CPushSwitch::CPushSwitch(int side, CPart* sensor) : CPushSwitch() { PlaceBeside(side, sensor); }
