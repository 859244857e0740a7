// Lattice geometry of wire segments: a wire runs from end A to end B in
// unit steps along one of four directions (horizontal, vertical and the two
// diagonals), so every question is answered exactly in integers.
#pragma once

#include "model/components/wire.h"

// Straight (horizontal or vertical), or an exact diagonal of a motion kind.
bool WireIsLattice(const CWire* w);
// The unit step from end A towards end B, and the number of steps.
CPoint WireStep(const CWire* w);
int WireSteps(const CWire* w);
// p lies on the wire (interior: and is neither end).
bool WireContains(const CWire* w, CPoint p, bool interior);
// The point of a horizontal or vertical wire nearest to p; false (and out
// untouched) for a slanted wire.
bool NearestOnStraight(const CWire* w, CPoint p, CPoint* out);
// The two wires run the same way (or either is a single point).
bool WiresParallel(const CWire* a, const CWire* b);
// Parallel and on one line.
bool WiresInLine(const CWire* a, const CWire* b);
// The wires cross at a lattice point inside both (neither end of either).
bool WiresCross(const CWire* a, const CWire* b, CPoint* at);
// The same questions answered by walking every lattice point (the slow
// reference the tests hold the fast answers against).
bool WireContainsReference(const CWire* w, CPoint p, bool interior);
bool WiresCrossReference(const CWire* a, const CWire* b, CPoint* at);
