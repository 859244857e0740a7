// Ammeters and voltmeters in real circuits: the ammeter is a link that
// reads its branch current, the voltmeter reads a divider without loading
// it; RMS over the ring, instantaneous readings, ranges and sample counts.
#include "components/ammeter.h"
#include "components/voltmeter.h"
#include "diodes_support.h"
#include "model/text/meter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// 9 V cell, R1 = 1k, an ammeter and R2 = 2k in series; a voltmeter across
// R2 (positive pin on R2's end at the ammeter).  I = 9 / 3000 = 3 mA, V(R2) = 6 V.
struct MeterLoop {
    CCircuit d;
    CDiodesCell* cell;
    CDiodesResistor* r1;
    CDiodesResistor* r2;
    CAmmeter* amp;
    CVoltmeter* volt;

    explicit MeterLoop(double emf = 9.0, double ohms1 = 1000.0, double ohms2 = 2000.0)
    {
        cell = AddTestPart<CDiodesCell>(d, 100, 500);
        r1 = AddTestPart<CDiodesResistor>(d, 300, 100);
        r2 = AddTestPart<CDiodesResistor>(d, 700, 300);
        amp = AddRealPart<CAmmeter>(d, 500, 100);
        volt = AddRealPart<CVoltmeter>(d, 400, 800);
        cell->emf = emf;
        r1->ohms = ohms1;
        r2->ohms = ohms2;
        Join(d, cell->A(), r1->A());
        Join(d, r1->B(), amp->GetTerminal(0));
        Join(d, amp->GetTerminal(1), r2->A());
        Join(d, r2->B(), cell->B());
        // The voltmeter's wires go round the loop and meet it only at R2's
        // terminal ends.
        const CPoint a = r2->A()->GetOuterEnd(), b = r2->B()->GetOuterEnd();
        const CPoint v0 = volt->GetTerminal(0)->GetOuterEnd(), v1 = volt->GetTerminal(1)->GetOuterEnd();
        Route(d, {a, {a.x, 250}, {1100, 250}, {1100, 900}, {v0.x, 900}, v0});
        Route(d, {b, {b.x, 270}, {1050, 270}, {1050, 880}, {v1.x, 880}, v1});
        d.ResetRun(0);
    }
    // RMS readings over the ring (a new design reads instantaneously).
    void UseRms() { d.SetOptionBits(OPT_METER_INSTANT, false); }
    void Run(int passes = 1)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
    static CString Text(CComponent* meter) { return FindMeterText(meter)->rtf.text; }
};

TEST(Meters, AmmeterIsALinkReadingTheBranchCurrent)
{
    MeterLoop m;
    m.d.SetOptionBits(OPT_METER_INSTANT | OPT_METER_AUTORANGE, true);
    m.Run();
    EXPECT_NEAR(m.r1->A()->GetCurrent(), 0.003, 1e-12);
    EXPECT_NEAR(m.amp->GetTerminal(0)->GetCurrent(), 0.003, 1e-12);
    EXPECT_NEAR(m.amp->GetTerminal(0)->GetVoltage(), m.amp->GetTerminal(1)->GetVoltage(), 1e-12);
    EXPECT_EQ(MeterLoop::Text(m.amp), " 3.00");
    EXPECT_EQ(m.amp->m_wStateWord, 1);   // the mA picture
}

TEST(Meters, VoltmeterReadsTheDividerWithoutLoadingIt)
{
    MeterLoop m;
    m.d.SetOptionBits(OPT_METER_INSTANT, true);
    m.Run();
    EXPECT_NEAR(m.volt->GetQuantity(0, 0, 1), 6.0, 1e-9);
    EXPECT_EQ(m.volt->GetQuantity(0, 0, 2), 0.0);
    EXPECT_EQ(m.volt->GetProbeQuantities(0, 0), 1u);
    EXPECT_NEAR(m.volt->GetTerminal(0)->GetCurrent(), 0.0, 1e-15);
    EXPECT_NEAR(m.r2->A()->GetCurrent(), 0.003, 1e-12);
    EXPECT_EQ(MeterLoop::Text(m.volt), " 6.00");
    EXPECT_EQ(m.volt->m_wStateWord, 0);
}

TEST(Meters, RmsBuildsUpWhileTheRingFills)
{
    // 2 A steady: after n of 20 samples the RMS is 2 sqrt(n / 20).
    MeterLoop m(3.0, 0.5, 1.0);
    m.UseRms();
    for (int n = 1; n <= 25; ++n) {
        m.Run();
        const double want = 2.0 * std::sqrt(std::min(n, 20) / 20.0);
        EXPECT_NEAR(m.amp->Ring().GetSumOfSquares() / 20.0, want * want, 1e-9) << n;
    }
    EXPECT_EQ(MeterLoop::Text(m.amp), " 2.00");
    m.Run();
    EXPECT_EQ(MeterLoop::Text(m.amp), " 2.00");
}

TEST(Meters, FirstRmsReadingIsAFractionOfTheSteadyValue)
{
    MeterLoop m(3.0, 0.5, 1.0);
    m.UseRms();
    m.d.SetOptionBits(OPT_METER_AUTORANGE, false);
    m.Run();
    // 2 sqrt(1/20) = 0.447.
    EXPECT_EQ(MeterLoop::Text(m.amp), " 0.45");
}

TEST(Meters, ChangingTheSampleCountClearsTheHistory)
{
    MeterLoop m(3.0, 0.5, 1.0);
    m.UseRms();
    m.Run(20);
    EXPECT_EQ(MeterLoop::Text(m.amp), " 2.00");
    m.d.m_nMeterSamples = 4;
    m.Run();
    EXPECT_EQ(m.amp->Ring().GetLength(), 4);
    EXPECT_EQ(MeterLoop::Text(m.amp), " 1.00");   // 2 sqrt(1/4)
    // Counts outside 1..8000 are held to that range.
    m.d.m_nMeterSamples = 0;
    m.Run();
    EXPECT_EQ(m.amp->Ring().GetLength(), 1);
    EXPECT_EQ(MeterLoop::Text(m.amp), " 2.00");
}

TEST(Meters, RingFollowsAnAlternatingSignal)
{
    // Peak 1 sine sampled 20 times a period: RMS 1/sqrt(2) once full,
    // instantaneous readings follow the samples.
    CMeterRing ring(20);
    double rms = 0.0;
    for (int k = 0; k < 200; ++k) rms = ring.Add(std::sin(2.0 * M_PI * k / 20.0));
    EXPECT_NEAR(rms, std::sqrt(0.5), 1e-9);
    // Zeros after it bring the sum back to 0, never below.
    for (int k = 0; k < 20; ++k) rms = ring.Add(0.0);
    EXPECT_GE(ring.GetSumOfSquares(), -1e-12);
    EXPECT_NEAR(rms, 0.0, 1e-6);
}

TEST(Meters, AutorangeShowsMilliamps)
{
    // 0.005 A with autorange and instantaneous readings: 5.00 on the mA picture.
    MeterLoop m(5.0, 500.0, 500.0);
    m.d.SetOptionBits(OPT_METER_INSTANT | OPT_METER_AUTORANGE, true);
    m.Run();
    EXPECT_EQ(MeterLoop::Text(m.amp), " 5.00");
    EXPECT_EQ(m.amp->m_wStateWord, 1);
    // Without autorange the same current reads in amps.
    m.d.SetOptionBits(OPT_METER_AUTORANGE, false);
    m.Run();
    EXPECT_EQ(MeterLoop::Text(m.amp), " 0.01");
    EXPECT_EQ(m.amp->m_wStateWord, 0);
}

TEST(Meters, MetersNeverBurnOut)
{
    MeterLoop m(10000.0, 1.0, 1.0);
    m.Run(3);
    EXPECT_FALSE(m.amp->IsBroken());
    EXPECT_FALSE(m.volt->IsBroken());
}

TEST(Meters, OrientationCommands)
{
    std::vector<int> commands;
    EXPECT_EQ(ListMeterOrientationCommands(commands), 4);
    EXPECT_EQ(commands, (std::vector<int>{36043, 36044, 36049, 36046}));
    CAmmeter a;
    CVoltmeter v;
    EXPECT_EQ(a.GetPropertyBitmap(0), 336);
    EXPECT_EQ(v.GetPropertyBitmap(0), 335);
    // The property toolbar's buttons: the four orientation commands, codes
    // 0, 1, 6 and 3.
    for (CComponent* meter : {static_cast<CComponent*>(&a), static_cast<CComponent*>(&v)}) {
        std::vector<int> ids;
        EXPECT_EQ(meter->GetPropertyBitmap(ids, nullptr), 4);
        EXPECT_EQ(ids, (std::vector<int>{36043, 36044, 36049, 36046}));
    }
    a.InitVariant(a.GetRuntimeClass());
    EXPECT_EQ(a.m_nOrientation, 3);
}

} // namespace

namespace {

TEST(Meters, MeterControlsToggleTheDesignsOptions)
{
    MeterLoop m(3.0, 0.5, 1.0);
    CMeterSettings s = CMeterSettings::FromDesign(m.d);
    EXPECT_EQ(s.rms, !s.instantaneous);
    EXPECT_EQ(s.samples, 20);
    // RMS over 4 samples, no autorange.
    s.instantaneous = 0;
    s.autorange = 0;
    s.samples = 4;
    ASSERT_TRUE(s.ApplyTo(m.d));
    EXPECT_FALSE(m.d.TestOptions(OPT_METER_INSTANT));
    EXPECT_FALSE(m.d.TestOptions(OPT_METER_AUTORANGE));
    EXPECT_EQ(m.d.m_nMeterSamples, 4);
    // The controller has stepped on the change; once the new ring of 4
    // has filled, the RMS is the steady 2 A.
    m.Run(4);
    EXPECT_EQ(m.amp->Ring().GetLength(), 4);
    EXPECT_EQ(MeterLoop::Text(m.amp), " 2.00");
    // Counts outside 1..8000 are refused and change nothing.
    for (int bad : {0, -3, 8001}) {
        CMeterSettings b = CMeterSettings::FromDesign(m.d);
        b.samples = bad;
        b.autorange = 1;
        EXPECT_FALSE(b.ApplyTo(m.d)) << bad;
        EXPECT_EQ(m.d.m_nMeterSamples, 4);
        EXPECT_FALSE(m.d.TestOptions(OPT_METER_AUTORANGE));
    }
}

} // namespace
