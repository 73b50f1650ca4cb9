#include "link/clock.h"

namespace tempik {

uint32_t elapsedSince(Clock& clock, uint32_t start)
{
    return clock.nowMs() - start;  // unsigned arithmetic is modulo 2^32
}

uint32_t waitMilliseconds(Clock& clock, uint32_t ms)
{
    const uint32_t start = clock.nowMs();
    uint32_t elapsed = 0;
    while ((elapsed = elapsedSince(clock, start)) < ms)
        clock.relax();
    return elapsed;
}

} // namespace tempik
