// Measurement units, their dialogs' logic and the probe-data text.
#include "model/designfile/probe_text.h"
#include "model/designfile/units.h"

#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

TEST(DesignfileUnits, UnitTextOfEveryCode)
{
    const std::map<unsigned, CString> expected = {
        {1, "V"},      {2, "A"},         {4, "m"},        {4096, "m"},       {8, "m/s"},
        {8192, "m/s"}, {0x8000, "m/s"},  {16, "m/s\xB2"}, {0x4000, "m/s\xB2"}, {32, "deg"},
        {64, "rpm"},   {128, "rad/s\xB2"}, {256, "J"},    {512, "C"},        {1024, "W"},
        {2048, "kg"},  {3, ""},
    };
    for (const auto& [code, text] : expected) EXPECT_EQ(GetQuantityUnitText(code, nullptr), text) << code;
    CUnitChoices radians{1, 1, false};
    EXPECT_EQ(GetQuantityUnitText(32, &radians), " rad");
    EXPECT_EQ(GetQuantityUnitText(64, &radians), " rad/s");
}

TEST(DesignfileUnits, ConversionForDisplay)
{
    const double pi = std::numbers::pi;
    CUnitChoices deg;
    EXPECT_DOUBLE_EQ(ConvertQuantity(-0.25, 2, deg), 0.25);
    EXPECT_DOUBLE_EQ(ConvertQuantity(-0.25, 2, CUnitChoices{0, 0, true}), -0.25);
    // The negated angle's remainder by one turn, in degrees.
    EXPECT_NEAR(ConvertQuantity(pi / 2, 32, deg), -90.0, 1e-9);
    EXPECT_NEAR(ConvertQuantity(-5 * pi / 2, 32, deg), 90.0, 1e-9);
    EXPECT_NEAR(ConvertQuantity(pi / 2, 32, CUnitChoices{1, 0, false}), -pi / 2, 1e-12);
    EXPECT_NEAR(ConvertQuantity(2 * pi, 64, deg), 60.0, 1e-9);
    EXPECT_DOUBLE_EQ(ConvertQuantity(2 * pi, 64, CUnitChoices{0, 1, false}), 2 * pi);
    EXPECT_DOUBLE_EQ(ConvertQuantity(-3.0, 1, deg), -3.0);
}

TEST(DesignfileUnits, MeasurementUnitsDialogStoresOnOk)
{
    CUnitChoices u{0, 1, false};
    CMeasurementUnitsDlgData d = BeginMeasurementUnits(u);
    EXPECT_EQ(d.angleChoice, 0);
    EXPECT_EQ(d.speedChoice, 1);
    d.angleChoice = 1;
    d.speedChoice = 0;
    ApplyMeasurementUnits(d, u);
    EXPECT_EQ(u.angleUnit, 1);
    EXPECT_EQ(u.speedUnit, 0);
}

namespace {
bool Only22050(unsigned bits) { return bits == 64; }
} // namespace

TEST(DesignfileUnits, SampleRateDialog)
{
    CSampleRateDlgData d = BeginSampleRate(22050, 3.5, Only22050);
    EXPECT_EQ(d.rateChoice, 1);
    EXPECT_DOUBLE_EQ(d.displayRate, 3.5);
    EXPECT_EQ(d.rateShown, (std::array<bool, 3>{false, true, false}));
    EXPECT_FALSE(IsValidDisplayRate(0.000001));
    EXPECT_TRUE(IsValidDisplayRate(0.00001));
    EXPECT_TRUE(IsValidDisplayRate(99999));
    EXPECT_FALSE(IsValidDisplayRate(100000));

    CSampleRateState s{11025, 20.0, 1000, 22050};
    d.rateChoice = 2; // 44100: four times the rate
    d.displayRate = 8.0;
    EXPECT_TRUE(ApplySampleRate(d, s));
    EXPECT_EQ(s.soundRate, 44100);
    EXPECT_EQ(s.sampleCounter, 4000);
    EXPECT_EQ(s.sampleLimit, 88200);
    EXPECT_DOUBLE_EQ(s.displayRate, 8.0);
    EXPECT_FALSE(ApplySampleRate(d, s));
    EXPECT_EQ(s.sampleCounter, 4000);
    // A damaged rate of 0 does not divide.
    CSampleRateState broken{0, 20.0, 10, 10};
    EXPECT_TRUE(ApplySampleRate(d, broken));
    EXPECT_EQ(broken.sampleLimit, 10);
}

namespace {

struct FakeProbes : CProbeDataSource {
    struct Probe {
        CString name;
        DWORD mask;
        bool onPart;
        std::vector<std::map<DWORD, double>> samples;
    };
    std::map<int, Probe> probes;
    bool HasProbe(int c) const override { return probes.count(c) != 0; }
    CString GetProbeName(int c) const override { return probes.at(c).name; }
    DWORD GetQuantityMask(int c) const override { return probes.at(c).mask; }
    bool HasProbedPart(int c) const override { return probes.at(c).onPart; }
    double GetSample(int c, int i, DWORD bit) const override { return probes.at(c).samples.at(size_t(i)).at(bit); }
};

} // namespace

TEST(DesignfileProbeText, NoProbesGivesOnlyTheTimeColumn)
{
    FakeProbes src;
    CProbeDataRequest req;
    req.recordedCount = 3;
    req.sampleCounter = 10;
    req.stepPeriod = 0.5;
    CString text;
    ASSERT_TRUE(BuildProbeDataText(src, req, &text));
    EXPECT_EQ(text, "3.50000000\r\n4.00000000\r\n4.50000000");
}

TEST(DesignfileProbeText, HeaderColumnsAndValueRules)
{
    FakeProbes src;
    src.probes[0] = {"Probe A", 1 | 2, true, {}};
    src.probes[0].samples = {{{1, 3e-9}, {2, -0.5}}, {{1, 2e12}, {2, 1.25}}};
    src.probes[2] = {"Probe C", 1, false, {}};
    src.probes[3] = {"Unused", 0xFFFF, true, {}};
    CProbeDataRequest req;
    req.recordedCount = 2;
    req.sampleCounter = 2;
    req.stepPeriod = 0.001;
    CString text;
    ASSERT_TRUE(BuildProbeDataText(src, req, &text));
    EXPECT_EQ(text,
              "Time (s)\tProbe A (V)\tProbe A (A)\tProbe C (V)\r\n"
              "0.00000000\t0.0\t0.50000000\t0.0\r\n"
              "0.00100000\t1000000000000.00000000\t1.25000000\t0.0");
    // The dialog's selection leaves columns out.
    req.selected[0] = 2;
    ASSERT_TRUE(BuildProbeDataText(src, req, &text));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Time (s)\tProbe A (A)\tProbe C (V)");
}

TEST(DesignfileProbeText, LongTextsGrowWithoutLimit)
{
    FakeProbes src;
    src.probes[0] = {CString(300, 'N'), 1, true, {}};
    for (int i = 0; i < 2000; ++i) src.probes[0].samples.push_back({{1, -1e15}});
    CProbeDataRequest req;
    req.recordedCount = 2000;
    req.sampleCounter = 2000;
    req.stepPeriod = 1.0;
    CString text;
    ASSERT_TRUE(BuildProbeDataText(src, req, &text));
    EXPECT_NE(text.find("1999.00000000\t-1000000000000.00000000"), CString::npos);
    EXPECT_EQ(text.substr(text.size() - 5), "00000");
}
