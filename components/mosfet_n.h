// CMOSFETn: the enhancement n-channel MOSFET, a square law of the gate
// overdrive (threshold 1 V, KP 2 A/V^2) quantised by CFET_Model.  The outer
// pins are interchangeable: the model's mode says which one acts as drain
// (mode 0: drain = outer B, source = outer A; mode 1 the reverse).  Pins:
// outer A, gate, outer B.  CMOSFETp (mosfet_p.h) turns every voltage round.
#pragma once

#include "model/components/component.h"
#include "model/solver/fet_model.h"

class CMOSFETn : public CComponent {
    WB_DECLARE_SERIAL(CMOSFETn)
public:
    CMOSFETn();

    // Ratings, then the extra limits "Vds" and "Vgs" (always from text 4130).
    void LoadRatings(UINT stringId) override;
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    // The drain-source and gate limits, the ratings, then the model's commit.
    int AfterStep() override;

    CTerminal* OuterA() const { return GetTerminal(0); }
    CTerminal* Gate() const { return GetTerminal(1); }
    CTerminal* OuterB() const { return GetTerminal(2); }
    // The outer pin acting as drain and as source now.
    CTerminal* Drain() const;
    CTerminal* Source() const;
    bool IsPChannel() const { return m_bPChannel; }
    const CFET_Model& Model() const { return m_model; }

    double m_dVdsLimit = 1000.0;
    double m_dVgsLimit = 1000.0;

protected:
    CMOSFETn(CVisual* visual, UINT ratingsId);

private:
    CFET_Model m_model;
    bool m_bPChannel = false;
};
