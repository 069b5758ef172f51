#include "base/random.h"

namespace {
uint32_t g_seed = 1;
}

int RandomValue()
{
    g_seed = g_seed * 214013u + 2531011u;
    return static_cast<int>((g_seed >> 16) & 0x7FFF);
}

void SeedRandom(uint32_t seed) { g_seed = seed; }

uint32_t RandomSeed() { return g_seed; }
