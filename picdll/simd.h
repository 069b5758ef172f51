// Whether the hot loops may use SSE2. x86-64 always has it. 32-bit x86 builds do not
// assume it: there the functions that use it are compiled for it one by one, and the
// processor is asked once whether it can run them.
#pragma once

#if defined(__SSE2__)
#define PICDLL_SSE2 1
#define PICDLL_SSE2_FUNCTION
namespace picdll {
inline bool UseSse2() { return true; }
}  // namespace picdll
#elif defined(__GNUC__) && defined(__i386__)
#define PICDLL_SSE2 1
#define PICDLL_SSE2_FUNCTION __attribute__((target("sse2")))
namespace picdll {
inline bool UseSse2()
{
    static const bool available = __builtin_cpu_supports("sse2");
    return available;
}
}  // namespace picdll
#else
#define PICDLL_SSE2 0
#endif

#if PICDLL_SSE2
#include <emmintrin.h>
#endif
