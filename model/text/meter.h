// CMeter: the readout of a meter component, a plain-only text that the
// meter sets after each step; drawn only in passes that draw readouts
// (drawing flag 0x4).
#pragma once

#include "model/text/text.h"

class CMeter : public CText {
    WB_DECLARE_SERIAL(CMeter)
public:
    CMeter();
    // Shows the five-character readout of v (meter_reading.h); redraws with
    // drawFlags when the text changed.  *scaleCode receives the sub-unit
    // code (0, 1 milli, 2 micro); returns 1 when that code changed.
    int SetReading(double v, WORD* scaleCode, int drawFlags);
    int Draw(DWORD drawFlags) override;
};
