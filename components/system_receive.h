// CSystemAReceive: the receiver.  Its one pin is a logic output to the
// shared ground of the systems parts: G always, with the logic-high current
// while the design's transmitted word is non-zero (some transmitter of the
// design saw a high input).  Its aerial animates through frames 0 to 3.
#pragma once

#include "components/system_block.h"

class CSystemAReceive : public CSystemBlock {
    WB_DECLARE_SERIAL(CSystemAReceive)
public:
    CSystemAReceive();

    // The CComponent record, then the frame counter.
    void Serialize(CArchive& ar) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;

    int m_nCounter = 0;
};
