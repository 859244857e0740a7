// The 15-bit pseudo-random generator that the parts' random choices assume:
// values 0..32767, so that "an even choice" is Rand15() < 0x4000 and fractions
// are Rand15() / 32767.0.  The C library's rand() here reaches 2^31 - 1 and
// would break those thresholds.
//
// Linear congruential: s = s * 214013 + 2531011 (mod 2^32), result bits 16..30.
#pragma once

#include <cstdint>

constexpr int RAND15_MAX = 0x7FFF;

class CRandom15 {
public:
    explicit CRandom15(uint32_t seed = 1) : m_state(seed) {}
    void Seed(uint32_t seed) { m_state = seed; }
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};

// The program's one generator (seeded once at start-up with the time of day),
// used where the parts make random choices.
int Rand15();
void SeedRand15(uint32_t seed);
