// CEarth: the earth symbol, a 0 V rail without a label.
#pragma once

#include "components/vzero.h"

class CEarth : public CVZero {
    WB_DECLARE_SERIAL(CEarth)
public:
    CEarth();
    void CreateChildren() override { CreateTerminals(0); }
    int GetKindCode() override { return 9; }
};
