// CVSlide: a rail whose voltage is set with a slider: V = label value x
// label scale, the scale 1 - 0.05 p for slider positions p = 0..20 (0 at
// p = 20); the default 10 V at scale 0.5 gives 5 V.
#pragma once

#include "components/voltrail.h"

class CVSlide : public CVoltRail {
    WB_DECLARE_SERIAL(CVSlide)
public:
    CVSlide() = default;
    // The component record; files before version 4 get label type code 2.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    int AllowsSharedLabelSide() override { return 1; }
    double GetRailVoltage() override;
    void SetSliderPosition(int p);
};
