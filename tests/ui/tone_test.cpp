// The production tone lasts as long as asked, with or without a sound device. How much longer,
// and that nothing to play returns at once, are figures of bench/tone_bench.
#include "ui/form/tone.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tempik {
namespace {

TEST(SystemTone, ReturnsOnlyWhenTheToneHasEnded)
{
    const std::unique_ptr<Tone> tone = makeSystemTone();
    for (const int ms : {0, 60, 120}) {
        const auto start = std::chrono::steady_clock::now();
        tone->playTone(ms ? 1000 : 300, ms);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms));
    }
}

} // namespace
} // namespace tempik
