// Byte-exact payloads of every set operation, one table per group of operations: what the
// reader receives after the status query for given control values and window language.
#include "tests/reader/ops_fixture.h"

#include <functional>

namespace tempik::testing {
namespace {

using Operation = OperationOutcome (ReaderOperations::*)();

struct PayloadRow : NamedRow {
    std::function<void(RecordingControls&, Settings&, ReaderOperations&)> setup;
    Operation operation;
    std::vector<std::string> expected;   // after "0000AS"
};

std::string operator"" _b(const char* text, size_t length) { return std::string(text, length); }

std::tm clockAt(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

class PayloadTest : public OperationsTest, public ::testing::WithParamInterface<PayloadRow> {};

TEST_P(PayloadTest, SendsExactlyTheseBytes)
{
    const PayloadRow& row = GetParam();
    if (row.setup)
        row.setup(controls, settings, operations);
    EXPECT_EQ((operations.*row.operation)(), OperationOutcome::accepted);
    std::vector<std::string> expected = {"0000AS"};
    expected.insert(expected.end(), row.expected.begin(), row.expected.end());
    EXPECT_EQ(sent(), expected);
}

const PayloadRow identityRows[] = {
    {"LineSpeedIndex9", [](auto& c, auto&, auto&) { c.baudRate = 9; }, &ReaderOperations::btnBaudRateClick,
     {"0000AE9"}},
    {"LineSpeedIndex10", [](auto& c, auto&, auto&) { c.baudRate = 10; }, &ReaderOperations::btnBaudRateClick,
     {"0000AEA"}},
    {"LineSpeedIndex13", [](auto& c, auto&, auto&) { c.baudRate = 13; }, &ReaderOperations::btnBaudRateClick,
     {"0000AED"}},
    {"LineSpeedIndex0", [](auto& c, auto&, auto&) { c.baudRate = 0; }, &ReaderOperations::btnBaudRateClick,
     {"0000AE0"}},
    {"FactoryDefault", nullptr, &ReaderOperations::btnFactoryDefaultClick, {"0000AI"}},
};
INSTANTIATE_TEST_SUITE_P(IdentityAndLine, PayloadTest, ::testing::ValuesIn(identityRows), rowName);

const PayloadRow preferenceRows[] = {
    {"DateTimeMorningWith24H",
     [](auto& c, auto&, auto& o) {
         c.hour = 1;
         o.setLocalTimeSource([] { return clockAt(2024, 3, 7, 9, 5, 2); });
     },
     &ReaderOperations::btnDateTimeClick, {"0000BD1", "0000AA20240307090502"}},
    {"DateTimeEveningWith12H",
     [](auto& c, auto&, auto& o) {
         c.hour = 0;
         o.setLocalTimeSource([] { return clockAt(2031, 12, 31, 21, 5, 2); });
     },
     &ReaderOperations::btnDateTimeClick, {"0000BD0", "0000AA20311231210502"}},
    {"LanguageSimplifiedInEnglishWindow", [](auto& c, auto&, auto&) { c.language = 2; },
     &ReaderOperations::btnLanguageClick, {"0000BC2"}},
    {"LanguageTraditionalInSimplifiedWindow",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 1;
         c.language = 1;
     },
     &ReaderOperations::btnLanguageClick, {"0000BC1"}},
    {"LanguageSimplifiedInTraditionalWindow",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 2;
         c.language = 2;
     },
     &ReaderOperations::btnLanguageClick, {"0000BC2"}},
    {"LanguageEnglishInTraditionalWindow",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 2;
         c.language = 0;
     },
     &ReaderOperations::btnLanguageClick, {"0000BC0"}},
    {"Volume0", [](auto& c, auto&, auto&) { c.sound = 0; }, &ReaderOperations::btnVolumeClick, {"0000BE0"}},
    {"Volume9", [](auto& c, auto&, auto&) { c.sound = 9; }, &ReaderOperations::btnVolumeClick, {"0000BE9"}},
    {"PasswordEmpty", [](auto& c, auto&, auto&) { c.password = ""; }, &ReaderOperations::btnPasswordClick,
     {"0000BF"}},
    {"PasswordThreeCharactersUnchanged", [](auto& c, auto&, auto&) { c.password = "a1 "; },
     &ReaderOperations::btnPasswordClick, {"0000BFa1 "}},
    {"PasswordInWindows1252", [](auto& c, auto&, auto&) { c.password = "\xC3\xA9"; },
     &ReaderOperations::btnPasswordClick, {"0000BF\xE9"_b}},
    {"PasswordControlByteNeverFramed", [](auto& c, auto&, auto&) { c.password = "1\r2\x03"; },
     &ReaderOperations::btnPasswordClick, {"0000BF1?2?"}},
    {"PasswordDeleteNeverSent", [](auto& c, auto&, auto&) { c.password = "1\x7f" "2"; },
     &ReaderOperations::btnPasswordClick, {"0000BF1?2"}},
    {"CardType64Bits", [](auto& c, auto&, auto&) { c.cardType = 1; }, &ReaderOperations::btnCardTypeClick,
     {"0000AH1"}},
    {"BackLightThreeNines", [](auto& c, auto&, auto&) { c.backLight = "999"; },
     &ReaderOperations::btnBackLightClick, {"0000BH999"}},
    {"BackLightSevenNotZeroFilled", [](auto& c, auto&, auto&) { c.backLight = "7"; },
     &ReaderOperations::btnBackLightClick, {"0000BH7"}},
    {"WorkTime010", [](auto& c, auto&, auto&) { c.work = "010"; }, &ReaderOperations::btnWorkModeClick,
     {"0000BJ010"}},
    {"WorkTimeNonDigitsUnchecked", [](auto& c, auto&, auto&) { c.work = "x 9"; },
     &ReaderOperations::btnWorkModeClick, {"0000BJx 9"}},
    {"IdleOnlyTime", [](auto& c, auto&, auto&) { c.idle = 1; }, &ReaderOperations::btnIdleClick, {"0000AG1"}},
    {"TitleModeTextAndIcon", [](auto& c, auto&, auto&) { c.titleMode = 2; },
     &ReaderOperations::btnSetTitleModeClick, {"0000BA2"}},
    {"TitleModeNone", [](auto& c, auto&, auto&) { c.titleMode = 0; }, &ReaderOperations::btnSetTitleModeClick,
     {"0000BA0"}},
};
INSTANTIATE_TEST_SUITE_P(Preferences, PayloadTest, ::testing::ValuesIn(preferenceRows), rowName);

const std::string sp16(16, ' ');
const std::string sp128(128, ' ');

const PayloadRow textRows[] = {
    {"TitleOfSixteenCharactersHasNoFill", [](auto& c, auto&, auto&) { c.title = "KESTO Technology"; },
     &ReaderOperations::btnTitleClick, {"0000BA1KESTO Technology", "0000BA1"}},
    {"TitleEmptyIsSixteenSpaces", [](auto& c, auto&, auto&) { c.title = ""; }, &ReaderOperations::btnTitleClick,
     {"0000BA1" + sp16, "0000BA1"}},
    {"TitleClearIsTheEmptyTitleAlone", [](auto& c, auto&, auto&) { c.title = "ignored"; },
     &ReaderOperations::btnTitleClearClick, {"0000BA1" + sp16}},
    {"TitleLongerThanFieldIsCut", [](auto& c, auto&, auto&) { c.title = "KESTO Technology Ltd"; },
     &ReaderOperations::btnTitleClick, {"0000BA1KESTO Technology", "0000BA1"}},
    {"InstallPaddedToSixteen", [](auto& c, auto&, auto&) { c.install = "Office"; },
     &ReaderOperations::btnInstallClick, {"0000BA3Office          "}},
    {"InstallClear", nullptr, &ReaderOperations::btnClrInstallClick, {"0000BA3" + sp16}},
    {"MessageWelcomePaddedTo128", [](auto& c, auto&, auto&) { c.titleMessage = "Welcome"; },
     &ReaderOperations::btnTitleMessageClick, {"0000BA4Welcome" + std::string(121, ' ')}},
    {"MessageClearClearsTheTitleMessage", nullptr, &ReaderOperations::btnClrTitleClick, {"0000BA4" + sp128}},
    {"ShowHelloPaddedTo64", [](auto& c, auto&, auto&) { c.show = "Hello!"; },
     &ReaderOperations::btnShowMessageClick, {"0000BIHello!" + std::string(58, ' ')}},
    {"ShowLongerThanFieldIsCut", [](auto& c, auto&, auto&) { c.show = std::string(70, 'x'); },
     &ReaderOperations::btnShowMessageClick, {"0000BI" + std::string(64, 'x')}},
    {"MessageInWindows1252", [](auto& c, auto&, auto&) { c.titleMessage = "Caf\xC3\xA9"; },
     &ReaderOperations::btnTitleMessageClick, {"0000BA4Caf\xE9"_b + std::string(124, ' ')}},
    {"ChineseTitleCountedInGbkBytes",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 1;
         c.title = "中文标题";
     },
     &ReaderOperations::btnTitleClick, {"0000BA1\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2"_b + std::string(8, ' '), "0000BA1"}},
    {"ChineseTitleCountedInBig5Bytes",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 2;
         c.title = "中文標題";
     },
     &ReaderOperations::btnTitleClick, {"0000BA1\xA4\xA4\xA4\xE5\xBC\xD0\xC3\x44"_b + std::string(8, ' '), "0000BA1"}},
    {"ChineseTitleLongerThanFieldKeepsEightCharacters",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 1;
         c.title = "中文标题中文标题中";
     },
     &ReaderOperations::btnTitleClick,
     {"0000BA1\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2"_b, "0000BA1"}},
    {"ChineseTitleNeverCutInsideACharacter",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 1;
         c.title = "A中文标题中文标题";
     },
     &ReaderOperations::btnTitleClick,
     {"0000BA1A\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2\xD6\xD0\xCE\xC4\xB1\xEA "_b, "0000BA1"}},
    {"CharacterOutsideThePageIsAQuestionMark",
     [](auto& c, auto& s, auto&) {
         s.uiLanguage = 0;
         c.show = "A中B";
     },
     &ReaderOperations::btnShowMessageClick, {"0000BIA?B" + std::string(61, ' ')}},
};
INSTANTIATE_TEST_SUITE_P(Texts, PayloadTest, ::testing::ValuesIn(textRows), rowName);

class IdentifierTest : public OperationsTest {};

TEST_F(IdentifierTest, SerialNumberComesFromTheSameAttemptsStatusReply)
{
    controls.idCaption = "0042";
    // The second serial holds framing and control bytes: none may reach the payload.
    reader.serials = {"SERIAL01", "\x01\x02\x11\x13\x1B\x7F" "02"};
    reader.silences["0000AD"] = 1;

    EXPECT_EQ(operations.btnIDClick(), OperationOutcome::accepted);

    const std::vector<std::string> expected = {"0000AS", "0000ADSERIAL010042", "0000AS", "0000AD??????020042"};
    ASSERT_EQ(sent(), expected);
    EXPECT_EQ(sent()[1].size(), 18u);
}

TEST_F(IdentifierTest, ProgressTextNamesTheIdentifierBeforeTheChannelOpens)
{
    controls.idCaption = "0005";
    operations.btnIDClick();
    ASSERT_GE(controls.shown().size(), 1u);
    EXPECT_EQ(controls.shown().front(), "message Set &ID = 0005");
    EXPECT_EQ(controls.message, "Set Ok");
}

} // namespace
} // namespace tempik::testing
