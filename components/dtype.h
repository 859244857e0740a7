// CDtype: the D flip-flop.  On a rising clock (the previous accepted step
// low, this one above the switching threshold) Q takes the level of D.  Q and
// not-Q are fixed-level Norton outputs.  Q starts at 1; neither Q nor the
// clock memory is reset by a simulation reset or stored in the file.
#pragma once

#include "model/components/component.h"

class CDtype : public CComponent {
    WB_DECLARE_SERIAL(CDtype)
public:
    CDtype();

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
