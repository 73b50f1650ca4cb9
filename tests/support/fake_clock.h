#pragma once
// A settable clock: sleeps move time on at once and are recorded, a spin moves it 1 ms per turn,
// so waits, deadlines and wrap-around are tested without waiting.
#include "link/clock.h"

#include <vector>

namespace tempik::testing {

class FakeClock final : public Clock {
public:
    explicit FakeClock(uint32_t start = 1000) : now_(start) {}

    uint32_t nowMs() override { return now_; }
    void sleepMs(uint32_t ms) override
    {
        sleeps.push_back(ms);
        now_ += ms;
    }
    void relax() override { now_ += 1; }

    // Time passing without a sleep of the program (a read time-out, a reply in flight).
    void advance(uint32_t ms) { now_ += ms; }
    void set(uint32_t ms) { now_ = ms; }

    std::vector<uint32_t> sleeps;   // every sleepMs, in order

private:
    uint32_t now_;
};

} // namespace tempik::testing
