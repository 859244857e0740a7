// CFloatSwitch: a contact closed by a float in the tank below it.  The
// tank reports its water level 1..7 (the state word); the contact closes
// for the two top levels (6 and 7) only.
#pragma once

#include "model/components/component.h"

class CFloatSwitch : public CComponent {
    WB_DECLARE_SERIAL(CFloatSwitch)
public:
    CFloatSwitch();

    // The terminals and the tank; the part's rectangle then ends 14 pixels
    // higher, above the tank.
    void CreateChildren() override;
    int SetInputValue(CPartTree* design, int level) override;
    int Draw(DWORD flags) override;
    void Stamp(CMatrix* matrix) override;
    // The water stays where the user left it.
    void ResetState() override {}

    bool IsClosed() const { return m_wStateWord > 5; }
};
