#include "part_testclasses.h"

WB_IMPLEMENT_SERIAL(CTestComp, "CComponent", 1)
WB_IMPLEMENT_SERIAL(CTestWire, "CWire", 1)
WB_IMPLEMENT_SERIAL(CTestTerminal, "CTestWire", 1)
WB_IMPLEMENT_SERIAL(CTestProbe, "CProbe", 1)
WB_IMPLEMENT_SERIAL(CTestFlow, "CFlowObject", 1)
WB_IMPLEMENT_SERIAL(CTestValue, "CPart", 5)
WB_IMPLEMENT_SERIAL(CTestDesign, "CCircuit", 2)
