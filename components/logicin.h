// CLogicIn: the switchable logic input.  An ideal source from ground to its
// one pin at the logic supply when on (state word non-zero), else 0 V.  Its
// latching key child toggles it while the simulation runs; the level
// survives a simulation reset and is stored with the part.
#pragma once

#include "model/components/component.h"

class CLogicIn : public CComponent {
    WB_DECLARE_SERIAL(CLogicIn)
public:
    CLogicIn();

    // The pin, then the latching key (when the key class is in the program).
    void CreateChildren() override;
    // Sets the level and starts a new solve at once.
    int SetInputValue(CPartTree* design, int value) override;
    void ResetState() override {}
    void Stamp(CMatrix* matrix) override;
    int GetKindCode() override { return 5; }

    bool IsOn() const { return m_wStateWord != 0; }

    // What the pin drives as the part stands: an open-circuit voltage behind
    // a conductance to ground (0: an ideal source); false when it drives
    // nothing.  The netlist writes the part from it.
    virtual bool GetPinDrive(double* volts, double* conductance) const;
};
