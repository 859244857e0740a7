// CResistors: a pack of eight equal resistors (the label's value, ohms),
// each between a pin on one long side and the pin facing it on the other.
// With the pins ordered side by side (both sides in the same direction),
// pin i faces pin i + 8.
#pragma once

#include "model/components/component.h"

class CResistors : public CComponent {
    WB_DECLARE_SERIAL(CResistors)
public:
    CResistors();

    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;

    // The label's value, kept at or above kSmallest: a label of 0 (or a
    // damaged one read from a file) would ask for an infinite conductance.
    double GetResistance();
    // The pin facing pin i (i < 8).
    CTerminal* Facing(int i) const { return GetTerminal(i + kPairs); }

    static constexpr int kPairs = 8;
    static constexpr double kSmallest = 0.001;
};
