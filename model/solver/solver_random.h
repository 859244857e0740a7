// The 15-bit random generator (0..32767) that the device models draw their
// tie-breaks from, so that every model uses the same sequence as the rest of
// the program and tests can seed it.
#pragma once

#include <cstdint>

// Next number, 0..32767.
int SolverRand();
// Restarts the sequence.
void SeedSolverRand(uint32_t seed);
