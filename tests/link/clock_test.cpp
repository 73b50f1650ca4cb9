// The 32-bit millisecond clock: differences modulo 2^32 and the spin across a wrap.
#include "link/clock.h"
#include "tests/support/fake_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace tempik {
namespace {

TEST(Clock, ElapsedIsModuloTwoToThe32)
{
    testing::FakeClock clock(3);
    EXPECT_EQ(elapsedSince(clock, 0xFFFFFFFEu), 5u);
    EXPECT_EQ(elapsedSince(clock, 3), 0u);
}

TEST(Clock, SpinAcrossTheWrapTakesItsTimeNotZeroNorDays)
{
    testing::FakeClock clock(0xFFFFFFFFu - 4);  // 5 ms before the count wraps
    EXPECT_EQ(waitMilliseconds(clock, 10), 10u);
    EXPECT_EQ(clock.nowMs(), 5u);
    EXPECT_TRUE(clock.sleeps.empty()) << "a spin must not sleep";
}

TEST(Clock, SystemClockMovesOnAndSleepsAtLeastTheTime)
{
    SystemClock clock;
    const uint32_t start = clock.nowMs();
    clock.sleepMs(3);
    const uint32_t slept = elapsedSince(clock, start);
    EXPECT_GE(slept, 3u);
    EXPECT_LT(slept, 1000u);
    EXPECT_GE(waitMilliseconds(clock, 2), 2u);
}

double msBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The pauses of a request, back to back: the run lasts its sum plus one late wake-up, not one
// per pause, and no pause is cut below its floor. A loaded machine can stall any one run, so the
// sum is judged on the best of a few runs; the floors hold in every run.
TEST(Clock, SystemClockRunOfPausesLastsItsSumAndNoPauseIsCutShort)
{
    using Steady = std::chrono::steady_clock;
    constexpr int pauses = 12;
    double bestExcessMs = 1e9;
    for (int run = 0; run < 5; ++run) {
        SystemClock clock;
        const auto start = Steady::now();
        auto before = start;
        for (int i = 0; i < pauses; ++i) {
            clock.sleepMs(2);
            const auto after = Steady::now();
            EXPECT_GE(msBetween(before, after), 1.5) << "pause " << i << " of run " << run;
            before = after;
        }
        bestExcessMs = std::min(bestExcessMs, msBetween(start, before) - pauses * 2.0);
    }
    EXPECT_GE(bestExcessMs, 0.0);
    EXPECT_LT(bestExcessMs, 0.25) << "the late wake-ups of a run of pauses must not add up";
}

TEST(Clock, SystemClockPauseAfterOtherWorkIsWhole)
{
    using Steady = std::chrono::steady_clock;
    SystemClock clock;
    clock.sleepMs(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));   // a reply wait, say
    const auto start = Steady::now();
    clock.sleepMs(2);
    EXPECT_GE(msBetween(start, Steady::now()), 2.0) << "an overrun is given back only within a run of pauses";
}

} // namespace
} // namespace tempik
