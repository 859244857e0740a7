// CSystemAlarm: the alarm block: frame 1 (ringing bell) while its input is
// high, frame 0 while it is low; while the input is high it also sets bit 0
// of the design's idle-request word.
#pragma once

#include "components/system_output.h"

class CSystemAlarm : public CSystemOutput {
    WB_DECLARE_SERIAL(CSystemAlarm)
public:
    CSystemAlarm();

    // The input test, then the picture shown on or off.
    int AfterStep() override;
};
