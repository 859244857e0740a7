// CNAND and the two-input gate family built on it (CAND, COR, CNOR,
// CInverter, CNAND3, CNAND4).  One CLogic model follows the least satisfied
// input; the output is a Norton source whose current follows that input
// through the model's ramp (see logic_pins.h).  Inputs come first in the
// terminal array, the output last.
#pragma once

#include "model/components/component.h"

class CVisual;

class CNAND : public CComponent {
    WB_DECLARE_SERIAL(CNAND)
public:
    CNAND();

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

    int GetInputCount() const { return m_nInputs; }
    const CLogic& GetModel() const { return m_model; }

protected:
    // A gate of the family: its picture, input count, wanted-high mask and
    // whether the output follows the model directly or complemented.
    CNAND(CVisual* visual, int inputs, unsigned wantedHigh, bool direct);

    CLogic m_model;
    int m_nInputs = 2;
};
