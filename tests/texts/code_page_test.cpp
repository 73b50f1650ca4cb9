// The code pages of the texts an operator types: bytes checked against the code charts, one
// "?" for each character a page cannot hold, and byte lengths as the edit boxes count them.
#include "texts/code_page.h"

#include "texts/text_table.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

namespace tempik {
namespace {

struct PageRow : testing::NamedRow {
    int uiLanguage;
    std::string utf8;
    std::string page;
};

const PageRow pageRows[] = {
    {"AsciiUnchanged", english, "0000BF1234", "0000BF1234"},
    {"LatinAccent", english, "Caf\xc3\xa9", "Caf\xe9"},
    {"EuroSignIsNotLatin1", english, "\xe2\x82\xac", "\x80"},
    {"ChineseInEnglishPage", english, "A\xe4\xb8\xad" "B", "A?B"},
    {"SimplifiedChinese", simplifiedChinese, "\xe4\xb8\xad\xe6\x96\x87", "\xd6\xd0\xce\xc4"},
    // GBK goes beyond GB2312: 體 is a Traditional character it still holds
    {"GbkHoldsTraditional", simplifiedChinese, "\xe9\xab\x94", "\xf3\x77"},
    {"EmojiIsOneQuestionMark", simplifiedChinese, "x\xf0\x9f\x98\x80y", "x?y"},
    {"TraditionalChinese", traditionalChinese, "\xe4\xb8\xad\xe6\x96\x87", "\xa4\xa4\xa4\xe5"},
    // 功 ends in the byte of a backslash
    {"Big5TrailByteBackslash", traditionalChinese, "\xe5\x8a\x9f", "\xa5\x5c"},
    // 简 exists only in Simplified Chinese
    {"SimplifiedOnlyInBig5", traditionalChinese, "\xe7\xae\x80\xe4\xb8\xad", "?\xa4\xa4"},
    {"Empty", traditionalChinese, "", ""},
    // Where the tables of Windows and glibc could part: the euro sign, and private use (Windows
    // maps the user-defined areas there, glibc does not; both agree on Big5's ETEN block).
    {"EuroSignInGbk", simplifiedChinese, "\xe2\x82\xac", "\x80"},
    {"EuroSignInBig5", traditionalChinese, "\xe2\x82\xac", "\xa3\xe1"},
    {"PrivateUseInGbk", simplifiedChinese, "\xee\x80\x80", "?"},
    {"PrivateUseInBig5", traditionalChinese, "\xee\x80\x80", "?"},
    {"Big5EtenPrivateUse", traditionalChinese, "\xef\x9a\xb1", "\xc6\xa1"},
};

class PageTest : public ::testing::TestWithParam<PageRow> {};

TEST_P(PageTest, ConvertsToThePage)
{
    const PageRow& row = GetParam();
    EXPECT_EQ(toCodePage(row.utf8, row.uiLanguage), row.page);
    EXPECT_EQ(codePageLength(row.utf8, row.uiLanguage), row.page.size());
}

INSTANTIATE_TEST_SUITE_P(Rows, PageTest, ::testing::ValuesIn(pageRows),
                         testing::rowName);

TEST(CodePage, RoundTripsWhatThePageHolds)
{
    for (const PageRow& row : pageRows) {
        if (row.page.find('?') != std::string::npos)
            continue;
        EXPECT_EQ(fromCodePage(row.page, row.uiLanguage), row.utf8) << row.name;
    }
}

TEST(CodePage, BrokenInputBecomesQuestionMarksAndConversionGoesOn)
{
    // A byte that starts no UTF-8 character, and a character cut off at the end.
    EXPECT_EQ(toCodePage("a\xff" "b", english), "a?b");
    EXPECT_EQ(toCodePage("a\xe4\xb8", simplifiedChinese), "a?");
    // A lead byte with nothing after it, and a byte GBK does not define.
    EXPECT_EQ(fromCodePage("A\xa4", traditionalChinese), "A?");
    EXPECT_EQ(fromCodePage("\xff" "A", simplifiedChinese), "?A");
    // The user-defined areas of GBK and Big5 hold no character.
    EXPECT_EQ(fromCodePage("\xaa\xa1" "\xfe\xfe", simplifiedChinese), "??");
    EXPECT_EQ(fromCodePage("\xfa\x40" "\x8e\x40", traditionalChinese), "??");
}

TEST(CodePage, LongTextsConvertWhole)
{
    std::string utf8;
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        utf8 += "\xe4\xb8\xad";  // 中
        expected += "\xd6\xd0";
    }
    EXPECT_EQ(toCodePage(utf8, simplifiedChinese), expected);
    EXPECT_EQ(codePageLength(utf8, simplifiedChinese), 2000u);
}

} // namespace
} // namespace tempik
