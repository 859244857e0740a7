#include "platform/random15.h"

namespace {
// Seeded like the C library's generator before any srand: 1.
CRandom15 g_random(1);
} // namespace

int Rand15() { return g_random.Next(); }

void SeedRand15(uint32_t seed) { g_random.Seed(seed); }
