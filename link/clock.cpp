#include "link/clock.h"

#include <cerrno>
#include <ctime>

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

uint32_t SystemClock::nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SystemClock::sleepMs(uint32_t ms)
{
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // A signal must not shorten a pause: the pauses pace the reader.
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

} // namespace tempik
