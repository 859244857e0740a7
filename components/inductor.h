// CInductor: inductance L (the value label, henries) through a CLR
// companion model: per step a conductance g = 1 / (L r) (halved for the
// trapezoid rule) with a source carrying the present current.
//
// Backward Euler damps an LC circuit by a factor of about 1 / (1 + (w dt)^2)
// per step, so an inductor that exchanges energy with a capacitor is paired
// with it and both integrate with the trapezoid rule while the pair's total
// energy stays nearly constant (see PassesOscillationTest).
#pragma once

#include "model/components/component.h"
#include "model/solver/lr_model.h"

class CCapacitor;

class CInductor : public CComponent {
    WB_DECLARE_SERIAL(CInductor)
public:
    CInductor();
    // The component record; files up to version 3 with orientation 0 move
    // the part 2 pixels left.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;
    DWORD GetProbeQuantities(int x, int y) override { return 0x103; }
    double GetQuantity(int x, int y, int code) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    double GetInductance();
    double GetVoltage();
    CCapacitor* GetLinkedCapacitor() const { return m_pCapacitor; }
    // Total energy of the pair over the last ten steps: neither below 60 %
    // nor above 100.5 % of the step before, while the coil's own energy
    // keeps changing.
    bool PassesOscillationTest(const CCapacitor* cap) const;

    CLR m_model{0.0};
    CCapacitor* m_pCapacitor = nullptr;
    double m_energy[10] = {};

private:
    void PairWithCapacitor();
    // Drops the link when the capacitor is no longer among the design's
    // capacitors (deleted or moved to another design while linked).
    void CheckLink();
};
