#include "components/counter10.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(CCounter10, "CCounter16", 3)

CCounter10::CCounter10() : CCounter16(&LogicVisual(215, 1, 32, 56), 10) {}
