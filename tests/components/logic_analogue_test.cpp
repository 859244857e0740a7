// The 555 timer and the op-amp in real circuits.
//  - 555 astable (1 kOhm, 10 kOhm, 10 uF, 9 V, 10000 steps/s): the high and
//    low times against a step-by-step calculation of the same discrete
//    system written here, against the closed forms, and against ngspice
//    running a behavioural model (hysteretic switch for the discharge pin).
//  - Op-amp inverting amplifier: the settled output against the closed form
//    of its finite gain (20000, 75 ohm), and the clipping levels.
#include "components/battery.h"
#include "components/c555.h"
#include "components/c741.h"
#include "components/capacitor.h"
#include "components/counter10.h"
#include "components/resistor.h"
#include "logic_support.h"
#include "model/text/opampsupply.h"
#include "passives_bench.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

constexpr double kR1 = 1000.0, kR2 = 10000.0, kC = 10e-6, kVs = 9.0, kRate = 10000.0;

struct Astable {
    PassiveBench b;
    C555* timer;
    CCapacitor* cap;
    CBattery* cell;

    explicit Astable(double volts = kVs)
    {
        cell = b.Add<CBattery>(0, 100);
        timer = b.Add<C555>(200, 100);
        auto* r1 = b.Add<CResistor>(400, 0);
        auto* r2 = b.Add<CResistor>(500, 0);
        cap = b.Add<CCapacitor>(600, 0);
        SetLabel(cell, volts);
        SetLabel(r1, kR1);
        SetLabel(r2, kR2);
        SetLabel(cap, kC);
        CTerminal* plus = cell->GetTerminal(0);
        CTerminal* minus = cell->GetTerminal(1);
        b.Wire(plus, timer->GetTerminal(C555::kSupply));
        b.Wire(plus, timer->GetTerminal(C555::kReset));
        b.Wire(minus, timer->GetTerminal(C555::kGround));
        b.Wire(plus, r1->GetTerminal(0));
        b.Wire(r1->GetTerminal(1), timer->GetTerminal(C555::kDischarge));
        b.Wire(timer->GetTerminal(C555::kDischarge), r2->GetTerminal(0));
        b.Wire(r2->GetTerminal(1), timer->GetTerminal(C555::kThreshold));
        b.Wire(timer->GetTerminal(C555::kThreshold), timer->GetTerminal(C555::kTrigger));
        b.Wire(timer->GetTerminal(C555::kThreshold), cap->GetTerminal(0));
        b.Wire(cap->GetTerminal(1), minus);
        b.Start(kRate);
    }
};

// Durations (in steps) of the runs of equal output levels, without the
// first run (the charge from 0 V) and the unfinished last one.
std::vector<std::pair<bool, int>> Runs(const std::vector<bool>& levels)
{
    std::vector<std::pair<bool, int>> runs;
    for (bool l : levels)
        if (!runs.empty() && runs.back().first == l)
            ++runs.back().second;
        else
            runs.push_back({l, 1});
    if (runs.size() < 3) return {};
    return {runs.begin() + 1, runs.end() - 1};
}

// The same discrete system step by step: the capacitor by backward Euler
// through the Thevenin equivalent of R1, R2 and (while the latch is clear)
// the 0.1 S discharge pin; the latch after each step as the chip decides.
std::vector<bool> ReferenceLevels(int steps)
{
    const double cr = kC * kRate;
    const double vControl = kVs * C555::kDividerTop / (C555::kDividerTop + C555::kDividerBottom);
    double vc = 0.0;
    bool latch = false, powered = false;
    std::vector<bool> out;
    for (int i = 0; i < steps; ++i) {
        double vth = kVs, rth = kR1;
        if (powered && !latch) {
            const double g = 1.0 / kR1 + C555::kDischargeOn;
            vth = kVs / kR1 / g;
            rth = 1.0 / g;
        }
        const double g = 1.0 / (rth + kR2);
        vc = (vth * g + cr * vc) / (g + cr);
        powered = kVs > C555::kPoweredAbove;
        if (vc < vControl / 2)
            latch = true;
        else if (vc > vControl)
            latch = false;
        out.push_back(latch);
    }
    return out;
}

TEST(LogicAnalogue, AstableTimesMatchTheStepByStepCalculation)
{
    Astable a;
    const int steps = 7000;
    std::vector<bool> levels;
    bool before = false;
    for (int i = 0; i < steps; ++i) {
        a.b.Run(1);
        // The output pin shows the latch of the step before (12.5 ohm to a
        // rail, unloaded).
        ASSERT_NEAR(a.timer->GetTerminal(C555::kOutput)->GetVoltage(), before ? kVs : 0.0, 1e-6) << i;
        before = a.timer->IsLatchSet();
        levels.push_back(before);
    }
    EXPECT_NEAR(a.timer->GetTerminal(C555::kControl)->GetVoltage(), 6.0, 1e-9);
    const auto got = Runs(levels), want = Runs(ReferenceLevels(steps));
    ASSERT_GE(got.size(), 4u);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].first, want[i].first);
        EXPECT_NEAR(got[i].second, want[i].second, 1) << i;
    }
    // The closed forms: high = (R1 + R2) C ln 2 (3 V to 6 V towards 9 V);
    // low from 6 V to 3 V towards the divider of R1 and the 10 ohm discharge
    // pin through R2 plus that divider's resistance.
    const double high = (kR1 + kR2) * kC * std::log(2.0) * kRate;
    const double gd = 1.0 / kR1 + C555::kDischargeOn;
    const double vth = kVs / kR1 / gd, rth = 1.0 / gd;
    const double low = (kR2 + rth) * kC * std::log((6.0 - vth) / (3.0 - vth)) * kRate;
    // Without the discharge pin's resistance the low time would be R2 C ln 2,
    // 16 steps shorter: the model's own figure is what the chip shows.
    EXPECT_GT(low - kR2 * kC * std::log(2.0) * kRate, 15.0);
    for (const auto& [level, n] : got) EXPECT_NEAR(n, level ? high : low, 2.0) << level;
}

// Runs ngspice in batch mode on a netlist; the measured values by name.
std::map<std::string, double> RunNgspice(const QString& netlist)
{
    std::map<std::string, double> values;
    QTemporaryDir dir;
    const QString path = dir.filePath("astable.cir");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return values;
    f.write(netlist.toUtf8());
    f.close();
    QProcess p;
    p.start(QStandardPaths::findExecutable("ngspice"), {"-b", path});
    if (!p.waitForFinished(60000)) return values;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(R"(^(\w+)\s*=\s*([-+0-9.eE]+))", QRegularExpression::MultilineOption);
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        values[m.captured(1).toLower().toStdString()] = m.captured(2).toDouble();
    }
    return values;
}

TEST(LogicAnalogue, AstableTimesAgreeWithNgspice)
{
    if (QStandardPaths::findExecutable("ngspice").isEmpty()) GTEST_SKIP() << "ngspice is not installed";
    // Our own behavioural 555: the discharge pin is a switch of 10 ohm that
    // closes when the capacitor passes 6 V and opens below 3 V (the
    // comparators and latch of the chip with its 2/3 and 1/3 levels).
    const QString netlist = "* 555 astable, behavioural\n"
                            "V1 vs 0 DC 9\n"
                            "R1 vs d 1k\n"
                            "R2 d t 10k\n"
                            "C1 t 0 10u IC=0\n"
                            "S1 d 0 t 0 SWD\n"
                            ".model SWD SW(VT=4.5 VH=1.5 RON=10 ROFF=1e12)\n"
                            ".tran 5u 0.4 0 5u UIC\n"
                            // The switch flips at the solver's time points
                            // just short of 6 V and 3 V: the discharge node's
                            // jump marks each flip.
                            ".meas tran close1 WHEN v(d)=3 FALL=1\n"
                            ".meas tran open1 WHEN v(d)=3 RISE=1\n"
                            ".meas tran close2 WHEN v(d)=3 FALL=2\n"
                            ".end\n";
    const auto v = RunNgspice(netlist);
    ASSERT_TRUE(v.count("close1") && v.count("open1") && v.count("close2")) << "ngspice gave no measurements";
    const double low = (v.at("open1") - v.at("close1")) * kRate;
    const double high = (v.at("close2") - v.at("open1")) * kRate;
    Astable a;
    std::vector<bool> levels;
    for (int i = 0; i < 4000; ++i) {
        a.b.Run(1);
        levels.push_back(a.timer->IsLatchSet());
    }
    // The chip sees a crossing at the end of the step after it and backward
    // Euler lags the exponential by about 0.4 step over 760: within 2 steps.
    for (const auto& [level, n] : Runs(levels)) EXPECT_NEAR(n, level ? high : low, 2.0) << level;
}

TEST(LogicAnalogue, TimerNeedsMoreThan2Point5VoltsAndResetWins)
{
    {
        Astable a(2.5);
        a.b.Run(5);
        EXPECT_FALSE(a.timer->IsPowered());
        // Neither the output nor the discharge pin is driven.
        EXPECT_GT(a.timer->GetTerminal(C555::kDischarge)->GetVoltage(), 0.1);
    }
    // Trigger and reset low together: the latch stays clear.
    PassiveBench b;
    auto* cell = b.Add<CBattery>(0, 100);
    auto* t = b.Add<C555>(200, 100);
    SetLabel(cell, 9.0);
    b.Wire(cell->GetTerminal(0), t->GetTerminal(C555::kSupply));
    b.Wire(cell->GetTerminal(1), t->GetTerminal(C555::kGround));
    b.Wire(cell->GetTerminal(1), t->GetTerminal(C555::kReset));
    b.Wire(cell->GetTerminal(1), t->GetTerminal(C555::kTrigger));
    b.Start(100.0);
    b.Run(5);
    EXPECT_TRUE(t->IsPowered());
    EXPECT_FALSE(t->IsLatchSet());
}

TEST(LogicAnalogue, TimerBurnsOutAboveSixteenVolts)
{
    for (const auto& [volts, broken] : {std::pair{15.0, false}, std::pair{17.0, true}}) {
        Astable a(volts);
        a.b.Run(3);
        EXPECT_EQ(a.timer->IsBroken() != 0, broken) << volts;
    }
}

// Inverting amplifier: Vin -> Rin -> inverting input, Rf from there to the
// output, non-inverting input at 0 V.
struct Inverting {
    PassiveBench b;
    C741* amp;
    CLogicTestSource* in;
    CLogicTestSource* ref;
    static constexpr double kRin = 1000.0, kRf = 10000.0;

    Inverting(double rate, double plus = 9.0, double minus = -9.0)
    {
        amp = b.Add<C741>(300, 300);
        auto* rin = b.Add<CResistor>(100, 100);
        auto* rf = b.Add<CResistor>(500, 100);
        SetLabel(rin, kRin);
        SetLabel(rf, kRf);
        in = new CLogicTestSource;
        in->Place(&b.d, 50, 600);
        b.d.AddChild(in);
        in->Drop(&b.d);
        ref = new CLogicTestSource;
        ref->Place(&b.d, 150, 600);
        b.d.AddChild(ref);
        ref->Drop(&b.d);
        amp->GetSupplyLabel()->number.SetValue(plus, 4);
        amp->GetSupplyLabel()->negative.SetValue(minus, 4);
        amp->SetInputValue(nullptr, 0);
        b.Wire(in->GetTerminal(0), rin->GetTerminal(0));
        b.Wire(rin->GetTerminal(1), amp->GetTerminal(C741::kInverting));
        b.Wire(amp->GetTerminal(C741::kInverting), rf->GetTerminal(0));
        b.Wire(rf->GetTerminal(1), amp->GetTerminal(C741::kOutput));
        b.Wire(ref->GetTerminal(0), amp->GetTerminal(C741::kNonInverting));
        b.Start(rate);
    }
    double Out() const { return amp->GetTerminal(C741::kOutput)->GetVoltage(); }
};

// Closed form with open-loop gain A, output resistance Ro and mid-supply m:
// the output is a source E = A (V+ - V-) + m behind Ro.
double InvertingOutput(double vin, double mid)
{
    const double a = 20000.0, ro = 75.0, rin = Inverting::kRin, rf = Inverting::kRf;
    // Unknowns (Vn, Vo):
    //   Vn (-1/Rin - 1/Rf) + Vo / Rf            = -Vin / Rin
    //   Vn (-A/Ro + 1/Rf)  + Vo (-1/Ro - 1/Rf)  = -m / Ro
    const double a11 = -1 / rin - 1 / rf, a12 = 1 / rf, b1 = -vin / rin;
    const double a21 = -a / ro + 1 / rf, a22 = -1 / ro - 1 / rf, b2 = -mid / ro;
    return (a11 * b2 - a21 * b1) / (a11 * a22 - a12 * a21);
}

TEST(LogicAnalogue, InvertingAmplifierSettlesToItsFiniteGain)
{
    for (double rate : {5.0, 100.0, 10000.0})
        for (double vin : {0.5, -0.3, 0.05}) {
            Inverting c(rate);
            c.in->volts = vin;
            c.b.Run(60);
            EXPECT_NEAR(c.Out(), InvertingOutput(vin, 0.0), 1e-6) << rate << " " << vin;
            EXPECT_FALSE(c.amp->IsBroken());
        }
    // An asymmetric supply moves the middle of the swing.
    Inverting c(100.0, 12.0, 0.0);
    c.ref->volts = 0.0;
    c.in->volts = -0.2;
    c.b.Run(60);
    EXPECT_NEAR(c.Out(), InvertingOutput(-0.2, 6.0), 1e-6);
}

TEST(LogicAnalogue, InvertingAmplifierClipsTwoVoltsInsideItsRails)
{
    struct Case {
        double plus, minus, vin;
    };
    for (const Case k : {Case{9, -9, 2.0}, Case{9, -9, -2.0}, Case{12, -12, 3.0}, Case{15, -5, -4.0}}) {
        Inverting c(1000.0, k.plus, k.minus);
        c.in->volts = k.vin;
        c.b.Run(60);
        const double mid = (k.plus + k.minus) / 2, s = k.plus - mid - 2;
        // The clipped source E = mid -+ s behind 75 ohm, loaded by Rf + Rin.
        const double e = k.vin > 0 ? mid - s : mid + s;
        const double i = (e - k.vin) / (75.0 + Inverting::kRf + Inverting::kRin);
        EXPECT_NEAR(c.Out(), e - 75.0 * i, 1e-6) << k.plus << " " << k.minus << " " << k.vin;
    }
}

TEST(LogicAnalogue, OpenLoopSaturatesAtSevenVolts)
{
    for (double d : {0.001, -0.001}) {
        PassiveBench b;
        auto* amp = b.Add<C741>(300, 300);
        auto* p = new CLogicTestSource;
        p->Place(&b.d, 50, 600);
        b.d.AddChild(p);
        p->Drop(&b.d);
        auto* n = new CLogicTestSource;
        n->Place(&b.d, 150, 600);
        b.d.AddChild(n);
        n->Drop(&b.d);
        p->volts = d;
        b.Wire(p->GetTerminal(0), amp->GetTerminal(C741::kNonInverting));
        b.Wire(n->GetTerminal(0), amp->GetTerminal(C741::kInverting));
        b.Start(100.0);
        b.Run(40);
        EXPECT_NEAR(amp->GetTerminal(C741::kOutput)->GetVoltage(), d > 0 ? 7.0 : -7.0, 1e-9);
    }
    // V+ equal to V-: the swing stays a valid 1e-6 V ramp.
    Inverting c(100.0, 1.0, 1.0);
    EXPECT_DOUBLE_EQ(c.amp->GetSwing(), 1e-6);
    c.b.Run(5);
    EXPECT_TRUE(std::isfinite(c.Out()));
}

TEST(LogicAnalogue, ChipPinsBurnOutBeyondTheirRails)
{
    // Op-amp input 1 V beyond its +-9 V label rails.
    for (const auto& [volts, broken] : {std::pair{9.9, false}, std::pair{10.1, true}, std::pair{-10.1, true}}) {
        Inverting c(100.0);
        c.ref->volts = volts;
        c.b.Run(2);
        EXPECT_EQ(c.amp->IsBroken() != 0, broken) << volts;
    }
    // A counter's clock input 1 V beyond the logic supply.
    for (const auto& [volts, broken] : {std::pair{5.9, false}, std::pair{6.1, true}, std::pair{-1.1, true}}) {
        LogicBench b;
        auto* c = b.AddAt<CCounter10>(400, 400);
        b.SourceTo(c->GetTerminal(0), volts);
        b.Reset();
        b.Run(2);
        EXPECT_EQ(c->IsBroken() != 0, broken) << volts;
    }
}

} // namespace
