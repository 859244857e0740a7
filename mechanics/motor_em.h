// CMotorEM: a permanent-magnet DC motor with a shaft, the part that joins a
// circuit to a mechanism.  Terminals 0 and 1 are its electric pins, 2 its
// rotational shaft.  The armature is a conductance Ga in series with a
// back-EMF E = -Ke w (w the shaft's angular velocity); the armature current
// i = Ga (V0 - V1 + Ke w), from terminal 0 to terminal 1 through the part,
// leaves the shaft as a torque Kt i, so a positive current turns the shaft
// towards negative angles (clockwise on the screen) and the speed it gains
// lowers the current.  The rotor has its own inertia and viscous friction,
// integrated by backward Euler.
//
// The speed inside the step is the friction companion's: c w = Gf x + Jf
// for the shaft's node value x.  With b = Ke Ga / c the armature is stamped
// as
//     Ga between 0 and 1,
//     b Gf x + b Jf from 0 to 1                     (= Ga Ke w),
//     b Gf Kt x + Kt Ga (V0 - V1) + b Jf Kt from the shaft to the frame
//                                                   (= Kt i),
// all linear in the unknowns, so motor and load are solved in one step.
//
// Standing still (terminals within 0.995 V and a back-EMF of no more than
// 0.4975 V) the rotor's friction rises to 0.01 N m s/rad: an idle motor
// brakes its shaft, as a real one's cogging does.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"

class CMotorEM : public CMechComp {
    WB_DECLARE_SERIAL(CMotorEM)
public:
    CMotorEM();

    // The CComponent record, the rotor's friction, then its inertia; files
    // of version 3 and lower carry neither (the motor starts at rest).
    void Serialize(CArchive& ar) override;

    // ---- CPart ----
    int GetPartKind() override { return m_bAlternateLook ? 4 : 2; }
    // The old horizontal class: lying on its side, picture at (0, 0).
    void InitVariant(const CRuntimeClass* variant) override;
    void CreateChildren() override;
    // Turning keeps the pins' meaning: 0 and 1 electric, 2 the shaft.
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    DWORD GetProbeQuantities(int, int) override { return 1 | 2 | 32 | 64 | 128 | 256; }
    // 1 the voltage from terminal 1 to 0, 2 the current in at terminal 0,
    // 32 the shaft angle, 64 its speed, 128 its acceleration, 256 the
    // rotor's kinetic energy.
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int, int) override { return IsBroken() ? 0 : 1; }
    int HasInfo(int, int) override { return 1; }
    // The shaft's speed and angle.
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;

    // ---- CComponent ----
    // Terminal 1: the voltage rated is V0 - V1, the + lead's.
    CTerminal* GetReferenceTerminal() override { return GetTerminal(1); }
    void CreateTerminals(int flags) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;

    // ---- the machine ----
    double GetBackEmf() const { return m_dBackEmf; }
    const CMomentOfInertia& GetInertia() const { return m_inertia; }
    const CFriction& GetFriction() const { return m_friction; }
    // The shaft's absolute angle and speed (the rotor's inertia).
    double GetAngle() const { return m_inertia.GetPosition(); }
    double GetSpeed() const { return m_inertia.GetVelocity(); }

    // Armature conductance (S), EMF constant (V s/rad), torque constant
    // (N m/A), the rotor's inertia (kg m^2) and friction (N m s/rad), and
    // the friction of an idle motor's braked shaft.
    static constexpr double kGa = 0.3096649;
    static constexpr double kKe = 0.005208707228462;
    static constexpr double kKt = 0.003636363636364;
    static constexpr double kInertia = 2.314980990428e-07;
    static constexpr double kFriction = 1.157490495214e-06;
    static constexpr double kBrake = 0.01;

protected:
    double Rate() const;
    // The picture set of the class (body without the rotor).
    virtual CVisual& BodyPicture();
    // The angle the rotor's frame follows.
    virtual double AnimationAngle() const { return m_inertia.GetPosition(); }
    // Whether an idle machine brakes its shaft (the motor's does).
    virtual bool BrakesWhenIdle() const { return true; }

    CFriction m_friction;
    CMomentOfInertia m_inertia;
    double m_dBackEmf = 0.0;
};
