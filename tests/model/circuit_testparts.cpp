#include "circuit_testparts.h"

WB_IMPLEMENT_SERIAL(CTestResistor, "CComponent", 1)
WB_IMPLEMENT_SERIAL(CTestCell, "CComponent", 1)
WB_IMPLEMENT_SERIAL(CTestDiode, "CComponent", 1)
WB_IMPLEMENT_SERIAL(CTestRestless, "CComponent", 1)
WB_IMPLEMENT_SERIAL(CTestRecProbe, "CProbe", 1)
WB_IMPLEMENT_SERIAL(CTestCounting, "CComponent", 1)
