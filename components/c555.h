// C555: the 555 timer as conductances around an output latch.  A divider of
// 5 kOhm (supply-control) and 10 kOhm (control-ground) holds the control pin
// at 2/3 of the supply and 1667 ohm stands for the quiescent current.  While
// powered (more than 2.5 V across), a set latch ties the output to the supply
// by 12.5 ohm; a clear one ties the output to ground by 12.5 ohm and the
// discharge pin to ground by 10 ohm.  The latch changes after each accepted
// step: reset below half the control voltage clears it, else trigger below
// that sets it, else threshold above the control voltage clears it.
#pragma once

#include "model/components/component.h"

class C555 : public CComponent {
    WB_DECLARE_SERIAL(C555)
public:
    C555();

    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    int GetSupplyRails(double* high, double* low) override;

    enum Pin { kSupply, kReset, kDischarge, kThreshold, kTrigger, kGround, kControl, kOutput, kPins };

    // The conductances of the model (siemens).
    static constexpr double kDividerTop = 0.0002;
    static constexpr double kDividerBottom = 0.0001;
    static constexpr double kQuiescent = 0.0006;
    static constexpr double kOutputOn = 0.08;
    static constexpr double kDischargeOn = 0.1;
    static constexpr double kPoweredAbove = 2.5;

    bool IsLatchSet() const { return m_bLatch != 0; }
    bool IsPowered() const { return m_bPowered != 0; }

private:
    int m_bLatch = 0;
    int m_bPowered = 0;
};
