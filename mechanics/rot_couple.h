// CMechRotCouple: a corner piece that joins two shafts rigidly (one ideal
// link between its two terminals), so both wires share one angle.
#pragma once

#include "mechanics/mech_comp.h"

class CMechRotCouple : public CMechComp {
    WB_DECLARE_SERIAL(CMechRotCouple)
public:
    CMechRotCouple();

    // Centred on its place, the terminals from the picture's pins.
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
};
