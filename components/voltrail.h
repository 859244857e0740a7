// CVoltRail: a supply rail, an ideal source of V (the value label, volts)
// from ground to its one terminal.
#pragma once

#include "model/components/component.h"

class CVoltRail : public CComponent {
    WB_DECLARE_SERIAL(CVoltRail)
public:
    CVoltRail();
    void CreateChildren() override;
    // CVNeg: the label shows the negated value at scale 1 (a negative
    // rail); the label's type code is 2 for every variant.
    void InitVariant(const CRuntimeClass* variant) override;
    void Stamp(CMatrix* matrix) override;
    int GetKindCode() override { return 5; }
    virtual double GetRailVoltage();
};
