// The thyristor latching and holding, the MOSFETs as switches (against the
// exact level chord of their model and against ngspice's level-1 MOSFET
// with KP 2 and VTO 1) and the voltage limits of the three-pin parts.
#include "components/component_kit.h"
#include "components/mosfet_n.h"
#include "components/mosfet_p.h"
#include "components/npn.h"
#include "components/pnp.h"
#include "components/thyristor.h"
#include "model/components/explode.h"
#include "semis_support.h"

#include <gtest/gtest.h>

namespace {

// supply -> 470 ohms -> anode; the gate fed from its own cell through 1k.
struct ThyristorBench {
    SemisBench b;
    CDiodesCell* supply;
    CDiodesCell* gateCell;
    CDiodesResistor* load;
    CDiodesResistor* rg;
    CThyristor* t;

    ThyristorBench()
    {
        supply = b.Cell(9.0);
        gateCell = b.Cell(0.0);
        load = b.R(470.0);
        rg = b.R(1000.0);
        t = b.Part<CThyristor>();
        b.Wire(supply->A(), load->A());
        b.Wire(load->B(), t->Anode());
        b.Wire(gateCell->A(), rg->A());
        b.Wire(rg->B(), t->Gate());
        b.Wire(t->Cathode(), supply->B());
        b.Wire(gateCell->B(), supply->B());
        b.Start();
    }
    double Current() const { return std::fabs(load->A()->GetCurrent()); }
};

TEST(SemisThyristor, LatchesOnAGatePulseAndHoldsUntilTheCurrentFalls)
{
    ThyristorBench bench;
    bench.b.Run();
    EXPECT_FALSE(bench.t->IsOn());
    EXPECT_LT(bench.Current(), 1e-6);

    // A gate pulse of about 4 mA fires it.
    bench.gateCell->emf = 5.0;
    bench.b.Run();
    ASSERT_TRUE(bench.t->IsOn());
    EXPECT_GT(bench.Current(), 0.015);

    // The gate released: it holds, carrying about 17 mA.
    bench.gateCell->emf = 0.0;
    bench.b.Run(5);
    EXPECT_TRUE(bench.t->IsOn());
    EXPECT_GT(bench.Current(), 0.015);

    // The supply brought down below the holding current (5 mA): off.
    bench.supply->emf = 2.0;
    bench.b.Run(5);
    EXPECT_FALSE(bench.t->IsOn());
    EXPECT_LT(bench.Current(), 1e-6);

    // And it stays off when the supply comes back without a gate pulse.
    bench.supply->emf = 9.0;
    bench.b.Run(5);
    EXPECT_FALSE(bench.t->IsOn());
    EXPECT_LT(bench.Current(), 1e-6);
    EXPECT_FALSE(bench.t->IsBroken());
}

TEST(SemisThyristor, AResetRunStartsOff)
{
    ThyristorBench bench;
    bench.gateCell->emf = 5.0;
    bench.b.Run();
    ASSERT_TRUE(bench.t->IsOn());
    bench.t->ResetSimulation();
    EXPECT_EQ(bench.t->Model().GetState(), 3);
    bench.gateCell->emf = 0.0;
    bench.b.Run();
    EXPECT_FALSE(bench.t->IsOn());
}

TEST(SemisThyristor, PinsAnodeGateCathode)
{
    CCircuit d;
    auto* t = AddRealPart<CThyristor>(d, 100, 100);
    ASSERT_EQ(t->GetTerminalCount(), 3);
    EXPECT_LT(t->Anode()->GetPinPoint().y, t->Cathode()->GetPinPoint().y);
    EXPECT_LT(t->Gate()->GetPinPoint().x, t->Anode()->GetPinPoint().x);
    EXPECT_DOUBLE_EQ(t->m_dMaxV, 400.0);
    EXPECT_DOUBLE_EQ(t->m_dMaxI, 2.0);
}

// n: supply -> rd -> outer A (the drain in the starting mode), outer B to 0,
// the gate on its own cell.  p: outer A at the supply, outer B -> rd -> 0.
template <class T>
struct FetBench {
    SemisBench b;
    CDiodesCell* supply;
    CDiodesCell* gateCell;
    CDiodesResistor* rd;
    T* q;

    FetBench(double vdd, double vg, double ohms)
    {
        const bool p = std::is_same_v<T, CMOSFETp>;
        supply = b.Cell(vdd);
        gateCell = b.Cell(vg);
        rd = b.R(ohms);
        q = b.template Part<T>();
        if (p) {
            b.Wire(supply->A(), q->OuterA());
            b.Wire(q->OuterB(), rd->A());
            b.Wire(rd->B(), supply->B());
        } else {
            b.Wire(supply->A(), rd->A());
            b.Wire(rd->B(), q->OuterA());
            b.Wire(q->OuterB(), supply->B());
        }
        b.Wire(gateCell->A(), q->Gate());
        b.Wire(gateCell->B(), supply->B());
        b.Start();
        b.Run();
    }
    double Vds() const { return std::fabs(q->OuterA()->GetVoltage() - q->OuterB()->GetVoltage()); }
    double Current() const { return std::fabs(rd->A()->GetCurrent()); }
};

template <class T>
void CheckSwitch(double vdd, double overdrive, double rd)
{
    const bool p = std::is_same_v<T, CMOSFETp>;
    const double vg = p ? vdd - 1.0 - overdrive : 1.0 + overdrive;
    FetBench<T> on(vdd, vg, rd);
    ASSERT_FALSE(on.q->IsBroken());
    // The exact answer of the model: the drain stays in its first level
    // (below 0.05 V), where the chord is a conductance s (2e + 1) with e the
    // gate overdrive in whole steps of s = 0.05 V.
    const double s = 0.05;
    const double e = std::floor((overdrive - 0.000001) / s);
    const double g = s * (2.0 * e + 1.0) + 1e-11;
    const double exact = vdd / (1.0 + rd * g);
    EXPECT_NEAR(on.Vds(), exact, 1e-9) << overdrive;
    EXPECT_NEAR(on.Current(), (vdd - exact) / rd, 1e-12);

    const std::string model = p ? ".model M PMOS(LEVEL=1 KP=2 VTO=-1)\n" : ".model M NMOS(LEVEL=1 KP=2 VTO=1)\n";
    const std::string cards = "V1 dd 0 " + SpiceNum(vdd) + "\nVG g 0 " + SpiceNum(vg) +
                              (p ? "\nRD d 0 " + SpiceNum(rd) + "\nM1 d g dd dd M L=10u W=10u\n"
                                 : "\nRD dd d " + SpiceNum(rd) + "\nM1 d g 0 0 M L=10u W=10u\n") +
                              model;
    std::string missing;
    auto spice = SpiceOperatingPoint(cards, "v(d)", &missing);
    if (!missing.empty()) {
        std::printf("[  SKIPPED ] MOSFET against ngspice: %s\n", missing.c_str());
    } else {
        ASSERT_EQ(spice.count("v(d)"), 1u) << cards;
        const double sv = p ? vdd - spice["v(d)"] : spice["v(d)"];
        EXPECT_NEAR(on.Vds(), sv, 0.003);
        const double si = (vdd - sv) / rd;
        EXPECT_NEAR(on.Current(), si, 0.005 * si);
    }

    // Gate at the source: off, the whole supply across it.
    FetBench<T> off(vdd, p ? vdd : 0.0, rd);
    EXPECT_NEAR(off.Vds(), vdd, 1e-6);
    EXPECT_LT(off.Current(), 1e-9);
}

TEST(SemisMosfet, NChannelSwitch)
{
    CheckSwitch<CMOSFETn>(9.0, 4.0, 1000.0);
    CheckSwitch<CMOSFETn>(12.0, 2.0, 100.0);
}

TEST(SemisMosfet, PChannelSwitch)
{
    CheckSwitch<CMOSFETp>(9.0, 4.0, 1000.0);
}

TEST(SemisMosfet, OuterPinsAreInterchangeable)
{
    // The n-channel switch wired the other way round conducts the same.
    SemisBench b;
    auto* supply = b.Cell(9.0);
    auto* gate = b.Cell(5.0);
    auto* rd = b.R(1000.0);
    auto* q = b.Part<CMOSFETn>();
    b.Wire(supply->A(), rd->A());
    b.Wire(rd->B(), q->OuterB());
    b.Wire(q->OuterA(), supply->B());
    b.Wire(gate->A(), q->Gate());
    b.Wire(gate->B(), supply->B());
    b.Start();
    b.Run();
    EXPECT_EQ(q->Drain(), q->OuterB());
        // 3.999999 V over the 1.000001 V threshold: gate level 79, drain level 0.
    EXPECT_NEAR(std::fabs(rd->A()->GetCurrent()), 9.0 / (1000.0 + 1.0 / (0.05 * 159.0 + 1e-11)), 1e-12);
}

// Burn-out by the parts' own voltage limits: one cell across two pins.
template <class T>
T* Across(SemisBench& b, int plus, int minus, double volts)
{
    auto* cell = b.Cell(volts);
    auto* q = b.template Part<T>();
    b.Wire(cell->A(), q->GetTerminal(plus));
    b.Wire(q->GetTerminal(minus), cell->B());
    b.Start();
    b.Run(2);
    return q;
}

TEST(SemisLimits, ThreePinPartsBurnOutByTheirOwnLimits)
{
    struct Case {
        const char* what;
        int plus, minus;
        double volts;
        WORD message;  // 0: survives
    };
    auto run = [](auto* type, const Case& c) {
        using T = std::remove_pointer_t<decltype(type)>;
        SemisBench b;
        T* q = Across<T>(b, c.plus, c.minus, c.volts);
        if (c.message == 0) {
            EXPECT_FALSE(q->IsBroken()) << c.what;
        } else {
            ASSERT_TRUE(q->IsBroken()) << c.what;
            EXPECT_EQ(q->GetExplosion()->m_wMessageId, c.message) << c.what;
            EXPECT_EQ(q->GetExplosion()->m_cUnit, 'V') << c.what;
        }
    };
    // NPN pins: collector 0, base 1, emitter 2.
    run((CNPN*)nullptr, {"NPN emitter 6 V above base", 2, 1, 6.0, 14});
    run((CNPN*)nullptr, {"NPN emitter 4.9 V above base", 2, 1, 4.9, 0});
    run((CNPN*)nullptr, {"NPN collector 76 V above base", 0, 1, 76.0, 17});
    // PNP pins: emitter 0, base 1, collector 2.
    run((CPNP*)nullptr, {"PNP base 6 V above emitter", 1, 0, 6.0, 14});
    // MOSFET pins: outer A 0, gate 1, outer B 2.
    run((CMOSFETn*)nullptr, {"gate 21 V above B", 1, 2, 21.0, 4133});
    run((CMOSFETn*)nullptr, {"gate 19 V above B", 1, 2, 19.0, 0});
    run((CMOSFETp*)nullptr, {"A 101 V above B", 0, 2, 101.0, 4132});
}

TEST(SemisLimits, UnwiredEmitterEscapesTheCollectorEmitterTest)
{
    // 70 V from collector to base with the emitter open: over Vce (60) but
    // the emitter is not wired, and under Vcb (75).
    SemisBench b;
    CNPN* q = Across<CNPN>(b, 0, 1, 70.0);
    EXPECT_FALSE(q->IsBroken());
}

TEST(SemisLimits, IndestructibleDesignRunsNoneOfThem)
{
    SemisBench b;
    b.d.SetOptionBits(OPT_INDESTRUCTIBLE, true);
    CNPN* q = Across<CNPN>(b, 2, 1, 20.0);
    EXPECT_FALSE(q->IsBroken());
}

} // namespace
