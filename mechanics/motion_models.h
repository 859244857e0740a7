// Inertia and viscous friction as companion elements of the network solver.
//
// The node value x is a displacement (metres, or radians for rotation) and
// r the update rate (steps per simulated second, h = 1/r).  Each model,
// before a step, becomes a conductance G and a source J: the element
// carries the force G x' + J from its node to the frame (ground) for the
// node value x' of the coming solve.  After the accepted solve the owner
// calls Update with that x'.
//
// Mass, backward Euler (k = m r^2):
//   v' = (x' - x) r,  F' = m (v' - v) r  =>  G = k,  J = -k x - r p.
// Mass, trapezoidal:
//   x' - x = h (v + v') / 2,  v' - v = h (F + F') / (2 m)
//   =>  G = 4k,  J = -F - 4k x - 4 r p.
// Friction (F = c v), backward Euler: G = r c, J = -r c x; trapezoidal:
//   G = 2 r c, J = -2 r c x - F.
//
// The physics is here once; owners stamp it through StampAt only.
#pragma once

#include "platform/runtimeclass.h"

class CArchive;
class CMatrix;
class CSolverTerminal;

class CMass : public CObject {
    WB_DECLARE_SERIAL(CMass)
public:
    CMass() = default;

    // m, x, base, momentum; files of version 3 and lower carry m and x only
    // (the model then starts at rest on base 0).
    void Serialize(CArchive& ar) override;

    // Zeroes everything but the mass.
    void Clear();
    void SetMass(double m) { m_dMass = m; }
    // G and J for the coming step; returns the flag.
    int Prepare(double r, int trapezoid);
    // After an accepted solve with node value x'.
    void Update(double x, double r, int trapezoid);
    // The conductance plus source between the node and the frame.
    void StampAt(CMatrix* matrix, CSolverTerminal* node) const;
    // The companion's force at a node value: G x + J.
    double ForceAt(double x) const { return m_dG * x + m_dJ; }

    // Moves of the origin that leave the absolute position where it is.
    void Rebase();
    void SetDisplacement(double x);
    void SetPosition(double absolute) { m_dX = absolute - m_dBase; }
    void SetVelocity(double v) { m_dMomentum = v * m_dMass; }
    void SetBase(double base) { m_dBase = base; }

    // A massless model has no velocity or acceleration of its own: 0.
    double GetVelocity() const;
    double GetPosition() const { return m_dBase + m_dX; }
    double GetAcceleration() const;
    double GetMass() const { return m_dMass; }
    double GetG() const { return m_dG; }
    double GetJ() const { return m_dJ; }
    double GetDisplacement() const { return m_dX; }
    double GetBase() const { return m_dBase; }
    double GetMomentum() const { return m_dMomentum; }
    double GetForce() const { return m_dForce; }

private:
    double m_dMass = 1.0;
    double m_dJ = 0.0;
    double m_dG = 0.0;
    double m_dX = 0.0;
    double m_dMomentum = 0.0;
    double m_dForce = 0.0;
    double m_dBase = 0.0;
};

// A rotating inertia (kg m^2) on an angle node: the same model, stored under
// the mass's record.
class CMomentOfInertia : public CMass {};

class CFriction : public CObject {
    WB_DECLARE_SERIAL(CFriction)
public:
    CFriction() = default;

    // Nothing in files of version 3 and lower; else x and base.
    void Serialize(CArchive& ar) override;

    // Zeroes everything but the coefficient.
    void Clear();
    void SetCoefficient(double c) { m_dCoefficient = c; }
    int Prepare(double r, int trapezoid);
    void Update(double x);
    void StampAt(CMatrix* matrix, CSolverTerminal* node) const;
    double ForceAt(double x) const { return m_dG * x + m_dJ; }
    void Rebase();

    double GetCoefficient() const { return m_dCoefficient; }
    double GetG() const { return m_dG; }
    double GetJ() const { return m_dJ; }
    double GetVelocity() const { return m_dVelocity; }
    double GetForce() const { return m_dForce; }
    double GetDisplacement() const { return m_dX; }
    double GetPosition() const { return m_dBase + m_dX; }

private:
    double m_dCoefficient = 1.0;
    double m_dJ = 0.0;
    double m_dG = 0.0;
    double m_dX = 0.0;
    double m_dVelocity = 0.0;
    double m_dForce = 0.0;
    double m_dBase = 0.0;
    // The rate and rule of the last Prepare (not stored): a friction-free
    // model takes its velocity from the move instead of F / c.
    double m_dRate = 0.0;
    int m_nTrapezoid = 0;
};
