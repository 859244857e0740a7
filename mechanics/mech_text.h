// The texts in which mechanism parts show their values in information lines,
// and the direction code those lines carry.
#pragma once

#include "model/designfile/units.h"
#include "platform/cstring.h"

class CCircuit;

// A speed: a linear terminal (kind 2) in m/s with an SI prefix; a shaft in
// rpm or in rad/s, by the design's speed unit.
CString MechSpeedText(double value, int kind, const CUnitChoices& units);
// A position: a linear terminal in m with an SI prefix; a shaft as the
// angle (-value) modulo one turn, in degrees or radians by the design's
// angle unit.
CString MechPositionText(double value, int kind, const CUnitChoices& units);
// The design's unit choices (both 0 without a design).
CUnitChoices MechUnitChoices(const CCircuit* design);

// Direction code of a mechanical quantity: 13 for |v| below 5e-9; quantity
// class 2: 17 when v > 0, else 16; other classes: 15 when v >= 0, else 14.
int MechDirectionCode(double value, int quantityClass);
