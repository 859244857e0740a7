// The rotor that turns inside the motor symbols (the circuit motor, the
// motor with a shaft, the generator and the velocity source), kept once:
// its picture, the rule that picks its frame from a shaft's motion, and
// the test by which a small DC motor counts as standing still.
#pragma once

#include "platform/archive.h"

class CVisual;

// Bitmap 231: a bar through a hub, 12 x 11 pixels, 16 frames a turn.
CVisual& RotorPicture();

// The rotor's frame after a step of a shaft at angle a (rad) turning at w
// (rad/s), r steps a second.  Faster than 15.28 / 16 frames' worth a step
// (just under 6 frames) the frame steps a steady 6 a step in the sense of
// turning, which reads as steady turning where the true angle would
// alias; slower, frame 16 - n of the angle's sixteenth n of a turn,
// centred (a growing angle turns the bar anticlockwise on the screen).
WORD TurnRotorFrame(WORD frame, double angle, double w, double r);

// A motor whose terminals lie within 0.995 V of each other and whose
// back-EMF is no more than 0.4975 V stands still.
bool IsMotorIdle(double volts, double backEmf);
