#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CFixedValue, "CValue", 3)
WB_IMPLEMENT_SERIAL(CThermValue, "CValue", 3)
WB_IMPLEMENT_SERIAL(CDummyValue, "CValue", 1)
