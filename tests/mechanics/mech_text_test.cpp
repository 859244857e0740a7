// Value texts and direction codes of mechanical quantities.
#include "mechanics/mech_text.h"
#include "model/components/wire.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

bool EndsWith(const CString& s, const char* tail)
{
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

TEST(MechText, DirectionCodes)
{
    struct Case {
        double v;
        int quantityClass, code;
    };
    const Case cases[] = {
        {0.0, 2, 13},  {4.9e-9, 2, 13}, {-4.9e-9, 1, 13}, {5e-9, 2, 17}, {-5e-9, 2, 16},
        {5e-9, 1, 15}, {-5e-9, 1, 14},  {3.0, 0, 15},     {-3.0, 0, 14},
    };
    for (const Case& c : cases) EXPECT_EQ(MechDirectionCode(c.v, c.quantityClass), c.code) << c.v;
}

TEST(MechText, ShaftAnglesAreShownNegatedWithinOneTurn)
{
    const CUnitChoices degrees{0, 0, false}, radians{1, 1, false};
    const double pi = std::numbers::pi;
    // +pi/2 is shown as 270 degrees (3 pi / 2 rad); 0 as 0, never as -0.
    const CString quarter = MechPositionText(pi / 2, WIRE_ROTATIONAL, degrees);
    EXPECT_NE(quarter.find("270"), CString::npos) << quarter;
    EXPECT_TRUE(EndsWith(quarter, "deg")) << quarter;
    const CString zero = MechPositionText(0.0, WIRE_ROTATIONAL, degrees);
    EXPECT_EQ(zero.find('-'), CString::npos) << zero;
    EXPECT_NE(zero.find('0'), CString::npos) << zero;
    const CString rad = MechPositionText(pi / 2, WIRE_ROTATIONAL, radians);
    EXPECT_NE(rad.find("4.71"), CString::npos) << rad;
    EXPECT_TRUE(EndsWith(rad, " rad")) << rad;
    // Several turns back: -(-5 pi/2) mod 2 pi = pi/2, 90 degrees.
    EXPECT_NE(MechPositionText(-2.5 * pi, WIRE_ROTATIONAL, degrees).find("90.0"), CString::npos);
}

TEST(MechText, SpeedsBySliderOrShaft)
{
    const CUnitChoices rpm{0, 0, false}, rads{0, 1, false};
    const double pi = std::numbers::pi;
    // One turn a second is 60 rpm.
    const CString turning = MechSpeedText(2 * pi, WIRE_ROTATIONAL, rpm);
    EXPECT_NE(turning.find("60.0"), CString::npos) << turning;
    EXPECT_TRUE(EndsWith(turning, "rpm")) << turning;
    const CString perSecond = MechSpeedText(2 * pi, WIRE_ROTATIONAL, rads);
    EXPECT_NE(perSecond.find("6.28"), CString::npos) << perSecond;
    EXPECT_TRUE(EndsWith(perSecond, " rad/s")) << perSecond;
    // Sliders in metres with a prefix, whatever the shaft units.
    const CString slow = MechSpeedText(0.002, WIRE_LINEAR, rads);
    EXPECT_NE(slow.find("2.00"), CString::npos) << slow;
    EXPECT_TRUE(EndsWith(slow, "mm/s")) << slow;
    const CString where = MechPositionText(0.0125, WIRE_LINEAR, rpm);
    EXPECT_NE(where.find("12.5"), CString::npos) << where;
    EXPECT_TRUE(EndsWith(where, "mm")) << where;
}

} // namespace
