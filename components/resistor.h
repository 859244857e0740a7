// CResistor: a fixed resistance R (the value label, ohms) between its two
// terminals: i = (V0 - V1) / R.
#pragma once

#include "model/components/component.h"

class CResistor : public CComponent {
    WB_DECLARE_SERIAL(CResistor)
public:
    CResistor();
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;
    DWORD GetProbeQuantities(int x, int y) override { return 0x403; }
    void Stamp(CMatrix* matrix) override;
    double GetResistance();
};
