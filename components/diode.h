// CDiode: the rectifier diode, a two-pin component around one CDiodeModel.
// The first terminal is the anode, the second the cathode; the model is
// stamped as a conductance g in parallel with a current source I0, so that
// g * (V(anode) - V(cathode)) + I0 flows from anode to cathode.  The LEDs
// build on it (led.h).
#pragma once

#include "model/components/component.h"
#include "model/solver/diode_model.h"

class CDiode : public CComponent {
    WB_DECLARE_SERIAL(CDiode)
public:
    CDiode();

    void CreateChildren() override;
    // The old direction classes choose the orientation: CDiodeD 0 (pointing
    // down), CDiodeR 3, CDiodeU 2, anything else 1.
    void InitVariant(const CRuntimeClass* variant) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    // Rating tests, then the model's commit.
    int AfterStep() override;

    CDiodeModel& Model() { return m_model; }
    const CDiodeModel& Model() const { return m_model; }
    // V(anode) - V(cathode) as last solved.
    double GetForwardVoltage() const;
    // The model's current for the solved voltage, anode to cathode.
    double GetModelCurrent() const;
    // The orientation code a catalogue variant stands for.
    static int OrientationOfVariant(const CRuntimeClass* variant);

protected:
    // Takes the orientation code and orders the terminals by it.
    void TurnTo(int code);

    CDiodeModel m_model;
};
