// Number and text conversions of the scripts and the form encoding of
// variables, against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "movieplayer/player/number_text.h"
#include "movieplayer/player/variables.h"

using namespace movie;

TEST(MovieNumberText, NumberToText)
{
    struct Case {
        double v;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {3, "3"},
        {-3, "-3"},
        {1e20, "1e20"},
        {123.25, "123.25"},
        // Where printing all 17 digits would differ: 15 significant digits.
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {100.0 / 3, "33.3333333333333"},
        {1e15 - 1, "999999999999999"},
        {1e15, "1e15"},
        {123456789012345678.0, "1.23456789012346e17"},
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {0.000001, "1e-6"},
        {1.5e-7, "1.5e-7"},
        {-2.5e-10, "-2.5e-10"},
        {9.999999999999999, "10"},   // the rounding carries into a new digit
        {99999999999999.99, "100000000000000"},
        {1.7976931348623157e308, "1.79769313486232e308"},
        {5e-324, "4.94065645841247e-324"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
        {-std::numeric_limits<double>::infinity(), "-Infinity"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberToText(c.v), c.text) << c.text;
}

TEST(MovieNumberText, TextToNumber)
{
    struct Case {
        const char* text;
        bool number;
        double v;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"12", true, 12},
        {"+12", true, 12},
        {"-12.5", true, -12.5},
        {".5", true, 0.5},
        {"5.", true, 5},
        {"1e3", true, 1000},
        {"1E+3", true, 1000},
        {"2.5e-2", true, 0.025},
        {"1e400", true, std::numeric_limits<double>::infinity()},
        {"1e-400", true, 0},
        // What a lenient conversion (strtod, atof) would accept.
        {"", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"12abc", false, 0},
        {"0x10", false, 0},
        {"1e", false, 0},
        {"1e+", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"-", false, 0},
        {".", false, 0},
        {"1,5", false, 0},
    };
    for (const Case& c : cases) {
        double v = -1;
        EXPECT_EQ(TextToNumber(c.text, &v), c.number) << '"' << c.text << '"';
        EXPECT_EQ(v, c.v) << '"' << c.text << '"';
        EXPECT_EQ(TextNumber(c.text), c.v) << '"' << c.text << '"';
    }
}

TEST(MovieNumberText, TruthTest)
{
    EXPECT_TRUE(TextIsTrue("1"));
    EXPECT_TRUE(TextIsTrue("-0.5"));
    EXPECT_FALSE(TextIsTrue("0"));
    EXPECT_FALSE(TextIsTrue("0.0"));
    EXPECT_TRUE(TextIsTrue("TRUE"));
    EXPECT_TRUE(TextIsTrue("Yes"));
    EXPECT_FALSE(TextIsTrue("no"));
    EXPECT_FALSE(TextIsTrue(""));
    EXPECT_FALSE(TextIsTrue(" true"));
}

TEST(MovieFormEncoding, EncodesEverythingButLettersAndDigits)
{
    EXPECT_EQ(FormEncode("a b"), "a+b");
    EXPECT_EQ(FormEncode("&"), "%26");
    EXPECT_EQ(FormEncode("."), "%2E");
    EXPECT_EQ(FormEncode("-_*"), "%2D%5F%2A");
    EXPECT_EQ(FormEncode("Az09"), "Az09");
    EXPECT_EQ(FormEncode("\xE9"), "%E9");
    VariableList v;
    v.Set("x", "1 2");
    v.Set("", "skipped");
    v.Set("Y", "&");
    v.Set("X", "3");   // same name, other case: replaces
    EXPECT_EQ(FormEncodeVariables(v), "x=3&Y=%26");
}

TEST(MovieFormEncoding, DecodesAndStopsAtTheEnd)
{
    auto dec = [](const std::string& s) { return FormDecode(s.data(), s.data() + s.size()); };
    EXPECT_EQ(dec("a+b%41%4a"), "a bAJ");
    EXPECT_EQ(dec("%zAb"), "Ab");     // "%" and the first character go
    EXPECT_EQ(dec("%4zb"), "b");      // all three go
    EXPECT_EQ(dec("ab%"), "ab");      // a "%" at the end stops there
    EXPECT_EQ(dec("ab%4"), "ab");
    // The decoding never looks past the text it was given.
    const char buf[] = {'a', '%', '4', '1'};
    EXPECT_EQ(FormDecode(buf, buf + 3), "a");
}

TEST(MovieFormEncoding, ParsesPairs)
{
    VariableList v;
    ParseFormVariables("a=1&b=two+words&&=skip&y&c=%26", v);
    ASSERT_EQ(v.All().size(), 4u);
    EXPECT_EQ(*v.Find("a"), "1");
    EXPECT_EQ(*v.Find("B"), "two words");
    EXPECT_EQ(*v.Find("y"), "");
    EXPECT_EQ(*v.Find("c"), "&");
}
