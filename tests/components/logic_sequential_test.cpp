// Flip-flops, latches, counters and the decoder in real circuits: their
// sequences step by step, edges seen once per accepted step, and the states
// that a simulation reset keeps.
#include "components/counter10.h"
#include "components/counter10b.h"
#include "components/counter16.h"
#include "components/decoder.h"
#include "components/dtype.h"
#include "components/jk.h"
#include "components/rs.h"
#include "logic_support.h"

#include <gtest/gtest.h>

namespace {

// Test sources on every listed pin of a part, by pin index.
struct Driven {
    LogicBench& b;
    std::vector<CLogicTestSource*> src;
    Driven(LogicBench& bench, CComponent* part, int pins) : b(bench)
    {
        for (int i = 0; i < pins; ++i) src.push_back(b.SourceTo(part->GetTerminal(i)));
    }
    void Set(int pin, bool high) { src[pin]->volts = high ? b.Supply() : 0.0; }
};

bool High(LogicBench& b, CComponent* part, int pin)
{
    const double v = part->GetTerminal(pin)->GetVoltage();
    EXPECT_TRUE(std::fabs(v) < 1e-9 || std::fabs(v - b.Supply()) < 1e-9) << "pin " << pin << " at " << v;
    return v > b.Supply() / 2;
}

TEST(LogicSequential, DtypeTakesDOnTheRisingClockOnly)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* ff = b.AddAt<CDtype>(400, 400);
        ASSERT_EQ(ff->GetTerminalCount(), 4);
        Driven in(b, ff, 2);
        b.Reset();
        b.Run();
        EXPECT_TRUE(High(b, ff, 3));  // Q starts at 1
        EXPECT_FALSE(High(b, ff, 2));
        // (D, clock) per step and Q after it.
        struct Step {
            bool d, clock, q;
        };
        const Step steps[] = {{false, false, true}, {false, true, false}, {true, true, false}, {true, false, false},
                              {true, true, true},   {false, true, true},  {false, false, true}, {false, true, false}};
        for (const Step& s : steps) {
            in.Set(0, s.d);
            in.Set(1, s.clock);
            b.Run();
            b.Run();  // the outputs follow in the next solve
            EXPECT_EQ(ff->GetQ(), s.q);
            EXPECT_EQ(High(b, ff, 3), s.q);
            EXPECT_EQ(High(b, ff, 2), !s.q);
        }
    }
}

TEST(LogicSequential, JkTogglesSetsClearsAndObeysSetAndReset)
{
    LogicBench b;
    auto* ff = b.AddAt<CJK>(400, 400);
    ASSERT_EQ(ff->GetTerminalCount(), 7);
    enum { S, J, C, K, R, NQ, Q };
    Driven in(b, ff, 5);
    b.Reset();
    struct Step {
        bool s, j, k, r;
        bool q;
    };
    // Each row: inputs, then a full clock pulse (low, high); Q after it.
    const Step steps[] = {
        {0, 1, 1, 0, false}, {0, 1, 1, 0, true}, {0, 1, 0, 0, true}, {0, 0, 1, 0, false}, {0, 0, 0, 0, false},
        {0, 1, 0, 0, true},  {1, 0, 1, 0, true}, {0, 0, 0, 1, false}, {1, 0, 0, 1, false},
    };
    for (const Step& s : steps) {
        in.Set(S, s.s);
        in.Set(J, s.j);
        in.Set(K, s.k);
        in.Set(R, s.r);
        in.Set(C, false);
        b.Run();
        in.Set(C, true);
        b.Run();
        b.Run();
        EXPECT_EQ(ff->GetQ(), s.q) << s.s << s.j << s.k << s.r;
        EXPECT_EQ(High(b, ff, Q), s.q);
        EXPECT_EQ(High(b, ff, NQ), !s.q);
    }
}

TEST(LogicSequential, RsLatchSetsResetsAndHolds)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* rs = b.AddAt<CRS>(400, 400);
        ASSERT_EQ(rs->GetTerminalCount(), 4);
        Driven in(b, rs, 2);
        b.Reset();
        struct Step {
            bool s, r, q;
        };
        const Step steps[] = {{1, 0, true}, {0, 0, true}, {0, 1, false}, {0, 0, false}, {1, 0, true}, {0, 0, true}};
        for (const Step& s : steps) {
            in.Set(0, s.s);
            in.Set(1, s.r);
            b.Run(2);
            EXPECT_EQ(High(b, rs, 2), s.q) << f.family << " S" << s.s << " R" << s.r;
            EXPECT_EQ(High(b, rs, 3), !s.q) << f.family;
        }
    }
}

template <class Counter>
void CountThrough(int modulus, int outputs)
{
    LogicBench b;
    auto* c = b.AddAt<Counter>(400, 400);
    ASSERT_EQ(c->GetTerminalCount(), 3 + outputs);
    Driven in(b, c, 3);
    in.Set(1, true);  // clock B enables clock A
    b.Reset();
    auto shown = [&] {
        if (outputs == 4) {
            int v = 0;
            for (int bit = 0; bit < 4; ++bit) v |= High(b, c, 3 + 3 - bit) << bit;
            return v;
        }
        int digit = -1, lit = 0;
        for (int i = 0; i < outputs; ++i)
            if (High(b, c, 3 + outputs - 1 - i)) digit = i, ++lit;
        EXPECT_EQ(lit, 1);
        return digit;
    };
    b.Run(2);
    EXPECT_EQ(shown(), 0);
    for (int edge = 1; edge <= 2 * modulus + 3; ++edge) {
        in.Set(0, true);
        b.Run();
        in.Set(0, false);  // falling edge
        b.Run();
        b.Run();
        EXPECT_EQ(c->GetCount(), edge % modulus) << edge;
        EXPECT_EQ(shown(), edge % modulus) << edge;
    }
    // Clock B low blocks clock A.
    const int before = c->GetCount();
    in.Set(1, false);
    for (int i = 0; i < 3; ++i) {
        in.Set(0, true);
        b.Run();
        in.Set(0, false);
        b.Run();
    }
    EXPECT_EQ(c->GetCount(), before);
    // A high reset holds it at 0 through clock pulses.
    in.Set(1, true);
    in.Set(2, true);
    for (int i = 0; i < 3; ++i) {
        in.Set(0, true);
        b.Run();
        in.Set(0, false);
        b.Run();
        EXPECT_EQ(c->GetCount(), 0);
    }
    b.Run();
    EXPECT_EQ(shown(), 0);
}

TEST(LogicSequential, BinaryCounterCountsToSixteen) { CountThrough<CCounter16>(16, 4); }
TEST(LogicSequential, DecadeCounterWrapsOnTheTenthEdge) { CountThrough<CCounter10>(10, 4); }
TEST(LogicSequential, DecodedDecadeCounterLightsOneOutput) { CountThrough<CCounter10B>(10, 10); }

TEST(LogicSequential, CounterKeepsItsCountThroughAReset)
{
    LogicBench b;
    auto* c = b.AddAt<CCounter10>(400, 400);
    Driven in(b, c, 3);
    in.Set(1, true);
    b.Reset();
    for (int i = 0; i < 3; ++i) {
        in.Set(0, true);
        b.Run();
        in.Set(0, false);
        b.Run();
    }
    EXPECT_EQ(c->GetCount(), 3);
    c->OnSimulationStopped();
    b.Reset();
    EXPECT_EQ(c->GetCount(), 3);
}

TEST(LogicSequential, DecoderLightsTheOutputOfItsInputValue)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        LogicBench b(f.family, f.supply);
        auto* dec = b.AddAt<CDecoder>(400, 400);
        ASSERT_EQ(dec->GetTerminalCount(), 14);
        Driven in(b, dec, 4);
        b.Reset();
        // Every value 0..15 and back down, so each input changes both ways.
        for (int pass = 0; pass < 2; ++pass)
            for (int k = 0; k < 16; ++k) {
                const int value = pass ? 15 - k : k;
                for (int bit = 0; bit < 4; ++bit) in.Set(bit, (value >> bit) & 1);
                b.Run(2);
                for (int digit = 0; digit < 10; ++digit)
                    EXPECT_EQ(High(b, dec, CDecoder::OutputPin(digit)), digit == value)
                        << f.family << " value " << value << " digit " << digit;
            }
    }
}

} // namespace
