// CNPN: the bipolar transistor as a transport Ebers-Moll model of two
// exponential junctions (CDiodeModel): the base-emitter diode's current I_F
// flows collector to emitter with I_F / hFE into the base; the base-collector
// diode's current I_R flows emitter to collector with I_R / 5 into the base
// (reverse gain 5).  Pins: collector, base, emitter.  The gain is the hidden
// "hFE" label.  Beside the ratings it has three voltage limits of its own
// (Vce, Vcb, reverse Vbe).  CPNP (pnp.h) is the same with every junction
// turned round.
#pragma once

#include "model/components/component.h"
#include "model/solver/diode_model.h"

class CNPN : public CComponent {
    WB_DECLARE_SERIAL(CNPN)
public:
    CNPN();

    // Orientation 4, picture rect (-20, 0, 8, 24).
    void InitVariant(const CRuntimeClass* variant) override;
    void CreateChildren() override;
    // The component record; files before version 4 carry the gain beside
    // it (version 3 as a double, older ones 100) and get a gain label.
    void Serialize(CArchive& ar) override;
    // Ratings, then the extra limits "Vce", "Vcb" and "VbeRev".
    void LoadRatings(UINT stringId) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    // The three voltage limits, the ratings, then both junctions commit.
    int AfterStep() override;

    // hFE from the label; anything not above 0 counts as 0.01.
    double GetGain();
    bool IsPNP() const { return m_bPNP; }
    CTerminal* Collector() const { return GetTerminal(m_bPNP ? 2 : 0); }
    CTerminal* Base() const { return GetTerminal(1); }
    CTerminal* Emitter() const { return GetTerminal(m_bPNP ? 0 : 2); }
    CDiodeModel& BaseEmitter() { return m_be; }
    CDiodeModel& BaseCollector() { return m_bc; }

    double m_dVceLimit = 1000.0;
    double m_dVcbLimit = 1000.0;
    double m_dVbeRevLimit = 1000.0;

    // Reverse gain of the Ebers-Moll pair, leakage across an NPN's junction.
    static constexpr double kReverseGain = 5.0;
    static constexpr double kBaseLeak = 1e-9;
    static constexpr double kDefaultGain = 100.0;

protected:
    // The PNP's constructor: its own picture and ratings.
    CNPN(CVisual* visual, UINT ratingsId);

private:
    // Forward polarity: +1 NPN, -1 PNP.
    double Polarity() const { return m_bPNP ? -1.0 : 1.0; }

    CDiodeModel m_be;
    CDiodeModel m_bc;
    bool m_bPNP = false;
};
