// CCounter16: the binary ripple counter.  The count advances on the falling
// edge of (clock A AND clock B) and returns to 0 while reset is high or when
// it reaches the modulus; bits 3..0 are fixed-level Norton outputs.  The
// count is not reset by a simulation reset nor stored in the file.
#pragma once

#include "model/components/component.h"

class CCounter16 : public CComponent {
    WB_DECLARE_SERIAL(CCounter16)
public:
    CCounter16();

    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

    int GetCount() const { return m_wCount; }
    int GetModulus() const { return m_wModulus; }

    // Pins: clock A, clock B, reset, then the outputs.
    enum Pin { kClockA, kClockB, kReset, kFirstOutput };

protected:
    CCounter16(CVisual* visual, int modulus);

    WORD m_wCount = 0;
    WORD m_wModulus = 16;
    int m_bPreviousGate = 0;
};
