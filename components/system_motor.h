// CSystemMotor: the motor block, shown as a wheel.  Two logic inputs: the
// wheel turns one of its twelve frames per step forwards while only the
// second is high and backwards while only the first is high, and stands
// still when both are equal.  Direction state: 0 forwards, 1 stopped,
// 2 backwards.
#pragma once

#include "components/system_block.h"

class CSystemMotor : public CSystemBlock {
    WB_DECLARE_SERIAL(CSystemMotor)
public:
    CSystemMotor();

    // The CComponent record, then the direction state.
    void Serialize(CArchive& ar) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

    int m_nDirection = 1;
};
