// The system clock on Windows: timeGetTime for the millisecond count, the performance counter
// for pauses. The default timer ticks every 15.6 ms, which would make each 2 ms pause 15.6 ms: a
// pause waits on a high-resolution waitable timer (Windows 10 1803 and later, and Wine) set to end
// 1.5 ms early, since it may wake up to a millisecond late (Wine counts its timers in whole
// milliseconds), and spins the rest on the performance counter. Where there is no such timer,
// the process asks for a 1 ms timer period for its whole life, sleeps in 1 ms steps while more
// than 2 ms remain and spins the rest.
#include "link/clock.h"

#include <windows.h>

#include <mmsystem.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002   // Windows 10 1803; older headers lack it
#endif

namespace tempik {

namespace {

constexpr int64_t nsPerMs = 1'000'000;
constexpr int64_t timerMarginNs = 3 * nsPerMs / 2;
// Sleep(1) lasts up to 2 ms with a 1 ms timer period.
constexpr int64_t sleepStepLimitNs = 2 * nsPerMs;

// Asked once; Windows gives the period back when the process ends.
void askForMillisecondTimer()
{
    static const bool asked = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)asked;
}

// One timer for the thread; null where high-resolution timers do not exist.
HANDLE highResolutionTimer()
{
    struct Timer {
        HANDLE handle = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                               TIMER_ALL_ACCESS);
        ~Timer()
        {
            if (handle)
                CloseHandle(handle);
        }
    };
    static thread_local const Timer timer;
    return timer.handle;
}

// False when the timer cannot be used; the caller then sleeps the other way.
bool waitOnTimer(int64_t ns)
{
    const HANDLE timer = highResolutionTimer();
    LARGE_INTEGER due{};
    due.QuadPart = -(ns / 100);   // relative, in units of 100 ns
    return timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
           WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0;
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
    const int64_t length = static_cast<int64_t>(ms) * nsPerMs;
    const int64_t deadline = monotonicNanoseconds() + length;
    // Ending the timer early and spinning the last part keeps the seven pauses of a request from
    // adding up their late wake-ups.
    if (length > timerMarginNs && !waitOnTimer(length - timerMarginNs)) {
        askForMillisecondTimer();
        while (deadline - monotonicNanoseconds() > sleepStepLimitNs)
            Sleep(1);
    }
    while (monotonicNanoseconds() < deadline)
        YieldProcessor();
}

} // namespace tempik
