// The clickable stimulus pictures of the systems sensors: a picture of the
// thing sensed (a door latch, a window, a pinball table, a rain cloud, a
// push button, a coin, a foot), standing on the left of its sensor, with
// frame 0 for "off" and frame 1 for "on".  They answer the mouse whether or
// not the design animates, in one of three ways:
//   momentary  press: state 1, reports 1; release: state 0, reports 0.
//   latching   press: the state flips, nothing reported; release: reports
//              the state.
//   alarm      press: the state flips, reports 1 whatever the new state;
//              release: reports the state (the sensor sees 1 while the
//              button is down and the latched state after release).
#pragma once

#include "components/systems_pictures.h"
#include "components/toggle.h"

enum class StimulusAction { kMomentary, kLatching, kAlarm };

class CStimulusPicture : public CToggle {
public:
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    // Nothing with flags 0; otherwise frame = state with option 0x80, else
    // frame 0.
    int Draw(DWORD flags) override;

protected:
    CStimulusPicture(SystemsPicture picture, StimulusAction action);
    // Beside the sensor on the side (PlaceLabel), operating it.
    void PlaceBeside(int side, CPart* sensor);

private:
    StimulusAction m_action;
};

// The latching pictures stand on the left or above their sensor.
class CLatchingStimulus : public CStimulusPicture {
public:
    int GetLabelPlacements(CLabelPlacement* records) override;

protected:
    using CStimulusPicture::CStimulusPicture;
};

// The momentary pictures stand 2 pixels further along, as a key does.
class CMomentaryStimulus : public CStimulusPicture {
public:
    void PlaceLabel(int side, CPart* part, const CPoint* offset) override;

protected:
    using CStimulusPicture::CStimulusPicture;
};
