#include "components/nor.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(CNOR, "CNAND", 2)

CNOR::CNOR() : CNAND(&LogicVisual(298, 2, 24, 24), 2, 0, true) {}
