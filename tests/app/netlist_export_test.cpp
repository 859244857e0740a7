// Export Netlist end to end: small designs built from the real parts run in
// the workbench, go through the command and its file dialog, and ngspice
// (in its PSpice compatibility mode, with the model library the export puts
// beside the netlist) must find the same voltages and times within what
// separates the two models: the workbench's piecewise-linear junctions and
// its backward-Euler steps of 0.2 s against SPICE's exponentials and
// variable steps.  Skipped with a message where ngspice is not installed.
#include "app/tesk_doc.h"
#include "components/spice_netlist.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/text/value.h"
#include "components/battery.h"
#include "components/component_kit.h"
#include "components/sensor_threshold_base.h"
#include "components/vresistor.h"
#include "components/vslide.h"
#include "platform/messagebox.h"

#include "components/diodes_support.h"
#include "components/part_by_name.h"
#include "netlist_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <vector>
#include <sstream>

using namespace netlisttest;

namespace {

struct OperatingPointCase {
    const char* name;
    // Builds the design; returns the part and pin whose voltage is compared.
    std::function<std::pair<CComponent*, int>(ExportBench&)> build;
    double tolerance; // volts
};

} // namespace

TEST(NetlistExport, OperatingPointsMatchNgspice)
{
    const OperatingPointCase cases[] = {
        // 9 V over 10k and 4.7k: 2.878 V.
        {"divider",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 9.0, true);
             auto* top = b.Add("CResistor", 10000.0, true);
             auto* bottom = b.Add("CResistor", 4700.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, top, 0);
             b.Wire(top, 1, bottom, 0);
             b.Wire(bottom, 1, earth, 0);
             return std::pair{bottom, 0};
         },
         0.001},
        // 9 V, 1k and a diode: about 8 mA; the junction laws differ by tens of mV.
        {"diode", [](ExportBench& b) { return std::pair{b.SeriesToEarth(9.0, 1000.0, "CDiode"), 0}; },
         0.08},
        // 12 V, 1k and a 5.1 V zener the wrong way round: about 5.1 V.
        {"zener", [](ExportBench& b) { return std::pair{b.SeriesToEarth(12.0, 1000.0, "CZener"), 0}; },
         0.1},
        // Common emitter: 470k base resistor, 1k collector load, hFE 100:
        // Ic = 1.77 mA, collector at 7.2 V.
        {"transistor",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 9.0, true);
             auto* rb = b.Add("CResistor", 470000.0, true);
             auto* rc = b.Add("CResistor", 1000.0, true);
             auto* q = b.Add("CNPN");
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, rb, 0);
             b.Wire(rail, 0, rc, 0);
             b.Wire(rb, 1, q, 1);
             b.Wire(rc, 1, q, 0);
             b.Wire(q, 2, earth, 0);
             return std::pair{q, 0};
         },
         0.1},
        // Non-inverting amplifier of gain 11 on 0.5 V: 5.5 V.
        {"op-amp",
         [](ExportBench& b) {
             auto* in = b.Add("CVoltRail", 0.5, true);
             auto* amp = b.Add("C741");
             auto* rf = b.Add("CResistor", 10000.0, true);
             auto* rg = b.Add("CResistor", 1000.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(in, 0, amp, 1);
             b.Wire(amp, 2, rf, 0);
             b.Wire(rf, 1, amp, 0);
             b.Wire(amp, 0, rg, 0);
             b.Wire(rg, 1, earth, 0);
             return std::pair{amp, 2};
         },
         0.01},
        // Cells: the source between their pins (the 9 V battery's positive
        // pin is its second).
        {"battery",
         [](ExportBench& b) {
             auto* cell = b.Add("CBattery", 6.0, true);
             auto* r = b.Add("CResistor", 1000.0, true);
             b.Wire(cell, 0, r, 0);
             b.Wire(r, 1, cell, 1);
             return std::pair{r, 0};
         },
         0.001},
        {"9 V battery",
         [](ExportBench& b) {
             auto* cell = b.Add("CBattery9V");
             auto* r = b.Add("CResistor", 1000.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(cell, 1, r, 0);
             b.Wire(r, 1, cell, 0);
             b.Wire(cell, 0, earth, 0);
             return std::pair{r, 0};
         },
         0.001},
        // With the internal-resistance option a cell has 1 ohm inside:
        // 9 V into 9 ohm gives 8.1 V.
        {"cell with internal resistance",
         [](ExportBench& b) {
             b.d->SetOptionBits(OPT_INTERNAL_RESISTANCE, true);
             auto* cell = b.Add("CBattery", 9.0, true);
             auto* r = b.Add("CResistor", 9.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(cell, 0, r, 0);
             b.Wire(r, 1, cell, 1);
             b.Wire(cell, 1, earth, 0);
             return std::pair{r, 0};
         },
         0.001},
        // Slide rail and variable resistor at a quarter of their track: what
        // the simulation uses, not the label.
        {"slide rail and variable resistor",
         [](ExportBench& b) {
             auto* rail = b.Add("CVSlide", 10.0, true);
             static_cast<CVSlide*>(rail)->SetSliderPosition(5);
             auto* vr = b.Add("CVResistor", 1000.0, true);
             static_cast<CVResistor*>(vr)->SetSliderPosition(15);
             auto* r = b.Add("CResistor", 1000.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, vr, 0);
             b.Wire(vr, 1, r, 0);
             b.Wire(r, 1, earth, 0);
             return std::pair{r, 0};
         },
         0.001},
        // 1 A into 1 ohm reads +1 V on the pin the current leaves by.
        {"current source",
         [](ExportBench& b) {
             auto* source = b.Add("CCurrent", 1.0, true);
             auto* r = b.Add("CResistor", 1.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(source, 0, r, 0);
             b.Wire(r, 1, earth, 0);
             b.Wire(source, 1, earth, 0);
             return std::pair{r, 0};
         },
         0.001},
        // The LEDs through the library's subcircuits: 9 V, 1k.
        {"red LED", [](ExportBench& b) { return std::pair{b.SeriesToEarth(9.0, 1000.0, "CLED"), 0}; },
         0.01},
        {"green LED", [](ExportBench& b) { return std::pair{b.SeriesToEarth(9.0, 1000.0, "CLED_G"), 0}; },
         0.01},
        // A bulb (100 ohm) behind a fuse and 100 ohm: half the supply.
        {"bulb and fuse",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 6.0, true);
             auto* fuse = b.Add("CFuse");
             auto* r = b.Add("CResistor", 100.0, true);
             auto* bulb = b.Add("CBulb");
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, fuse, 0);
             b.Wire(fuse, 1, r, 0);
             b.Wire(r, 1, bulb, 0);
             b.Wire(bulb, 1, earth, 0);
             return std::pair{bulb, 0};
         },
         0.001},
        // Two earths and a zero rail on one net: one 0 V card for the net.
        {"earths on one net",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* r1 = b.Add("CResistor", 1000.0, true);
             auto* r2 = b.Add("CResistor", 3000.0, true);
             auto* e1 = b.Add("CEarth");
             auto* e2 = b.Add("CEarth");
             auto* zero = b.Add("CVZero");
             b.Wire(rail, 0, r1, 0);
             b.Wire(r1, 1, r2, 0);
             b.Wire(r2, 1, e1, 0);
             b.Wire(e1, 0, e2, 0);
             b.Wire(e2, 0, zero, 0);
             return std::pair{r2, 0};
         },
         0.001},
    };
    for (const OperatingPointCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExportBench b;
        const auto [part, pin] = c.build(b);
        b.Run(40);
        const double ours = part->GetTerminal(pin)->GetVoltage();
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("nom.lib"))));
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string missing;
        const auto spice = RunNgspice(netlist, "op\nprint " + V(part, pin), &missing);
        ASSERT_TRUE(spice.count(V(part, pin))) << missing;
        EXPECT_NEAR(spice.at(V(part, pin)), ours, c.tolerance);
        std::printf("%s: workbench %.4f V, ngspice %.4f V\n", c.name, ours, spice.at(V(part, pin)));
    }
}

TEST(NetlistExport, LampsMotorDisplayAndSensorsMatchNgspice)
{
    // The parts that the model library gives their own subcircuits, each
    // settled in the workbench (the motor's back-EMF lags by about 2 s) and
    // compared pin by pin with ngspice's operating point.
    struct Case {
        const char* name;
        std::function<std::vector<std::pair<CComponent*, int>>(ExportBench&)> build;
        double seconds;   // simulated before the comparison
        double tolerance; // volts
        double expected;  // the first pin's closed form (NaN: none)
    };
    const Case cases[] = {
        // 12 V, 10 ohm and the motor: a running motor is 10 ohm plus a
        // back-EMF of half its voltage, 20 ohm in all: 8 V across it.
        {"motor", [](ExportBench& b) { return std::vector{std::pair{b.SeriesToEarth(12.0, 10.0, "CMotor"), 0}}; },
         40.0, 0.001, 8.0},
        // 12 V, 10 ohm and a 10 W filament: I = 0.063239 (sqrt(v / 0.06 + 1) - 1)
        // = (12 - v) / 10 at 6.182 V.
        {"filament", [](ExportBench& b) { return std::vector{std::pair{b.SeriesToEarth(12.0, 10.0, "CFilament"), 0}}; },
         1.0, 0.005, 6.1821},
        // 24 W at 24 V through 5 ohm: the label's power scales the law.
        {"24 W filament",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 24.0, true);
             auto* r = b.Add("CResistor", 5.0, true);
             auto* lamp = b.Add("CFilament", 24.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, r, 0);
             b.Wire(r, 1, lamp, 0);
             b.Wire(lamp, 1, earth, 0);
             return std::vector{std::pair{lamp, 0}};
         },
         1.0, 0.005, 13.3949},
        // 5 V through 330 ohm into segment a and 1k into segment g, the
        // common pin to earth: each segment an LED of the 1.75 V knee.
        {"seven-segment display",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* ra = b.Add("CResistor", 330.0, true);
             auto* rg = b.Add("CResistor", 1000.0, true);
             auto* display = b.Add("CSevenSegmentDisplay");
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, ra, 0);
             b.Wire(rail, 0, rg, 0);
             b.Wire(ra, 1, display, 8);
             b.Wire(rg, 1, display, 0);
             b.Wire(display, 4, earth, 0);
             return std::vector{std::pair{display, 8}, std::pair{display, 0}};
         },
         1.0, 0.01, NAN},
        // A switch sensor that is on drives its pin through the family's
        // 16.7 ohm: 5 V into 100 ohm reads 4.286 V.
        {"switch sensor on",
         [](ExportBench& b) {
             auto* sensor = b.Add("CSwitchSensor");
             auto* r = b.Add("CResistor", 100.0, true);
             auto* earth = b.Add("CEarth");
             sensor->SetInputValue(b.d, 1);
             b.Wire(sensor, 0, r, 0);
             b.Wire(r, 1, earth, 0);
             return std::vector{std::pair{sensor, 0}};
         },
         1.0, 0.001, 4.2857},
        // Off it drives nothing: a 1k pull-up to 5 V holds the pin.
        {"switch sensor off",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* r = b.Add("CResistor", 1000.0, true);
             auto* sensor = b.Add("CSwitchSensor");
             b.Wire(rail, 0, r, 0);
             b.Wire(r, 1, sensor, 0);
             return std::vector{std::pair{sensor, 0}};
         },
         1.0, 0.001, 5.0},
        // An analogue light sensor at level 4 of 5 into 100 ohm: 4 V open,
        // 3.43 V loaded.
        {"analogue light sensor",
         [](ExportBench& b) {
             auto* sensor = b.Add("CLightSensor");
             auto* r = b.Add("CResistor", 100.0, true);
             auto* earth = b.Add("CEarth");
             sensor->OnPropertyCommand(kSensorSignal, "Analog");
             sensor->SetInputValue(b.d, 4);
             b.Wire(sensor, 0, r, 0);
             b.Wire(r, 1, earth, 0);
             return std::vector{std::pair{sensor, 0}};
         },
         1.0, 0.001, 3.4286},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportBench b;
        const auto pins = c.build(b);
        b.RunFor(c.seconds);
        if (!std::isnan(c.expected)) {
            EXPECT_NEAR(pins[0].first->GetTerminal(pins[0].second)->GetVoltage(), c.expected, 0.002);
        }
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string print = "op\nprint";
        for (const auto& [part, pin] : pins) print += " " + V(part, pin);
        std::string missing;
        const auto spice = RunNgspice(netlist, print, &missing);
        for (const auto& [part, pin] : pins) {
            const std::string v = V(part, pin);
            ASSERT_TRUE(spice.count(v)) << v << ": " << missing;
            const double ours = part->GetTerminal(pin)->GetVoltage();
            std::printf("%s %s: workbench %.4f V, ngspice %.4f V\n", c.name, v.c_str(), ours, spice.at(v));
            EXPECT_NEAR(spice.at(v), ours, c.tolerance);
        }
    }
}

TEST(NetlistExport, MotorSpinsUpFromItsBackEmfAsInNgspice)
{
    // 12 V through 10 ohm into a motor that has run for 1 s: the netlist
    // starts its back-EMF where the workbench's stands (E0) and lets it
    // follow 10 I with the workbench's lag (TAU); the motor's voltage then
    // climbs from 7.0 V toward 8 V along the same curve.  The workbench's
    // steps of 0.2 s are not SPICE's exponential: they stay within 6% of
    // the 1 V climb (4% measured).
    ExportBench b;
    auto* motor = b.SeriesToEarth(12.0, 10.0, "CMotor");
    b.RunFor(1.0);
    const double atExport = motor->GetTerminal(0)->GetVoltage();
    QTemporaryDir dir;
    const QString netlist = b.Export(dir);
    const double step = b.d->GetStepPeriod();
    std::map<int, double> ours; // by whole seconds after the export
    for (int pass = 1; pass * step <= 6.0 + 1e-9; ++pass) {
        b.d->RunSolverPass();
        const double t = pass * step;
        if (std::fabs(t - std::round(t)) < 1e-9) ours[static_cast<int>(std::lround(t))] = motor->GetTerminal(0)->GetVoltage();
    }
    EXPECT_NEAR(ours[6], 8.0, 0.1);
    if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
    std::string missing;
    const std::string v = V(motor, 0);
    const auto spice = RunNgspice(netlist,
                                  "tran 10m 6 uic\nmeas tran a FIND " + v + " AT=1\nmeas tran b FIND " + v +
                                      " AT=2\nmeas tran c FIND " + v + " AT=6",
                                  &missing);
    ASSERT_TRUE(spice.count("c")) << missing;
    std::printf("motor from %.4f V, at 1/2/6 s: workbench %.4f %.4f %.4f, ngspice %.4f %.4f %.4f\n", atExport, ours[1],
                ours[2], ours[6], spice.at("a"), spice.at("b"), spice.at("c"));
    EXPECT_NEAR(ours[1], spice.at("a"), 0.06);
    EXPECT_NEAR(ours[2], spice.at("b"), 0.06);
    EXPECT_NEAR(ours[6], spice.at("c"), 0.06);
}

TEST(NetlistExport, MosfetsConductAsInNgspiceEitherWayRound)
{
    // Gate 1.5 V beyond the source, threshold 1 V, KP 2: 0.25 A through a
    // 10 ohm load, so the drain stands 2.5 V from its supply end.  The outer
    // pins are interchangeable: each class is wired both ways round.
    struct Case {
        const char* className;
        bool p;
        int sourcePin, drainPin;
    };
    const Case cases[] = {{"CMOSFETn", false, 2, 0}, {"CMOSFETn", false, 0, 2},
                          {"CMOSFETp", true, 0, 2},  {"CMOSFETp", true, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + (c.sourcePin ? " source on the third pin" : " source on the first pin"));
        ExportBench b;
        auto* supply = b.Add("CVoltRail", 9.0, true);
        auto* gate = b.Add("CVoltRail", c.p ? 7.5 : 1.5, true);
        auto* fet = b.Add(c.className);
        auto* load = b.Add("CResistor", 10.0, true);
        auto* earth = b.Add("CEarth");
        b.Wire(gate, 0, fet, 1);
        if (c.p) {
            b.Wire(supply, 0, fet, c.sourcePin);
            b.Wire(fet, c.drainPin, load, 0);
            b.Wire(load, 1, earth, 0);
        } else {
            b.Wire(supply, 0, load, 0);
            b.Wire(load, 1, fet, c.drainPin);
            b.Wire(fet, c.sourcePin, earth, 0);
        }
        b.Run(40);
        const double ours = fet->GetTerminal(c.drainPin)->GetVoltage();
        EXPECT_NEAR(ours, c.p ? 2.5 : 6.5, 0.15);
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string missing;
        const std::string v = V(fet, c.drainPin);
        const auto spice = RunNgspice(netlist, "op\nprint " + v, &missing);
        ASSERT_TRUE(spice.count(v)) << missing;
        std::printf("%s drain: workbench %.4f V, ngspice %.4f V\n", c.className, ours, spice.at(v));
        EXPECT_NEAR(spice.at(v), ours, 0.15);
    }
}

TEST(NetlistExport, CapacitorChargesAsInNgspice)
{
    // 9 V through 100k into 100 uF (time constant 10 s), from empty: the
    // workbench's backward-Euler steps (a twentieth of a second) lag the
    // exponential by a fraction of a per cent.
    ExportBench b;
    auto* rail = b.Add("CVoltRail", 9.0, true);
    auto* r = b.Add("CResistor", 100000.0, true);
    auto* c = b.Add("CCapacitor", 100e-6, true);
    auto* earth = b.Add("CEarth");
    b.Wire(rail, 0, r, 0);
    b.Wire(r, 1, c, 0);
    b.Wire(c, 1, earth, 0);
    b.d->ResetRun(0);
    const double step = b.d->GetStepPeriod();
    std::map<int, double> ours; // by whole seconds
    for (int pass = 1; pass * step <= 20.0 + 1e-9; ++pass) {
        b.d->RunSolverPass();
        const double t = pass * step;
        if (std::fabs(t - std::round(t)) < 1e-9)
            ours[static_cast<int>(std::lround(t))] = c->GetTerminal(0)->GetVoltage() - c->GetTerminal(1)->GetVoltage();
    }
    QTemporaryDir dir;
    const QString netlist = b.Export(dir);
    if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
    std::string missing;
    const std::string v = V(c, 0);
    const auto spice = RunNgspice(netlist,
                                  "tran 10m 20 uic\nmeas tran a FIND " + v + " AT=4\nmeas tran b FIND " + v +
                                      " AT=10\nmeas tran c FIND " + v + " AT=20",
                                  &missing);
    ASSERT_TRUE(spice.count("c")) << missing;
    std::printf("RC at 4/10/20 s: workbench %.4f %.4f %.4f, ngspice %.4f %.4f %.4f\n", ours[4], ours[10], ours[20],
                spice.at("a"), spice.at("b"), spice.at("c"));
    EXPECT_NEAR(ours[4], spice.at("a"), 0.01 * 9.0);
    EXPECT_NEAR(ours[10], spice.at("b"), 0.01 * 9.0);
    EXPECT_NEAR(ours[20], spice.at("c"), 0.01 * 9.0);
    // And both against the closed form 9 (1 - exp(-t / 10 s)).
    EXPECT_NEAR(spice.at("b"), 9.0 * (1.0 - std::exp(-1.0)), 0.01);
}

TEST(NetlistExport, AstableTimerRunsAtTheSamePeriod)
{
    // A 555 astable: 10k, 100k, 100 uF; high 0.693 x 110k x 100 uF = 7.6 s,
    // low 0.693 x 100k x 100 uF = 6.9 s.  The workbench's latch acts once
    // per step, so each half may come up to a step late.
    ExportBench b;
    auto* rail = b.Add("CVoltRail", 9.0, true);
    auto* timer = b.Add("C555");
    auto* ra = b.Add("CResistor", 10000.0, true);
    auto* rb = b.Add("CResistor", 100000.0, true);
    auto* c = b.Add("CCapacitor", 100e-6, true);
    auto* earth = b.Add("CEarth");
    b.Wire(rail, 0, timer, 0);   // supply
    b.Wire(rail, 0, timer, 1);   // reset
    b.Wire(rail, 0, ra, 0);
    b.Wire(ra, 1, timer, 2);     // discharge
    b.Wire(timer, 2, rb, 0);
    b.Wire(rb, 1, timer, 3);     // threshold
    b.Wire(timer, 3, timer, 4);  // trigger
    b.Wire(timer, 4, c, 0);
    b.Wire(c, 1, earth, 0);
    b.Wire(timer, 5, earth, 0);  // ground
    b.d->ResetRun(0);
    std::vector<double> rises;
    bool high = false;
    const int passes = static_cast<int>(std::lround(60.0 / b.d->GetStepPeriod()));
    for (int pass = 1; pass <= passes; ++pass) {
        b.d->RunSolverPass();
        const bool now = timer->GetTerminal(7)->GetVoltage() > 4.5;
        if (now && !high) rises.push_back(pass * b.d->GetStepPeriod());
        high = now;
    }
    ASSERT_GE(rises.size(), 3u);
    const double ourPeriod = rises[2] - rises[1];

    QTemporaryDir dir;
    const QString netlist = b.Export(dir);
    if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
    std::string missing;
    const std::string out = V(timer, 7);
    const auto spice = RunNgspice(netlist,
                                  "tran 5m 60 uic\nmeas tran period TRIG " + out + " VAL=4.5 RISE=2 TARG " + out +
                                      " VAL=4.5 RISE=3",
                                  &missing);
    ASSERT_TRUE(spice.count("period")) << missing;
    EXPECT_NEAR(spice.at("period"), 0.693 * 210000 * 100e-6, 0.05 * 14.5);
    std::printf("555 period: workbench %.3f s, ngspice %.3f s\n", ourPeriod, spice.at("period"));
    EXPECT_NEAR(ourPeriod, spice.at("period"), 2 * b.d->GetStepPeriod() + 0.01 * 14.5);
}

TEST(NetlistExport, ProposesTheDesignNameAndReportsAFileItCannotWrite)
{
    ExportBench b;
    // An untitled design proposes its title, never a cut path.
    EXPECT_TRUE(b.doc.NetlistPathProposal().endsWith(b.doc.GetTitle() + QStringLiteral(".cir")));
    b.doc.SetPathName(QStringLiteral("/tmp/some.folder/circuit.zrn"));
    EXPECT_EQ(b.doc.NetlistPathProposal(), QStringLiteral("/tmp/some.folder/circuit.cir"));
    b.doc.SetPathName(QStringLiteral("/tmp/ab"));
    EXPECT_EQ(b.doc.NetlistPathProposal(), QStringLiteral("/tmp/ab.cir"));

    // The dialog proposes the name; Cancel writes nothing.
    QString proposed;
    WhenModal<QFileDialog>([&proposed](QFileDialog* d) {
        proposed = d->selectedFiles().value(0);
        d->reject();
    });
    EXPECT_TRUE(b.doc.OnCommand(34219));
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/ab.cir"))) << proposed.toStdString();

    // A folder that does not exist: "Failed to open file.", no file.
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/x.cir"));
    ChooseFile(path);
    b.doc.OnCommand(34219);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Failed to open file.");
    EXPECT_FALSE(QFile::exists(path));

    // The written file starts with its own name in the title line.
    const QString good = dir.filePath(QStringLiteral("named.cir"));
    ChooseFile(good);
    b.doc.OnCommand(34219);
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readLine().toStdString(), NetlistTitleLine("named.cir") + "\n");
}
