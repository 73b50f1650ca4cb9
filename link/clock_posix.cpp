// The system clock on POSIX: CLOCK_MONOTONIC, absolute clock_nanosleep, 1 ns timer slack.
#include "link/clock.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

namespace tempik {

namespace {

constexpr int64_t nsPerMs = 1000000;
// A pause that starts this soon after the previous one woke continues its run of pauses; the
// longest write between two pauses of a request (one byte at 1200 baud) takes about 9 ms.
constexpr int64_t runGapNs = 20 * nsPerMs;
constexpr int64_t maxCreditNs = nsPerMs / 2;

} // namespace

int64_t monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 * nsPerMs + now.tv_nsec;
}

std::tm localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

uint32_t SystemClock::nowMs()
{
    return static_cast<uint32_t>(static_cast<uint64_t>(monotonicNanoseconds() / nsPerMs));
}

void SystemClock::sleepMs(uint32_t ms)
{
    static thread_local const bool preciseWakeUps = [] {
        // The default timer slack of 50 us would be added to every pause.
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        return true;
    }();
    (void)preciseWakeUps;

    const int64_t start = monotonicNanoseconds();
    const int64_t length = static_cast<int64_t>(ms) * nsPerMs;
    const bool continuesRun = lastWakeNs_ != 0 && start - lastWakeNs_ <= runGapNs;
    const int64_t credit = continuesRun ? std::min({overrunNs_, length / 4, maxCreditNs}) : 0;
    const int64_t deadline = start + length - credit;
    const timespec at{static_cast<time_t>(deadline / (1000 * nsPerMs)), static_cast<long>(deadline % (1000 * nsPerMs))};
    // A signal must not shorten a pause: the pauses pace the reader.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
    lastWakeNs_ = monotonicNanoseconds();
    overrunNs_ = std::max<int64_t>(0, lastWakeNs_ - deadline);
}

} // namespace tempik
