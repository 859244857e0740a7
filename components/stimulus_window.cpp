#include "components/stimulus_window.h"

WB_IMPLEMENT_SERIAL(CWindow, "CToggle", 2)

CWindow::CWindow() : CLatchingStimulus(SystemsPicture::kWindow, StimulusAction::kAlarm) {}

CWindow::CWindow(int side, CPart* sensor) : CWindow() { PlaceBeside(side, sensor); }
