// The system clock on Windows: timeGetTime for the millisecond count, the performance counter
// for pauses. The default timer ticks every 15.6 ms, which would make each 2 ms pause 15.6 ms:
// the process asks for a 1 ms period for its whole life, sleeps in 1 ms steps while more than
// 2 ms remain, and spins the rest on the performance counter, so a pause ends within
// microseconds of its length.
#include "link/clock.h"

#include <windows.h>

#include <mmsystem.h>

namespace tempik {

namespace {

constexpr int64_t nsPerMs = 1'000'000;
constexpr int64_t spinNs = 2 * nsPerMs;

// Asked once; Windows gives the period back when the process ends.
void askForMillisecondTimer()
{
    static const bool asked = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)asked;
}

} // namespace

int64_t monotonicNanoseconds()
{
    static const int64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<int64_t>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const int64_t ticks = now.QuadPart;
    return ticks / frequency * 1'000'000'000 + ticks % frequency * 1'000'000'000 / frequency;
}

std::tm localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

uint32_t SystemClock::nowMs()
{
    askForMillisecondTimer();
    return static_cast<uint32_t>(timeGetTime());
}

void SystemClock::sleepMs(uint32_t ms)
{
    askForMillisecondTimer();
    const int64_t deadline = monotonicNanoseconds() + static_cast<int64_t>(ms) * nsPerMs;
    while (deadline - monotonicNanoseconds() > spinNs)
        Sleep(1);
    while (monotonicNanoseconds() < deadline)
        YieldProcessor();
    lastWakeNs_ = monotonicNanoseconds();
    overrunNs_ = lastWakeNs_ - deadline;
}

} // namespace tempik
