// Input transducers: the potentiometer, the lamp-lit and the lamp-coupled
// light-dependent resistors, the thermistor and the float switch follow
// their controls, checked against their closed forms in a live circuit.
#include "transducers_support.h"

#include "components/bulb.h"
#include "components/float_switch.h"
#include "components/lamp_slider.h"
#include "components/ldr.h"
#include "components/ldr_lamp.h"
#include "components/mercury.h"
#include "components/pot.h"
#include "components/slider.h"
#include "components/thermistor.h"
#include "components/waterlevel.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct PotRig {
    SwitchBench b;
    CPot* pot;
    CDiodesResistor* load; // track feed
    CDiodesResistor* sense; // wiper to track end 1, 1 Gohm
    PotRig()
    {
        pot = b.Add<CPot>(400, 400);
        load = b.Feed(pot->GetTerminal(0), pot->GetTerminal(1), 10.0, 1.0, 100, 100);
        b.Start();
        b.UseHost();
    }
};

TEST(Transducers, ThePotentiometerDividesItsTrackAtTheWiper)
{
    PotRig r;
    EXPECT_EQ(r.pot->GetTerminalCount(), 3);
    EXPECT_NEAR(LabelValue(r.pot), 10000.0, 1e-9);
    EXPECT_EQ(r.pot->GetWiper(), 10);
    CSlider* slider = SliderOf(r.pot);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetOperated(), r.pot);
    // The slider drives the wiper; 10 k at position p gives R p / 20 from
    // end 0 and R (20 - p) / 20 from end 1 (2.5 k and 7.5 k at 5).
    for (int p : {10, 5, 0, 20, 13}) {
        DragKnob(r.b, slider, CPoint(0, p - slider->GetReported()));
        r.b.Tick();
        ASSERT_EQ(r.pot->GetWiper(), p);
        const double track = VoltsAcross(r.pot, 0, 1);
        const double i = 10.0 / (10000.0 + 1.0);
        EXPECT_NEAR(track, i * 10000.0, 1e-9) << p;
        // No current leaves by the wiper: it reads the divider voltage.
        EXPECT_NEAR(VoltsAcross(r.pot, 2, 1), i * 10000.0 * (20 - p) / 20.0, 1e-9) << p;
        EXPECT_NEAR(VoltsAcross(r.pot, 0, 2), i * 10000.0 * p / 20.0, 1e-9) << p;
    }
}

TEST(Transducers, ThePotentiometerKeepsItsWiperThroughAResetAndAFile)
{
    PotRig r;
    DragKnob(r.b, SliderOf(r.pot), CPoint(0, -5));
    EXPECT_EQ(r.pot->GetWiper(), 5);
    r.pot->OnSimulationStopped();
    EXPECT_EQ(r.pot->GetWiper(), 5);
}

TEST(Transducers, TheLampLitResistorGoesFromOneMegohmToFourHundredOhms)
{
    SwitchBench b;
    auto* ldr = b.Add<CLDR_Lamp>(400, 400);
    b.Feed(ldr->GetTerminal(0), ldr->GetTerminal(1), 10.0, 1.0, 100, 100);
    b.Start();
    b.UseHost();
    auto* lamp = ControlOf<CLamp>(ldr);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->GetReported(), 20);
    b.Tick();
    EXPECT_NEAR(OhmsOf(ldr), 1e6, 1e-3);
    // Slider value s (20 dark .. 0 bright): 400 s + 400 ohm below 20.
    struct Case {
        int reported;
        double ohms;
        int glow;
    };
    for (Case c : {Case{0, 400.0, 20}, Case{10, 4400.0, 10}, Case{19, 8000.0, 1}, Case{20, 1e6, 0}}) {
        DragKnob(b, lamp, CPoint(0, c.reported - lamp->GetReported()));
        b.Tick();
        ASSERT_EQ(lamp->GetReported(), c.reported);
        EXPECT_NEAR(OhmsOf(ldr), c.ohms, c.ohms * 1e-9) << c.reported;
        EXPECT_EQ(ldr->m_wStateWord, c.glow) << c.reported;
    }
    // The brightness stays when the simulation stops.
    DragKnob(b, lamp, CPoint(0, -20));
    ldr->OnSimulationStopped();
    EXPECT_EQ(ldr->m_wStateWord, 20);
}

TEST(Transducers, TheThermistorFollowsItsThermometer)
{
    SwitchBench b;
    auto* th = b.Add<CThermistor>(400, 400);
    b.Feed(th->GetTerminal(0), th->GetTerminal(1), 10.0, 1.0, 100, 100);
    b.Start();
    b.UseHost();
    auto* thermometer = ControlOf<CMercury>(th);
    ASSERT_NE(thermometer, nullptr);
    EXPECT_EQ(thermometer->m_rect.TopLeft(), th->m_rect.TopLeft() + CPoint(-60, -28));
    b.Tick();
    EXPECT_NEAR(OhmsOf(th), 15000.0, 1e-6);
    // R = 15 k exp(3740 (1/T - 1/298)): about 8.2 k at 313 K, 140 k at 253 K.
    for (int kelvin : {313, 253, 298, 280}) {
        DragKnob(b, thermometer, CPoint(0, (314 - kelvin) - thermometer->GetPosition()));
        ASSERT_EQ(thermometer->GetTemperature(), kelvin);
        b.Tick();
        const double expected = 15000.0 * std::exp(3740.0 * (1.0 / kelvin - 1.0 / 298.0));
        EXPECT_NEAR(OhmsOf(th), expected, expected * 1e-9) << kelvin;
    }
    DragKnob(b, thermometer, CPoint(0, -100));
    b.Tick();
    EXPECT_NEAR(OhmsOf(th), 8200.0, 100.0);
    DragKnob(b, thermometer, CPoint(0, 100));
    b.Tick();
    EXPECT_NEAR(OhmsOf(th), 140000.0, 2000.0);
}

TEST(Transducers, TheFloatSwitchClosesForTheTwoTopLevelsOnly)
{
    SwitchBench b;
    b.d.SetOptionBits(0x80, true);
    auto* fs = b.Add<CFloatSwitch>(400, 400);
    auto* feed = b.Feed(fs->GetTerminal(0), fs->GetTerminal(1), 9.0, 100.0, 100, 100);
    b.Start();
    b.UseHost();
    auto* tank = ControlOf<CWaterLevel>(fs);
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(fs->m_rect.Height(), 26 - 14);
    EXPECT_EQ(fs->m_wStateWord, 1);
    // The tank's handle from its lowest level up: closed at 6 and 7.
    for (int level : {1, 2, 5, 6, 7, 6, 5, 1}) {
        DragKnob(b, tank, CPoint(0, (7 - level) - tank->GetPosition()));
        ASSERT_EQ(tank->GetLevel(), level);
        b.Tick();
        EXPECT_EQ(fs->m_wStateWord, level);
        EXPECT_NEAR(Amps(feed), level > 5 ? 0.09 : 0.0, 1e-9) << level;
    }
    DragKnob(b, tank, CPoint(0, -10));
    fs->OnSimulationStopped();
    EXPECT_TRUE(fs->IsClosed());
}

// A lamp 24 pixels left of the light-dependent resistor lights it.
struct LightRig {
    SwitchBench b;
    CBulb* bulb;
    CLDR* ldr;
    CDiodesResistor* bulbFeed;
    explicit LightRig(double lampVolts)
    {
        ldr = b.Add<CLDR>(400, 400);
        const CPoint c = ldr->m_rect.CenterPoint();
        bulb = b.Add<CBulb>(0, 0);
        bulb->Offset(c.x - 24 - bulb->m_rect.CenterPoint().x, c.y - bulb->m_rect.CenterPoint().y);
        b.Feed(ldr->GetTerminal(0), ldr->GetTerminal(1), 10.0, 1.0, 100, 100);
        bulbFeed = b.Feed(bulb->GetTerminal(0), bulb->GetTerminal(1), lampVolts, 1e-6, 700, 100);
        b.Start();
    }
};

TEST(Transducers, TheLightDependentResistorFollowsTheLampBesideIt)
{
    EXPECT_NEAR(1.0 / CLDR::ConductanceFor(0.0), 1e6, 1e-6);
    for (double volts : {0.0, 2.0, 4.0, 6.0, 7.0}) {
        LightRig r(volts);
        ASSERT_EQ(FindLightSourceLeftOf(r.ldr), r.bulb);
        // The lamp's light of one step lights the resistor in the next.
        r.b.Run(3);
        // The bulb's light: 30 (v^2 - 3), dark below 1, full at 1000.
        const double v = VoltsAcross(r.bulb);
        const double raw = 30.0 * (v * v - 3.0);
        const double light = raw < 1.0 ? 0.0 : std::min(raw, 1000.0);
        const double expected = 1.0 / (2.5e-6 * light + 1e-6);
        EXPECT_NEAR(OhmsOf(r.ldr), expected, expected * 1e-9) << volts;
    }
    // Fully lit (light 1000) it is 400 ohm.
    LightRig bright(7.0);
    bright.b.Run(3);
    EXPECT_NEAR(OhmsOf(bright.ldr), 1.0 / (2.5e-3 + 1e-6), 1e-6);
}

TEST(Transducers, AMovedOrDeletedLampLeavesTheResistorInTheDark)
{
    LightRig r(7.0);
    r.b.Run(3);
    EXPECT_LT(OhmsOf(r.ldr), 1000.0);
    // Moved away: the resistor no longer sees it.
    r.bulb->Offset(0, 300);
    r.b.Run(2);
    EXPECT_NEAR(OhmsOf(r.ldr), 1e6, 1e-3);
    r.bulb->Offset(0, -300);
    r.b.Run(2);
    EXPECT_LT(OhmsOf(r.ldr), 1000.0);
    // Deleted: nothing points at it any more (the sanitizer would catch a
    // stale pointer being read).
    r.b.d.RemovePart(r.bulb);
    delete r.bulb;
    r.b.d.ResetRun(0);
    r.b.Run(2);
    EXPECT_NEAR(OhmsOf(r.ldr), 1e6, 1e-3);
    // The resistor moved back beside another lamp is lit by that one.
    auto* other = r.b.Add<CBulb>(0, 0);
    const CPoint c = r.ldr->m_rect.CenterPoint();
    other->Offset(c.x - 24 - other->m_rect.CenterPoint().x, c.y - other->m_rect.CenterPoint().y);
    EXPECT_EQ(FindLightSourceLeftOf(r.ldr), other);
}

TEST(Transducers, TheLightSensorsQueryAnswersFive)
{
    CLDR ldr;
    double v = 0.0;
    EXPECT_EQ(ldr.QuerySensorValue(&v), 1);
    EXPECT_EQ(v, 5.0);
    EXPECT_EQ(ldr.CoupleLight(nullptr), 1);
}

} // namespace
