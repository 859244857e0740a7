// Diodes and LEDs in real circuits: the solved loop against the exponential
// diode law, reverse blocking, LED knees and brightness levels, burn-out
// above the ratings, and the variant orientations.
#include "components/diode.h"
#include "components/led.h"
#include "diodes_support.h"
#include "model/components/explode.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// cell + -> R -> anode, cathode -> cell -: the loop of one diode.
template <class D>
struct DiodeLoop {
    CCircuit d;
    CDiodesCell* cell;
    CDiodesResistor* r;
    D* diode;

    DiodeLoop(double emf, double ohms, bool reversed = false)
    {
        cell = AddTestPart<CDiodesCell>(d, 100, 300);
        r = AddTestPart<CDiodesResistor>(d, 300, 100);
        diode = AddRealPart<D>(d, 500, 300);
        cell->emf = emf;
        r->ohms = ohms;
        CTerminal* anode = diode->GetTerminal(0);
        CTerminal* cathode = diode->GetTerminal(1);
        Join(d, cell->A(), r->A());
        Join(d, r->B(), reversed ? cathode : anode);
        Join(d, reversed ? anode : cathode, cell->B());
        d.ResetRun(0);
    }
    void Run(int passes = 3)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
    double Current() const { return r->A()->GetCurrent(); }
};

TEST(Diodes, TwoTerminalsAnodeFirstInEveryOrientation)
{
    for (int code : {0, 1, 2, 3}) {
        CCircuit d;
        auto* p = new CDiode;
        p->m_pCircuit = &d;
        p->m_nOrientation = code;
        p->Initialise();
        ASSERT_EQ(p->GetTerminalCount(), 2) << code;
        // The anode is the pin the triangle points away from: on top at
        // code 0 (pointing down), left at code 3, below at 2, right at 1.
        const CPoint a = p->GetTerminal(0)->GetPinPoint(), k = p->GetTerminal(1)->GetPinPoint();
        const CPoint wantDir[] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
        const CPoint dir((k.x > a.x) - (k.x < a.x), (k.y > a.y) - (k.y < a.y));
        EXPECT_EQ(dir, wantDir[code]) << code;
        delete p;
    }
}

TEST(Diodes, ForwardLoopFollowsTheExponentialLaw)
{
    struct Case {
        double emf, ohms;
    };
    for (const Case c : {Case{5.0, 1000.0}, Case{2.0, 100.0}, Case{9.0, 10000.0}, Case{1.2, 1000.0}}) {
        DiodeLoop<CDiode> loop(c.emf, c.ohms);
        loop.Run();
        const double want = LoopCurrent(c.emf, c.ohms, 0.35);
        const double v = loop.diode->GetForwardVoltage();
        // Within the chord error in voltage, and so within error/R in current.
        EXPECT_NEAR(v, DiodeVoltageAt(want, 0.35), kChordError + 1e-6) << c.emf << " V, " << c.ohms;
        EXPECT_NEAR(loop.Current(), want, (kChordError + 1e-6) / c.ohms) << c.emf << " V, " << c.ohms;
        EXPECT_NEAR(loop.diode->GetModelCurrent(), loop.Current(), 1e-9);
        EXPECT_FALSE(loop.diode->IsBroken());
    }
}

TEST(Diodes, ReverseVoltageIsBlocked)
{
    DiodeLoop<CDiode> loop(50.0, 1000.0, true);
    loop.Run();
    // Only the off segment's leakage of 5e-11 S flows: 2.5 nA.
    EXPECT_NEAR(std::fabs(loop.Current()), 50.0 * 5e-11, 1e-12);
    EXPECT_NEAR(loop.diode->GetForwardVoltage(), -50.0 + 1000.0 * 50.0 * 5e-11, 1e-9);
    EXPECT_FALSE(loop.diode->IsBroken());
}

TEST(Diodes, BurnsOutAboveItsRatings)
{
    struct Case {
        double emf, ohms;
        bool reversed, breaks;
    };
    const Case cases[] = {
        {5.0, 10.0, false, false},   // 0.43 A
        {5.0, 1.0, false, true},     // above 1 A
        {400.0, 1000.0, true, false},// 400 V reverse, the rating itself
        {401.0, 1000.0, true, true}, // above MaxRV
    };
    for (const Case& c : cases) {
        DiodeLoop<CDiode> loop(c.emf, c.ohms, c.reversed);
        loop.Run();
        EXPECT_EQ(loop.diode->IsBroken() != 0, c.breaks) << c.emf << " V " << c.ohms;
        if (c.breaks) {
            EXPECT_NE(loop.diode->GetExplosion(), nullptr);
        }
    }
}

TEST(Diodes, IndestructibleDesignKeepsTheDiode)
{
    DiodeLoop<CDiode> loop(5.0, 1.0);
    loop.d.SetOptionBits(OPT_INDESTRUCTIBLE, true);
    loop.Run();
    EXPECT_FALSE(loop.diode->IsBroken());
}

TEST(Diodes, LedBrightnessOfCurrent)
{
    struct Case {
        double amps;
        int level;
    };
    for (const Case c : {Case{-1e-9, 0}, Case{0.0, 0}, Case{0.00099, 0}, Case{0.001, 1}, Case{0.0035, 3},
                         Case{0.0099, 9}, Case{0.01, 10}, Case{0.02, 10}})
        EXPECT_EQ(CLED::BrightnessOfCurrent(c.amps), c.level) << c.amps;
}

template <class L>
void CheckLedColour(double knee)
{
    // Mid-level currents, so the chord error cannot move the level.
    for (double target : {0.0035, 0.0075, 0.02}) {
        const double ohms = 470.0;
        const double emf = DiodeVoltageAt(target, knee) + target * ohms;
        DiodeLoop<L> loop(emf, ohms);
        loop.Run();
        const double i = loop.Current();
        EXPECT_NEAR(i, target, kChordError / ohms + 1e-6) << knee;
        EXPECT_NEAR(loop.diode->GetForwardVoltage(), DiodeVoltageAt(target, knee), kChordError + 1e-6);
        EXPECT_EQ(loop.diode->m_wStateWord, CLED::BrightnessOfCurrent(target)) << target;
    }
    // Below the knee almost nothing flows; reversed, the level is 0.
    DiodeLoop<L> below(knee - 0.05, 10.0);
    below.Run();
    EXPECT_LT(below.Current(), kIs);
    EXPECT_EQ(below.diode->m_wStateWord, 0);
    DiodeLoop<L> reverse(5.0, 100.0, true);
    reverse.Run();
    EXPECT_EQ(reverse.diode->m_wStateWord, 0);
    EXPECT_FALSE(reverse.diode->IsBroken());
}

TEST(Diodes, LedColoursHaveTheirKnees)
{
    CheckLedColour<CLED>(1.567);
    CheckLedColour<CLED_G>(1.767);
    CheckLedColour<CLED_Y>(1.667);
}

TEST(Diodes, GreenNeedsMoreVoltageThanRed)
{
    // At 1.7 V through 10 ohms the red LED is past its knee, the green not.
    DiodeLoop<CLED> red(1.7, 10.0);
    DiodeLoop<CLED_G> green(1.7, 10.0);
    red.Run();
    green.Run();
    EXPECT_GT(red.Current(), 10 * kIs);
    EXPECT_LT(green.Current(), kIs);
}

TEST(Diodes, LedBurnsOutAndKeepsItsLevel)
{
    // 30 mA is the rating: 25 mA lives, 40 mA breaks it; 10 V reverse breaks it.
    DiodeLoop<CLED> ok(DiodeVoltageAt(0.025, 1.567) + 0.025 * 100.0, 100.0);
    ok.Run();
    EXPECT_FALSE(ok.diode->IsBroken());
    EXPECT_EQ(ok.diode->m_wStateWord, 10);

    DiodeLoop<CLED> lit(DiodeVoltageAt(0.0055, 1.567) + 0.0055 * 100.0, 100.0);
    lit.Run();
    ASSERT_EQ(lit.diode->m_wStateWord, 5);
    lit.cell->emf = DiodeVoltageAt(0.04, 1.567) + 0.04 * 100.0;
    lit.Run(1);
    EXPECT_TRUE(lit.diode->IsBroken());
    EXPECT_EQ(lit.diode->m_wStateWord, 5);
    lit.Run(2);
    EXPECT_EQ(lit.diode->m_wStateWord, 5);

    DiodeLoop<CLED> reverse(10.0, 100.0, true);
    reverse.Run();
    EXPECT_TRUE(reverse.diode->IsBroken());
}

TEST(Diodes, ResetStateDarkensTheLed)
{
    DiodeLoop<CLED> lit(DiodeVoltageAt(0.0055, 1.567) + 0.0055 * 100.0, 100.0);
    lit.Run();
    ASSERT_EQ(lit.diode->m_wStateWord, 5);
    lit.diode->ResetState();
    EXPECT_EQ(lit.diode->m_wStateWord, 0);
}

TEST(Diodes, CatalogueVariantsChooseTheOrientation)
{
    struct Case {
        int command;
        int code;
    };
    // The Add menu builds the row's part and sets it up from the row's class:
    // CDiodeD, CDiodeR, CDiodeU, CDiodeL and the plain diode.
    auto& catalogue = PartCatalogue::Get();
    for (const Case c : {Case{32902, 0}, Case{32904, 3}, Case{32903, 2}, Case{32905, 1}, Case{33532, 1}}) {
        std::unique_ptr<CObject> obj(catalogue.CreateById(c.command, nullptr, nullptr));
        auto* diode = dynamic_cast<CDiode*>(obj.get());
        ASSERT_NE(diode, nullptr) << c.command;
        const PartCatalogueEntry& row = catalogue.GetRow(catalogue.FindCommand(c.command));
        diode->InitVariant(CRuntimeClass::FromName(row.className));
        EXPECT_EQ(diode->m_nOrientation, c.code) << c.command;
    }
    // The LEDs start at code 7 and their old names build the colour.
    for (int command : {33960, 33961, 33962, 32896, 32925, 32927}) {
        std::unique_ptr<CObject> obj(catalogue.CreateById(command, nullptr, nullptr));
        auto* led = dynamic_cast<CLED*>(obj.get());
        ASSERT_NE(led, nullptr) << command;
        led->InitVariant(led->GetRuntimeClass());
        EXPECT_EQ(led->m_nOrientation, 7);
    }
    std::unique_ptr<CObject> g(catalogue.CreateById(32925, nullptr, nullptr));
    ASSERT_NE(dynamic_cast<CLED_G*>(g.get()), nullptr);
    EXPECT_DOUBLE_EQ(static_cast<CLED_G*>(g.get())->Model().GetKnee(), 1.767);
}

TEST(Diodes, OldClassNamesTakeTheirOrientationAfterLoading)
{
    struct Case {
        const char* name;
        int code;
    };
    ASSERT_TRUE(LegacyClassesRegistered());
    for (const Case c : {Case{"CDiodeD", 0}, Case{"CDiodeR", 3}, Case{"CDiodeU", 2}, Case{"CDiodeL", 1}}) {
        CCircuit d;
        // Reading an old record creates the current class with the old one pending.
        std::unique_ptr<CObject> obj(CRuntimeClass::CreateObject(c.name));
        auto* diode = dynamic_cast<CDiode*>(obj.get());
        ASSERT_NE(diode, nullptr) << c.name;
        diode->AfterLoad(&d, 0, kCurrentVersion);
        EXPECT_EQ(diode->m_nOrientation, c.code) << c.name;
    }
}

} // namespace
