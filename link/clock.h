#pragma once
// Time as the link sees it: an unsigned 32-bit millisecond count that wraps, plain sleeps for
// the write pacing and pauses, and the spin used after a command sent without reply.
#include <cstdint>

namespace tempik {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic clock, cut to 32 bits; wraps to 0 after 2^32 - 1.
    virtual uint32_t nowMs() = 0;
    // Suspends the calling thread for ms milliseconds.
    virtual void sleepMs(uint32_t ms) = 0;
    // Called once per turn of a busy-wait. The real clock does nothing (it really spins);
    // a fake clock moves its time on here, so a spin ends without real waiting.
    virtual void relax() {}
};

// Time from start to now, modulo 2^32, so a wrap between the readings changes nothing.
uint32_t elapsedSince(Clock& clock, uint32_t start);

// Spins (no sleep, no event processing) until at least ms have passed; returns the elapsed time.
uint32_t waitMilliseconds(Clock& clock, uint32_t ms);

class SystemClock final : public Clock {
public:
    uint32_t nowMs() override;
    void sleepMs(uint32_t ms) override;
};

} // namespace tempik
