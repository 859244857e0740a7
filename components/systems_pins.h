// The pins of the systems parts.  The parts are blocks of a systems
// diagram: they show no 0 V pin, so every source that a sensor or the
// receiver stamps returns through one shared ground terminal, the solver's
// reference node 0 (the ground that every logic output of the library uses
// for its conductance G).  An output drives its pin as a logic pin: G to
// that ground together with a source current, the design's logic-high
// current Ih (negative, -(supply x G)) for a high output, so that an
// unloaded pin reads -current / G.
#pragma once

class CCircuit;
class CMatrix;
class CTerminal;

// The shared ground terminal of the systems parts (null: node 0).
inline CTerminal* SystemsGround() { return nullptr; }

// G from the pin to the shared ground, with `current` as its source term.
void StampSystemsPin(CMatrix* matrix, CTerminal* pin, double current, const CCircuit& design);

// The same pin as an open-circuit voltage -current / G behind G; false
// when the design's logic conductance is 0 (the pin then drives nothing).
bool SystemsPinDrive(double current, const CCircuit& design, double* volts, double* conductance);
