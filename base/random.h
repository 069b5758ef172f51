// The process's one pseudo-random generator (linear congruential, 15-bit results).
#pragma once
#include <cstdint>

// Next value, 0..32767.
int RandomValue();
void SeedRandom(uint32_t seed);
// The generator's current state, so tests can check what a call consumed.
uint32_t RandomSeed();
