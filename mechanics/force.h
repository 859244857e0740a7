// CForce: a constant force on a linear terminal, set in its value label (N,
// 1.0 by default).  A direction key beside it chooses the sense: code 1
// pushes the terminal's displacement up (to the right on the canvas), code
// 3 down; with the key released (codes 0 and 2) no force acts.  A far
// travel limit (a diode model whose knee lies 1000 m out) stands beside the
// source, so a free slider is never driven without bound.
#pragma once

#include "mechanics/mech_comp.h"
#include "model/solver/diode_model.h"

class CForce : public CMechComp {
    WB_DECLARE_SERIAL(CForce)
public:
    CForce();

    // The CComponent record, then WORD direction code.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // The terminal, the label and the direction key (44 pixels left of and
    // 11 above the part).
    void CreateChildren() override;
    CMechPin DescribePin(int side, CPoint pin) override;
    // The direction key reports its code here.
    int SetInputValue(CPartTree* design, int value) override;
    int Draw(DWORD flags) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    int GetKindCode() override { return 5; }

    int GetDirection() const { return m_wDirection; }
    // The label's force, signed as it acts on the displacement (0 while
    // the key is up).
    double GetAppliedForce();
    const CDiodeModel& GetLimit() const { return m_limit; }

    static constexpr double kLimitKnee = 1000.0;

private:
    WORD m_wDirection = 1;
    CDiodeModel m_limit;
};
