// The wires that follow a part that was moved or turned: a terminal that
// left its joint is led back to its own net by a run of wire that keeps
// clear of the part's body and of every other net.  The route editor
// (wire_route.h) draws what the pupil asks for; these routes are found.
#pragma once

#include "model/components/wire.h"

#include <vector>

class CCircuit;
class CComponent;
class CTerminal;

// The wires and terminals joined with `start` through their link words
// (start included), never passing through `except`.
std::vector<CWire*> CollectNet(CWire* start, const CWire* except = nullptr);

// The box a component covers: its rect and every terminal's stub.
CRect ComponentBox(CPart* component);

// Cuts back the run of plain wire that ends alone at `at` (terminals that
// are joined to nothing do not count) to where it leaves the closed box
// `zone`: the wires wholly inside are removed and the one that leaves is
// shortened to start on the box's edge.  A run that ends inside the box
// (a free end, a junction, a terminal) is left as it stands.  Returns the
// new end of the run, or `at` when nothing was cut.
CPoint RetractRun(CCircuit& design, CPoint at, const CRect& zone);

// Removes the run of plain wire that ends alone at `at` (terminals that are
// joined to nothing do not count) up to where anything else stands (a
// junction, a terminal) or the run ends free, and returns that point, from
// which a new run may be laid with fewer bends; returns `at` when nothing
// was removed.
CPoint TakeBackRun(CCircuit& design, CPoint at);

// After a turn that puts a part's pins where its pins stood (a half turn of
// an LED or a meter, a flip), the wiring stays where it is, as a part
// pulled out and pushed back turned round into the same holes: the
// terminal whose outer end now stands at or within `reach` of each old
// joint takes that joint over, a different terminal for every joint.
// Returns the taker of each joint, in order; empty when some joint has
// none (a quarter turn), so that each pin keeps its own net instead.
std::vector<CTerminal*> TakeOverJoints(CComponent& part, const std::vector<CPoint>& joints, int reach);

// Lays a run of wire from the terminal's outer end to the nearest point of
// the net `target` belongs to (or to `goal`, when given, whichever is
// cheaper; `target` may then be null), on the lattice of the design's grid (and the
// terminal's and the net's own coordinates), with as few bends as it can:
// no leg enters the open inside of `avoid`, runs along another wire, or
// touches another net other than by crossing a wire straight (a crossover).
// Of runs of about the same length the one with fewer bends wins; a leg over
// one of the part's labels costs as much as a bend.
// Returns the number of wires made; 0 when no clear run exists.
int LayClearRoute(CCircuit& design, CTerminal* from, CWire* target, const CRect& avoid,
                  const CPoint* goal = nullptr);

// The last resort: one straight or L-shaped run from the terminal's outer
// end to the nearest point of `target`'s wire (or its end, or `goal`), made without
// any check, so that the connection is kept even where it crosses or
// touches other wiring.  Returns the number of wires made.
int LayDirectRoute(CCircuit& design, CTerminal* from, CWire* target, const CPoint* goal = nullptr);
