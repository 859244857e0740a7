// CLDR: the light-dependent resistor.  It is lit by the light source whose
// rectangle holds the point 24 pixels left of its centre: g = 2.5e-6 x the
// source's light output + 1e-6 S (1 Mohm in the dark, 400 ohm beside a
// fully lit bulb).  The source is looked up in the design every pass and
// never kept, so a moved or deleted lamp can never be reached through a
// stale pointer.
#pragma once

#include "model/components/component.h"

class CLDR : public CComponent {
    WB_DECLARE_SERIAL(CLDR)
public:
    CLDR();

    void CreateChildren() override;
    // A sensor of light: the design's couplings are accepted (1) but the
    // source is found again where it stands when the part is stamped.
    int CoupleLight(CPart*) override { return 1; }
    // The base links, then the source it is lit by, as an object reference
    // (null when none); a reference read from a file is not kept.
    void SerializeLinks(CArchive& ar) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }
    // The numeric query of the light sensors: 1, with the value 5.0.
    virtual int QuerySensorValue(double* value);

    // The conductance for the source found now (1e-6 S without one).
    double LightConductance();
    static double ConductanceFor(double lightOutput) { return 2.5e-6 * lightOutput + kDarkConductance; }
    static constexpr double kDarkConductance = 1e-6;

private:
    double m_dConductance = kDarkConductance;
};
