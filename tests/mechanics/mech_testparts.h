// A slider for the mechanism tests: one linear terminal carrying a mass, a
// viscous friction and an applied force, stamped at the terminal against the
// frame, integrated by the rule the test chooses.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"
#include "model/circuit/circuit.h"

class CTestSlider : public CMechComp {
    WB_DECLARE_SERIAL(CTestSlider)
public:
    // The terminal's pin at (x + 40, y), its stub to the right.
    void Place(CCircuit* design, int x, int y)
    {
        m_rect.SetRect(x, y - 5, x + 41, y + 6);
        m_pCircuit = design;
        CMechPin pin;
        pin.kind = WIRE_LINEAR;
        pin.side = 1;
        pin.pin = CPoint(x + 40, y);
        AddMechTerminal(pin);
        m_mass.SetMass(0.0);
        m_friction.SetCoefficient(0.0);
    }
    CMechTerm* T() const { return GetMechTerminal(0); }
    double Rate() const { return GetDesign()->GetUpdateRate(); }

    void PrepareStep() override
    {
        m_mass.Prepare(Rate(), m_nTrapezoid);
        m_friction.Prepare(Rate(), m_nTrapezoid);
    }
    void Stamp(CMatrix* m) override
    {
        m_mass.StampAt(m, T());
        m_friction.StampAt(m, T());
        // The load enters the node; it is not reported back, so the terminal
        // reads what the mass and the friction take up.
        m->StampTransferToNodes(0.0, -m_dForce, nullptr, nullptr, T()->GetNode(), 0);
    }
    int AfterStep() override
    {
        const double x = T()->GetPosition();
        m_mass.Update(x, Rate(), m_nTrapezoid);
        m_friction.Update(x);
        return CMechComp::AfterStep();
    }

    CMass m_mass;
    CFriction m_friction;
    double m_dForce = 0.0;
    int m_nTrapezoid = 0;
};

// A driven shaft for the mechanism tests: one rotational terminal, stub to
// the left, into whose node a constant torque is applied (positive turns
// the node value positive).
class CTestShaft : public CMechComp {
    WB_DECLARE_SERIAL(CTestShaft)
public:
    // The terminal's pin at (x, y), its stub to the left.
    void Place(CCircuit* design, int x, int y)
    {
        m_rect.SetRect(x, y - 5, x + 11, y + 6);
        m_pCircuit = design;
        CMechPin pin;
        pin.kind = WIRE_ROTATIONAL;
        pin.side = 3;
        pin.pin = CPoint(x, y);
        AddMechTerminal(pin);
    }
    CMechTerm* T() const { return GetMechTerminal(0); }
    void Stamp(CMatrix* m) override { m->StampTransferToNodes(0.0, -m_dTorque, nullptr, nullptr, T()->GetNode(), 0); }

    double m_dTorque = 0.0;
};
