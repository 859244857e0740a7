// Resistors, the fuse, batteries and rails against hand-solved circuits.
#include "passives_bench.h"

#include "components/battery.h"
#include "components/battery9v.h"
#include "components/earth.h"
#include "components/fuse.h"
#include "components/railthru.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "components/vresistor.h"
#include "components/vslide.h"
#include "components/vzero.h"
#include "model/components/explode.h"
#include "model/parts/catalogue.h"

#include <gtest/gtest.h>

namespace {

// Battery V with two resistors in series (the positive pole to r1's top).
struct Divider {
    PassiveBench b;
    CBattery* cell;
    CResistor* r1;
    CResistor* r2;
    Divider(double volts, double ohms1, double ohms2)
    {
        cell = b.Add<CBattery>(0, 100);
        r1 = b.Add<CResistor>(100, 0);
        r2 = b.Add<CResistor>(100, 200);
        SetLabel(cell, volts);
        SetLabel(r1, ohms1);
        SetLabel(r2, ohms2);
        b.Wire(cell->GetTerminal(0), r1->GetTerminal(0));
        b.Wire(r1->GetTerminal(1), r2->GetTerminal(0));
        b.Wire(r2->GetTerminal(1), cell->GetTerminal(1));
    }
};

TEST(PassivesSupply, PartsTakeTheirPicturesPinsAndLabels)
{
    PassiveBench b;
    auto* r = b.Add<CResistor>(40, 40);
    ASSERT_EQ(r->GetTerminalCount(), 2);
    // An upright 8 x 24 picture: pins in the middle of the top and bottom edges.
    EXPECT_EQ(r->GetTerminal(0)->GetPinPoint(), CPoint(44, 40));
    EXPECT_EQ(r->GetTerminal(1)->GetPinPoint(), CPoint(44, 63));
    EXPECT_DOUBLE_EQ(LabelValue(r), 10000.0);
    EXPECT_EQ(ValueLabelOf(r)->GetNumberText(), "10");
    EXPECT_EQ(r->GetFirstChild(), ValueLabelOf(r));
    EXPECT_DOUBLE_EQ(r->m_dMaxP, 2.0);
    EXPECT_DOUBLE_EQ(r->m_dMaxV, 1200.0);
    EXPECT_EQ(b.Add<CBattery>(0, 100)->GetKindCode(), 4);
    EXPECT_EQ(b.Add<CVoltRail>(200, 0)->GetTerminalCount(), 1);
    EXPECT_EQ(b.Add<CEarth>(300, 0)->GetKindCode(), 9);
    EXPECT_EQ(b.Add<CVZero>(400, 0)->GetKindCode(), 10);
    EXPECT_EQ(b.Add<CRailThru>(500, 0)->GetTerminalCount(), 2);
    auto* fuse = b.Add<CFuse>(600, 0);
    EXPECT_DOUBLE_EQ(fuse->GetRating(), 13.0);
    EXPECT_EQ(fuse->GetTerminal(0)->GetSide(), 3);
}

TEST(PassivesSupply, CatalogueRowsCreateTheClasses)
{
    const char* names[] = {"CResistor", "CVResistor", "CFuse", "CCapacitor", "CECapacitor", "CInductor",
                           "CTransformer", "CBattery", "CBattery9V", "CVoltRail", "CVSlide", "CVZero",
                           "CEarth", "CRailThru"};
    PartCatalogue& cat = PartCatalogue::Get();
    for (const char* n : names) {
        int row = cat.FindClass(n);
        ASSERT_GE(row, 0) << n;
        EXPECT_EQ(cat.GetRowStatus(row), PartCatalogue::rowReady) << n;
        std::unique_ptr<CObject> obj(cat.CreateAt(row, nullptr, nullptr));
        ASSERT_NE(obj, nullptr) << n;
        EXPECT_TRUE(obj->GetRuntimeClass()->IsNamed(n)) << n;
    }
}

TEST(PassivesSupply, DividerVoltagesAndPower)
{
    Divider s(9.0, 1000.0, 2000.0);
    s.b.Start(5.0);
    s.b.Run(1);
    // I = 9 / 3000 = 3 mA; r2 drops 6 V, r1 3 V.
    EXPECT_NEAR(Across(s.r1), 3.0, 1e-9);
    EXPECT_NEAR(Across(s.r2), 6.0, 1e-9);
    EXPECT_NEAR(s.r1->GetTerminal(0)->GetCurrent(), 0.003, 1e-12);
    EXPECT_NEAR(s.r2->GetPower(), 0.018, 1e-12);
    EXPECT_NEAR(Across(s.cell), 9.0, 1e-9);
    EXPECT_FALSE(s.r1->IsBroken());
}

TEST(PassivesSupply, OverPoweredResistorBurnsOutOnTheSecondStep)
{
    // 9 V across 10 ohm: 8.1 W against MaxP = 2.
    Divider s(9.0, 5.0, 5.0);
    s.b.Start(5.0);
    s.b.Run(1);
    EXPECT_FALSE(s.r1->IsBroken());
    EXPECT_EQ(s.r1->m_bPowerAlarm, 1);
    s.b.Run(1);
    ASSERT_TRUE(s.r1->IsBroken());
    EXPECT_NEAR(s.r1->GetExplosion()->m_dExcess, 81.0 / 10.0 / 2.0, 1e-9);
    // A broken resistor is left out: the loop is open.
    s.b.Run(1);
    EXPECT_NEAR(s.r2->GetTerminal(0)->GetCurrent(), 0.0, 1e-9);
}

TEST(PassivesSupply, IndestructibleComponentsDoNotBurn)
{
    Divider s(9.0, 5.0, 5.0);
    s.b.d.SetOptionBits(OPT_INDESTRUCTIBLE, true);
    s.b.Start(5.0);
    s.b.Run(5);
    EXPECT_FALSE(s.r1->IsBroken());
}

TEST(PassivesSupply, InternalResistanceLimitsAShort)
{
    for (bool internal : {true, false}) {
        PassiveBench b;
        auto* cell = b.Add<CBattery>(0, 100);
        b.Wire(cell->GetTerminal(0), cell->GetTerminal(1));
        b.d.SetOptionBits(OPT_INTERNAL_RESISTANCE, internal);
        b.Start(5.0);
        b.Run(1);
        if (internal) {
            // 9 V over 1 ohm.
            EXPECT_NEAR(std::fabs(cell->GetTerminal(0)->GetCurrent()), 9.0, 1e-9);
            EXPECT_NEAR(Across(cell), 0.0, 1e-9);
        } else {
            // An ideal source against a link: the solver's inconsistent loop,
            // which must leave finite values.
            EXPECT_TRUE(std::isfinite(Across(cell)));
        }
    }
}

TEST(PassivesSupply, Battery9VHasItsPolarityByTerminalOrder)
{
    PassiveBench b;
    auto* nine = b.Add<CBattery9V>(0, 100);
    auto* load = b.Add<CResistor>(100, 100);
    SetLabel(load, 900.0);
    EXPECT_EQ(nine->HasAlternateLook(), 1);
    ASSERT_EQ(nine->GetTerminalCount(), 2);
    EXPECT_DOUBLE_EQ(nine->GetEmf(), 9.0);
    b.Wire(nine->GetTerminal(1), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), nine->GetTerminal(0));
    b.Start(5.0);
    b.Run(1);
    // Terminal 1 is the positive pole: 10 mA out of it through the load.
    EXPECT_NEAR(Across(nine, 1, 0), 9.0, 1e-9);
    EXPECT_NEAR(load->GetTerminal(0)->GetCurrent(), 0.01, 1e-12);
    EXPECT_EQ(nine->GetReferenceTerminal(), nine->GetTerminal(0));
}

TEST(PassivesSupply, SeriesCellsAddByTerminalOrder)
{
    // A 9 V battery and a 1.5 V battery in series aiding: + of the 9 V
    // (its terminal 1) to - of the other (also its terminal 1), the load
    // across the ends.
    PassiveBench b;
    auto* nine = b.Add<CBattery9V>(0, 100);
    auto* cell = b.Add<CBattery>(100, 100);
    auto* load = b.Add<CResistor>(200, 100);
    SetLabel(cell, 1.5);
    SetLabel(load, 1050.0);
    b.Wire(nine->GetTerminal(1), cell->GetTerminal(1));
    b.Wire(cell->GetTerminal(0), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), nine->GetTerminal(0));
    b.Start(5.0);
    b.Run(1);
    // 9 + 1.5 V across the load.
    EXPECT_NEAR(Across(load), 10.5, 1e-9);
}

TEST(PassivesSupply, VariableResistorRunsDownToALink)
{
    struct Case {
        int position;
        double ohms; // 100 ohm label times 1 - 0.05 p
    };
    for (Case c : {Case{0, 100.0}, Case{10, 50.0}, Case{19, 5.0}, Case{20, 0.0}}) {
        PassiveBench b;
        auto* cell = b.Add<CBattery>(0, 100);
        auto* fixed = b.Add<CResistor>(100, 0);
        auto* vr = b.Add<CVResistor>(100, 200);
        SetLabel(fixed, 100.0);
        vr->SetSliderPosition(c.position);
        EXPECT_NEAR(vr->GetResistance(), c.ohms, 1e-12);
        b.Wire(cell->GetTerminal(0), fixed->GetTerminal(0));
        b.Wire(fixed->GetTerminal(1), vr->GetTerminal(0));
        b.Wire(vr->GetTerminal(1), cell->GetTerminal(1));
        b.Start(5.0);
        b.Run(1);
        EXPECT_NEAR(Across(vr), 9.0 * c.ohms / (100.0 + c.ohms), 1e-9) << c.position;
        EXPECT_NEAR(vr->GetTerminal(0)->GetCurrent(), 9.0 / (100.0 + c.ohms), 1e-9) << c.position;
        EXPECT_EQ(b.d.GetMatrix().GetFault(), CMatrix::Fault::kNone);
    }
}

TEST(PassivesSupply, FuseBlowsOnceAboveItsRating)
{
    // A battery with its 1 ohm internal resistance shorted by the fuse:
    // the current is the battery's voltage in amperes.
    for (bool indestructible : {false, true}) {
        PassiveBench b;
        auto* cell = b.Add<CBattery>(0, 100);
        auto* fuse = b.Add<CFuse>(100, 200);
        SetLabel(cell, 2.0);
        SetLabel(fuse, 2.0);
        b.Wire(cell->GetTerminal(0), fuse->GetTerminal(0));
        b.Wire(fuse->GetTerminal(1), cell->GetTerminal(1));
        b.d.SetOptionBits(OPT_SIMULATE | OPT_INTERNAL_RESISTANCE, true);
        b.d.SetOptionBits(OPT_INDESTRUCTIBLE, indestructible);
        b.Start(5.0);
        // Exactly 2 A: holds.
        b.Run(3);
        EXPECT_NEAR(std::fabs(fuse->GetTerminal(0)->GetCurrent()), 2.0, 1e-12);
        EXPECT_FALSE(fuse->IsBroken());
        EXPECT_EQ(fuse->GetPictureFrame(), 0);
        // 3 A: blows, once.
        SetLabel(cell, 3.0);
        b.Run(3);
        if (indestructible) {
            EXPECT_FALSE(fuse->IsBroken());
            continue;
        }
        ASSERT_TRUE(fuse->IsBroken());
        EXPECT_NEAR(fuse->GetExplosion()->m_dExcess, 3.0, 1e-9);
        EXPECT_NEAR(fuse->GetExplosion()->m_dRating, 2.0, 1e-12);
        int markers = 0;
        for (CPart* c = fuse->GetFirstChild(); c; c = c->GetNextSibling())
            if (dynamic_cast<CExplode*>(c)) ++markers;
        EXPECT_EQ(markers, 1);
        EXPECT_EQ(fuse->GetPictureFrame(), 1);
        EXPECT_NEAR(cell->GetTerminal(0)->GetCurrent(), 0.0, 1e-9);
    }
}

TEST(PassivesSupply, RailsDriveTheirVoltageAgainstGround)
{
    struct Case {
        int position; // -1: the plain rail
        double volts;
    };
    for (Case c : {Case{-1, 9.0}, Case{0, 10.0}, Case{10, 5.0}, Case{20, 0.0}}) {
        PassiveBench b;
        CVoltRail* rail = c.position < 0 ? b.Add<CVoltRail>(0, 0) : b.Add<CVSlide>(0, 0);
        if (c.position >= 0) static_cast<CVSlide*>(rail)->SetSliderPosition(c.position);
        auto* load = b.Add<CResistor>(100, 100);
        auto* earth = b.Add<CEarth>(100, 300);
        SetLabel(load, 1000.0);
        b.Wire(rail->GetTerminal(0), load->GetTerminal(0));
        b.Wire(load->GetTerminal(1), earth->GetTerminal(0));
        b.Start(5.0);
        b.Run(1);
        EXPECT_NEAR(rail->GetTerminal(0)->GetVoltage(), c.volts, 1e-9) << c.position;
        EXPECT_NEAR(load->GetTerminal(0)->GetCurrent(), c.volts / 1000.0, 1e-12) << c.position;
    }
}

TEST(PassivesSupply, NegativeRailFromItsCatalogueEntry)
{
    PassiveBench b;
    auto* rail = b.Add<CVoltRail>(0, 0);
    rail->InitVariant(CRuntimeClass::FromName("CVNeg"));
    EXPECT_DOUBLE_EQ(LabelValue(rail), -9.0);
    EXPECT_EQ(ValueLabelOf(rail)->number.typeCode, 2);
    auto* load = b.Add<CResistor>(100, 100);
    auto* zero = b.Add<CVZero>(100, 300);
    b.Wire(rail->GetTerminal(0), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), zero->GetTerminal(0));
    b.Start(5.0);
    b.Run(1);
    EXPECT_NEAR(rail->GetTerminal(0)->GetVoltage(), -9.0, 1e-9);
}

TEST(PassivesSupply, RailThroughLinksItsTerminals)
{
    PassiveBench b;
    auto* rail = b.Add<CVoltRail>(0, 0);
    auto* thru = b.Add<CRailThru>(100, 50);
    auto* load = b.Add<CResistor>(200, 100);
    auto* earth = b.Add<CEarth>(200, 300);
    SetLabel(load, 900.0);
    b.Wire(rail->GetTerminal(0), thru->GetTerminal(0));
    b.Wire(thru->GetTerminal(1), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), earth->GetTerminal(0));
    b.Start(5.0);
    b.Run(1);
    EXPECT_NEAR(thru->GetTerminal(1)->GetVoltage(), 9.0, 1e-9);
    EXPECT_NEAR(load->GetTerminal(0)->GetCurrent(), 0.01, 1e-12);
    EXPECT_EQ(thru->GetHitClass(), 4u);
}

} // namespace
