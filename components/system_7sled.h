// CSystem7SLED: the 7 segment LED block.  Four logic inputs weigh 8, 4, 2
// and 1 (pins 1 to 4, from the top of the left edge down); the display shows
// the code 0 to 15 as the hexadecimal digit of that frame.  The shown code
// survives simulation resets.
#pragma once

#include "components/system_block.h"

class CSystem7SLED : public CSystemBlock {
    WB_DECLARE_SERIAL(CSystem7SLED)
public:
    CSystem7SLED();

    // The CComponent record, then the shown code.
    void Serialize(CArchive& ar) override;
    int AfterStep() override;
    void ResetState() override {}
    int GetKindCode() override { return 7; }

    int m_nShownCode = 0;
};
