// CCurrent: a constant current source.  It drives the current of its "A"
// label out of its first pin (and in at the second); a diode model with a
// knee of 1000 V across it limits the voltage it can build, so an open
// source stops at about 1000 V.
#pragma once

#include "model/components/component.h"
#include "model/solver/diode_model.h"

class CCurrent : public CComponent {
    WB_DECLARE_SERIAL(CCurrent)
public:
    CCurrent();

    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    int GetKindCode() override { return 2; }

    double GetCurrent();
    const CDiodeModel& Model() const { return m_model; }

    static constexpr double kVoltageLimit = 1000.0;

private:
    CDiodeModel m_model;
};
