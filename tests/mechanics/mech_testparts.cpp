#include "tests/mechanics/mech_testparts.h"

WB_IMPLEMENT_SERIAL(CTestSlider, "CMechComp", 1)
WB_IMPLEMENT_SERIAL(CTestShaft, "CMechComp", 1)
