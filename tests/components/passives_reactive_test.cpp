// Capacitors, inductors and the transformer against their physics: RC
// charging and discharging, LC oscillation, turns ratios.
#include "passives_bench.h"

#include "components/battery.h"
#include "components/capacitor.h"
#include "components/earth.h"
#include "components/ecapacitor.h"
#include "components/inductor.h"
#include "components/resistor.h"
#include "components/transformer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Battery V, resistor R and capacitor C in a loop.
struct RCLoop {
    PassiveBench b;
    CBattery* cell;
    CResistor* r;
    CCapacitor* c;
    RCLoop(double volts, double ohms, double farads)
    {
        cell = b.Add<CBattery>(0, 100);
        r = b.Add<CResistor>(100, 0);
        c = b.Add<CCapacitor>(100, 200);
        SetLabel(cell, volts);
        SetLabel(r, ohms);
        SetLabel(c, farads);
        b.Wire(cell->GetTerminal(0), r->GetTerminal(0));
        b.Wire(r->GetTerminal(1), c->GetTerminal(0));
        b.Wire(c->GetTerminal(1), cell->GetTerminal(1));
    }
};

TEST(PassivesReactive, RCChargingFollowsTheExponential)
{
    // tau = 1k x 100 uF = 0.1 s, steps of 1 ms.  Backward Euler gives
    // V (1 - (1 + h/tau)^-n); it lags the exact V (1 - exp(-t/tau)) by at
    // most about V h / (2 e tau) = 0.018 V here.
    const double v = 10.0, tau = 0.1, h = 0.001;
    RCLoop s(v, 1000.0, 1e-4);
    s.b.Start(1.0 / h);
    double worst = 0.0;
    for (int n = 1; n <= 500; ++n) {
        s.b.Run(1);
        double exact = v * (1.0 - std::exp(-n * h / tau));
        worst = std::max(worst, std::fabs(Across(s.c) - exact));
        EXPECT_NEAR(s.c->m_dCharge, Across(s.c) * 1e-4, 1e-15);
    }
    EXPECT_LT(worst, v * h / (2.0 * tau));
    EXPECT_NEAR(Across(s.c), v * (1.0 - std::exp(-5.0)), 0.01);
    // Current through the loop at the end: (V - Vc) / R, and the probe's.
    EXPECT_NEAR(s.c->GetQuantity(0, 0, 2), (v - Across(s.c)) / 1000.0, 1e-6);
    EXPECT_NEAR(s.c->GetQuantity(0, 0, 0x100), 0.5 * 1e-4 * Across(s.c) * Across(s.c), 1e-9);
    EXPECT_EQ(s.c->GetProbeQuantities(0, 0), 0x303u);
}

TEST(PassivesReactive, ChargedCapacitorDischargesThroughAResistor)
{
    // 1 uF charged to 5 V across 10 k: tau = 10 ms, steps of 0.1 ms.
    PassiveBench b;
    auto* c = b.Add<CCapacitor>(100, 200);
    auto* r = b.Add<CResistor>(200, 200);
    SetLabel(r, 10000.0);
    b.Wire(c->GetTerminal(0), r->GetTerminal(0));
    b.Wire(c->GetTerminal(1), r->GetTerminal(1));
    b.Start(10000.0);
    c->m_dCharge = 5e-6;
    const double tau = 0.01, h = 1e-4;
    for (int n = 1; n <= 300; ++n) {
        b.Run(1);
        EXPECT_NEAR(Across(c), 5.0 * std::exp(-n * h / tau), 5.0 * h / (2.0 * tau)) << n;
    }
    EXPECT_EQ(c->m_bTrapezoid, 0);
}

TEST(PassivesReactive, LCPairOscillatesWithSteadyAmplitude)
{
    // 1 uF and 10 mH: w = 1 / sqrt(LC) = 1e4 rad/s, a period of 628 us.
    // Steps of 5 us (w h = 0.05): backward Euler alone would shrink the
    // amplitude by (1 + (w h)^2)^-1/2 a step, to 8 % after 2000 steps.
    PassiveBench b;
    auto* c = b.Add<CCapacitor>(100, 200);
    auto* l = b.Add<CInductor>(200, 200);
    b.Wire(c->GetTerminal(0), l->GetTerminal(0));
    b.Wire(c->GetTerminal(1), l->GetTerminal(1));
    const double h = 5e-6, w = 1e4;
    b.Start(1.0 / h);
    c->m_dCharge = 5e-6;
    std::vector<double> volts;
    for (int n = 0; n < 2000; ++n) {
        b.Run(1);
        volts.push_back(Across(c));
    }
    EXPECT_EQ(l->GetLinkedCapacitor(), c);
    // The last period's peak.
    double peak = 0.0;
    for (size_t i = volts.size() - 130; i < volts.size(); ++i) peak = std::max(peak, std::fabs(volts[i]));
    EXPECT_GT(peak, 4.5);
    EXPECT_LT(peak, 5.05);
    // Zero crossings half a period (pi / w) apart.
    std::vector<double> crossings;
    for (size_t i = 1; i < volts.size(); ++i)
        if ((volts[i - 1] < 0.0) != (volts[i] < 0.0))
            crossings.push_back(i - volts[i] / (volts[i] - volts[i - 1]));
    ASSERT_GT(crossings.size(), 10u);
    double half = (crossings.back() - crossings[1]) / double(crossings.size() - 2) * h;
    EXPECT_NEAR(half, 3.14159265 / w, 0.02 * 3.14159265 / w);
    // Energy moves between the two and its sum stays near C V^2 / 2.
    double total = c->GetQuantity(0, 0, 0x100) + l->GetQuantity(0, 0, 0x100);
    EXPECT_NEAR(total, 0.5 * 1e-6 * 25.0, 0.15 * 0.5 * 1e-6 * 25.0);
}

TEST(PassivesReactive, InductorCurrentRisesAsVOverRThroughLOverR)
{
    // 1 V, 10 ohm, 10 mH: tau = 1 ms, final 0.1 A; steps of 10 us.
    PassiveBench b;
    auto* cell = b.Add<CBattery>(0, 100);
    auto* r = b.Add<CResistor>(100, 0);
    auto* l = b.Add<CInductor>(100, 200);
    SetLabel(cell, 1.0);
    SetLabel(r, 10.0);
    b.Wire(cell->GetTerminal(0), r->GetTerminal(0));
    b.Wire(r->GetTerminal(1), l->GetTerminal(0));
    b.Wire(l->GetTerminal(1), cell->GetTerminal(1));
    const double h = 1e-5, tau = 1e-3;
    b.Start(1.0 / h);
    for (int n = 1; n <= 500; ++n) {
        b.Run(1);
        EXPECT_NEAR(l->GetTerminal(0)->GetCurrent(), 0.1 * (1.0 - std::exp(-n * h / tau)), 0.1 * h / (2 * tau))
            << n;
    }
    EXPECT_EQ(l->GetLinkedCapacitor(), nullptr);
}

TEST(PassivesReactive, DeletedCapacitorIsNotKeptByItsInductor)
{
    PassiveBench b;
    auto* c = b.Add<CCapacitor>(100, 200);
    auto* l = b.Add<CInductor>(200, 200);
    b.Wire(c->GetTerminal(0), l->GetTerminal(0));
    b.Wire(c->GetTerminal(1), l->GetTerminal(1));
    b.Start(1.0 / 5e-6);
    c->m_dCharge = 5e-6;
    b.Run(50);
    ASSERT_EQ(l->GetLinkedCapacitor(), c);
    b.d.RemovePart(c);
    delete c;
    b.d.ResetRun(0);
    b.Run(3);
    EXPECT_EQ(l->GetLinkedCapacitor(), nullptr);
}

TEST(PassivesReactive, ElectrolyticBurnsAboveThreeVoltsReverse)
{
    for (double reverse : {3.0, 3.1}) {
        PassiveBench b;
        auto* cell = b.Add<CBattery>(0, 100);
        auto* c = b.Add<CECapacitor>(100, 100);
        SetLabel(cell, reverse);
        EXPECT_DOUBLE_EQ(c->GetCapacitance(), 1e-4);
        // The battery's + on the capacitor's - (terminal 1).
        b.Wire(cell->GetTerminal(0), c->GetTerminal(1));
        b.Wire(cell->GetTerminal(1), c->GetTerminal(0));
        b.Start(5.0);
        b.Run(2);
        EXPECT_NEAR(Across(c), -reverse, 1e-6);
        EXPECT_EQ(c->IsBroken(), reverse > 3.05 ? 1 : 0) << reverse;
    }
}

TEST(PassivesReactive, EveryElectrolyticVariantTakesItsOrientation)
{
    struct Case {
        const char* variant;
        int orientation;
    };
    for (Case k : {Case{"CECapacitorU", 0}, Case{"CECapacitorR", 1}, Case{"CECapacitorD", 2},
                   Case{"CECapacitorL", 3}}) {
        PassiveBench b;
        auto* c = b.Add<CECapacitor>(100, 100);
        c->InitVariant(CRuntimeClass::FromName(k.variant));
        EXPECT_EQ(c->m_nOrientation, k.orientation) << k.variant;
        EXPECT_EQ(c->GetTerminalCount(), 2);
    }
}

// A transformer with a source on its n-turn winding (terminals 1-2) and a
// load on its one-turn winding (0-3), both windings' lower ends earthed.
struct TransformerBench {
    PassiveBench b;
    CTransformer* t;
    CBattery* cell;
    CResistor* load;
    TransformerBench(double n, double volts, double ohms)
    {
        t = b.Add<CTransformer>(200, 200);
        cell = b.Add<CBattery>(0, 200);
        load = b.Add<CResistor>(400, 200);
        auto* earth = b.Add<CEarth>(200, 400);
        SetLabel(t, n);
        SetLabel(cell, volts);
        SetLabel(load, ohms);
        b.Wire(cell->GetTerminal(0), t->GetTerminal(1));
        b.Wire(cell->GetTerminal(1), t->GetTerminal(2));
        b.Wire(t->GetTerminal(2), earth->GetTerminal(0));
        b.Wire(t->GetTerminal(3), earth->GetTerminal(0));
        b.Wire(t->GetTerminal(0), load->GetTerminal(0));
        b.Wire(t->GetTerminal(3), load->GetTerminal(1));
    }
};

TEST(PassivesReactive, TransformerStepsDownByItsTurnsRatio)
{
    // Open (1 Mohm) and loaded: V03 = n V12 / (n^2 + 1/R), the 1 ohm of the
    // n-turn side seen as 1/n^2 ohm from the one-turn side.
    struct Case {
        double n, volts, ohms;
    };
    for (Case k : {Case{20.0, 20.0, 1e6}, Case{20.0, 20.0, 1.0}, Case{2.0, 10.0, 1e6}, Case{0.5, 3.0, 100.0}}) {
        TransformerBench s(k.n, k.volts, k.ohms);
        ASSERT_EQ(s.t->GetTerminalCount(), 4);
        s.b.Start(50.0);
        s.b.Run(1);
        const double expected = k.n * k.volts / (k.n * k.n + 1.0 / k.ohms);
        EXPECT_NEAR(Across(s.t, 0, 3), expected, 1e-9 * std::max(1.0, expected)) << k.n << " " << k.ohms;
        EXPECT_NEAR(Across(s.t, 1, 2), k.volts, 1e-9);
        // The currents go inversely as the turns: the source carries the
        // load's current / n and the magnetising current, which rises by
        // V dt / L in a step of a 10 H inductance.
        const double iLoad = expected / k.ohms;
        const double iSource = std::fabs(s.cell->GetTerminal(0)->GetCurrent());
        const double magnetising = k.volts / (50.0 * 10.0);
        EXPECT_NEAR(s.t->m_model.GetCurrent(), magnetising, 1e-12);
        EXPECT_NEAR(iSource, iLoad / k.n + magnetising, 1e-9 + 1e-9 * iSource);
    }
}

TEST(PassivesReactive, TransformerKeepsItsWindingsWhenTurned)
{
    PassiveBench b;
    auto* t = b.Add<CTransformer>(200, 200);
    std::vector<CTerminal*> before(t->m_terminals);
    // The n-turn winding's pins stand on the left edge, the one-turn's on the right.
    EXPECT_EQ(t->GetTerminal(1)->GetPinPoint().x, 200);
    EXPECT_EQ(t->GetTerminal(2)->GetPinPoint().x, 200);
    EXPECT_EQ(t->GetTerminal(0)->GetPinPoint().x, 227);
    EXPECT_EQ(t->GetTerminal(3)->GetPinPoint().x, 227);
    t->SetOrientation(1, 0, 0, nullptr);
    EXPECT_EQ(t->m_terminals, before);
    t->SetOrientation(0, 1, 0, nullptr);
    EXPECT_EQ(t->m_terminals, before);
    // The label reads "20:" beside "1".
    EXPECT_DOUBLE_EQ(t->GetRatio(), 20.0);
}

} // namespace
