#pragma once
// Time as the link sees it: an unsigned 32-bit millisecond count that wraps, plain sleeps for
// the write pacing and pauses, and the spin used after a command sent without reply.
#include <cstdint>
#include <ctime>

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

// Nanoseconds on the platform's monotonic clock.
int64_t monotonicNanoseconds();

// The PC's local time now.
std::tm localTimeNow();

// The monotonic clock. A sleep wakes late by the scheduler's latency (tens to hundreds of
// microseconds); the seven pauses of one request would add that up. So a pause that follows the
// previous one closely gives back what that one overran, at most a quarter of its length and
// 0.5 ms: a run of pauses lasts its sum plus one late wake-up, and every pause on its own still
// lasts at least three quarters of its length. Time spent between the pauses (a write draining
// to the line) is never given back. One thread uses a clock.
class SystemClock final : public Clock {
public:
    uint32_t nowMs() override;
    void sleepMs(uint32_t ms) override;

private:
    int64_t lastWakeNs_ = 0;
    int64_t overrunNs_ = 0;
};

} // namespace tempik
