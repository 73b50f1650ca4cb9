// The production tone lasts as long as asked, with or without a sound device.
#include "ui/window/tone.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tempik {
namespace {

TEST(SystemTone, ReturnsOnlyWhenTheToneHasEnded)
{
    const std::unique_ptr<Tone> tone = makeSystemTone();
    for (const int ms : {60, 120}) {
        const auto start = std::chrono::steady_clock::now();
        tone->playTone(1000, ms);
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(elapsed, ms);
        EXPECT_LT(elapsed, ms + 400) << "a tone must not hang the window";
    }
}

TEST(SystemTone, NothingToPlayReturnsAtOnce)
{
    const std::unique_ptr<Tone> tone = makeSystemTone();
    const auto start = std::chrono::steady_clock::now();
    tone->playTone(300, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

} // namespace
} // namespace tempik
