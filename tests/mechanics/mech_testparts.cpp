#include "tests/mechanics/mech_testparts.h"

WB_IMPLEMENT_SERIAL(CTestSlider, "CMechComp", 1)
