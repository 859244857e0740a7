// Gates, logic inputs and indicators, the Schmitt trigger and the clock in
// real circuits, in every logic family: truth tables from the parts' own
// inputs, the ramp at the switching threshold, the Schmitt thresholds and
// hysteresis, the indicator's levels and the clock's frequency.
#include "components/and_gate.h"
#include "components/clock.h"
#include "components/inverter.h"
#include "components/latchkey.h"
#include "components/logicin.h"
#include "components/logicout.h"
#include "components/nand.h"
#include "components/nand3.h"
#include "components/nand4.h"
#include "components/nor.h"
#include "components/or_gate.h"
#include "components/schmitt.h"
#include "components/xor_gate.h"
#include "logic_support.h"
#include "model/components/explode.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct GateCase {
    const char* name;
    int inputs;
    std::function<CComponent*(LogicBench&)> make;
    std::function<bool(unsigned bits, int n)> truth;
};

template <class T>
CComponent* Make(LogicBench& b)
{
    return b.AddAt<T>(400, 400);
}

bool All(unsigned bits, int n) { return bits == (1u << n) - 1; }

const std::vector<GateCase>& Gates()
{
    static const std::vector<GateCase> cases = {
        {"NAND", 2, Make<CNAND>, [](unsigned b, int n) { return !All(b, n); }},
        {"AND", 2, Make<CAND>, [](unsigned b, int n) { return All(b, n); }},
        {"OR", 2, Make<COR>, [](unsigned b, int) { return b != 0; }},
        {"NOR", 2, Make<CNOR>, [](unsigned b, int) { return b == 0; }},
        {"Inverter", 1, Make<CInverter>, [](unsigned b, int) { return b == 0; }},
        {"NAND3", 3, Make<CNAND3>, [](unsigned b, int n) { return !All(b, n); }},
        {"NAND4", 4, Make<CNAND4>, [](unsigned b, int n) { return !All(b, n); }},
        {"XOR", 2, Make<CXOR>, [](unsigned b, int) { return b == 1 || b == 2; }},
    };
    return cases;
}

TEST(LogicGates, TruthTablesInEveryFamily)
{
    for (const LogicFamilyCase& f : LogicFamilies())
        for (const GateCase& g : Gates()) {
            LogicBench b(f.family, f.supply);
            CComponent* gate = g.make(b);
            ASSERT_EQ(gate->GetTerminalCount(), g.inputs + 1) << g.name;
            std::vector<CLogicIn*> in;
            for (int i = 0; i < g.inputs; ++i) in.push_back(b.InputTo<CLogicIn>(gate->GetTerminal(i)));
            b.Reset();
            // Every row twice, in Gray-code order and back, so that each
            // change of the controlling pin is crossed both ways.
            const int rows = 1 << g.inputs;
            for (int pass = 0; pass < 2; ++pass)
                for (int r = 0; r < rows; ++r) {
                    const int k = pass ? rows - 1 - r : r;
                    const unsigned bits = static_cast<unsigned>(k ^ (k >> 1));
                    for (int i = 0; i < g.inputs; ++i) in[i]->m_wStateWord = (bits >> i) & 1u;
                    b.Run(2);
                    for (int i = 0; i < g.inputs; ++i)
                        ASSERT_NEAR(in[i]->GetTerminal(0)->GetVoltage(), ((bits >> i) & 1u) ? f.supply : 0.0, 1e-9);
                    const double want = g.truth(bits, g.inputs) ? f.supply : 0.0;
                    EXPECT_NEAR(gate->GetTerminal(g.inputs)->GetVoltage(), want, 1e-9)
                        << g.name << " family " << f.family << " supply " << f.supply << " inputs " << bits;
                }
            EXPECT_FALSE(gate->IsBroken()) << g.name;
        }
}

TEST(LogicGates, NandFollowsTheLowInputAndSitsMidRampAtTheThreshold)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* gate = b.AddAt<CNAND>(400, 400);
        CLogicTestSource* a = b.SourceTo(gate->GetTerminal(0), 0.0);
        CLogicTestSource* c = b.SourceTo(gate->GetTerminal(1), f.supply);
        b.Reset();
        b.Run(2);
        EXPECT_NEAR(gate->GetTerminal(2)->GetVoltage(), f.supply, 1e-9);
        EXPECT_EQ(gate->GetModel().GetPresentPin(), 0);
        // The other way round the controlling pin follows.
        a->volts = f.supply;
        c->volts = 0.0;
        b.Run(2);
        EXPECT_EQ(gate->GetModel().GetPresentPin(), 1);
        EXPECT_NEAR(gate->GetTerminal(2)->GetVoltage(), f.supply, 1e-9);
        // Exactly at the threshold: the middle of the 0.1 V ramp, half the
        // high level.
        c->volts = b.d.GetLogicThreshold();
        b.Run(2);
        EXPECT_NEAR(gate->GetTerminal(2)->GetVoltage(), f.supply / 2, 1e-9) << f.family;
        // 0.05 V either side: the ends of the ramp.
        c->volts = b.d.GetLogicThreshold() + 0.05;
        b.Run(2);
        EXPECT_NEAR(gate->GetTerminal(2)->GetVoltage(), 0.0, 1e-9);
        c->volts = b.d.GetLogicThreshold() - 0.025;
        b.Run(2);
        EXPECT_NEAR(gate->GetTerminal(2)->GetVoltage(), 0.75 * f.supply, 1e-9);
    }
}

TEST(LogicGates, OutputIsANortonSourceWithTheLogicConductance)
{
    // A 1 kOhm load to ground on a high output: V = Ih / (G + 1/R).
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* gate = b.AddAt<CInverter>(400, 400);
        b.SourceTo(gate->GetTerminal(0), 0.0);
        CLogicTestSource* load = b.SourceAt(100, 600);
        auto* r = AddTestPart<CDiodesResistor>(b.d, 100, 700);
        r->ohms = 1000.0;
        Join(b.d, r->A(), load->GetTerminal(0));
        Join(b.d, r->B(), gate->GetTerminal(1));
        b.Reset();
        b.Run(2);
        const double g = b.d.GetLogicConductance();
        const double i = -b.d.GetLogicHighCurrent();
        EXPECT_NEAR(gate->GetTerminal(1)->GetVoltage(), i / (g + 1e-3), 1e-9) << f.family;
    }
}

TEST(LogicGates, SchmittSwitchesAtThresholdPlusHysteresisAndBackAtThreshold)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* st = b.AddAt<CSchmitt>(400, 400);
        CLogicTestSource* in = b.SourceTo(st->GetTerminal(0), 0.0);
        b.Reset();
        const double t = b.d.GetSchmittThreshold(), h = b.d.GetSchmittHysteresis();
        if (f.family == 0) {
            EXPECT_DOUBLE_EQ(t, 0.805);
            EXPECT_DOUBLE_EQ(h, 0.78);
        } else {
            EXPECT_DOUBLE_EQ(t, 0.44 * f.supply + 0.005);
            EXPECT_DOUBLE_EQ(h, 0.16 * f.supply - 0.02);
        }
        // Rising in 1 mV steps: the output falls first above t + h + 0.01.
        double fellAt = -1.0;
        for (int mv = 0; mv <= static_cast<int>(f.supply * 1000) && fellAt < 0; ++mv) {
            in->volts = mv / 1000.0;
            b.Run();
            if (!st->IsOutputHigh()) fellAt = in->volts;
        }
        EXPECT_GT(fellAt, t + h + 0.01 - 1e-9) << f.family;
        EXPECT_LT(fellAt, t + h + 0.01 + 0.001 + 1e-9) << f.family;
        EXPECT_NEAR(st->GetTerminal(1)->GetVoltage(), 0.0, 1e-9);
        // Falling: it rises again first below t.
        double roseAt = -1.0;
        for (int mv = static_cast<int>(fellAt * 1000); mv >= 0 && roseAt < 0; --mv) {
            in->volts = mv / 1000.0;
            b.Run();
            if (st->IsOutputHigh()) roseAt = in->volts;
        }
        EXPECT_LT(roseAt, t + 1e-9) << f.family;
        EXPECT_GT(roseAt, t - 0.001 - 1e-9) << f.family;
        b.Run();
        EXPECT_NEAR(st->GetTerminal(1)->GetVoltage(), f.supply, 1e-9);
    }
}

TEST(LogicGates, IndicatorLevelsAtTheInputThresholds)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* out = b.AddAt<CLogicOut>(400, 400);
        CLogicTestSource* in = b.SourceTo(out->GetTerminal(0), 0.0);
        b.Reset();
        const double lo = b.d.GetInputLowThreshold(), hi = b.d.GetInputHighThreshold();
        struct Row {
            double v;
            int level;
        };
        for (const Row r : {Row{0.0, 0}, Row{lo, 0}, Row{lo + 1e-3, 1}, Row{hi - 1e-3, 1}, Row{hi, 2},
                            Row{f.supply, 2}, Row{lo, 0}}) {
            in->volts = r.v;
            b.Run();
            EXPECT_EQ(out->m_wStateWord, r.level) << f.family << " at " << r.v;
        }
    }
}

TEST(LogicGates, LogicInputKeepsItsLevelThroughAReset)
{
    LogicBench b;
    auto* in = b.AddAt<CLogicIn>(400, 400);
    b.Reset();
    in->SetInputValue(&b.d, 1);
    in->OnSimulationStopped();
    b.Reset();
    b.Run();
    EXPECT_TRUE(in->IsOn());
    EXPECT_NEAR(in->GetTerminal(0)->GetVoltage(), 5.0, 1e-12);
    in->SetInputValue(&b.d, 0);
    b.Run();
    EXPECT_NEAR(in->GetTerminal(0)->GetVoltage(), 0.0, 1e-12);
}

TEST(LogicGates, TheLatchKeyBesideTheInputSwitchesIt)
{
    LogicBench b;
    auto* in = b.AddAt<CLogicIn>(400, 400);
    CLatchKey* key = nullptr;
    for (CPart* c = in->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* k = dynamic_cast<CLatchKey*>(c)) key = k;
    ASSERT_NE(key, nullptr);
    // 16 x 14, on the part's left, clear of it.
    EXPECT_EQ(key->m_rect.Size(), CSize(16, 14));
    EXPECT_LE(key->m_rect.right, in->m_rect.left);
    b.Reset();
    // A press only holds the key; the release latches the level, and a
    // second press and release latches it off again.
    const double levels[] = {5.0, 0.0, 5.0};
    for (double want : levels) {
        key->OnPress(&b.d, 0, 0);
        b.Run();
        EXPECT_NEAR(in->GetTerminal(0)->GetVoltage(), 5.0 - want, 1e-12);
        key->OnRelease(&b.d, 0, 0);
        b.Run();
        EXPECT_NEAR(in->GetTerminal(0)->GetVoltage(), want, 1e-12);
    }
}

TEST(LogicGates, ClockRunsAtAFifthOfTheUpdateRate)
{
    for (double rate : {5.0, 50.0, 1000.0, 10000.0}) {
        LogicBench b;
        b.d.SetUpdateRate(rate);
        auto* clk = b.AddAt<CClock>(400, 400);
        b.Reset();
        // Rising edges over a whole number of periods, and the duty cycle.
        const int steps = 500;
        int rising = 0, high = 0;
        double last = 0.0;
        for (int i = 0; i < steps; ++i) {
            b.Run();
            const double v = clk->GetTerminal(0)->GetVoltage();
            if (v > 2.5 && last < 2.5) ++rising;
            if (v > 2.5) ++high;
            last = v;
        }
        const double seconds = steps / rate;
        EXPECT_DOUBLE_EQ(rising / seconds, rate / 5) << rate;
        EXPECT_EQ(high, steps * 2 / 5);
    }
}

TEST(LogicGates, OutputsBurnOutBeyondTheRails)
{
    // An input held more than 1 V beyond a rail exceeds MaxRV = 1 V (an
    // input draws nothing, so only the voltage counts).
    struct Case {
        double volts;
        bool broken;
    };
    for (const Case c : {Case{6.0, false}, Case{6.1, true}, Case{-1.0, false}, Case{-1.1, true}}) {
        LogicBench b;
        auto* gate = b.AddAt<CAND>(400, 400);
        b.SourceTo(gate->GetTerminal(0), c.volts);
        b.SourceTo(gate->GetTerminal(1), 0.0);
        b.Reset();
        b.Run();
        EXPECT_EQ(gate->IsBroken() != 0, c.broken) << c.volts;
    }
    // A short of a high output to ground: 0.3 A through it, beyond 50 mA.
    LogicBench b;
    auto* gate = b.AddAt<CInverter>(400, 400);
    b.SourceTo(gate->GetTerminal(0), 0.0);
    b.SourceTo(gate->GetTerminal(1), 0.0);
    b.Reset();
    b.Run();
    EXPECT_TRUE(gate->IsBroken());
}

} // namespace
