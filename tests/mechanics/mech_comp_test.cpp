// The mechanism part base: kind, terminals, the rating test restricted to
// its electrical pins, and resetting.
#include "mechanics/mech_comp.h"
#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "tests/mechanics/mech_testparts.h"

#include <gtest/gtest.h>

namespace {

// A part with one electrical pin and one shaft, both joined to a wire.
struct ElectroMech {
    CCircuit d;
    CWire wire{CPoint(0, 0), CPoint(10, 0)};
    CMechComp* part = new CMechComp;
    CTerminal* pin;
    CMechTerm* shaft;

    ElectroMech()
    {
        part->m_rect.SetRect(100, 95, 141, 106);
        part->m_pCircuit = &d;
        pin = part->AddTerminal(3, CPoint(100, 100));
        CMechPin p;
        p.side = 1;
        p.pin = CPoint(140, 100);
        shaft = part->AddMechTerminal(p);
        pin->m_pLinkA = &wire;
        shaft->m_pLinkA = &wire;
        d.AddChild(part);
    }
    ~ElectroMech()
    {
        pin->m_pLinkA = nullptr;
        shaft->m_pLinkA = nullptr;
    }
};

TEST(MechComp, RatingsLookAtElectricalPinsOnly)
{
    // A torque and an angle far beyond the current and voltage ratings burn
    // nothing; the electrical pin's current does.
    ElectroMech b;
    b.part->LoadRatingsText("MaxI=1 MaxV=5 MaxP=1");
    b.shaft->SetCurrent(50.0);
    b.shaft->m_dVoltage = 100.0;
    b.pin->SetCurrent(0.5);
    b.pin->m_dVoltage = 1.0;
    b.part->AfterStep();
    EXPECT_FALSE(b.part->IsBroken());
    EXPECT_DOUBLE_EQ(b.part->GetPower(), 0.5);
    b.pin->SetCurrent(1.0006);
    b.part->AfterStep();
    ASSERT_TRUE(b.part->IsBroken());
    EXPECT_EQ(b.part->GetExplosion()->m_wMessageId, 11);
    EXPECT_DOUBLE_EQ(b.part->GetExplosion()->m_dExcess, 1.0006);
}

TEST(MechComp, IndestructibleOnlySumsPower)
{
    ElectroMech b;
    b.d.SetOptionBits(OPT_INDESTRUCTIBLE, true);
    b.part->LoadRatingsText("MaxI=1");
    b.pin->SetCurrent(3.0);
    b.pin->m_dVoltage = 2.0;
    b.shaft->SetCurrent(7.0);
    b.part->AfterStep();
    EXPECT_FALSE(b.part->IsBroken());
    EXPECT_DOUBLE_EQ(b.part->GetPower(), 6.0);
}

TEST(MechComp, KindReferenceAndReset)
{
    ElectroMech b;
    EXPECT_EQ(b.part->GetPartKind(), 2);
    EXPECT_EQ(b.part->GetReferenceTerminal(), b.pin);
    EXPECT_EQ(b.d.GetMechanicalCount(), 1);
    b.part->SetFrame(5);
    b.shaft->ReadMotion(0.3, false, 5.0);
    b.part->ResetSimulation();
    EXPECT_EQ(b.part->GetFrame(), 0);
    // The models re-base: the first step after the reset starts from 0, and
    // a shaft that did not move shows no speed.
    b.shaft->ReadMotion(0.0, false, 5.0);
    EXPECT_EQ(b.shaft->GetVelocity(), 0.0);
}

TEST(MechComp, PurelyMechanicalPartIsNoReference)
{
    CCircuit d;
    auto* s = new CTestSlider;
    s->Place(&d, 100, 100);
    d.AddChild(s);
    EXPECT_EQ(s->GetReferenceTerminal(), nullptr);
    d.RenumberNodes();
    EXPECT_NE(s->T()->GetNode(), 0);
    EXPECT_EQ(d.GetReferencePart(), nullptr);
}

} // namespace
