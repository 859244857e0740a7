// CSystemASend: the transmitter.  After every step it ORs the input it saw
// one step earlier into the design's transmitted word, which every
// receiver of the design reads in the next step (the design clears the
// word after every solve); its aerial animates through frames 0 to 3.
#pragma once

#include "components/system_output.h"

class CSystemASend : public CSystemOutput {
    WB_DECLARE_SERIAL(CSystemASend)
public:
    CSystemASend();

    // The CSystemOutput record, then the frame counter and the last input.
    void Serialize(CArchive& ar) override;
    int AfterStep() override;

    int m_nCounter = 0;
    int m_nLastInput = 0;
};
