// CFilament: a filament lamp whose current grows as the square root of its
// voltage (the filament's resistance rises as it heats), sized by its power
// label (watts at 12 V; 1 W at 3.5 V in the alternate look).  A light source
// for the light-dependent parts, like the bulb.
#pragma once

#include "model/components/component.h"
#include "model/solver/sqrt_model.h"

class CFilament : public CComponent {
    WB_DECLARE_SERIAL(CFilament)
public:
    CFilament();

    // Orientation 3, picture rect (-12, 0, 12, 24).
    void InitVariant(const CRuntimeClass* variant) override;
    // The terminals, then the power label (hidden 1 W in the alternate look,
    // else a visible 10 W).
    void CreateChildren() override;
    void UseAlternateLook() override;
    void ResetSimulation() override;
    void ResetState() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }
    int CoupleLight(CPart*) override { return 2; }
    double GetLightOutput() override { return m_dLight; }

    // The power rating in watts (the label's value).
    double GetPower();
    // Conductance factor of the square-root law per watt.
    double ScalePerWatt() const { return m_bAlternateLook ? 0.042626 : 0.0063239; }
    // Light output and level with d volts across a lamp of this look.
    static double LightAt(double volts, bool alternate);
    static int LevelAt(double volts, bool alternate);

    const CSqrtModel& Model() const { return m_model; }

private:
    double Across() const;

    double m_dLight = 0.0;
    CSqrtModel m_model;
};
