#include "model/text/meter_reading.h"
#include "model/text/number.h"
#include "platform/numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

struct Recorder : CNumberOwner {
    int calls = 0;
    void OnNumberChanged(CNumber*) override { ++calls; }
};

CNumber Make(double mantissa, int code, uint16_t type = 5, const char* unit = "")
{
    return CNumber(mantissa, code, unit, type);
}

}  // namespace

TEST(NumberFormat, EveryPrefixStoresBaseUnitsAndShowsItsLetter)
{
    struct Row { int code; double factor; const char* letter; };
    const Row rows[] = {{0, 1e-12, "p"}, {1, 1e-9, "n"}, {2, 1e-6, "\xB5"}, {3, 1e-3, "m"},
                        {4, 1.0, ""},    {5, 1e3, "k"},  {6, 1e6, "M"},     {7, 1e9, "G"}};
    for (const Row& r : rows) {
        CNumber n = Make(1.5, r.code, 5, "X");
        EXPECT_DOUBLE_EQ(n.value, 1.5 * r.factor) << r.code;
        double m = 0;
        EXPECT_EQ(n.GetMantissa(&m), r.code);
        EXPECT_DOUBLE_EQ(m, 1.5);
        EXPECT_EQ(n.GetFullText(), CString("1.5") + r.letter + "X") << r.code;
    }
    CNumber odd;
    odd.value = 3;
    odd.prefix = 'q';  // unknown letters read as no prefix
    double m = 0;
    EXPECT_EQ(odd.GetMantissa(&m), 4);
    EXPECT_EQ(m, 3);
    CNumber outside;
    EXPECT_EQ(outside.SetValue(2.5, 9), 2.5);
    EXPECT_EQ(outside.prefix, ' ');
    EXPECT_EQ(outside.value, 2.5);
}

TEST(NumberFormat, FourSignificantDigitsWithCRulesForG)
{
    struct Row { double mantissa; double scale; const char* shown; };
    const Row rows[] = {
        {4.7, 1, "4.7"},       {12345, 1, "1.234e+04"}, {-4.7, 1, "-4.7"},   {0, 1, "0"},
        {1e-05, 1, "1e-05"},   {0.0001, 1, "0.0001"},   {9999.5, 1, "1e+04"}, {470, 0.5, "235"},
        {1.23456, 1, "1.235"}, {-0.0625, 1, "-0.0625"}, {100, 1, "100"},     {2.0 / 3, 1, "0.6667"},
    };
    for (const Row& r : rows) {
        CNumber n = Make(r.mantissa, 4);
        n.scale = r.scale;
        EXPECT_EQ(n.Format(), r.shown) << r.mantissa;
    }
    EXPECT_EQ(Make(4.7, 5, 5, "\xEA").GetFullText(), "4.7k\xEA");
    EXPECT_EQ(Make(22, 2, 5, "F").GetFullText(), "22\xB5" "F");
    EXPECT_NEAR(Make(22, 2, 5, "F").value, 0.000022, 1e-18);
    EXPECT_EQ(Make(9, 4, 5, " ").GetFullText(), "9");
    EXPECT_EQ(Make(9, 4, 5, " V").GetFullText(), "9");
}

TEST(NumberFormat, IgnoresTheLocale)
{
    const char* was = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = was ? was : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(Make(4.7, 5).Format(), "4.7");
    EXPECT_EQ(ParseDoublePrefix("4.7"), 4.7);
    EXPECT_EQ(FormatFixed(1.5, 5, 2), " 1.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberFormat, BaseValuesTakeTheirEngineeringPrefix)
{
    // The text an engineer writes on a circuit diagram; the row bounds the
    // letters (row 5: p .. M, row 3: none only, row 6: none .. G).
    struct Row { double base; uint16_t type; const char* unit; const char* text; };
    const Row rows[] = {
        {10000.0, 5, " ", "10k"},     {1000.0, 5, " ", "1k"},       {220.0, 5, " ", "220"},
        {1e-4, 5, "F", "100\xB5" "F"},   {1e-6, 5, "F", "1\xB5" "F"},     {4.7e-9, 5, "F", "4.7nF"},
        {22e-12, 5, "F", "22pF"},     {0.01, 5, "H", "10mH"},       {6.0, 5, "V", "6V"},
        {2.2e6, 5, " ", "2.2M"},      {999.9, 5, " ", "999.9"},     {999.96, 5, " ", "1k"},
        {0.99996, 5, "V", "1V"},      {0.9999, 5, "V", "999.9mV"},  {-0.005, 5, "A", "-5mA"},
        {0.0, 5, "V", "0V"},          {3e9, 5, "Hz", "3000MHz"},    {3e9, 6, "Hz", "3GHz"},
        {15000.0, 3, "V", "1.5e+04V"}, {1e-15, 5, "F", "0.001pF"},
    };
    for (const Row& r : rows) {
        CNumber n(0.0, kPrefixNone, r.unit, r.type);
        n.SetBaseValue(r.base);
        EXPECT_DOUBLE_EQ(n.value, r.base) << r.text;
        EXPECT_EQ(n.GetFullText(), CString(r.text)) << r.base;
    }
    EXPECT_EQ(EngineeringPrefix(std::nan("")), kPrefixNone);
    EXPECT_EQ(EngineeringPrefix(HUGE_VAL), kPrefixNone);
}

TEST(NumberParse, TypedTextReadsLikeAtofInTheCLocale)
{
    struct Row { const char* text; double v; };
    const Row rows[] = {{"4.7", 4.7},   {"  -12e3xyz", -12000}, {"+.5", 0.5}, {"abc", 0},
                        {"", 0},        {"1e", 1},              {"--3", 0},   {"1e-999", 0},
                        {"\t7\n", 7},   {"4,7", 4}};
    for (const Row& r : rows) EXPECT_EQ(ParseDoublePrefix(r.text), r.v) << r.text;
    EXPECT_TRUE(std::isinf(ParseDoublePrefix("1e999")));
}

TEST(NumberLimits, TableRowsAndNormalise)
{
    EXPECT_EQ(GetValueLimits(6).lowPrefix, 4);
    EXPECT_EQ(GetValueLimits(6).highPrefix, 7);
    EXPECT_EQ(GetValueLimits(18).min, 380);
    EXPECT_EQ(GetValueLimits(29).max, 7);
    EXPECT_EQ(GetValueLimits(99).max, GetValueLimits(5).max);  // outside the table: row 5

    struct Row { uint16_t type; double m; int code; double wantM; int wantCode; int result; };
    const Row rows[] = {
        {5, 4.7, 5, 4.7, 5, 1},     {5, 0.01, 5, 0.05, 5, 2},  {5, 12000, 5, 9999, 5, 2},
        {5, 4.7, 7, 4.7, 6, 2},     {3, -1, 4, 0, 4, 2},       {4, 5, 4, 0, 4, 2},
        {7, 5, 2, 5, 3, 2},         {12, -1000, 0, -999, 2, 2}, {19, -360, 4, -360, 4, 1},
    };
    for (const Row& r : rows) {
        CNumber n;
        n.typeCode = r.type;
        double m = r.m;
        int code = r.code;
        EXPECT_EQ(n.Normalise(&m, &code), r.result) << r.type << " " << r.m;
        EXPECT_EQ(m, r.wantM);
        EXPECT_EQ(code, r.wantCode);
    }
    SetEditValueLimits(-5, 5, 4, 5);
    EXPECT_EQ(GetValueLimits(15).min, -5);
    EXPECT_EQ(GetValueLimits(15).highPrefix, 5);
    SetEditValueLimits(0.05, 9999, 0, 6);
}

TEST(NumberEdit, SetFromTextResults)
{
    Recorder owner;
    CNumber n = Make(4.7, 5);
    EXPECT_EQ(n.SetFromText("9999999", &owner), 2);
    EXPECT_EQ(n.Format(), "9999");
    EXPECT_EQ(n.prefix, 'k');
    EXPECT_EQ(n.SetFromText("9999", &owner), 0);
    EXPECT_EQ(n.SetFromText("123456", &owner), 4);  // clamped back to where it was
    EXPECT_EQ(n.SetFromText("2.2", &owner), 1);
    EXPECT_DOUBLE_EQ(n.value, 2200);
    EXPECT_EQ(n.SetFromText("rubbish", &owner), 4);  // no number: refused, the value kept
    EXPECT_EQ(n.Format(), "2.2");
    EXPECT_EQ(n.SetFromText("nan", &owner), 4);  // not a number: refused likewise
    EXPECT_DOUBLE_EQ(n.value, 2200);
    EXPECT_GE(owner.calls, 4);

    CNumber half = Make(10, 4);
    half.scale = 0.5;
    EXPECT_EQ(half.SetFromText("3", nullptr), 1);
    EXPECT_DOUBLE_EQ(half.value, 6);  // the typed text is the shown number

    CNumber frozen = Make(10, 4);
    frozen.scale = 0.01;
    EXPECT_EQ(frozen.SetFromText("0", nullptr), 0);
    EXPECT_EQ(frozen.SetFromText("3", nullptr), 4);
    EXPECT_EQ(frozen.value, 10);
}

// An emptied box (or one holding no number) keeps the number whatever the
// row allows: rows whose range takes 0 or negative values would otherwise
// store 0, and the others their minimum.  The owner is not told.
TEST(NumberEdit, TextWithoutANumberKeepsTheValue)
{
    struct Row {
        uint16_t type;
        double mantissa;
        int code;
    };
    // Row 5 (0.05 up), row 1 (-9999 up), row 3 (0 up), row 4 (up to 0).
    const Row rows[] = {{5, 4.7, 5}, {1, 6, 4}, {3, 12, 4}, {4, -3, 4}};
    for (const Row& r : rows)
        for (const char* text : {"", " ", "  \t", "-", "+", ".", "-.", "k", "abc", "nan", "--5"}) {
            SCOPED_TRACE(testing::Message() << "row " << r.type << " text '" << text << "'");
            Recorder owner;
            CNumber n = Make(r.mantissa, r.code, r.type);
            const double before = n.value;
            EXPECT_FALSE(HoldsNumber(text));
            EXPECT_EQ(n.SetFromText(text, &owner), 4);
            EXPECT_EQ(n.value, before);
            EXPECT_EQ(owner.calls, 0);
        }
    EXPECT_FALSE(HoldsNumber(nullptr));
    for (const char* text : {"0", "4.", " 4.7", "-3", "1e3", ".5", "inf", "5x"}) EXPECT_TRUE(HoldsNumber(text)) << text;
    // A number is still taken or limited as before: 0 in row 3 is 0.
    CNumber zero = Make(12, 4, 3);
    EXPECT_EQ(zero.SetFromText("0", nullptr), 1);
    EXPECT_EQ(zero.value, 0.0);
    CNumber big = Make(4.7, 5, 5);
    EXPECT_EQ(big.SetFromText("inf", nullptr), 2);
    EXPECT_EQ(big.Format(), "9999");
}

// Typed text that reads as the held number may stay in the box as typed.
TEST(NumberEdit, TypedTextReadsAsTheHeldNumber)
{
    const CNumber n = Make(4.7, 5);
    const struct {
        const char* text;
        bool reads;
    } cases[] = {{"4.7", true}, {"4.70", true}, {" 4.7", true}, {"4.", false}, {"47", false}, {"", false}};
    for (const auto& c : cases) EXPECT_EQ(n.ReadsAs(c.text), c.reads) << c.text;
    const CNumber four = Make(4, 5);
    EXPECT_TRUE(four.ReadsAs("4."));
    CNumber half = Make(10, 4);
    half.scale = 0.5;
    EXPECT_TRUE(half.ReadsAs("5"));  // the shown number is the mantissa x scale
    half.scale = 0.01;
    EXPECT_FALSE(half.ReadsAs("0.1"));  // a number that cannot be typed
}

TEST(NumberEdit, PrefixFromTextAndStepPrefix)
{
    CNumber n = Make(4.7, 4);
    EXPECT_EQ(n.SetPrefixFromText("k", nullptr), 1);
    EXPECT_DOUBLE_EQ(n.value, 4700);
    EXPECT_EQ(n.SetPrefixFromText("k", nullptr), 0);
    EXPECT_EQ(n.SetPrefixFromText("x", nullptr), 4);
    EXPECT_EQ(n.SetPrefixFromText("\xB5", nullptr), 1);
    EXPECT_NEAR(n.value, 4.7e-6, 1e-20);
    EXPECT_EQ(n.SetPrefixFromText("", nullptr), 1);
    EXPECT_DOUBLE_EQ(n.value, 4.7);
    EXPECT_EQ(n.SetPrefixFromText("G", nullptr), 2);  // row 5 stops at M
    EXPECT_EQ(n.prefix, 'M');
    EXPECT_EQ(n.SetPrefixFromText("G", nullptr), 4);  // clamped back to M
    EXPECT_EQ(n.StepPrefix(1, nullptr), 0);
    EXPECT_EQ(n.StepPrefix(-1, nullptr), 1);
    EXPECT_EQ(n.prefix, 'k');
    CNumber volts = Make(9, 4, 3, "V");
    EXPECT_EQ(volts.SetPrefixFromText("m", nullptr), 4);  // row 3 allows no prefix only
    EXPECT_EQ(volts.value, 9);
}

TEST(NumberStep, StepsTheShownNumber)
{
    CNumber n = Make(4.7, 5);
    EXPECT_EQ(n.StepValue(1, nullptr), 1);
    EXPECT_EQ(n.Format(), "4.71");
    EXPECT_EQ(n.prefix, 'k');

    CNumber h = Make(470, 4);
    h.StepValue(1, nullptr);
    EXPECT_EQ(h.Format(), "470.1");
    h.StepValue(2, nullptr);  // coarse step still set: 0.1 x 10, cut to 470
    EXPECT_EQ(h.Format(), "471");
    h.StepValue(-1, nullptr, 0.5);
    EXPECT_EQ(h.Format(), "470.5");

    CNumber big = Make(100, 4);
    big.StepValue(5, nullptr);  // 0.01 x 10^4 = 100, at most 50
    EXPECT_EQ(big.Format(), "150");

    CNumber neg = Make(-4.7, 4, 1);
    neg.StepValue(1, nullptr);
    EXPECT_EQ(neg.Format(), "-4.69");
    neg.StepValue(-1, nullptr);
    EXPECT_EQ(neg.Format(), "-4.7");

    CNumber top = Make(9999, 4);
    EXPECT_EQ(top.StepValue(1, nullptr), 0);

    CNumber frozen = Make(10, 4);
    frozen.scale = 0.005;
    EXPECT_EQ(frozen.StepValue(1, nullptr), 0);
    EXPECT_EQ(frozen.value, 10);
}

TEST(NumberStep, BelowOneTheWeightCountsFromThePoint)
{
    // 0.5 shows "0.5000": the point at index 1, so the coarse step is 10^-3
    // and a step of 0.0001 is raised to it.
    CNumber n = Make(0.5, 4, 1);
    n.StepValue(1, nullptr, 0.0001);
    EXPECT_NEAR(n.value, 0.501, 1e-12);
}

TEST(NumberStep, ExponentFormIsSteppedAsTheNumberItIs)
{
    CNumber n = Make(5e-05, 4, 1);
    EXPECT_EQ(n.Format(), "5e-05");
    EXPECT_EQ(n.StepValue(1, nullptr), 1);
    EXPECT_NEAR(n.value, 0.01, 1e-12);  // never 15

    // The fixed text "0.00005000" has its point at index 1: the fourth
    // significant digit from there weighs 10^-3, so a finer step of 1e-05 is
    // widened to 0.001 and the shown number cut to 0.000 first.
    CNumber fine = Make(5e-05, 4, 1);
    fine.StepValue(1, nullptr, 1e-05);
    EXPECT_EQ(fine.Format(), "0.001");

    SetEditValueLimits(0, 1e6, 0, 6);
    CNumber large = Make(12345, 4, 15);
    large.scale = 0.5;  // shows 6172
    large.StepValue(1, nullptr);
    EXPECT_EQ(large.Format(), "6173");
    CNumber huge = Make(123456, 4, 15);  // shows 1.235e+05
    huge.StepValue(1, nullptr);
    EXPECT_EQ(huge.value, 123550);  // widened to 100, at most 50: cut to 123500, +50
    SetEditValueLimits(0.05, 9999, 0, 6);
}

TEST(MeterReading, FiveCharacterReadout)
{
    struct Row { double v; int flags; const char* text; int code; };
    const Row rows[] = {
        {0.004, 0, " 0.00", 0},   {1.234, 0, " 1.23", 0},    {-1.234, 0, "-1.23", 0},
        {9.995, 0, " 10.0", 0},   {99.96, 0, "  100", 0},    {123456, 0, "+++++", 0},
        {-123456, 0, "-----", 0}, {0.0005, 0x400, "  500", 2}, {0.5, 0x400, "  500", 1},
        {0.5, 0, " 0.50", 0},     {2.0, 0x400, " 2.00", 0},  {0.0, 0x400, " 0.00", 2},
    };
    for (const Row& r : rows) {
        MeterReading m = FormatMeterReading(r.v, r.flags);
        EXPECT_EQ(m.text, r.text) << r.v;
        EXPECT_EQ(m.scaleCode, r.code) << r.v;
    }
}
