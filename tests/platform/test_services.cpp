#include "platform/messagebox.h"
#include "platform/numtext.h"
#include "platform/random15.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>

TEST(Random15, StaysInFifteenBitsAndRepeatsFromASeed)
{
    CRandom15 a(12345), b(12345);
    int lo = 0, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        int v = a.Next();
        ASSERT_EQ(v, b.Next());
        ASSERT_GE(v, 0);
        ASSERT_LE(v, RAND15_MAX);
        (v < 0x4000 ? lo : hi)++;
    }
    // An even choice is close to even.
    EXPECT_NEAR(lo / 100000.0, 0.5, 0.01);
    // The sequence from seed 1 (the unseeded state): 41, 18467, 6334 is the
    // well-known start of this generator.
    CRandom15 c(1);
    EXPECT_EQ(c.Next(), 41);
    EXPECT_EQ(c.Next(), 18467);
    EXPECT_EQ(c.Next(), 6334);
    SeedRand15(1);
    EXPECT_EQ(Rand15(), 41);
}

TEST(NumberText, FormatsLikeTheCLocale)
{
    struct Case { double v; int w, p; const char* text; };
    const Case cases[] = {
        {1.5, 5, 1, "  1.5"},   {-1.25, 5, 2, "-1.25"}, {123.456, 5, 0, "  123"},
        {0.004, 5, 2, " 0.00"}, {99999.0, 3, 0, "99999"}, {2.5, 0, 0, "2"},
        {3.5, 0, 0, "4"},       {0.0, 4, 1, " 0.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFixed(c.v, c.w, c.p), c.text) << c.v;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%*.*f", c.w, c.p, c.v);
        EXPECT_EQ(FormatFixed(c.v, c.w, c.p), buf) << c.v;
    }
    EXPECT_EQ(FormatGeneral(0.1), "0.1");
    EXPECT_EQ(FormatGeneral(1e-7), "1e-07");
    EXPECT_EQ(FormatExponent(12345.0, 0, 2), "1.23e+04");
    EXPECT_EQ(FormatInt(-42), "-42");
}

TEST(NumberText, ParsesWhateverTheLocaleSays)
{
    // A decimal comma locale must not change anything (when it exists here).
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    double v = 0;
    EXPECT_TRUE(ParseDouble("1.5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_EQ(FormatFixed(1.5, 0, 1), "1.5");
    std::setlocale(LC_NUMERIC, saved.c_str());

    struct Case { const char* text; bool ok; double v; };
    const Case cases[] = {
        {"  -2.5e3 ", true, -2500}, {"+7", true, 7}, {"1,5", false, 0}, {"", false, 0},
        {"abc", false, 0},          {"--1", false, 0}, {".5", true, 0.5}, {"1e400", true, HUGE_VAL},
    };
    for (const Case& c : cases) {
        double out = -1;
        EXPECT_EQ(ParseDouble(c.text, out), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(out, c.v) << c.text;
        }
    }
    // Out of range: subnormals keep their value, and a long run of leading
    // zeros underflows (it once read as infinity because it has no exponent).
    EXPECT_TRUE(ParseDouble("1e-320", v));
    EXPECT_EQ(v, 1e-320);
    EXPECT_TRUE(ParseDouble("0." + std::string(330, '0') + "1", v));
    EXPECT_EQ(v, 0.0);
    EXPECT_TRUE(ParseDouble("-" + std::string(330, '9'), v));
    EXPECT_EQ(v, -HUGE_VAL);
    size_t used = 0;
    EXPECT_EQ(ParseDoublePrefix("12.5kOhm", &used), 12.5);
    EXPECT_EQ(used, 4u);
    EXPECT_EQ(ParseDoublePrefix("x", &used), 0.0);
    EXPECT_EQ(used, 0u);
    long long n = 0;
    EXPECT_TRUE(ParseInt(" -17", n));
    EXPECT_EQ(n, -17);
    EXPECT_FALSE(ParseInt("17x", n));
    EXPECT_EQ(ParseIntPrefix("99999999999999999999"), INT64_MAX);
    EXPECT_EQ(ParseIntPrefix("-9223372036854775808"), INT64_MIN);
}

TEST(MessageBox, RecordingFakeAndScope)
{
    CRecordingMessageBox fake;
    fake.queuedAnswers = {IDYES};
    fake.answer = IDNO;
    {
        CMessageBoxScope scope(&fake);
        EXPECT_EQ(WbMessageBox("first", MB_YESNO | MB_ICONQUESTION), IDYES);
        EXPECT_EQ(WbMessageBox(CString("second")), IDNO);
        EXPECT_EQ(WbMessageBox(1u), IDNO);
    }
    ASSERT_EQ(fake.shown.size(), 3u);
    EXPECT_EQ(fake.shown[0].text, "first");
    EXPECT_EQ(fake.shown[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(fake.shown[2].text, "Marrowgate");
    // Outside the scope the silent default answers.
    EXPECT_EQ(WbMessageBox("unseen"), IDOK);
    EXPECT_EQ(fake.shown.size(), 3u);
}
