#include "part_testclasses.h"

WB_IMPLEMENT_SERIAL(CTestComp, "CComponent", 1)
WB_IMPLEMENT_SERIAL(CTestWire, "CWire", 1)
WB_IMPLEMENT_SERIAL(CTestTerminal, "CTestWire", 1)
WB_IMPLEMENT_SERIAL(CTestProbe, "CProbe", 1)
WB_IMPLEMENT_SERIAL(CTestFlow, "CFlowObject", 1)
WB_IMPLEMENT_SERIAL(CTestValue, "CPart", 5)
WB_IMPLEMENT_SERIAL(CTestDesign, "CCircuit", 2)
WB_IMPLEMENT_SERIAL(CTestTreeDesign, "CCircuit", 2)

// Weak stand-ins for the family bases that later libraries define; the real
// classes replace them when they are linked in.
static const CRuntimeClass kStandIns[] = {
    {"CComponent", 0, 0xFFFF, nullptr, "CPartCircuit"},
    {"CWire", 0, 0xFFFF, nullptr, "CPart"},
    {"CProbe", 0, 0xFFFF, nullptr, "CPart"},
    {"CFlowObject", 0, 0xFFFF, nullptr, "CPart"},
};
static const bool s_standIns = [] {
    for (const CRuntimeClass& rc : kStandIns) RegisterRuntimeClass(&rc, true);
    return true;
}();
