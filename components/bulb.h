// CBulb: a lamp of 100 ohms (0.01 S) that shows its brightness in eleven
// picture frames and is a light source for the light-dependent parts: its
// light output (0-1000) follows the square of its voltage.
#pragma once

#include "model/components/component.h"

// Shared by the lamps: a raw light figure below 1 is dark, above 1000 full.
double ClampLampLight(double raw);
// A raw level figure truncated toward zero, then below 1 is 0 and above 9
// is 10.
int LampLevelOf(double raw);

class CBulb : public CComponent {
    WB_DECLARE_SERIAL(CBulb)
public:
    CBulb();

    // Orientation 1, picture rect (-12, 0, 12, 24).
    void InitVariant(const CRuntimeClass* variant) override;
    void CreateChildren() override;
    void ResetSimulation() override;
    // A dark lamp gives no light.
    void ResetState() override;
    void Stamp(CMatrix* matrix) override;
    // The rating test, then light and level from the voltage.
    int AfterStep() override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }
    // A light source for every asker.
    int CoupleLight(CPart*) override { return 2; }
    double GetLightOutput() override { return m_dLight; }

    // Light output (0, 1..1000) and level (0-10) of a bulb with d volts across.
    static double LightAt(double volts);
    static int LevelAt(double volts);

    static constexpr double kConductance = 0.01;

protected:
    // Stores the level as the state word and redraws when it changed.
    void ShowLevel(int level);

    double m_dLight = 0.0;
};
