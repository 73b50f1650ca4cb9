// How each command changes the simulated reader's state, and what it refuses.
#include "sim/reader_state.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

namespace tempik::sim {
namespace {

using Field = std::string ReaderState::*;

struct Row : testing::NamedRow {
    std::string code;
    std::string argument;
    Field field;
    std::string expected;   // the field's value afterwards
    CommandOutcome outcome;
};

class CommandTest : public ::testing::TestWithParam<Row> {};

TEST_P(CommandTest, ChangesOnlyWhatItShould)
{
    const Row& row = GetParam();
    ReaderState state;
    ReaderState before = state;
    EXPECT_EQ(applyCommand(state, row.code, row.argument), row.outcome);
    EXPECT_EQ(state.*row.field, row.expected);
    // Every other field is untouched.
    before.*row.field = row.expected;
    for (Field f : {&ReaderState::identifier, &ReaderState::serial, &ReaderState::version,
                    &ReaderState::line, &ReaderState::hourMode, &ReaderState::clock,
                    &ReaderState::language, &ReaderState::password, &ReaderState::volume,
                    &ReaderState::cardType, &ReaderState::backlight, &ReaderState::workTime,
                    &ReaderState::idleScreen, &ReaderState::titleMode, &ReaderState::titleText,
                    &ReaderState::installMessage, &ReaderState::titleMessage,
                    &ReaderState::showMessage})
        EXPECT_EQ(state.*f, before.*f);
    EXPECT_TRUE(state.picture == before.picture);
}

const auto applied = CommandOutcome::applied;
const auto refused = CommandOutcome::refused;

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTest,
    ::testing::Values(
        Row{"IdentifierWithOwnSerial", "AD", "202612080042", &ReaderState::identifier, "0042", applied},
        Row{"IdentifierWithOtherSerial", "AD", "202612090042", &ReaderState::identifier, "0001", refused},
        Row{"IdentifierZero", "AD", "202612080000", &ReaderState::identifier, "0001", refused},
        Row{"IdentifierNotDigits", "AD", "2026120800A2", &ReaderState::identifier, "0001", refused},
        Row{"IdentifierShort", "AD", "20261208042", &ReaderState::identifier, "0001", refused},
        Row{"LineIndex0", "AE", "0", &ReaderState::line, "4800,n,8,1", applied},
        Row{"LineIndex7", "AE", "7", &ReaderState::line, "38400,e,8,1", applied},
        Row{"LineIndexD", "AE", "D", &ReaderState::line, "230400,e,8,1", applied},
        Row{"LineIndexE", "AE", "E", &ReaderState::line, "19200,e,8,1", refused},
        Row{"LineLowerCase", "AE", "a", &ReaderState::line, "19200,e,8,1", refused},
        Row{"LineTwoDigits", "AE", "10", &ReaderState::line, "19200,e,8,1", refused},
        Row{"Hour12", "BD", "0", &ReaderState::hourMode, "0", applied},
        Row{"HourTwo", "BD", "2", &ReaderState::hourMode, "1", refused},
        Row{"Clock", "AA", "20261208210502", &ReaderState::clock, "20261208210502", applied},
        Row{"ClockShort", "AA", "2026120821050", &ReaderState::clock, "", refused},
        Row{"LanguageSimplified", "BC", "2", &ReaderState::language, "2", applied},
        Row{"LanguageThree", "BC", "3", &ReaderState::language, "0", refused},
        Row{"PasswordEmpty", "BF", "", &ReaderState::password, "", applied},
        Row{"PasswordAnyBytes", "BF", "a \xC4z", &ReaderState::password, "a \xC4z", applied},
        Row{"PasswordTooLong", "BF", "12345", &ReaderState::password, "0000", refused},
        Row{"VolumeZero", "BE", "0", &ReaderState::volume, "0", applied},
        Row{"Card64", "AH", "1", &ReaderState::cardType, "1", applied},
        Row{"BacklightNotFilled", "BH", "7", &ReaderState::backlight, "7", applied},
        Row{"BacklightTooLong", "BH", "1000", &ReaderState::backlight, "120", refused},
        Row{"WorkTime", "BJ", "999", &ReaderState::workTime, "999", applied},
        Row{"IdleOnlyTime", "AG", "1", &ReaderState::idleScreen, "1", applied},
        Row{"TitleModeTextAndIcon", "BA", "2", &ReaderState::titleMode, "2", applied},
        Row{"TitleModeOneIsAMode", "BA", "1", &ReaderState::titleMode, "1", applied},
        Row{"TitleModeThree", "BA", "3", &ReaderState::titleMode, "0", refused},
        Row{"TitleText", "BA", "1Front door      ", &ReaderState::titleText, "Front door      ", applied},
        Row{"TitleTextBlank", "BA", "1                ", &ReaderState::titleText, std::string(16, ' '), applied},
        Row{"InstallMessage", "BA", "3Office          ", &ReaderState::installMessage, "Office          ", applied},
        Row{"TitleMessage", "BA", "4Welcome", &ReaderState::titleMessage, "Welcome", applied},
        Row{"TitleOtherKind", "BA", "2Welcome", &ReaderState::titleMode, "0", refused},
        Row{"ShowMessage", "BI", "Hello!\xB0", &ReaderState::showMessage, "Hello!\xB0", applied},
        Row{"StatusWithArgument", "AS", "x", &ReaderState::identifier, "0001", refused},
        Row{"UnknownCode", "ZZ", "1", &ReaderState::identifier, "0001", CommandOutcome::unknown}),
    testing::rowName);

TEST(ReaderState, QueriesChangeNothing)
{
    ReaderState state;
    EXPECT_EQ(applyCommand(state, "AS", ""), CommandOutcome::query);
    EXPECT_EQ(applyCommand(state, "AV", ""), CommandOutcome::query);
}

TEST(ReaderState, FactoryDefaultsKeepIdentityAndClock)
{
    ReaderState state;
    state.serial = "ABCD1234";
    state.version = "02.00-07";
    for (auto [code, arg] : std::vector<std::pair<std::string, std::string>>{
             {"AD", "ABCD12349999"}, {"AE", "B"}, {"AA", "20300101000000"}, {"BD", "0"},
             {"BC", "1"}, {"BF", "42"}, {"BE", "3"}, {"AH", "1"}, {"BH", "250"}, {"BJ", "1"},
             {"AG", "1"}, {"BA", "2"}, {"BA", "1Title"}, {"BA", "3Place"}, {"BA", "4Message"},
             {"BI", "Show"}, {"BB", "0" + std::string(64, 'F')}})
        ASSERT_EQ(applyCommand(state, code, arg), CommandOutcome::applied) << code << arg;

    EXPECT_EQ(applyCommand(state, "AI", ""), CommandOutcome::applied);
    ReaderState factory;
    factory.serial = "ABCD1234";
    factory.version = "02.00-07";
    factory.clock = "20300101000000";
    EXPECT_EQ(state.identifier, "0001");
    EXPECT_EQ(state.line, "19200,e,8,1");
    EXPECT_EQ(state.clock, "20300101000000");
    EXPECT_EQ(state.serial, "ABCD1234");
    EXPECT_EQ(state.version, "02.00-07");
    EXPECT_EQ(state.password, factory.password);
    EXPECT_EQ(state.titleText, "");
    EXPECT_EQ(state.showMessage, "");
    EXPECT_TRUE(state.picture == factory.picture);
    EXPECT_EQ(applyCommand(state, "AI", "1"), CommandOutcome::refused);
}

// One pixel on, as the tool's picture layout puts it: block n = columns 16n..16n+15, upper band
// bytes 0-15, lower band 16-31, bit k = row k of the band.
struct PixelRow : testing::NamedRow {
    int block;
    int byte;
    uint8_t value;
    int x;
    int y;
};

class PictureBlockTest : public ::testing::TestWithParam<PixelRow> {};

TEST_P(PictureBlockTest, LightsExactlyOnePixel)
{
    const PixelRow& row = GetParam();
    std::string argument = std::to_string(row.block);
    for (int i = 0; i < Picture::blockBytes; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", i == row.byte ? row.value : 0);
        argument += hex;
    }
    ReaderState state;
    ASSERT_EQ(applyCommand(state, "BB", argument), CommandOutcome::applied);
    const auto rows = state.picture.rows();
    ASSERT_EQ(rows.size(), 16u);
    for (int y = 0; y < 16; ++y) {
        ASSERT_EQ(rows[static_cast<size_t>(y)].size(), 128u);
        for (int x = 0; x < 128; ++x)
            EXPECT_EQ(rows[static_cast<size_t>(y)][static_cast<size_t>(x)],
                      x == row.x && y == row.y ? '#' : '.')
                << "x " << x << " y " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, PictureBlockTest,
    ::testing::Values(PixelRow{"TopLeft", 0, 0, 0x01, 0, 0},
                      PixelRow{"BottomRight", 7, 31, 0x80, 127, 15},
                      PixelRow{"SecondBlockLowerBand", 1, 16, 0x01, 16, 8},
                      PixelRow{"UpperBandLastRow", 3, 5, 0x80, 53, 7},
                      PixelRow{"LowerBandFirstColumnOfBlock", 6, 16, 0x02, 96, 9}),
    testing::rowName);

TEST(PictureBlock, RefusesMalformedBlocks)
{
    ReaderState state;
    const std::string data(64, 'F');
    EXPECT_EQ(applyCommand(state, "BB", "8" + data), CommandOutcome::refused);
    EXPECT_EQ(applyCommand(state, "BB", "0" + data.substr(1)), CommandOutcome::refused);
    EXPECT_EQ(applyCommand(state, "BB", "0" + data.substr(1) + "G"), CommandOutcome::refused);
    EXPECT_TRUE(state.picture == Picture{});
}

TEST(PictureBlock, LaterBlockOverwritesOnlyItsColumns)
{
    ReaderState state;
    for (int n = 0; n < 8; ++n)
        applyCommand(state, "BB", std::to_string(n) + std::string(64, 'F'));
    applyCommand(state, "BB", "3" + std::string(64, '0'));
    for (const auto& row : state.picture.rows())
        EXPECT_EQ(row, std::string(48, '#') + std::string(16, '.') + std::string(64, '#'));
}

} // namespace
} // namespace tempik::sim
