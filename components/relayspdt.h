// CRelaySPDT: a relay with one changeover contact.  Pins: contact common
// 0, coil 1 and 2, contacts 3 (operated) and 4 (rest).  The coil is 10 H
// in series with 102.5 ohm (a CLR companion), with 0.0002439 S across it,
// so a steady coil voltage V draws V / 100 amperes in all: 1 W at 10 V,
// which is the relay's power rating (a 12 V supply burns it out).
// The contacts operate when the coil current (through the CLR) rises above
// 0.039 A and release when it falls to 0.0195 A or below; a changed
// contact is stamped, and drawn, from the next step on.
#pragma once

#include "model/components/component.h"
#include "model/solver/lr_model.h"

class CRelaySPDT : public CComponent {
    WB_DECLARE_SERIAL(CRelaySPDT)
public:
    CRelaySPDT();
    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override {}

    // Commits the coil current for the coil voltage v and sets the contact
    // state from it; returns the new state.
    virtual int UpdateContacts(double v);

    static constexpr double kCoilResistance = 102.5;
    static constexpr double kCoilInductance = 10.0;
    static constexpr double kCoilShunt = 0.0002439;
    static constexpr double kPullIn = 0.039;
    static constexpr double kDropOut = 0.0195;

    double GetCoilCurrent() const { return m_coil.GetCurrent(); }
    int HasContactChanged() const { return m_bContactChanged; }

    CLR m_coil{kCoilResistance};
    int m_bContactChanged = 0;

protected:
    // The coil's two pins (1 and 2 here, 2 and 3 in the double relay).
    virtual int CoilPin() const { return 1; }
    double CoilVoltage() const;
    void StampCoil(CMatrix* m);
    void Link(CMatrix* m, int a, int b);
};
