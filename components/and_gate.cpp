#include "components/and_gate.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(CAND, "CNAND", 2)

CAND::CAND() : CNAND(&LogicVisual(294, 2, 24, 24), 2, 15, true) {}
