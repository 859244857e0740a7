// Bulb and filament lamp: brightness levels and light output from the
// voltage across them, the filament's square-root law, burn-out and the
// light coupling through the design.
#include "components/bulb.h"
#include "components/component_kit.h"
#include "components/filament.h"
#include "diodes_support.h"
#include "model/components/explode.h"
#include "model/display/visual.h"

#include <gtest/gtest.h>

namespace {

// An ideal cell straight across the lamp.
template <class L>
struct LampLoop {
    CCircuit d;
    CDiodesCell* cell;
    L* lamp;

    explicit LampLoop(double emf)
    {
        cell = AddTestPart<CDiodesCell>(d, 100, 300);
        lamp = AddRealPart<L>(d, 400, 300);
        cell->emf = emf;
        Join(d, cell->A(), lamp->GetTerminal(0));
        Join(d, lamp->GetTerminal(1), cell->B());
        d.ResetRun(0);
    }
    void Run(int passes = 3)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
    double Current() const { return cell->A()->GetCurrent(); }
};

TEST(Lamps, BulbLevelsAndLight)
{
    struct Case {
        double volts;
        int level;
        double light;
    };
    const Case cases[] = {
        {0.0, 0, 0.0},    {1.4, 0, 0.0},       {1.5, 1, 0.0},  {1.7, 1, 0.0},     {3.0, 4, 180.0},
        {5.5, 9, 817.5},  {-5.5, 9, 817.5},    {6.0, 10, 990.0}, {7.0, 10, 1000.0}, {9.0, 10, 1000.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CBulb::LevelAt(c.volts), c.level) << c.volts;
        EXPECT_NEAR(CBulb::LightAt(c.volts), c.light, 1e-9) << c.volts;
    }
}

TEST(Lamps, BulbInACircuit)
{
    LampLoop<CBulb> loop(5.5);
    loop.Run();
    // 100 ohms.
    EXPECT_NEAR(std::fabs(loop.Current()), 0.055, 1e-12);
    EXPECT_EQ(loop.lamp->m_wStateWord, 9);
    EXPECT_NEAR(loop.lamp->GetLightOutput(), 817.5, 1e-9);
    EXPECT_EQ(loop.lamp->CoupleLight(nullptr), 2);
    EXPECT_EQ(loop.lamp->GetProbeQuantities(0, 0), 1027u);
    loop.lamp->ResetSimulation();
    EXPECT_EQ(loop.lamp->m_wStateWord, 0);
    EXPECT_EQ(loop.lamp->GetLightOutput(), 0.0);
}

TEST(Lamps, BulbBurnsOutAboveNineVolts)
{
    LampLoop<CBulb> ok(9.0);
    ok.Run();
    EXPECT_FALSE(ok.lamp->IsBroken());
    LampLoop<CBulb> over(9.1);
    over.Run(1);
    ASSERT_TRUE(over.lamp->IsBroken());
    EXPECT_EQ(over.lamp->GetExplosion()->m_wMessageId, 10);
    // A broken lamp stops updating its light.
    const double light = over.lamp->GetLightOutput();
    over.cell->emf = 3.0;
    over.Run();
    EXPECT_EQ(over.lamp->GetLightOutput(), light);
}

TEST(Lamps, FilamentLevelsAndLight)
{
    EXPECT_EQ(CFilament::LevelAt(2.99, false), 0);
    EXPECT_EQ(CFilament::LevelAt(2.9951, false), 1);
    EXPECT_EQ(CFilament::LevelAt(11.0, false), 9);
    EXPECT_EQ(CFilament::LevelAt(11.99, false), 9);
    EXPECT_EQ(CFilament::LevelAt(12.0, false), 10);
    EXPECT_NEAR(CFilament::LightAt(2.85, false), 0.0, 1e-12);  // (8.1225 - 8) x 7.4 < 1
    EXPECT_NEAR(CFilament::LightAt(3.0, false), 7.4, 1e-9);
    EXPECT_NEAR(CFilament::LightAt(3.1, false), (3.1 * 3.1 - 8.0) * 7.4, 1e-9);
    EXPECT_NEAR(CFilament::LightAt(12.0, false), 1000.0, 1e-12);
    // The torch-bulb look counts its volts 3.428 times.
    EXPECT_EQ(CFilament::LevelAt(3.5, true), 10);
    EXPECT_EQ(CFilament::LevelAt(3.2, true), 8);
    EXPECT_EQ(CFilament::LevelAt(1.0, true), 1);
}

TEST(Lamps, FilamentFollowsTheSquareRootLaw)
{
    // I = P x 0.0063239 x (sqrt(V / 0.06 + 1) - 1): 10 W at 12 V is 0.83 A.
    for (double v : {1.0, 3.0, 6.0, 12.0}) {
        LampLoop<CFilament> loop(v);
        loop.Run();
        const double want = 10.0 * 0.0063239 * (std::sqrt(v / 0.06 + 1.0) - 1.0);
        // Chords of levels 0.06 V wide: the square root bends little inside one.
        EXPECT_NEAR(std::fabs(loop.Current()), want, want * 0.002 + 1e-6) << v;
        EXPECT_EQ(loop.lamp->m_wStateWord, CFilament::LevelAt(v, false)) << v;
    }
    LampLoop<CFilament> twelve(12.0);
    twelve.Run();
    EXPECT_NEAR(std::fabs(twelve.Current()) * 12.0, 10.0, 0.02);
}

TEST(Lamps, FilamentBurnsOutAboveFifteenVolts)
{
    LampLoop<CFilament> ok(15.0);
    ok.Run();
    EXPECT_FALSE(ok.lamp->IsBroken());
    LampLoop<CFilament> over(15.1);
    over.Run(1);
    EXPECT_TRUE(over.lamp->IsBroken());
}

TEST(Lamps, FilamentAlternateLookIsATorchBulb)
{
    CCircuit d;
    auto* lamp = new CFilament;
    lamp->m_pCircuit = &d;
    lamp->UseAlternateLook();
    lamp->Initialise();
    d.AddChild(lamp);
    EXPECT_EQ(lamp->m_pVisual->GetBitmapId(0), 431);
    EXPECT_EQ(lamp->GetPower(), 1.0);
    EXPECT_EQ(lamp->GetValueLabel()->GetRuntimeClass()->m_lpszClassName, std::string("CDummyValue"));
    EXPECT_DOUBLE_EQ(lamp->ScalePerWatt(), 0.042626);
}

TEST(Lamps, LightSourceIsFoundThroughTheDesign)
{
    CCircuit d;
    CBulb* bulb = AddRealPart<CBulb>(d, 100, 100);
    // A stand-in sensor whose centre is 24 pixels right of the bulb's.
    auto* sensor = new CDiodesTwoPin;
    const CPoint c = bulb->m_rect.CenterPoint() + CPoint(24, 0);
    sensor->m_rect.SetRect(c.x - 4, c.y - 4, c.x + 4, c.y + 4);
    sensor->m_pCircuit = &d;
    d.AddChild(sensor);
    EXPECT_EQ(FindLightSourceLeftOf(sensor), bulb);
    // Removed from the design, the source is no longer reached.
    d.RemovePart(bulb);
    EXPECT_EQ(FindLightSourceLeftOf(sensor), nullptr);
    delete bulb;
}

} // namespace
