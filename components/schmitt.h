// CSchmitt: the Schmitt-trigger inverter.  One inverting ramp of 10 mV at
// the design's Schmitt threshold; while the output is high the ramp is
// moved up by the hysteresis, so the output falls when the input rises above
// threshold + hysteresis + 0.01 V and rises again only when it drops below
// the threshold.
#pragma once

#include "model/components/component.h"

class CSchmitt : public CComponent {
    WB_DECLARE_SERIAL(CSchmitt)
public:
    CSchmitt();

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

    bool IsOutputHigh() const { return m_bOutputHigh != 0; }

private:
    // The ramp's shift: the hysteresis while the output is high.
    double Offset() const;

    CTriState m_model;
    int m_bOutputHigh = 1;
};
