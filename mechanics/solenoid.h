// CSolenoid: a coil whose current pulls a spring-loaded plunger.  Terminals
// 0 and 1 are the coil's leads, 2 the plunger (a linear terminal).  The
// coil is 0.1 H in series with 14.4 ohm (a CLR companion, backward Euler)
// with 400 ohm across it; its current I (through the 14.4 ohm, either
// direction) pulls the plunger towards negative travel with 4.2 |I|
// newtons.  A return spring of 1 N/m is at its rest length with the
// plunger at 0, where the upper stop holds it; the lower stop ends the
// travel 4.5 mm in.  The plunger has no mass of its own: it stands where
// pull, spring, stops and whatever is joined to it balance.
//
// The pull is stamped as a source controlled by the coil voltage (the
// coil current of the step is CLR source + conductance x (V0 - V1)), so
// coil and plunger are solved in one step; |I| is a piecewise-linear model
// of two segments (a CState on -I: segment 1 while the current flows
// backwards), so a current that turns round re-solves the step with the
// other sign.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/spring_model.h"
#include "mechanics/stop.h"
#include "model/solver/lr_model.h"

class CSolenoid : public CMechComp {
    WB_DECLARE_SERIAL(CSolenoid)
public:
    CSolenoid();

    // The CComponent record, the spring, the lower stop, the upper stop;
    // files of version 3 and lower carry none of them (the part restarts).
    void Serialize(CArchive& ar) override;

    // ---- CPart ----
    void CreateChildren() override;
    int CanProbeAt(int, int) override { return 1; }
    int HasInfo(int, int) override { return 1; }
    // 1 the coil voltage V0 - V1, 2 the current in at terminal 0, 4 the
    // plunger's position.
    DWORD GetProbeQuantities(int, int) override { return 7; }
    double GetQuantity(int x, int y, int code) override;
    // The plunger's speed and position.
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;

    // ---- CComponent ----
    // Terminal 1: the voltage rated is the coil's, V0 - V1.
    CTerminal* GetReferenceTerminal() override { return GetTerminal(1); }
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;

    // ---- virtual operations of the solenoid ----
    // The coil, the plunger and its spring (CMechComp::DrawMoving).
    void DrawMovingBody(DWORD flags) override;

    // ---- plain operations ----
    // The pull on the plunger (N, towards negative travel) for a coil
    // current.
    static double Pull(double current) { return kPullPerAmp * (current < 0.0 ? -current : current); }
    // The plunger's position (the spring's end B).
    double GetPlungerPosition() const { return m_spring.GetEndB(); }
    double GetCoilCurrent() const { return m_coil.GetCurrent(); }
    const CSpringModel& GetSpring() const { return m_spring; }
    const CStop& GetLowerStop() const { return m_lower; }
    const CStop& GetUpperStop() const { return m_upper; }

    static constexpr double kCoilResistance = 14.4;
    static constexpr double kCoilInductance = 0.1;
    static constexpr double kShunt = 0.0025;
    static constexpr double kPullPerAmp = 4.2;
    static constexpr double kTravel = 0.0045;
    static constexpr double kSpringStiffness = 1.0;
    static constexpr double kSpringLength = 0.0055;
    static constexpr int kWidth = 100;
    static constexpr int kHeight = 24;

    // +1 while the coil current flows forwards (from lead 0 to lead 1), -1
    // backwards.
    double PullSign() const { return m_reversed.GetSegment() == 1 ? -1.0 : 1.0; }

private:
    double Rate() const;
    double CoilVoltage() const;

    CLR m_coil{kCoilResistance};
    CState m_reversed;
    CSpringModel m_spring;
    CStop m_lower;
    CStop m_upper;
};
