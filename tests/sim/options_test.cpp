// The command line of tempik-sim: what it accepts and how it refuses.
#include "sim/options.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

namespace tempik::sim {
namespace {

TEST(Options, DefaultsWithoutArguments)
{
    const auto parsed = parseOptions({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.line, "19200,e,8,1");
    EXPECT_EQ(parsed.options.identifier, "0001");
    EXPECT_EQ(parsed.options.serial.size(), 8u);
    EXPECT_EQ(parsed.options.version.size(), 8u);
    EXPECT_TRUE(parsed.options.stateFile.empty());
    EXPECT_FALSE(parsed.options.faults.statusLength);
}

TEST(Options, EveryOptionInBothForms)
{
    const auto parsed = parseOptions(
        {"--line", "38400,n,8,1", "--id=0042", "--serial", "AB-12345", "--version=02.00-07",
         "--state", "/tmp/s.json", "--link=/tmp/COM3", "--silent-on", "AS,BF", "--silent-first=2",
         "--delay-ms", "150", "--noise=30", "--lowercase-check", "--status-length", "20",
         "--no-version", "--verbose"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const SimOptions& o = parsed.options;
    EXPECT_EQ(o.line, "38400,n,8,1");
    EXPECT_EQ(o.identifier, "0042");
    EXPECT_EQ(o.serial, "AB-12345");
    EXPECT_EQ(o.version, "02.00-07");
    EXPECT_EQ(o.stateFile, "/tmp/s.json");
    EXPECT_EQ(o.linkPath, "/tmp/COM3");
    EXPECT_EQ(o.faults.silentOn, (std::set<std::string>{"AS", "BF"}));
    EXPECT_EQ(o.faults.silentFirst, 2u);
    EXPECT_EQ(o.faults.delayMs, 150u);
    EXPECT_EQ(o.faults.noise, 30u);
    EXPECT_TRUE(o.faults.lowercaseCheck);
    EXPECT_EQ(o.faults.statusLength, 20u);
    EXPECT_TRUE(o.faults.noVersion);
    EXPECT_TRUE(o.verbose);
}

struct BadRow : testing::NamedRow {
    std::vector<std::string> args;
    const char* message;   // part of the error
};

class BadOptionsTest : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadOptionsTest, RefusedWithAClearMessage)
{
    const auto parsed = parseOptions(GetParam().args);
    EXPECT_FALSE(parsed.ok);
    EXPECT_NE(parsed.error.find(GetParam().message), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadOptionsTest,
    ::testing::Values(
        BadRow{"Unknown", {"--colour"}, "not expected: --colour"},
        BadRow{"Positional", {"COM3"}, "not expected: COM3"},
        BadRow{"MissingValue", {"--id"}, "--id: 1 required"},
        BadRow{"IdentifierThreeDigits", {"--id", "042"}, "four digits"},
        BadRow{"IdentifierZero", {"--id", "0000"}, "0001 to 9999"},
        BadRow{"LineGarbage", {"--line", "fast"}, "line definition"},
        BadRow{"LineOddSpeed", {"--line", "12345,n,8,1"}, "not a speed"},
        BadRow{"SerialShort", {"--serial", "1234567"}, "exactly 8"},
        BadRow{"SerialControlByte", {"--serial", "2026120\x04"}, "printable or from 0x80"},
        BadRow{"VersionControlByte", {"--version", "01.40-0\x03"}, "printable"},
        BadRow{"SilentOnLowerCase", {"--silent-on", "as"}, "two upper-case letters"},
        BadRow{"SilentOnTrailingComma", {"--silent-on", "AS,"}, "two upper-case letters"},
        BadRow{"DelayNotNumber", {"--delay-ms", "-5"}, "whole number"},
        BadRow{"StatusLengthTooShort", {"--status-length", "6"}, "from 7"},
        BadRow{"FlagWithValue", {"--bad-check=1"}, "disallowed flag override"},
        BadRow{"BothCheckFaults", {"--bad-check", "--lowercase-check"}, "exclude each other"}),
    testing::rowName);

TEST(Options, HelpNamesEveryOptionAndTheParityLimit)
{
    const std::string help = helpText();
    for (const char* name : {"--line", "--id", "--serial", "--version", "--state", "--link",
                             "--silent-on", "--silent-first", "--delay-ms", "--noise",
                             "--bad-check", "--lowercase-check", "--status-length", "--no-version"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
    EXPECT_NE(help.find("carries no parity"), std::string::npos);
}

} // namespace
} // namespace tempik::sim
