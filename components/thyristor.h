// CThyristor: a switch that a gate current turns on and that stays on while
// the anode current is above the holding current (CThyristorModel).  Pins:
// anode, gate, cathode.
#pragma once

#include "model/components/component.h"
#include "model/solver/diode_model.h"

class CThyristor : public CComponent {
    WB_DECLARE_SERIAL(CThyristor)
public:
    CThyristor();

    // Off again (a stopped run starts again with the thyristor off).
    void ResetSimulation() override { ResetState(); }
    void ResetState() override;
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;

    CTerminal* Anode() const { return GetTerminal(0); }
    CTerminal* Gate() const { return GetTerminal(1); }
    CTerminal* Cathode() const { return GetTerminal(2); }
    CThyristorModel& Model() { return m_model; }
    bool IsOn() const { return m_model.GetState() == 4; }

private:
    CThyristorModel m_model;
};
