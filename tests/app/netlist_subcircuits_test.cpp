// The library's subcircuits and the signal generator's card against the
// workbench: designs built from the real parts run in the workbench, are
// exported through the command, and ngspice must find what the workbench
// found, within what separates the two models (the workbench acts on the
// step after an edge and integrates with backward-Euler steps; ngspice's
// latches change within microseconds).  Skipped with a message where
// ngspice is not installed.
#include "components/c4511.h"
#include "components/counter16.h"
#include "components/decoder.h"
#include "components/photoq.h"
#include "components/relayspdt.h"
#include "components/spice_netlist.h"
#include "components/thyristor.h"
#include "components/transformer.h"
#include "components/vpulse.h"
#include "model/text/sinevalue.h"

#include "netlist_support.h"

#include <cmath>
#include <functional>
#include <vector>

using namespace netlisttest;

namespace {

// A generator of f hertz, amplitude a and offset o starting at phase
// degrees, across its first two pins.
CVPulse* AddGenerator(ExportBench& b, int wave, double f, double a, double o, double degrees)
{
    auto* gen = static_cast<CVPulse*>(b.Add("CVPulse"));
    gen->SetWaveform(wave);
    CSineValue* label = gen->GetSineLabel();
    label->number.value = f;
    label->amplitude.value = a;
    label->dcOffset = o;
    label->phase = degrees;
    gen->OnSettingsChanged(0);
    return gen;
}

// "meas tran NAME FIND v(n) AT=t" for every (name, node, time).
struct Sample {
    std::string name;
    std::string node;
    double time;
};

std::string Measures(const std::vector<Sample>& samples)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(12);
    for (const Sample& s : samples) text << "meas tran " << s.name << " FIND " << s.node << " AT=" << s.time << '\n';
    return text.str();
}

std::string NameOf(const char* stem, int i, int j = -1)
{
    return std::string(stem) + std::to_string(i) + (j >= 0 ? "_" + std::to_string(j) : "");
}

double Across(CComponent* part, int a, int b)
{
    return part->GetTerminal(a)->GetVoltage() - part->GetTerminal(b)->GetVoltage();
}

} // namespace

TEST(NetlistSubcircuits, SignalGeneratorWaveMatchesSampleBySample)
{
    // 2 Hz, 3 V about an offset of 0.5 V, from a phase of its own: the
    // workbench's pass k shows the wave at (k - 1) / r, r the update rate
    // (twenty steps a cycle).  Two cycles, every step.
    struct Case {
        const char* name;
        int wave;
        double degrees;
    };
    const Case cases[] = {{"sine", CVPulse::kSine, 30.0},
                          {"square", CVPulse::kSquare, 45.0},
                          {"triangle", CVPulse::kTriangle, 100.0},
                          {"square from the start", CVPulse::kSquare, 9.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportBench b;
        CVPulse* gen = AddGenerator(b, c.wave, 2.0, 3.0, 0.5, c.degrees);
        auto* r = b.Add("CResistor", 1000.0, true);
        auto* earth = b.Add("CEarth");
        b.Wire(gen, 0, r, 0);
        b.Wire(r, 1, gen, 1);
        b.Wire(gen, 1, earth, 0);
        b.d->ResetRun(0);
        const double rate = b.d->GetUpdateRate();
        ASSERT_DOUBLE_EQ(rate, 40.0);
        // The netlist starts from the generator's present phase.
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        std::vector<double> ours;
        std::vector<Sample> samples;
        for (int k = 1; k <= 80; ++k) {
            b.d->RunSolverPass();
            ours.push_back(Across(gen, 0, 1));
            samples.push_back({NameOf("s", k), V(gen, 0), (k - 1) / rate});
        }
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string missing;
        const auto spice = RunNgspice(netlist, "tran 0.5m 2.1 0 0.5m\n" + Measures(samples), &missing);
        ASSERT_EQ(spice.size(), samples.size()) << missing;
        double worst = 0.0;
        for (size_t i = 0; i < samples.size(); ++i) {
            const double theirs = spice.at(samples[i].name);
            EXPECT_NEAR(theirs, ours[i], 2e-3) << "pass " << i + 1;
            worst = std::max(worst, std::fabs(theirs - ours[i]));
        }
        std::printf("generator %s: %zu samples, largest difference %.2g V\n", c.name, samples.size(), worst);
    }
}

TEST(NetlistSubcircuits, GatesFollowTheirTruthTables)
{
    // Every input combination of every gate, inputs on the logic supply or
    // on earth, the output into 1k: high is the supply less the drop
    // across the family's output resistance.  Also a CMOS family at 9 V.
    struct Case {
        const char* className;
        int family;
        double supply;
    };
    const Case cases[] = {{"CNAND", 0, 5.0},  {"CNOR", 0, 5.0},      {"CAND", 0, 5.0},   {"COR", 0, 5.0},
                          {"CXOR", 0, 5.0},   {"CInverter", 0, 5.0}, {"CNAND3", 0, 5.0}, {"CNAND4", 0, 5.0},
                          {"CNAND", 1, 9.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string table;
        for (int combination = 0;; ++combination) {
            ExportBench b;
            b.d->SetLogicFamily(c.family, c.supply, 1);
            auto* rail = b.Add("CVoltRail", c.supply, true);
            auto* earth = b.Add("CEarth");
            auto* gate = b.Add(c.className);
            const int inputs = gate->GetTerminalCount() - 1;
            if (combination >= (1 << inputs)) break;
            for (int i = 0; i < inputs; ++i) {
                if ((combination >> i) & 1) b.Wire(rail, 0, gate, i);
                else b.Wire(earth, 0, gate, i);
            }
            auto* load = b.Add("CResistor", 1000.0, true);
            b.Wire(gate, inputs, load, 0);
            b.Wire(load, 1, earth, 0);
            b.Run(10);
            const double ours = gate->GetTerminal(inputs)->GetVoltage();
            QTemporaryDir dir;
            const QString netlist = b.Export(dir);
            std::string missing;
            const std::string v = V(gate, inputs);
            const auto spice = RunNgspice(netlist, "op\nprint " + v, &missing);
            ASSERT_TRUE(spice.count(v)) << missing;
            EXPECT_NEAR(spice.at(v), ours, 0.01) << "inputs " << combination;
            // The output is at one of the two levels.
            const double high = c.supply * 1000.0 / (1000.0 + 1.0 / b.d->GetLogicConductance());
            EXPECT_TRUE(std::fabs(ours) < 0.01 || std::fabs(ours - high) < 0.01) << ours;
            char row[64];
            std::snprintf(row, sizeof row, " %d:%.3f/%.3f", combination, ours, spice.at(v));
            table += row;
        }
        std::printf("%s (%g V) inputs:workbench/ngspice%s\n", c.className, c.supply, table.c_str());
    }
}

TEST(NetlistSubcircuits, SwitchesInADividerMatchEitherWay)
{
    // 6 V into the switch's common pins; every other pin through its own
    // resistor (1k, 2k, 3k, ...) to earth, so each contact shows on its own
    // resistor.  Each switch in both of its positions.
    struct Case {
        const char* className;
        std::vector<int> fed;   // pins on the 6 V rail
        int value;              // the lever's or key's value
    };
    const Case cases[] = {
        {"CSPST", {0}, 0},          {"CSPST", {0}, 1},         {"CPushMake", {0}, 0},   {"CPushMake", {0}, 1},
        {"CPushBreak", {0}, 0},     {"CPushBreak", {0}, 1},    {"CSPDT", {0}, 0},       {"CSPDT", {0}, 1},
        {"CDPST", {0, 1}, 0},       {"CDPST", {0, 1}, 1},      {"CDPDT", {0, 1}, 0},    {"CDPDT", {0, 1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " value " + std::to_string(c.value));
        ExportBench b;
        auto* rail = b.Add("CVoltRail", 6.0, true);
        auto* earth = b.Add("CEarth");
        CComponent* sw = b.Add(c.className);
        sw->SetInputValue(b.d, c.value);
        std::vector<CComponent*> loads;
        for (int pin = 0; pin < sw->GetTerminalCount(); ++pin) {
            if (std::find(c.fed.begin(), c.fed.end(), pin) != c.fed.end()) {
                b.Wire(rail, 0, sw, pin);
                continue;
            }
            auto* r = b.Add("CResistor", 1000.0 * (static_cast<double>(loads.size()) + 1.0), true);
            b.Wire(sw, pin, r, 0);
            b.Wire(r, 1, earth, 0);
            loads.push_back(r);
        }
        b.Run(5);
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string command = "op";
        for (CComponent* r : loads) command += "\nprint " + V(r, 0);
        std::string missing;
        const auto spice = RunNgspice(netlist, command, &missing);
        std::string row;
        for (CComponent* r : loads) {
            const std::string v = V(r, 0);
            ASSERT_TRUE(spice.count(v)) << missing;
            const double ours = r->GetTerminal(0)->GetVoltage();
            EXPECT_NEAR(spice.at(v), ours, 1e-3);
            row += " " + std::to_string(ours).substr(0, 5) + "/" + std::to_string(spice.at(v)).substr(0, 5);
        }
        std::printf("%s value %d contacts workbench/ngspice:%s\n", c.className, c.value, row.c_str());
    }
}

TEST(NetlistSubcircuits, RelayPullsInAtTheSameTime)
{
    // 6 V across the coil: the current rises to 58.5 mA with a time
    // constant of 10 H / 102.5 ohm and passes the 39 mA pull-in after
    // 0.107 s.  The operated contact feeds 5 V into 1k, the rest contact
    // into 2k.  500 steps a second; the workbench's contact follows a step
    // after the current passes, and its backward-Euler coil lags a little.
    for (const char* className : {"CRelaySPDT", "CRelayDPDT"}) {
        SCOPED_TRACE(className);
        const bool dual = std::string(className) == "CRelayDPDT";
        const int coil = dual ? 2 : 1, common = 0, operated = dual ? 6 : 3, rest = dual ? 7 : 4;
        ExportBench b;
        b.d->m_dDisplayRate = 500.0;
        auto* coilRail = b.Add("CVoltRail", 6.0, true);
        auto* contactRail = b.Add("CVoltRail", 5.0, true);
        auto* earth = b.Add("CEarth");
        CComponent* relay = b.Add(className);
        auto* rOp = b.Add("CResistor", 1000.0, true);
        auto* rRest = b.Add("CResistor", 2000.0, true);
        b.Wire(coilRail, 0, relay, coil);
        b.Wire(relay, coil + 1, earth, 0);
        b.Wire(contactRail, 0, relay, common);
        b.Wire(relay, operated, rOp, 0);
        b.Wire(rOp, 1, earth, 0);
        b.Wire(relay, rest, rRest, 0);
        b.Wire(rRest, 1, earth, 0);
        b.d->ResetRun(0);
        const double step = b.d->GetStepPeriod();
        ASSERT_NEAR(step, 0.002, 1e-12);
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        double pulledIn = -1.0;
        bool restOpenAtOnce = false;
        for (int pass = 1; pass <= 150 && pulledIn < 0.0; ++pass) {
            b.d->RunSolverPass();
            if (rOp->GetTerminal(0)->GetVoltage() > 2.5) {
                pulledIn = pass * step;
                restOpenAtOnce = rRest->GetTerminal(0)->GetVoltage() < 0.01;
            }
        }
        ASSERT_GT(pulledIn, 0.0);
        EXPECT_TRUE(restOpenAtOnce);
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string missing;
        const auto spice = RunNgspice(netlist,
                                      "tran 0.1m 0.3 uic\nmeas tran pull WHEN " + V(rOp, 0) + "=2.5 RISE=1\nmeas tran rest WHEN " +
                                          V(rRest, 0) + "=2.5 FALL=1",
                                      &missing);
        ASSERT_TRUE(spice.count("pull") && spice.count("rest")) << missing;
        EXPECT_NEAR(spice.at("pull"), 0.1072, 0.001);
        EXPECT_NEAR(spice.at("rest"), spice.at("pull"), 0.0005);
        EXPECT_NEAR(pulledIn, spice.at("pull"), 3 * step);
        std::printf("%s pull-in: workbench %.4f s, ngspice %.4f s\n", className, pulledIn, spice.at("pull"));
    }
}

TEST(NetlistSubcircuits, CountersAndFlipFlopsCountTheSameClock)
{
    // A 1 Hz square clock (low first: it rises at 0.47 s and falls at
    // 0.97 s of each second) into a binary counter, a decade counter, a
    // decoded decade counter, a D flip-flop wired to toggle and a JK
    // flip-flop with J and K high.  Every output is compared a quarter of a
    // second after each edge, for ten seconds.
    ExportBench b;
    CVPulse* clock = AddGenerator(b, CVPulse::kSquare, 1.0, 5.0, 0.0, 190.0);
    auto* earth = b.Add("CEarth");
    auto* high = b.Add("CVoltRail", 5.0, true);
    b.Wire(clock, 1, earth, 0);
    std::vector<std::pair<CComponent*, int>> outputs;
    for (const char* counter : {"CCounter16", "CCounter10", "CCounter10B"}) {
        CComponent* c = b.Add(counter);
        b.Wire(clock, 0, c, CCounter16::kClockA);
        b.Wire(clock, 0, c, CCounter16::kClockB);
        b.Wire(earth, 0, c, CCounter16::kReset);
        for (int pin = CCounter16::kFirstOutput; pin < c->GetTerminalCount(); ++pin) outputs.push_back({c, pin});
    }
    CComponent* d = b.Add("CDtype");   // D, clock, not-Q, Q
    b.Wire(clock, 0, d, 1);
    b.Wire(d, 2, d, 0);
    outputs.push_back({d, 2});
    outputs.push_back({d, 3});
    CComponent* jk = b.Add("CJK");     // set, J, clock, K, reset, not-Q, Q
    b.Wire(earth, 0, jk, 0);
    b.Wire(high, 0, jk, 1);
    b.Wire(clock, 0, jk, 2);
    b.Wire(high, 0, jk, 3);
    b.Wire(earth, 0, jk, 4);
    outputs.push_back({jk, 5});
    outputs.push_back({jk, 6});

    b.d->ResetRun(0);
    const double rate = b.d->GetUpdateRate();
    ASSERT_DOUBLE_EQ(rate, 20.0);
    QTemporaryDir dir;
    const QString netlist = b.Export(dir);
    std::vector<Sample> samples;
    std::vector<double> ours;
    std::vector<int> counts;
    for (int pass = 1; pass <= 200; ++pass) {
        b.d->RunSolverPass();
        if (pass % 10 != 5) continue; // 0.25 s and 0.75 s of each second
        for (size_t i = 0; i < outputs.size(); ++i) {
            ours.push_back(outputs[i].first->GetTerminal(outputs[i].second)->GetVoltage());
            samples.push_back({NameOf("o", pass, static_cast<int>(i)), V(outputs[i].first, outputs[i].second), pass / rate});
        }
        counts.push_back(static_cast<CCounter16*>(outputs[0].first)->GetCount());
    }
    // By the last sample (9.75 s) the clock fell at 0.97 s ... 8.97 s.
    EXPECT_EQ(counts.back(), 9);
    if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
    std::string missing;
    const auto spice = RunNgspice(netlist, "tran 1m 10.2 uic\n" + Measures(samples), &missing);
    ASSERT_EQ(spice.size(), samples.size()) << missing;
    int agree = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double theirs = spice.at(samples[i].name);
        EXPECT_NEAR(theirs, ours[i], 0.05) << samples[i].name << " at " << samples[i].time << " s";
        if (std::fabs(theirs - ours[i]) < 0.05) ++agree;
    }
    std::printf("counters and flip-flops: %d of %zu samples agree (final binary count %d)\n", agree, samples.size(),
                counts.back());
}

TEST(NetlistSubcircuits, OtherPartsMatchAtTheirOperatingPoints)
{
    struct Case {
        const char* name;
        // Builds the design; the parts and pins whose voltages are compared.
        std::function<std::vector<std::pair<CComponent*, int>>(ExportBench&)> build;
        double tolerance; // volts
    };
    const Case cases[] = {
        // 5 V through one resistor of a 1k pack and 1k: 2.5 V.
        {"resistor pack",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* pack = b.Add("CResistors", 1000.0, true);
             auto* r = b.Add("CResistor", 1000.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, pack, 2);
             b.Wire(pack, 10, r, 0);
             b.Wire(r, 1, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{r, 0}};
         },
         1e-3},
        // Fully lit: 2 mA through 1k from 9 V leaves 7 V.
        {"phototransistor",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 9.0, true);
             auto* r = b.Add("CResistor", 1000.0, true);
             auto* q = b.Add("CPhotoQ");
             q->SetInputValue(b.d, 0);
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, r, 0);
             b.Wire(r, 1, q, 0);
             b.Wire(q, 1, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{q, 0}};
         },
         0.05},
        // 5 V through 1k5 into the LED: about 2.7 mA, 32 uA into the base,
        // 3.2 mA through the 1k collector load.
        {"opto-isolator",
         [](ExportBench& b) {
             auto* led = b.Add("CVoltRail", 5.0, true);
             auto* rl = b.Add("CResistor", 1500.0, true);
             auto* supply = b.Add("CVoltRail", 9.0, true);
             auto* rc = b.Add("CResistor", 1000.0, true);
             auto* iso = b.Add("CIsolator");
             auto* earth = b.Add("CEarth");
             b.Wire(led, 0, rl, 0);
             b.Wire(rl, 1, iso, 1);
             b.Wire(iso, 2, earth, 0);
             b.Wire(supply, 0, rc, 0);
             b.Wire(rc, 1, iso, 0);
             b.Wire(iso, 3, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{iso, 1}, {iso, 0}};
         },
         0.15},
        // Gate fed from 5 V through 1k: fired, the anode sits a junction
        // above the cathode; the gate at earth leaves it off at 9 V.
        {"thyristor fired",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 9.0, true);
             auto* ra = b.Add("CResistor", 100.0, true);
             auto* gateRail = b.Add("CVoltRail", 5.0, true);
             auto* rg = b.Add("CResistor", 1000.0, true);
             auto* scr = b.Add("CThyristor");
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, ra, 0);
             b.Wire(ra, 1, scr, 0);
             b.Wire(gateRail, 0, rg, 0);
             b.Wire(rg, 1, scr, 1);
             b.Wire(scr, 2, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{scr, 0}};
         },
         0.1},
        {"thyristor off",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 9.0, true);
             auto* ra = b.Add("CResistor", 100.0, true);
             auto* scr = b.Add("CThyristor");
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, ra, 0);
             b.Wire(ra, 1, scr, 0);
             b.Wire(scr, 1, earth, 0);
             b.Wire(scr, 2, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{scr, 0}};
         },
         0.01},
        // Digit 6 into the decoder: only output 6 high (open outputs).
        {"decoder",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* earth = b.Add("CEarth");
             auto* dec = b.Add("CDecoder");
             for (int bit = 0; bit < 4; ++bit) b.Wire((6 >> bit) & 1 ? rail : earth, 0, dec, bit);
             std::vector<std::pair<CComponent*, int>> out;
             for (int digit = 0; digit < 10; ++digit) out.push_back({dec, CDecoder::OutputPin(digit)});
             return out;
         },
         0.01},
        // Digit 2 into the seven-segment decoder, lamp test and blanking
        // high, latch enable low: a b d e g lit, c f dark.
        {"seven-segment decoder",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* earth = b.Add("CEarth");
             auto* dec = b.Add("C4511");
             for (int bit = 0; bit < 4; ++bit) b.Wire((2 >> bit) & 1 ? rail : earth, 0, dec, C4511::kA + bit);
             b.Wire(rail, 0, dec, C4511::kLampTest);
             b.Wire(rail, 0, dec, C4511::kBlanking);
             b.Wire(earth, 0, dec, C4511::kLatchEnable);
             std::vector<std::pair<CComponent*, int>> out;
             for (int s = 0; s < C4511::kSegments; ++s) out.push_back({dec, C4511::PinOfSegment(s)});
             return out;
         },
         0.01},
        // A 10k potentiometer a quarter of the way along, across 10 V, its
        // wiper into 10k.
        {"potentiometer",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 10.0, true);
             auto* pot = b.Add("CPot", 10000.0, true);
             pot->SetInputValue(b.d, 5);
             auto* r = b.Add("CResistor", 10000.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(rail, 0, pot, 0);
             b.Wire(pot, 1, earth, 0);
             b.Wire(pot, 2, r, 0);
             b.Wire(r, 1, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{pot, 2}};
         },
         1e-3},
        // A logic input switched on, into 1k; a thermistor in a divider.
        {"logic input and thermistor",
         [](ExportBench& b) {
             auto* in = b.Add("CLogicIn");
             in->m_wStateWord = 1;
             auto* r = b.Add("CResistor", 1000.0, true);
             auto* th = b.Add("CThermistor");
             auto* r2 = b.Add("CResistor", 1000.0, true);
             auto* earth = b.Add("CEarth");
             b.Wire(in, 0, r, 0);
             b.Wire(r, 1, th, 0);
             b.Wire(th, 1, r2, 0);
             b.Wire(r2, 1, earth, 0);
             return std::vector<std::pair<CComponent*, int>>{{in, 0}, {th, 1}};
         },
         1e-3},
        // Set high, reset low: Q high, not-Q low.
        {"set-reset latch",
         [](ExportBench& b) {
             auto* rail = b.Add("CVoltRail", 5.0, true);
             auto* earth = b.Add("CEarth");
             auto* rs = b.Add("CRS");
             b.Wire(rail, 0, rs, 0);
             b.Wire(earth, 0, rs, 1);
             return std::vector<std::pair<CComponent*, int>>{{rs, 2}, {rs, 3}};
         },
         0.01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportBench b;
        const auto probes = c.build(b);
        b.Run(40);
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string command = "op";
        for (const auto& [part, pin] : probes) command += "\nprint " + V(part, pin);
        std::string missing;
        const auto spice = RunNgspice(netlist, command, &missing);
        std::string row;
        for (const auto& [part, pin] : probes) {
            const std::string v = V(part, pin);
            ASSERT_TRUE(spice.count(v)) << missing;
            const double ours = part->GetTerminal(pin)->GetVoltage();
            EXPECT_NEAR(spice.at(v), ours, c.tolerance) << "pin " << pin;
            char cell[48];
            std::snprintf(cell, sizeof cell, " %.3f/%.3f", ours, spice.at(v));
            row += cell;
        }
        std::printf("%s workbench/ngspice:%s\n", c.name, row.c_str());
    }
}

TEST(NetlistSubcircuits, TransformerAndSchmittTriggerFollowTheWave)
{
    // A 2 Hz sine of 10 V across the 5-turn winding of a 5:1 transformer
    // with 10 ohm on the other: 2 V less the drop across the 1 ohm seen
    // through the turns ratio.  A 1 Hz triangle of 0..5 V into a Schmitt
    // inverter.  Each step of two seconds, at the workbench's one-step lag;
    // the Schmitt trigger's output may change a step later in the
    // workbench, so its samples within a step of a switching point are left
    // out.
    ExportBench b;
    CVPulse* sine = AddGenerator(b, CVPulse::kSine, 2.0, 10.0, 0.0, 0.0);
    auto* earth = b.Add("CEarth");
    auto* tr = b.Add("CTransformer", 5.0, true);
    auto* load = b.Add("CResistor", 10.0, true);
    b.Wire(sine, 1, earth, 0);
    b.Wire(sine, 0, tr, 1);
    b.Wire(tr, 2, earth, 0);
    b.Wire(tr, 0, load, 0);
    b.Wire(load, 1, tr, 3);
    b.Wire(tr, 3, earth, 0);
    CVPulse* tri = AddGenerator(b, CVPulse::kTriangle, 1.0, 5.0, 0.0, 0.0);
    auto* schmitt = b.Add("CSchmitt");
    b.Wire(tri, 1, earth, 0);
    b.Wire(tri, 0, schmitt, 0);
    b.d->ResetRun(0);
    const double rate = b.d->GetUpdateRate();
    QTemporaryDir dir;
    const QString netlist = b.Export(dir);
    std::vector<Sample> samples;
    std::vector<double> ours;
    for (int k = 1; k <= static_cast<int>(2 * rate); ++k) {
        b.d->RunSolverPass();
        ours.push_back(tr->GetTerminal(0)->GetVoltage());
        samples.push_back({NameOf("t", k), V(tr, 0), (k - 1) / rate});
        const double vin = Across(tri, 0, 1);
        const double up = b.d->GetSchmittThreshold() + b.d->GetSchmittHysteresis();
        const double down = b.d->GetSchmittThreshold();
        const double stepVolts = 2.0 * 5.0 / rate + 0.02;
        if (std::fabs(vin - up) < stepVolts || std::fabs(vin - down) < stepVolts) continue;
        ours.push_back(schmitt->GetTerminal(1)->GetVoltage());
        samples.push_back({NameOf("s", k), V(schmitt, 1), (k - 1) / rate});
    }
    if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
    std::string missing;
    const auto spice = RunNgspice(netlist, "tran 0.2m 2.1 0 0.2m\n" + Measures(samples), &missing);
    ASSERT_EQ(spice.size(), samples.size()) << missing;
    double worstT = 0.0, worstS = 0.0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double theirs = spice.at(samples[i].name);
        const bool transformer = samples[i].name[0] == 't';
        EXPECT_NEAR(theirs, ours[i], transformer ? 0.01 : 0.05) << samples[i].name;
        double& worst = transformer ? worstT : worstS;
        worst = std::max(worst, std::fabs(theirs - ours[i]));
    }
    std::printf("transformer: largest difference %.3g V; Schmitt trigger: largest difference %.3g V (%zu samples)\n",
                worstT, worstS, samples.size());
}

TEST(NetlistSubcircuits, LogicClockMatchesSampleBySample)
{
    // The clock is low for three steps and high for two; started part-way
    // through its count, compared at every step for four periods.
    for (int skipped : {0, 3}) {
        SCOPED_TRACE(skipped);
        ExportBench b;
        auto* clock = b.Add("CClock");
        auto* r = b.Add("CResistor", 1000.0, true);
        auto* earth = b.Add("CEarth");
        b.Wire(clock, 0, r, 0);
        b.Wire(r, 1, earth, 0);
        b.d->ResetRun(0);
        for (int i = 0; i < skipped; ++i) b.d->RunSolverPass();
        const double rate = b.d->GetUpdateRate();
        QTemporaryDir dir;
        const QString netlist = b.Export(dir);
        std::vector<Sample> samples;
        std::vector<double> ours;
        for (int k = 1; k <= 20; ++k) {
            b.d->RunSolverPass();
            ours.push_back(clock->GetTerminal(0)->GetVoltage());
            samples.push_back({NameOf("c", k), V(clock, 0), (k - 1) / rate});
        }
        if (!HaveNgspice()) GTEST_SKIP() << kNoNgspice;
        std::string missing;
        const auto spice = RunNgspice(netlist, "tran 10m 4.2\n" + Measures(samples), &missing);
        ASSERT_EQ(spice.size(), samples.size()) << missing;
        std::string row;
        for (size_t i = 0; i < samples.size(); ++i) {
            EXPECT_NEAR(spice.at(samples[i].name), ours[i], 1e-3) << samples[i].name;
            row += ours[i] > 2.5 ? '1' : '0';
        }
        std::printf("clock from count %d: workbench levels %s agree with ngspice\n", skipped, row.c_str());
    }
}
