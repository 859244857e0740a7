// CThermistor: an NTC thermistor whose temperature a thermometer beside
// it sets: R = R25 exp(B (1/T - 1/298)) with B = 3740 K and R25 the label's
// value (15 k at 298 K, about 8.2 k at 313 K and 140 k at 253 K).  The
// exponential factor is the label's scale.
#pragma once

#include "model/components/component.h"

#include <cmath>

class CThermistor : public CComponent {
    WB_DECLARE_SERIAL(CThermistor)
public:
    CThermistor();

    void CreateChildren() override;
    // T in kelvin from the thermometer (253..313).
    int SetInputValue(CPartTree* design, int kelvin) override;
    void Stamp(CMatrix* matrix) override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }

    // exp(3740 (1/T - 1/298)).
    static double ScaleAt(double kelvin) { return std::exp(3740.0 / kelvin - 12.550335570469798); }
};
