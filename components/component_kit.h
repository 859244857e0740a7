// Small helpers that the component classes share: their value label and
// the terminal order of parts whose pins are not ordered by side.
#pragma once

#include "model/components/component.h"
#include "model/text/value.h"

#include <initializer_list>
#include <vector>

class CTerminal;
class CSlider;

// The component's value label (its first CValue child), or null.
CValue* ValueLabelOf(CComponent* part);
// The label's value in base units, times the label's scale when scaled
// (0 without a label).
double LabelValue(CComponent* part, bool scaled = false);
// Puts the terminals in this order, in the terminal array and in the child
// list (the archive rebuilds the array from the child list).
void SetTerminalOrder(CComponent* part, const std::vector<CTerminal*>& order);
// Puts the terminals in the picture's pin order: clockwise around the
// unturned picture from the top of its right edge (the order that the
// part's pins are numbered in), whatever the part's present turn.
void OrderTerminalsByPicture(CComponent* part);
// CComponent::SetOrientation, keeping the terminal order (a switch's
// contacts keep their meaning when it is turned).
int TurnKeepingTerminalOrder(CComponent* part, int newCode, int oldCode, int flag, const CPoint* anchor);
// A switch's contact state changed by its control: the state word, a
// redraw with the design's options and controller code 4 (switch changed).
void SwitchStateChanged(CComponent* part, CPartTree* design, int state);

// The light source (CoupleLight(null) == 2) whose rectangle holds the point
// 24 pixels left of the sensor's centre, looked up in the sensor's design
// when asked.  A light-dependent part couples through this rather than
// keeping a pointer, so a source removed from the design is never reached.
CPart* FindLightSourceLeftOf(CPart* sensor);
// The part's first slider child, or null.
CSlider* SliderOf(CPart* part);

// One extra limit of a ratings text ("Vce=60") and where it goes.
struct CRatingLimit {
    const char* key;
    double* value;
};
// Reads the extra limits that a ratings text carries beside the four
// ratings; a key that is absent leaves its default.
void LoadRatingLimits(UINT stringId, std::initializer_list<CRatingLimit> limits);
