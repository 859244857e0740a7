#include "components/inverter.h"

#include "components/logic_visual.h"

WB_IMPLEMENT_SERIAL(CInverter, "CNAND", 2)

CInverter::CInverter() : CNAND(&LogicVisual(293, 2, 24, 24), 1, 15, false) {}
