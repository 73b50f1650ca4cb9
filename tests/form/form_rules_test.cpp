// The form's rules without a window: what an edit box takes, where the window opens, and what a
// screen reader says for each control.
#include "tests/support/named_row.h"

#include "texts/text_table.h"
#include "ui/form/accessible_names.h"
#include "ui/form/control_table.h"
#include "ui/form/edit_box_rule.h"
#include "ui/form/window_placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace tempik::testing {
namespace {

struct Edit : NamedRow {
    size_t limit;
    int language;
    EditBoxText proposed;             // the text after the insertion, the cursor after it
    std::optional<EditBoxText> kept;  // nullopt: refused
};

class EditBoxRule : public ::testing::TestWithParam<Edit> {};

TEST_P(EditBoxRule, KeepsWhatFitsInCodePageBytesAtWholeCharacters)
{
    EXPECT_EQ(acceptEdit(GetParam().proposed, GetParam().limit, GetParam().language), GetParam().kept);
}

// "中" is two bytes in GBK and Big5 and missing from Windows-1252; "é" is one byte there, two in GBK.
INSTANTIATE_TEST_SUITE_P(
    Form, EditBoxRule,
    ::testing::Values(Edit{"TypingWithinTheLimit", 4, english, {"608", 3}, EditBoxText{"608", 3}},
                      Edit{"TypingPastTheLimit", 4, english, {"60827", 5}, EditBoxText{"6082", 4}},
                      Edit{"PasteCutWhereItGoesIn", 4, english, {"a777777b", 7}, EditBoxText{"a77b", 3}},
                      Edit{"AccentedLetterTwoBytesInGbk", 3, simplifiedChinese, {"éé", 4}, EditBoxText{"é", 2}},
                      Edit{"ChinesePasteCutAtAWholeCharacter", 5, simplifiedChinese, {"a中中中b", 10}, EditBoxText{"a中b", 4}},
                      Edit{"ChineseInBig5", 4, traditionalChinese, {"中文", 6}, EditBoxText{"中文", 6}},
                      Edit{"ChineseMissingFromWindows1252", 16, english, {"ab中", 5}, std::nullopt},
                      Edit{"LineFeed", 16, english, {"ab\n", 3}, std::nullopt},
                      Edit{"Tab", 16, english, {"a\tb", 2}, std::nullopt},
                      Edit{"Delete", 16, english, {"ab\x7f", 3}, std::nullopt},
                      Edit{"EscapeInChinese", 16, simplifiedChinese, {"\x1b[31m", 1}, std::nullopt}),
    rowName);

TEST(EditBoxRule, FittedTextDropsWhatThePageLacksAndStopsAtTheLimit)
{
    EXPECT_EQ(fittedText("a中b", 16, english), "ab");
    EXPECT_EQ(fittedText("éééé", 3, simplifiedChinese), "é");
    EXPECT_EQ(fittedText("Office", 16, simplifiedChinese), "Office");
}

struct Placement : NamedRow {
    ScreenArea available;
    ScreenPoint frameTopLeft;
};

class WindowPlacement : public ::testing::TestWithParam<Placement> {};

// A frame of 720 x 570 (the window with its title bar and borders).
TEST_P(WindowPlacement, CentredButTheTitleBarStaysOnTheScreen)
{
    EXPECT_EQ(placeOnScreen(GetParam().available, 720, 570), GetParam().frameTopLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Form, WindowPlacement,
    ::testing::Values(Placement{"Centred", {0, 0, 1280, 1024}, {280, 227}},
                      Placement{"SecondScreenRightOfTheFirst", {1280, 0, 1920, 1050}, {1880, 240}},
                      // 1280 x 1024 at twice the scale: the frame is larger than the area.
                      Placement{"DoubleScaleTooSmall", {0, 0, 640, 512}, {0, 0}},
                      Placement{"TaskBarOnTop", {0, 40, 640, 472}, {0, 40}},
                      Placement{"JustWideEnough", {0, 0, 720, 600}, {0, 15}}),
    rowName);

class Names : public ::testing::TestWithParam<int> {};

// Every control that takes the focus gets a name in the window language, never with "&".
TEST_P(Names, EveryTabStopHasOneInTheWindowLanguage)
{
    const int language = GetParam();
    std::map<std::string, std::string> names;
    for (const AccessibleName& named : accessibleNames(language))
        names[named.control] = named.name;   // a later name replaces an earlier one, as in a view
    int named = 0;
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        const bool label = row.kind == ControlKind::panel || row.kind == ControlKind::label;
        if (row.tab == noTab || label)
            continue;   // a panel reads its own text
        ++named;
        const std::string& name = names[row.name];
        const bool chinese = std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE4; });
        EXPECT_FALSE(name.empty()) << row.name;
        EXPECT_EQ(chinese, language != english) << row.name << ": " << name;
        EXPECT_EQ(name.find('&'), std::string::npos) << row.name;
    }
    EXPECT_EQ(named, 41);
}

INSTANTIATE_TEST_SUITE_P(Languages, Names, ::testing::Values(0, 1, 2));

TEST(Names, SpokenTextLeavesOutAcceleratorsAndColons)
{
    EXPECT_EQ(spokenText("Set &Password"), "Set Password");
    EXPECT_EQ(spokenText("设定密码(&P)"), "设定密码");
    EXPECT_EQ(spokenText("Password:"), "Password");
    EXPECT_EQ(spokenText("000-250 "), "000-250");
}

} // namespace
} // namespace tempik::testing
