// CBattery: an ideal voltage source V (the value label, volts) from
// terminal 1 (negative) to terminal 0 (positive); with the design option
// Internal Resistance a 1 ohm source instead.  A 5e-10 S leak from the
// negative pole to ground keeps a floating battery solvable.
#pragma once

#include "model/components/component.h"

// Options/Internal Resistance: every battery has 1 ohm in series.
constexpr DWORD OPT_INTERNAL_RESISTANCE = 0x800000;

class CBattery : public CComponent {
    WB_DECLARE_SERIAL(CBattery)
public:
    CBattery();
    void CreateChildren() override;
    // CBatteryR: rectangle 2 pixels taller each way, label 2 up, orientation
    // 1; CBatteryD: code 6 stored as it is; CBatteryL: taller, orientation 7;
    // any other: orientation 0.
    void InitVariant(const CRuntimeClass* variant) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void Stamp(CMatrix* matrix) override;
    int GetKindCode() override { return 4; }
    double GetEmf();

protected:
    // The source from the negative to the positive pole.
    void StampSource(CMatrix* m, CTerminal* positive, CTerminal* negative);
};
