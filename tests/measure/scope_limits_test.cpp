// The y scaling of a graph against hand-worked ranges, the nice steps, and
// the graph settings records (whole, old layout, cut short).
#include "measure/scope_limits.h"
#include "model/designfile/scope_settings.h"
#include "platform/archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(ScopeLimits, RecordsRoundOutward)
{
    struct Case {
        double value;
        bool upward;
        int result, sign, exponent;
    };
    // value = sign x result x 10^(exponent - 3)
    const Case cases[] = {
        {7.3, true, 730, 1, 1},     {7.301, true, 731, 1, 1}, {7.301, false, 730, 1, 1},
        {10.0, true, 100, 1, 2},    {0.05, true, 500, 1, -1}, {-7.3, false, 730, -1, 1},
        {-7.301, false, 731, -1, 1}, {-7.301, true, 730, -1, 1}, {999.6, true, 100, 1, 4},
        {0.0, true, 0, 1, -20},
    };
    for (const Case& c : cases) {
        CScopeLimits l(c.value, 1000, c.upward);
        EXPECT_EQ(l.GetResult(), c.result) << c.value;
        EXPECT_EQ(l.GetSign(), c.sign) << c.value;
        EXPECT_EQ(l.GetExponent(), c.exponent) << c.value;
    }
    // Shifting drops digits and rounds again in the record's direction.
    CScopeLimits up(7.31, 1000, true);
    up.Shift(2);
    EXPECT_EQ(up.GetExponent(), 3);
    EXPECT_EQ(up.GetResult(), 8);
    CScopeLimits down(7.31, 1000, false);
    down.Shift(2);
    EXPECT_EQ(down.GetResult(), 7);
    EXPECT_DOUBLE_EQ(CScopeLimits(7.3, 1000, true).GetValue(), 7.3);
}

TEST(ScopeLimits, NiceSteps)
{
    const int table[][2] = {{0, 1},   {1, 1},   {3, 3},   {5, 5},   {6, 10},  {10, 10}, {11, 15},
                            {16, 20}, {21, 25}, {26, 30}, {51, 60}, {60, 60}, {61, 75}, {75, 75},
                            {76, 100}, {101, 150}, {151, 200}};
    for (const auto& row : table) EXPECT_EQ(NiceStep(row[0]), row[1]) << row[0];
}

TEST(ScopeLimits, GraphScalesByHand)
{
    struct Case {
        const char* what;
        double max, min;
        int prefix, height;
        double bottom, step;
        int decimals;
        const char* letter;
        double prefixScale;
    };
    // Worked by hand: both ends to three digits outward, ten divisions of
    // the height (200 / 20), units per division rounded up to a nice step,
    // labels reduced while they stay whole.
    const Case cases[] = {
        // 730 hundredths over 10 divisions: 73 -> 75 hundredths a division.
        {"0..7.3 V", 7.3, 0.0, 4, 200, 0.0, 0.75, 2, "", 1.0},
        {"0..10 V", 10.0, 0.0, 4, 200, 0.0, 1.0, 0, "", 1.0},
        // Zero on a line: five divisions each side of 1 V.
        {"-5..5 V", 5.0, -5.0, 4, 200, -5.0, 1.0, 0, "", 1.0},
        // Three divisions below zero, seven above: 300 and 700 hundredths
        // give 100 each.
        {"-3..7 V", 7.0, -3.0, 4, 200, -3.0, 1.0, 0, "", 1.0},
        {"0..50 mV", 50.0, 0.0, 3, 200, 0.0, 5.0, 0, "m", 1e-3},
        // 0.05 V is read as 50 mV.
        {"0..0.05 V", 0.05, 0.0, 4, 200, 0.0, 5.0, 0, "m", 1e-3},
        // Both below zero: down from the upper end.
        {"-7.3..-1 V", -1.0, -7.3, 4, 200, -8.5, 0.75, 2, "", 1.0},
        {"0..7.3 kV", 7.3, 0.0, 5, 200, 0.0, 0.75, 2, "k", 1e3},
        {"0..2 uV", 2.0, 0.0, 2, 200, 0.0, 0.2, 1, "\xB5", 1e-6},
        // Nano stays nano in size: 0.5 uV at hundredths of a micro.
        {"0..500 nV", 500.0, 0.0, 1, 200, 0.0, 0.05, 2, "\xB5", 1e-6},
        // Max and min typed the wrong way round.
        {"10..0 V", 0.0, 10.0, 4, 200, 0.0, 1.0, 0, "", 1.0},
        // Four divisions: 730 / 4 -> 183 -> 200 hundredths.
        {"0..7.3 V low", 7.3, 0.0, 4, 80, 0.0, 2.0, 0, "", 1.0},
    };
    for (const Case& c : cases) {
        const CGraphScale s = ScaleGraph(c.max, c.min, c.prefix, c.height);
        EXPECT_NEAR(s.labelBottom, c.bottom, 1e-9) << c.what;
        EXPECT_NEAR(s.labelStep, c.step, 1e-9) << c.what;
        EXPECT_EQ(s.decimals, c.decimals) << c.what;
        EXPECT_EQ(s.prefix, CString(c.letter)) << c.what;
        EXPECT_DOUBLE_EQ(s.prefixScale, c.prefixScale) << c.what;
        EXPECT_NEAR(s.unitsPerPixel, c.step * c.prefixScale / 20.0, 1e-12 * c.prefixScale) << c.what;
        EXPECT_NEAR(s.bottomValue, c.bottom * c.prefixScale, 1e-12 * c.prefixScale) << c.what;
        // The divisions cover both ends.
        const double top = s.bottomValue + s.divisions * 20 * s.unitsPerPixel;
        const double hi = std::max(c.max, c.min) * std::pow(10.0, 3 * (c.prefix - 4));
        const double lo = std::min(c.max, c.min) * std::pow(10.0, 3 * (c.prefix - 4));
        EXPECT_GE(top, hi - 1e-12) << c.what;
        EXPECT_LE(s.bottomValue, lo + 1e-12) << c.what;
    }
    EXPECT_EQ(GraphCaption("Voltage", ScaleGraph(50, 0, 3, 200), "V"), CString("Voltage (mV)"));
    EXPECT_EQ(FormatGraphLabel(0.75, 2), CString("0.75"));
    EXPECT_EQ(FormatGraphLabel(-0.0001, 2), CString("0.00"));
    EXPECT_EQ(FormatGraphLabel(-5, 0), CString("-5"));
}

TEST(ScopeLimits, DamagedRangesStayDrawable)
{
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300}) {
        const CGraphScale s = ScaleGraph(bad, 0.0, 4, 200);
        EXPECT_TRUE(std::isfinite(s.unitsPerPixel) && s.unitsPerPixel > 0) << bad;
        EXPECT_TRUE(std::isfinite(s.bottomValue)) << bad;
        EXPECT_GE(s.decimals, 0);
        EXPECT_LE(s.decimals, 2);
    }
    // Nothing between the ends still gives one unit a division.
    const CGraphScale flat = ScaleGraph(0.0, 0.0, 4, 200);
    EXPECT_GT(flat.unitsPerPixel, 0.0);
}

namespace {

std::vector<uint8_t> Store(CObject& o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    o.Serialize(ar);
    return ar.GetBuffer();
}

} // namespace

TEST(ScopeLimits, ScaleRecordsRoundTripAndShortOnesFail)
{
    CScale a;
    a.timePerDivision = 0.002;
    a.graph[0].maximum = 7.3;
    a.graph[0].minimum = -2.0;
    a.graph[0].prefixCode = 3;
    a.graph[0].channel = {1, 0, 1, 0};
    a.graph[1].difference = {1, 0};
    a.graph[1].quantityIndex = 13;
    a.setting1 = 5;
    a.setting2 = 6;
    a.setting3 = 7;
    for (WORD version : {WORD(3), WORD(0x20B8)}) {
        const auto bytes = Store(a, version);
        CScale b;
        {
            CArchive ar(bytes);
            ar.SetVersion(version);
            b.Serialize(ar);
            EXPECT_EQ(ar.BytesLeft(), 0u);
        }
        EXPECT_EQ(Store(b, version), bytes) << version;
        EXPECT_DOUBLE_EQ(b.timePerDivision, 0.002);
        EXPECT_DOUBLE_EQ(b.graph[0].maximum, 7.3);
        EXPECT_EQ(b.graph[0].prefixCode, 3u);
        // Every record cut short is refused with an archive error.
        for (size_t n = 0; n < bytes.size(); ++n) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
            CArchive ar(cut);
            ar.SetVersion(version);
            CScale c;
            EXPECT_THROW(c.Serialize(ar), CArchiveException) << version << " " << n;
        }
    }
}
