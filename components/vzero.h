// CVZero: the 0 V rail, a link from its terminal to ground, labelled "0V".
#pragma once

#include "components/voltrail.h"

class CVZero : public CVoltRail {
    WB_DECLARE_SERIAL(CVZero)
public:
    CVZero();
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass*) override {}
    void Stamp(CMatrix* matrix) override;
    int GetKindCode() override { return 10; }
};
