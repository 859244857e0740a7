// CRS: the set-reset latch of two cross-coupled NOR gates inside one part:
// NOR(set, Q) drives not-Q and NOR(reset, not-Q) drives Q, solved with the
// rest of the circuit like any gate.
#pragma once

#include "model/components/component.h"

class CRS : public CComponent {
    WB_DECLARE_SERIAL(CRS)
public:
    CRS();

    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    void ResetSimulation() override;
    // The plain symbol with IEC logic symbols off, else the IEC one.
    int Draw(DWORD flags) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

private:
    CLogic m_toNotQ;  // NOR of set and Q
    CLogic m_toQ;     // NOR of reset and not-Q
};
