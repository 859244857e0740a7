#include "components/stimulus_latch.h"

WB_IMPLEMENT_SERIAL(CLatch, "CToggle", 2)

CLatch::CLatch() : CLatchingStimulus(SystemsPicture::kLatch, StimulusAction::kLatching) {}

CLatch::CLatch(int side, CPart* sensor) : CLatch() { PlaceBeside(side, sensor); }
