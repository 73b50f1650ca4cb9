// The 32-bit millisecond clock: differences modulo 2^32 and the spin across a wrap.
#include "link/clock.h"
#include "tests/support/fake_clock.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tempik
