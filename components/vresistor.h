// CVResistor: a resistance set by a slider: R = label value x label scale.
// The slider sets the scale to 1 - 0.05 p for positions p = 0..20 (exactly
// 0 at p = 20), so R runs from the full value down to a short; at R = 0 the
// terminals are linked.
#pragma once

#include "model/components/component.h"

class CVResistor : public CComponent {
    WB_DECLARE_SERIAL(CVResistor)
public:
    CVResistor();
    // The component record; files before version 4 get label type code 10.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    DWORD GetProbeQuantities(int x, int y) override { return 0x403; }
    void Stamp(CMatrix* matrix) override;
    double GetResistance();
    // What the slider does at position p (0..20).
    void SetSliderPosition(int p);
};

// The scale of a slider position: 1 - 0.05 p, exactly 0 at the end.
double SliderScale(int position);
