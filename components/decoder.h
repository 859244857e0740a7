// CDecoder: the one-of-ten decoder.  Output i is a gate whose model wants
// the four inputs (1, 2, 4, 8) to carry i in base 2: AND of the inputs or
// their complements as the bits of i say.  Inputs above 9 leave every
// output low.  Outputs: digit 9 on the first output pin, digit 0 on the last.
#pragma once

#include "model/components/component.h"

#include <array>

class CDecoder : public CComponent {
    WB_DECLARE_SERIAL(CDecoder)
public:
    CDecoder();

    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    void ResetSimulation() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

    static constexpr int kInputs = 4;
    static constexpr int kOutputs = 10;
    // The terminal of digit i's output.
    static int OutputPin(int digit) { return kInputs + kOutputs - 1 - digit; }

private:
    std::array<CLogic, kOutputs> m_models;
};
