// CSystemCan: the can dispenser.  Each rising input dispenses one can: the
// picture runs through its four frames, n steps each, where n is the
// design's update rate / 10 (at least 1), so a can takes about 0.4 s at any
// rate of 10 per second or more.  The input must fall before the next can.
#pragma once

#include "components/system_output.h"

class CSystemCan : public CSystemOutput {
    WB_DECLARE_SERIAL(CSystemCan)
public:
    CSystemCan();

    // The CSystemOutput record, then the dispensing flag, the armed flag and
    // the frame counter (32 bits each).
    void Serialize(CArchive& ar) override;
    int AfterStep() override;

    // Steps per frame at an update rate.
    static int StepsPerFrame(double updateRate);

    int m_bDispensing = 0;
    int m_bArmed = 1;
    unsigned m_nCounter = 0;
};
