// CMotor: a small DC motor, a 10 ohm winding in series with a back-EMF E
// that follows the current with a first-order lag.  Per step (r updates a
// second) it is the companion of
//     b = 0.05 / (r + 1),  g = (2r + 1) b,  I0 = -2 r b E,
// and after the step E = V - 10 I.  At a steady voltage E settles at V / 2
// (ratio r / (r + 1) a step), so the current settles at V / 20.  The
// rotor turns E x 0.2083 / r turns a step (at most 3/16 of a turn) and is
// shown in 16 frames; below about 1 V with a small back-EMF it stops.
#pragma once

#include "model/components/component.h"

#include <cmath>

class CMotor : public CComponent {
    WB_DECLARE_SERIAL(CMotor)
public:
    CMotor();

    // Starts turned (orientation 1).
    void InitVariant(const CRuntimeClass* variant) override;
    void CreateChildren() override;
    int Draw(DWORD flags) override;
    int FillProperties(CControlItemList& items) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    // The rotor back to its starting place, its frame with it.
    void ResetSimulation() override;
    // The base, then no turning arrows and the rotor frame of the rotor's
    // present place (a frame left from a run that is over is not shown).
    void ResetVisual() override;
    // The rotor keeps its place between runs.
    void ResetState() override {}
    DWORD GetProbeQuantities(int, int) override { return 0x403; }

    int GetDirection() const { return m_nDirection; }
    double GetAngle() const { return m_dAngle; }
    double GetBackEmf() const { return m_dBackEmf; }
    int GetRotorFrame() const { return m_wStateWord; }

    static constexpr double kWindingOhms = 10.0;
    static constexpr double kTurnsPerVoltSecond = 0.20833333333333334;
    static constexpr double kMaxTurnPerStep = 0.1875;

private:
    void DrawRotor();
    // The rotor frame (0-15) of an angle in turns.
    // A non-finite angle (a run that went wrong) shows the rest frame.
    static WORD RotorFrameOf(double angle)
    {
        return std::isfinite(angle) ? static_cast<WORD>(static_cast<int>((angle - std::floor(angle)) * 16.0) % 16) : 0;
    }

    int m_nDirection = 0;
    double m_dAngle = 0.08;
    double m_dG = 0.0;
    double m_dI0 = 0.0;
    double m_dBackEmf = 0.0;
};
