#include "model/solver/solver_random.h"

namespace {
// Linear congruential generator with the classic C runtime constants; bits
// 16..30 of the state are the result.
uint32_t g_State = 1;
}

int SolverRand()
{
    g_State = g_State * 214013u + 2531011u;
    return static_cast<int>((g_State >> 16) & 0x7FFFu);
}

void SeedSolverRand(uint32_t seed) { g_State = seed; }
