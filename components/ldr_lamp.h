// CLDR_Lamp: a light-dependent resistor with its own lamp, whose
// brightness a lamp slider sets: slider value b = 0 (full) .. 20 (dark)
// gives R = 400 b + 400 ohm, and 1 Mohm at the dark end.  The glow level
// 20 - b is the state word; the picture shows the lamp lit from the bottom
// up by that many rows.
#pragma once

#include "model/components/component.h"

class CLDR_Lamp : public CComponent {
    WB_DECLARE_SERIAL(CLDR_Lamp)
public:
    CLDR_Lamp();

    void CreateChildren() override;
    int SetInputValue(CPartTree* design, int value) override;
    int Draw(DWORD flags) override;
    int FillProperties(CControlItemList& items) override;
    void Stamp(CMatrix* matrix) override;
    // The lamp stays as bright as the user set it.
    void ResetState() override {}
    DWORD GetProbeQuantities(int, int) override { return 0x403; }

    // Resistance for a slider value (0..20).
    static double ResistanceFor(int sliderValue) { return sliderValue > 19 ? 1e6 : 400.0 * sliderValue + 400.0; }
};
