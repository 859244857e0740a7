#include "components/or_gate.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(COR, "CNAND", 2)

COR::COR() : CNAND(&LogicVisual(297, 2, 24, 24), 2, 0, false) {}
