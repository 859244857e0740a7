// CJK: the JK flip-flop with asynchronous set and reset.  On a rising clock
// J and K high toggle Q, J alone sets it, K alone clears it; then a high set
// input sets Q and a high reset clears it (reset wins).  Outputs as CDtype.
#pragma once

#include "model/components/component.h"

class CJK : public CComponent {
    WB_DECLARE_SERIAL(CJK)
public:
    CJK();

    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    // The plain symbol with IEC logic symbols off, else the IEC one.
    int Draw(DWORD flags) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

    bool GetQ() const { return m_bQ != 0; }

private:
    int m_bQ = 1;
    int m_bPreviousClock = 0;
};
