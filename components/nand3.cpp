#include "components/nand3.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(CNAND3, "CNAND", 3)

CNAND3::CNAND3() : CNAND(&LogicVisual(213, 2, 40, 40), 3, 15, false) {}
