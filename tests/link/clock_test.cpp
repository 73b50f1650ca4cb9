// The 32-bit millisecond clock: differences modulo 2^32 and the spin across a wrap.
#include "link/clock.h"
#include "tests/support/fake_clock.h"

#include <gtest/gtest.h>

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
    EXPECT_GE(waitMilliseconds(clock, 2), 2u);
}

double msBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The pauses of a request, back to back: no pause is cut below its floor, and the run lasts at
// least its sum. That the late wake-ups do not add up is a figure of bench/link_bench.
TEST(Clock, SystemClockRunOfPausesLastsItsSumAndNoPauseIsCutShort)
{
    SystemClock clock;
    const auto start = std::chrono::steady_clock::now();
    auto before = start;
    for (int i = 0; i < 12; ++i) {
        clock.sleepMs(2);
        const auto after = std::chrono::steady_clock::now();
        EXPECT_GE(msBetween(before, after), 1.5) << "pause " << i;
        before = after;
    }
    EXPECT_GE(msBetween(start, before), 24.0);
}

TEST(Clock, SystemClockPauseAfterOtherWorkIsWhole)
{
    SystemClock clock;
    clock.sleepMs(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));   // a reply wait, say
    const auto start = std::chrono::steady_clock::now();
    clock.sleepMs(2);
    EXPECT_GE(msBetween(start, std::chrono::steady_clock::now()), 2.0) << "an overrun is given back only within a run of pauses";
}

} // namespace
} // namespace tempik
