// CZener: a diode that also conducts backwards above its zener voltage Vz
// (the "V" label).  Two exponential models: the forward one across anode to
// cathode, the reverse one across cathode to anode offset by x = Vz - 0.7,
// so that the reverse current follows the forward law shifted by x.  Pins:
// cathode, anode.
#pragma once

#include "model/components/component.h"
#include "model/solver/diode_model.h"

class CZener : public CComponent {
    WB_DECLARE_SERIAL(CZener)
public:
    CZener();

    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;

    double GetZenerVoltage();
    // The reverse model's offset x = max(Vz - 0.7, 0).
    double GetOffset();
    // The reverse model's source term: its intercept less x times its slope
    // in every segment above off, so that I = slope (v - x) + intercept.
    double ReverseIntercept();
    CTerminal* Cathode() const { return GetTerminal(0); }
    CTerminal* Anode() const { return GetTerminal(1); }
    CDiodeModel& Forward() { return m_forward; }
    CDiodeModel& Reverse() { return m_reverse; }

    static constexpr double kDefaultVz = 5.1;

private:
    CDiodeModel m_forward;
    CDiodeModel m_reverse;
};
