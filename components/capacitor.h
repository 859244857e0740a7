// CCapacitor: capacitance C (the value label, farads) with its charge Q.
// Per step it is a companion conductance g with a current source I0
// (i = g V + I0 leaves terminal 0):
//   backward Euler  g = C r,    I0 = -r Q
//   trapezoid rule  g = 2 C r,  I0 = -2 r Q - I_prev
// with r the update rate (steps per second).  An inductor that exchanges
// energy with the capacitor asks for the trapezoid rule one step at a time
// (CInductor), since backward Euler damps an LC pair.  A 5e-10 S leak from
// terminal 1 to ground keeps a floating capacitor solvable.
#pragma once

#include "model/components/component.h"

class CCapacitor : public CComponent {
    WB_DECLARE_SERIAL(CCapacitor)
public:
    CCapacitor();
    // The component record, then Q (a design is saved with its charge).
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;
    DWORD GetProbeQuantities(int x, int y) override { return 0x303; }
    double GetQuantity(int x, int y, int code) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    int GetKindCode() override { return 1; }
    // The charge-bar levels of the present charge (drawn while running).
    virtual void DrawChargeBars();

    double GetCapacitance();
    double GetVoltage();
    double GetEnergy(int ringIndex) const { return m_energy[ringIndex % 10]; }

    double m_dCharge = 0.0;
    double m_dConductance = 0.0;
    double m_dSource = 0.0;
    double m_dLastCurrent = 0.0;
    int m_bTrapezoid = 0;
    double m_energy[10] = {};
    WORD m_wBarSign = 0;
    WORD m_wBar0 = 0;
    WORD m_wBar1 = 0;
};
