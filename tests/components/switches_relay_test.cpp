// Relays: the coil is 10 H in series with 102.5 ohm, so a steady coil
// voltage V settles at V / 102.5 through the coil model (plus V x
// 0.0002439 through the shunt).  The contacts pull in above 0.039 A and
// drop out at 0.0195 A or below, one step after the coil current crosses.
#include "switches_bench.h"

#include "components/relaydpdt.h"
#include "components/relayspdt.h"

namespace {

// A cell across the coil and 5 V through 1 k into the common, with a
// 1 k load back from each contact.
template <class T>
struct RelayRig {
    SwitchBench b;
    T* relay;
    CDiodesCell* coilCell;
    CDiodesResistor* operatedLoad;
    CDiodesResistor* restLoad;
    RelayRig(int common, int coilA, int operated, int rest)
    {
        relay = b.Add<T>(300, 300);
        coilCell = AddTestPart<CDiodesCell>(b.d, 40, 100);
        Join(b.d, coilCell->A(), relay->GetTerminal(coilA));
        Join(b.d, relay->GetTerminal(coilA + 1), coilCell->B());
        auto* cell = AddTestPart<CDiodesCell>(b.d, 600, 40);
        cell->emf = 5.0;
        auto* feed = AddTestPart<CDiodesResistor>(b.d, 600, 120);
        Join(b.d, cell->A(), feed->A());
        Join(b.d, feed->B(), relay->GetTerminal(common));
        operatedLoad = AddTestPart<CDiodesResistor>(b.d, 700, 700);
        restLoad = AddTestPart<CDiodesResistor>(b.d, 700, 800);
        Join(b.d, relay->GetTerminal(operated), operatedLoad->A());
        Join(b.d, relay->GetTerminal(rest), restLoad->A());
        Join(b.d, operatedLoad->B(), cell->B());
        Join(b.d, restLoad->B(), cell->B());
        b.Start();
    }
    // Runs until the coil current has settled at V / 102.5.
    void Settle(double amps)
    {
        coilCell->emf = amps * CRelaySPDT::kCoilResistance;
        b.Run(60);
        ASSERT_NEAR(relay->GetCoilCurrent(), amps, 1e-9);
    }
    // Which contact carries the common's 2.5 mA.
    bool Operated() const { return std::fabs(Amps(operatedLoad) - 0.0025) < 1e-9; }
    bool Rest() const { return std::fabs(Amps(restLoad) - 0.0025) < 1e-9; }
};

struct SingleRig : RelayRig<CRelaySPDT> {
    SingleRig() : RelayRig<CRelaySPDT>(0, 1, 3, 4) {}
};

TEST(SwitchesRelay, PinsAndRatings)
{
    SwitchBench b;
    auto* one = b.Add<CRelaySPDT>(100, 100);
    auto* two = b.Add<CRelayDPDT>(300, 100);
    EXPECT_EQ(one->GetTerminalCount(), 5);
    EXPECT_EQ(two->GetTerminalCount(), 8);
    EXPECT_DOUBLE_EQ(one->m_dMaxI, 5.0);
    EXPECT_DOUBLE_EQ(one->m_dMaxV, 400.0);
    EXPECT_DOUBLE_EQ(one->m_dMaxP, 1.0);
    EXPECT_EQ(one->GetFirstChild(), one->GetTerminal(0));
}

TEST(SwitchesRelay, PullsInAboveThirtyNineMilliampsAndDropsOutAtNineteenAndAHalf)
{
    SingleRig r;
    struct Step {
        double amps;
        int state;
    };
    // Up through the pull-in current, then down through the drop-out.
    const Step steps[] = {{0.030, 0}, {0.0389, 0}, {0.0391, 1}, {0.030, 1},
                          {0.0196, 1}, {0.0194, 0}, {0.030, 0}, {0.040, 1}};
    for (const Step& s : steps) {
        r.Settle(s.amps);
        EXPECT_EQ(r.relay->m_wStateWord, s.state) << s.amps;
        EXPECT_EQ(r.Operated(), s.state == 1) << s.amps;
        EXPECT_EQ(r.Rest(), s.state == 0) << s.amps;
    }
}

TEST(SwitchesRelay, AChangedContactActsFromTheNextStep)
{
    SingleRig r;
    r.Settle(0.030);
    // A step from 3.075 V to 10 V: the coil current rises past 0.039 A in
    // the first step (backward Euler at 5 steps a second: 102.5 + 50 ohm).
    r.coilCell->emf = 10.0;
    r.b.Run(1);
    EXPECT_GT(r.relay->GetCoilCurrent(), CRelaySPDT::kPullIn);
    EXPECT_EQ(r.relay->m_wStateWord, 1);
    EXPECT_EQ(r.relay->HasContactChanged(), 1);
    // That step still ran on the rest contact.
    EXPECT_TRUE(r.Rest());
    r.b.Run(1);
    EXPECT_TRUE(r.Operated());
    EXPECT_EQ(r.relay->HasContactChanged(), 0);
}

TEST(SwitchesRelay, TheDoubleRelaySwitchesBothPoles)
{
    // Pole 0: common 0, operated 6, rest 7; pole 1: common 1, operated 4, rest 5.
    struct Pole {
        int common, operated, rest;
    };
    for (Pole p : {Pole{0, 6, 7}, Pole{1, 4, 5}}) {
        RelayRig<CRelayDPDT> r(p.common, 2, p.operated, p.rest);
        r.Settle(0.030);
        EXPECT_TRUE(r.Rest()) << p.common;
        r.Settle(0.045);
        EXPECT_TRUE(r.Operated()) << p.common;
        r.Settle(0.019);
        EXPECT_TRUE(r.Rest()) << p.common;
    }
}

TEST(SwitchesRelay, TheCoilReachesItsOneWattRatingAtTenVolts)
{
    // Coil and shunt draw V / 100: 0.99 W at 9.95 V, 1.0201 W at 10.1 V.
    // A 12 V supply (1.44 W) burns the relay out.
    struct Case {
        double volts;
        bool burns;
    };
    for (Case c : {Case{9.95, false}, Case{10.1, true}, Case{12.0, true}}) {
        SingleRig r;
        r.coilCell->emf = c.volts;
        r.b.Run(40);
        EXPECT_EQ(r.relay->IsBroken() != 0, c.burns) << c.volts;
        if (!c.burns) {
            EXPECT_NEAR(r.relay->GetPower(), c.volts * c.volts / 100.0, 1e-6);
        }
    }
}

TEST(SwitchesRelay, ContactsBurnAboveFiveAmps)
{
    for (auto [emf, burns] : {std::pair{5.0, false}, std::pair{5.1, true}}) {
        SwitchBench b;
        auto* relay = b.Add<CRelaySPDT>(300, 300);
        b.Feed(relay->GetTerminal(0), relay->GetTerminal(4), emf, 1.0, 40, 100);
        b.Start();
        b.Run(3);
        EXPECT_EQ(relay->IsBroken() != 0, burns) << emf;
    }
}

TEST(SwitchesRelay, ABurntRelayStopsSwitching)
{
    SingleRig r;
    r.coilCell->emf = 12.0;
    r.b.Run(5);
    ASSERT_TRUE(r.relay->IsBroken());
    const int state = r.relay->m_wStateWord;
    r.coilCell->emf = 0.0;
    r.b.Run(20);
    EXPECT_EQ(r.relay->m_wStateWord, state);
}

TEST(SwitchesRelay, AResetKeepsTheContactsAndClearsTheCoil)
{
    SingleRig r;
    r.Settle(0.045);
    ASSERT_EQ(r.relay->m_wStateWord, 1);
    r.relay->ResetSimulation();
    EXPECT_EQ(r.relay->m_wStateWord, 1);
    EXPECT_EQ(r.relay->GetCoilCurrent(), 0.0);
    EXPECT_EQ(r.relay->HasContactChanged(), 0);
}

} // namespace
