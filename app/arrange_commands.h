// Bring to Front, Send to Back, the four Align commands and Make the Same
// Size of the Publish menu, on the design's selection.  No windows: the
// view commands call these and repaint.
#pragma once

class CCircuit;
class CPart;

enum class EAlignEdge { Left, Top, Right, Bottom };

// The parts these commands move: selected parts with hit class bits 0x70
// that may be selected on this design.
bool IsArrangeable(CPart* part, CCircuit& design);

// The commands are offered on an unlocked design when, walking the parts
// in order, an arrangeable selected part comes before any selected wire
// without a resize frame (wires are laid between pins, not placed).
bool CanArrange(CCircuit& design);

// The reference of Align and Same Size: the given part when it is an
// arrangeable selected part, else the first one in walk order (null: none).
CPart* ArrangeReference(CCircuit& design, CPart* preferred);

// Every arrangeable selected part moves to the end of its list (drawn last,
// in front: MovePartInTree code 16) or its head (code 2, behind); their
// order among themselves stays.  Returns how many moved.
int MoveSelectionInTree(CCircuit& design, bool toFront);

// With more than one part selected, every other arrangeable selected part
// moves so that the edge matches the reference's.  Returns how many moved.
int AlignSelection(CCircuit& design, CPart* reference, EAlignEdge edge);

// Every other selected part with a resize frame takes the reference's size
// and keeps its top-left corner.  Returns how many changed.
int SizeSelectionLike(CCircuit& design, CPart* reference);
