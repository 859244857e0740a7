#include "flow_support.h"

WB_IMPLEMENT_SERIAL(CTestFlowStep, "CFlowObject", 2)
WB_IMPLEMENT_SERIAL(CTestFlowHead, "CFlowObject", 2)
