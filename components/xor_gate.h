// CXOR: the exclusive OR as the difference of two gate currents into one
// output: NAND minus NOR of the two inputs is the logic-high current exactly
// when the inputs differ, and 0 when they agree.
#pragma once

#include "model/components/component.h"

class CXOR : public CComponent {
    WB_DECLARE_SERIAL(CXOR)
public:
    CXOR();

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
    CLogic m_nand;
    CLogic m_nor;
};
