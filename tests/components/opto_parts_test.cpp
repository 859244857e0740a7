// Phototransistor and opto-isolator: the light drives the internal base
// (a hundredth of the photocurrent; 1.2 % of the LED current) and the
// collector follows at gain 100; the isolator's own limits.  Also the
// current source's direction and voltage limit, and the resistor pack.
#include "components/current_source.h"
#include "components/component_kit.h"
#include "components/isolator.h"
#include "components/led.h"
#include "components/photoq.h"
#include "components/resistors.h"
#include "model/components/explode.h"
#include "semis_support.h"

#include <gtest/gtest.h>

namespace {

// supply -> rc -> collector, emitter to 0.
struct PhotoBench {
    SemisBench b;
    CDiodesCell* supply;
    CDiodesResistor* rc;
    CPhotoQ* q;

    PhotoBench()
    {
        supply = b.Cell(9.0);
        rc = b.R(1000.0);
        q = b.Part<CPhotoQ>();
        b.Wire(supply->A(), rc->A());
        b.Wire(rc->B(), q->Collector());
        b.Wire(q->Emitter(), supply->B());
        b.Start();
    }
    double Ic() const { return std::fabs(rc->A()->GetCurrent()); }
};

TEST(OptoPhoto, SliderSetsThePhotocurrent)
{
    PhotoBench bench;
    struct Case {
        int position;
        double amps;
        int darkness;
    };
    for (const Case c : {Case{0, 2e-3, 20}, Case{10, 1e-3, 10}, Case{19, 1e-4, 1}, Case{20, 1e-7, 0}}) {
        bench.q->SetInputValue(&bench.b.d, c.position);
        EXPECT_NEAR(bench.q->GetPhotocurrent(), c.amps, c.amps * 1e-12) << c.position;
        EXPECT_EQ(bench.q->m_wStateWord, 20 - c.position) << c.position;
    }
}

TEST(OptoPhoto, CollectorCarriesThePhotocurrent)
{
    PhotoBench bench;
    // Dark at the start: 0.1 uA of photocurrent, 1 nA into the base, so
    // 0.1 uA from the collector; the off collector junction's leakage
    // (5e-11 S across 8.7 V, 0.44 nA, a fifth of it taken from the base
    // current) adds 9 nA.
    EXPECT_EQ(bench.q->m_wStateWord, 20);
    bench.b.Run();
    EXPECT_NEAR(bench.Ic(), 1.09e-7, 0.01e-7);
    // Full light: 20 uA into the base, 2 mA through the collector; the
    // light's base current is drawn from the emitter side, so the emitter
    // carries the collector's current.
    bench.q->SetInputValue(&bench.b.d, 0);
    bench.b.Run();
    EXPECT_NEAR(bench.Ic(), 2e-3, 2e-3 * 1e-4);
    EXPECT_NEAR(std::fabs(bench.q->Emitter()->GetCurrent()), bench.Ic(), 1e-12);
    // The light survives a reset of the state.
    bench.q->ResetState();
    EXPECT_EQ(bench.q->m_wStateWord, 20);
    EXPECT_FALSE(bench.q->IsBroken());
}

TEST(OptoPhoto, SaturatesWithALargeLoad)
{
    PhotoBench bench;
    bench.rc->ohms = 10000.0;
    bench.q->SetInputValue(&bench.b.d, 0);
    bench.b.Run();
    // 2 mA would need 20 V across 10k: saturated, below 9 V / 10k.
    EXPECT_LT(bench.Ic(), 0.9e-3);
    EXPECT_LT(bench.q->Collector()->GetVoltage() - bench.q->Emitter()->GetVoltage(), 0.2);
}

// LED: cell -> rl -> anode, cathode to 0.  Transistor: supply -> rc ->
// collector, emitter to 0.
struct IsolatorBench {
    SemisBench b;
    CDiodesCell* drive;
    CDiodesCell* supply;
    CDiodesResistor* rl;
    CDiodesResistor* rc;
    CIsolator* iso;

    IsolatorBench(double ledAmps, double vcc, double rcOhms)
    {
        drive = b.Cell(DiodeVoltageAt(ledAmps, 0.967) + ledAmps * 470.0);
        supply = b.Cell(vcc);
        rl = b.R(470.0);
        rc = b.R(rcOhms);
        iso = b.Part<CIsolator>();
        b.Wire(drive->A(), rl->A());
        b.Wire(rl->B(), iso->Anode());
        b.Wire(iso->Cathode(), drive->B());
        b.Wire(supply->A(), rc->A());
        b.Wire(rc->B(), iso->Collector());
        b.Wire(iso->Emitter(), drive->B());
        b.Wire(supply->B(), drive->B());
        b.Start();
        b.Run();
    }
};

TEST(OptoIsolator, TenMilliampsInjectTwelveHundredthsIntoTheBase)
{
    IsolatorBench bench(0.01, 9.0, 100.0);
    ASSERT_FALSE(bench.iso->IsBroken());
    const double led = bench.iso->GetLedCurrent();
    EXPECT_NEAR(led, 0.01, kChordError / 470.0 + 1e-9);
    EXPECT_NEAR(std::fabs(bench.rl->A()->GetCurrent()), led, 1e-12);
    // 0.12 mA into the base, 12 mA through the collector (active: 1.2 V
    // across 100 ohms).
    EXPECT_NEAR(std::fabs(bench.rc->A()->GetCurrent()), 100.0 * CIsolator::kTransfer * led, 1e-7);
    EXPECT_EQ(bench.iso->m_wStateWord, CLED::BrightnessOfCurrent(led));
    EXPECT_GE(bench.iso->m_wStateWord, 9);
}

TEST(OptoIsolator, PinsAndLimits)
{
    CCircuit d;
    auto* iso = AddRealPart<CIsolator>(d, 100, 100);
    ASSERT_EQ(iso->GetTerminalCount(), 4);
    // The LED's pins on the left edge, anode above; collector above emitter.
    EXPECT_EQ(iso->Anode()->GetPinPoint().x, iso->Cathode()->GetPinPoint().x);
    EXPECT_LT(iso->Anode()->GetPinPoint().y, iso->Cathode()->GetPinPoint().y);
    EXPECT_LT(iso->Collector()->GetPinPoint().y, iso->Emitter()->GetPinPoint().y);
    EXPECT_GT(iso->Collector()->GetPinPoint().x, iso->Anode()->GetPinPoint().x);
    EXPECT_DOUBLE_EQ(iso->m_dVledLimit, 6.0);
    EXPECT_DOUBLE_EQ(iso->m_dVceLimit, 55.0);
    EXPECT_DOUBLE_EQ(iso->m_dMaxI, 0.05);
    EXPECT_DOUBLE_EQ(iso->Led().GetKnee(), 0.967);
}

TEST(OptoIsolator, ReversedLedAndOvervoltageDestroyIt)
{
    struct Case {
        int plus, minus;
        double volts;
        WORD message;
    };
    // Pins: collector 0, anode 1, cathode 2, emitter 3.
    for (const Case c : {Case{2, 1, 7.0, 13}, Case{2, 1, 5.9, 0}, Case{0, 3, 56.0, 15}, Case{0, 3, 54.0, 0}}) {
        SemisBench b;
        auto* cell = b.Cell(c.volts);
        auto* iso = b.Part<CIsolator>();
        b.Wire(cell->A(), iso->GetTerminal(c.plus));
        b.Wire(iso->GetTerminal(c.minus), cell->B());
        b.Start();
        b.Run(2);
        if (c.message == 0) {
            EXPECT_FALSE(iso->IsBroken()) << c.volts;
        } else {
            ASSERT_TRUE(iso->IsBroken()) << c.volts;
            EXPECT_EQ(iso->GetExplosion()->m_wMessageId, c.message);
        }
    }
}

TEST(OptoCurrent, DrivesItsCurrentOutOfTheFirstPin)
{
    SemisBench b;
    auto* r = b.R(1000.0);
    auto* src = b.Part<CCurrent>();
    ValueLabelOf(src)->SetNumber(5.0, 3);  // 5 mA
    auto* ground = b.Cell(0.0);
    b.Wire(src->GetTerminal(0), r->A());
    b.Wire(r->B(), src->GetTerminal(1));
    b.Wire(src->GetTerminal(1), ground->B());
    b.Wire(ground->A(), ground->B());
    b.Start();
    b.Run();
    EXPECT_NEAR(src->GetCurrent(), 0.005, 1e-15);
    // Out of the first pin, through the resistor, back in at the second.
    EXPECT_NEAR(src->GetTerminal(0)->GetVoltage() - src->GetTerminal(1)->GetVoltage(), 5.0, 1e-6);
    EXPECT_NEAR(r->A()->GetCurrent(), 0.005, 1e-9);
    EXPECT_EQ(src->GetKindCode(), 2);
}

TEST(OptoCurrent, OpenSourceStopsAtAboutAThousandVolts)
{
    SemisBench b;
    auto* src = b.Part<CCurrent>();
    auto* ground = b.Cell(0.0);
    b.Wire(src->GetTerminal(1), ground->B());
    b.Wire(ground->A(), ground->B());
    b.Start();
    b.Run(5);
    // 1 A on the 1000 V knee's exponential: 1000 V + 17.8 mV x log2(1 A / Is).
    const double v = src->GetTerminal(0)->GetVoltage() - src->GetTerminal(1)->GetVoltage();
    EXPECT_NEAR(v, DiodeVoltageAt(1.0, 1000.0), 0.002);
}

TEST(OptoPack, EightResistorsBetweenFacingPins)
{
    for (int code : {0, 1}) {
        CCircuit d;
        auto* pack = new CResistors;
        pack->m_pCircuit = &d;
        pack->m_nOrientation = code;
        pack->Initialise();
        d.AddChild(pack);
        ASSERT_EQ(pack->GetTerminalCount(), 16) << code;
        for (int i = 0; i < CResistors::kPairs; ++i) {
            const CPoint p = pack->GetTerminal(i)->GetPinPoint(), q = pack->Facing(i)->GetPinPoint();
            // Facing: the same row (or column when turned), opposite sides.
            if (code == 0) {
                EXPECT_EQ(p.y, q.y) << i;
                EXPECT_LT(p.x, q.x) << i;
            } else {
                EXPECT_EQ(p.x, q.x) << i;
                EXPECT_NE(p.y, q.y) << i;
            }
        }
    }
}

TEST(OptoPack, EachResistorCarriesItsOwnCurrent)
{
    SemisBench b;
    auto* cell = b.Cell(2.2);
    auto* pack = b.Part<CResistors>();
    b.Wire(cell->A(), pack->GetTerminal(3));
    b.Wire(pack->Facing(3), cell->B());
    b.Start();
    b.Run();
    EXPECT_NEAR(std::fabs(cell->A()->GetCurrent()), 0.01, 1e-12);
    EXPECT_NEAR(pack->GetTerminal(4)->GetCurrent(), 0.0, 1e-15);
}

TEST(OptoPack, ZeroOrDamagedValuesKeepAFiniteConductance)
{
    CCircuit d;
    auto* pack = AddRealPart<CResistors>(d, 100, 100);
    for (double bad : {0.0, -5.0, double(NAN)}) {
        ValueLabelOf(pack)->number.value = bad;
        EXPECT_DOUBLE_EQ(pack->GetResistance(), CResistors::kSmallest) << bad;
    }
    ValueLabelOf(pack)->number.value = 470.0;
    EXPECT_DOUBLE_EQ(pack->GetResistance(), 470.0);
}

} // namespace
