#include "components/nand4.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(CNAND4, "CNAND", 3)

CNAND4::CNAND4() : CNAND(&LogicVisual(214, 2, 56, 56), 4, 15, false) {}
