// The motor and the buzzer: the motor's current, back-EMF and rotor step
// by step against the closed form of its companion model; the buzzer's
// threshold, its sound request through the view, muting and burn-out.
#include "transducers_support.h"

#include "components/buzzer.h"
#include "components/motor.h"

#include <algorithm>
#include <cmath>

namespace {

struct MotorRig {
    SwitchBench b;
    CMotor* motor;
    CDiodesCell* cell;
    MotorRig(double volts, double rate)
    {
        motor = b.Add<CMotor>(400, 400);
        cell = AddTestPart<CDiodesCell>(b.d, 100, 100);
        cell->emf = volts;
        Join(b.d, cell->A(), motor->GetTerminal(0));
        Join(b.d, motor->GetTerminal(1), cell->B());
        b.d.ResetRun(0);
        b.d.SetUpdateRate(rate);
    }
};

TEST(MotorBuzzer, TheMotorsBackEmfAndCurrentFollowItsCompanionModel)
{
    // With a steady V and r updates a second the back-EMF after step n is
    // E_n = V/2 (1 - (r / (r + 1))^n); the current in step n is
    // (V - E_(n-1)) / 10 scaled by the companion: I = g V - 2 r b E_(n-1).
    struct Case {
        double volts;
        double rate;
    };
    for (Case c : {Case{6.0, 5.0}, Case{-4.0, 20.0}, Case{12.0, 1000.0}}) {
        MotorRig m(c.volts, c.rate);
        EXPECT_EQ(m.motor->GetOrientation(), 1);
        const double r = c.rate, b = 0.05 / (r + 1.0), g = (2.0 * r + 1.0) * b;
        double previous = 0.0;
        for (int n = 1; n <= 40; ++n) {
            m.b.Run(1);
            const double current = m.motor->GetTerminal(0)->GetCurrent();
            EXPECT_NEAR(current, g * c.volts - 2.0 * r * b * previous, 1e-9) << n;
            const double e = 0.5 * c.volts * (1.0 - std::pow(r / (r + 1.0), n));
            EXPECT_NEAR(m.motor->GetBackEmf(), e, 1e-9) << n;
            previous = e;
        }
        m.b.Run(std::max(0, static_cast<int>(60 * r)));
        // Steady state: E = V/2 and I = V/20.
        EXPECT_NEAR(m.motor->GetBackEmf(), 0.5 * c.volts, 1e-6);
        EXPECT_NEAR(m.motor->GetTerminal(0)->GetCurrent(), c.volts / 20.0, 1e-6);
        EXPECT_EQ(m.motor->GetDirection(), c.volts > 0 ? 1 : 2);
    }
}

TEST(MotorBuzzer, TheRotorTurnsWithTheBackEmfUpToThreeFramesAStep)
{
    for (double volts : {3.0, 6.0, -6.0, 12.0}) {
        for (double rate : {5.0, 20.0}) {
            MotorRig m(volts, rate);
            double angle = 0.08;
            for (int n = 0; n < 30; ++n) {
                m.b.Run(1);
                const double turn = std::clamp(m.motor->GetBackEmf() * 0.20833333333333334 / rate, -0.1875, 0.1875);
                angle += turn + 1.0;
                if (angle > 256.0) angle -= 255.0;
                EXPECT_NEAR(m.motor->GetAngle(), angle, 1e-9);
                EXPECT_EQ(m.motor->GetRotorFrame(), static_cast<long>(angle * 16.0) % 16);
            }
        }
    }
    // At 12 V and 5 updates a second the turn is held at 3/16 of a turn.
    MotorRig fast(12.0, 5.0);
    fast.b.Run(50);
    const double before = fast.motor->GetAngle();
    fast.b.Run(1);
    EXPECT_NEAR(fast.motor->GetAngle() - before, 1.1875, 1e-9);
}

TEST(MotorBuzzer, AMotorBelowAboutOneVoltStandsStillAndReversingTurnsIt)
{
    MotorRig slow(0.9, 5.0);
    slow.b.Run(20);
    EXPECT_EQ(slow.motor->GetDirection(), 0);
    EXPECT_EQ(slow.motor->GetBackEmf(), 0.0);
    EXPECT_NEAR(slow.motor->GetAngle(), 0.08, 1e-12);

    MotorRig m(6.0, 5.0);
    m.b.Run(10);
    EXPECT_EQ(m.motor->GetDirection(), 1);
    m.cell->emf = -6.0;
    m.b.Run(30);
    EXPECT_EQ(m.motor->GetDirection(), 2);
    // A reset puts the rotor back.
    m.motor->ResetSimulation();
    EXPECT_EQ(m.motor->GetDirection(), 0);
    EXPECT_NEAR(m.motor->GetAngle(), 0.08, 1e-12);
}

TEST(MotorBuzzer, TheMotorBurnsAboveTwoAmps)
{
    // At the first step the current is g V (about V / 10).
    MotorRig ok(15.0, 5.0);
    ok.b.Run(5);
    EXPECT_FALSE(ok.motor->IsBroken());
    MotorRig burnt(30.0, 5.0);
    burnt.b.Run(2);
    EXPECT_TRUE(burnt.motor->IsBroken());
}

struct BuzzerRig {
    SwitchBench b;
    CSoundHost sound;
    CBuzzer* buzzer;
    CDiodesCell* cell;
    explicit BuzzerRig(double volts)
    {
        buzzer = b.Add<CBuzzer>(400, 400);
        cell = AddTestPart<CDiodesCell>(b.d, 100, 100);
        cell->emf = volts;
        Join(b.d, cell->A(), buzzer->GetTerminal(0));
        Join(b.d, buzzer->GetTerminal(1), cell->B());
        b.Start();
        b.d.SetHost(&sound);
        b.d.ControlSimulation(SIM_ACTIVATE);
    }
};

TEST(MotorBuzzer, TheBuzzerSoundsAboveThreeVoltsEitherWayRound)
{
    struct Case {
        double volts;
        bool sounds;
    };
    for (Case c : {Case{0.0, false}, Case{2.0, false}, Case{3.0, false}, Case{3.01, true}, Case{-3.01, true},
                   Case{-3.0, false}, Case{9.0, true}}) {
        BuzzerRig r(c.volts);
        r.b.d.ControlSimulation(SIM_TIMER);
        EXPECT_NEAR(r.buzzer->GetTerminal(0)->GetCurrent(), 0.00417 * c.volts, 1e-12) << c.volts;
        EXPECT_EQ(r.buzzer->IsSounding(), c.sounds) << c.volts;
        // The controller passes the request to the sound service at its
        // next call.
        r.b.d.ControlSimulation(SIM_TIMER);
        EXPECT_EQ(r.sound.buzzer, c.sounds) << c.volts;
        r.b.d.ControlSimulation(SIM_DEACTIVATE);
        EXPECT_FALSE(r.sound.buzzer);
    }
}

TEST(MotorBuzzer, AMutedDesignKeepsTheBuzzerSilentWhileItsPictureSounds)
{
    BuzzerRig r(6.0);
    r.b.d.SetOptionBits(OPT_MUTED, true);
    r.b.d.ControlSimulation(SIM_TIMER);
    r.b.d.ControlSimulation(SIM_TIMER);
    EXPECT_TRUE(r.buzzer->IsSounding());
    EXPECT_FALSE(r.sound.buzzer);
    r.b.d.SetOptionBits(OPT_MUTED, false);
    r.b.d.ControlSimulation(SIM_TIMER);
    EXPECT_TRUE(r.sound.buzzer);
}

TEST(MotorBuzzer, ABurntBuzzerAsksForNoSound)
{
    BuzzerRig r(12.0);
    r.b.d.ControlSimulation(SIM_TIMER);
    EXPECT_TRUE(r.buzzer->IsBroken());
    r.b.d.ControlSimulation(SIM_TIMER);
    EXPECT_FALSE(r.sound.buzzer);
}

} // namespace
