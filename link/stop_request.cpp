#include "link/stop_request.h"

#include <atomic>

namespace tempik {

namespace {

std::atomic<int> requestedBy{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only store lock-free");

} // namespace

void requestStop(int signal) noexcept
{
    requestedBy.store(signal == 0 ? -1 : signal, std::memory_order_relaxed);
}

int stopSignal() noexcept
{
    return requestedBy.load(std::memory_order_relaxed);
}

} // namespace tempik
