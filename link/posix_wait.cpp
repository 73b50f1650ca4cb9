#include "link/posix_wait.h"

#include "link/clock.h"
#include "link/stop_request.h"

#include <cerrno>
#include <ctime>
#include <poll.h>

namespace tempik::posixWait {

namespace {

timespec toTimespec(int64_t ns)
{
    if (ns < 0)
        ns = 0;
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

short pollUntil(int fd, short events, int64_t deadlineNs)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const timespec left = toTimespec(deadlineNs - monotonicNanoseconds());
        const int ready = ppoll(&p, 1, &left, nullptr);
        if (ready > 0)
            return p.revents;
        if (ready == 0 || errno != EINTR || stopRequested())
            return 0;
    }
}

void sleepUntil(int64_t deadlineNs)
{
    const timespec at = toTimespec(deadlineNs);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

} // namespace tempik::posixWait
