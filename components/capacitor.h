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
    // The picture, then the charge bars grown from nothing.
    int Draw(DWORD flags) override;
    // Brings the charge bars to the present charge: bar 0 (the marks next
    // to the plates) grows to 24 pixels over levels 1-6 of |Q|, bar 1 (the
    // outer marks) from level 7 on; red on the positive plate's side, blue
    // on the negative's.  Drawn only while the simulation is shown running
    // (draw flag 0x4) on a current DC (capacitor_draw.cpp).
    virtual void DrawChargeBars();
    // Draws (sign 1 or 2) or erases (sign 0) the columns of one bar from
    // half-length `start` to `start + length` on both sides of the centre.
    virtual void DrawChargeStrip(int start, int length, int bar, int sign);
    // Charge level 0..12 of a charge (saturated; 0 for a charge that is not a number).
    static int ChargeLevel(double charge);

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
