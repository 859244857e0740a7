// CBuzzer: a 240 ohm (0.00417 S) sounder that sounds while more than 3 V
// lie across it, either way round.  Its state word (also the picture
// frame) is 1 while sounding; each step a sounding buzzer asks the design
// for the shared buzzer sound, which the simulation controller passes to
// the view's sound service.
#pragma once

#include "model/components/component.h"

class CBuzzer : public CComponent {
    WB_DECLARE_SERIAL(CBuzzer)
public:
    CBuzzer();

    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }

    bool IsSounding() const { return m_wStateWord == 1; }
    static constexpr double kConductance = 0.00417;
    static constexpr double kSoundingVolts = 3.0;
};
