// The text table: every text present in every language, the Chinese columns byte for byte in
// their own encodings, and the lookups around the table.
#include "texts/text_table.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

namespace tempik {
namespace {

TEST(TextTable, EveryEntryHasThreeNonEmptyTexts)
{
    for (int entry = 0; entry < textEntryCount; ++entry)
        for (int language = 0; language < uiLanguageCount; ++language) {
            EXPECT_FALSE(textBytes(entry, language).empty()) << entry << "/" << language;
            EXPECT_FALSE(text(entry, language).empty()) << entry << "/" << language;
        }
}

TEST(TextTable, EnglishColumnIsPlainAscii)
{
    for (int entry = 0; entry < textEntryCount; ++entry) {
        for (unsigned char c : textBytes(entry, english))
            EXPECT_LT(c, 0x80) << entry;
        EXPECT_EQ(text(entry, english), textBytes(entry, english)) << entry;
    }
}

// Bytes written out by hand from the GB2312 and Big5 code charts, so that a text garbled in
// the table or by the conversion cannot agree with itself.
struct ChineseCell : testing::NamedRow {
    int entry;
    const char* gb2312;
    const char* big5;
    const char* utf8Simplified;
    const char* utf8Traditional;
};

const ChineseCell chineseCells[] = {
    // 识别码 / 識別碼
    {"Id", txtId, "\xca\xb6\xb1\xf0\xc2\xeb", "\xc3\xd1\xa7\x4f\xbd\x58",
     "\xe8\xaf\x86\xe5\x88\xab\xe7\xa0\x81", "\xe8\xad\x98\xe5\x88\xa5\xe7\xa2\xbc"},
    // 错误 / 錯誤
    {"Error", txtError, "\xb4\xed\xce\xf3", "\xbf\xf9\xbb\x7e", "\xe9\x94\x99\xe8\xaf\xaf",
     "\xe9\x8c\xaf\xe8\xaa\xa4"},
    // 版本 / 版本: the same characters, different bytes in each encoding
    {"Version", txtVersion, "\xb0\xe6\xb1\xbe", "\xaa\xa9\xa5\xbb", "\xe7\x89\x88\xe6\x9c\xac",
     "\xe7\x89\x88\xe6\x9c\xac"},
    // 结束(&E) / 結束(&E)
    {"Exit", txtExit, "\xbd\xe1\xca\xf8(&E)", "\xb5\xb2\xa7\xf4(&E)",
     "\xe7\xbb\x93\xe6\x9d\x9f(&E)", "\xe7\xb5\x90\xe6\x9d\x9f(&E)"},
    // 设定完成 / 設定完成
    {"SetOk", txtSetOk, "\xc9\xe8\xb6\xa8\xcd\xea\xb3\xc9", "\xb3\x5d\xa9\x77\xa7\xb9\xa6\xa8",
     "\xe8\xae\xbe\xe5\xae\x9a\xe5\xae\x8c\xe6\x88\x90",
     "\xe8\xa8\xad\xe5\xae\x9a\xe5\xae\x8c\xe6\x88\x90"},
    // 按键声: / 按鍵聲:
    {"Sound", txtSoundLabel, "\xb0\xb4\xbc\xfc\xc9\xf9:", "\xab\xf6\xc1\xe4\xc1\x6e:",
     "\xe6\x8c\x89\xe9\x94\xae\xe5\xa3\xb0:", "\xe6\x8c\x89\xe9\x8d\xb5\xe8\x81\xb2:"},
};

class ChineseCellTest : public ::testing::TestWithParam<ChineseCell> {};

TEST_P(ChineseCellTest, HeldInItsEncodingAndShownAsItsCharacters)
{
    const ChineseCell& cell = GetParam();
    EXPECT_EQ(textBytes(cell.entry, simplifiedChinese), cell.gb2312);
    EXPECT_EQ(textBytes(cell.entry, traditionalChinese), cell.big5);
    EXPECT_EQ(text(cell.entry, simplifiedChinese), cell.utf8Simplified);
    EXPECT_EQ(text(cell.entry, traditionalChinese), cell.utf8Traditional);
}

INSTANTIATE_TEST_SUITE_P(Entries, ChineseCellTest, ::testing::ValuesIn(chineseCells),
                         testing::rowName);

TEST(TextTable, CaptionEndsInTheVersionInEveryLanguage)
{
    const std::string version = "V1.40-01";
    for (int language = 0; language < uiLanguageCount; ++language) {
        const std::string caption = text(txtWindowCaption, language);
        ASSERT_GE(caption.size(), version.size());
        EXPECT_EQ(caption.substr(caption.size() - version.size()), version) << language;
    }
}

TEST(TextTable, SimplifiedIdleScreenHoldsEveryCharacter)
{
    // 设定闲置画面(&C) in GB2312: 闲 is CF D0, where a gap of two spaces once stood.
    EXPECT_EQ(textBytes(txtSetIdleScreen, simplifiedChinese),
              "\xc9\xe8\xb6\xa8\xcf\xd0\xd6\xc3\xbb\xad\xc3\xe6(&C)");
}

TEST(TextTable, VendorLineIsNameThreeSpacesAndOneAddress)
{
    const std::string address = "www.kesto.example";
    for (int language = 0; language < uiLanguageCount; ++language) {
        const std::string line = text(txtVendorLine, language);
        const size_t gap = line.find("   ");
        ASSERT_NE(gap, std::string::npos) << language;
        EXPECT_GT(gap, 0u) << language;
        EXPECT_EQ(line.substr(gap + 3), address) << language;
    }
    EXPECT_NE(text(txtVendorLine, simplifiedChinese), text(txtVendorLine, english));
}

TEST(TextTable, SpacesHaveTheirLengths)
{
    EXPECT_EQ(spaces128(), std::string(128, ' '));
    EXPECT_EQ(spaces16(), std::string(16, ' '));
}

TEST(TextTable, BadIndexesGiveEmptyTexts)
{
    EXPECT_EQ(textBytes(-1, english), "");
    EXPECT_EQ(textBytes(textEntryCount, english), "");
    EXPECT_EQ(textBytes(txtSetOk, uiLanguageCount), "");
    EXPECT_EQ(text(txtSetOk, -1), "");
}

TEST(TextTable, DisplayLanguageItemsInEachWindowLanguage)
{
    using Items = std::array<std::string, 3>;
    EXPECT_EQ(displayLanguageItems(english),
              (Items{"English", "Traditional Chinese", "Simplified Chinese"}));
    // 英文 中文繁体 中文简体
    EXPECT_EQ(displayLanguageItems(simplifiedChinese),
              (Items{"\xe8\x8b\xb1\xe6\x96\x87", "\xe4\xb8\xad\xe6\x96\x87\xe7\xb9\x81\xe4\xbd\x93",
                     "\xe4\xb8\xad\xe6\x96\x87\xe7\xae\x80\xe4\xbd\x93"}));
    // 英文 中文繁體 中文簡體
    EXPECT_EQ(displayLanguageItems(traditionalChinese),
              (Items{"\xe8\x8b\xb1\xe6\x96\x87", "\xe4\xb8\xad\xe6\x96\x87\xe7\xb9\x81\xe9\xab\x94",
                     "\xe4\xb8\xad\xe6\x96\x87\xe7\xb0\xa1\xe9\xab\x94"}));
}

TEST(LanguageFlag, MapsBothWays)
{
    struct Row {
        const char* flag;
        int uiLanguage;
    };
    const Row rows[] = {{"English", english}, {"ChineseGB", simplifiedChinese},
                        {"ChineseBIG5", traditionalChinese}};
    for (const Row& row : rows) {
        EXPECT_STREQ(languageFlagFor(row.uiLanguage), row.flag);
        EXPECT_EQ(uiLanguageFromFlag(row.flag), row.uiLanguage) << row.flag;
    }
    for (const char* other : {"chinesegb", "CHINESEBIG5", "ChineseGB ", "", "Chinese"})
        EXPECT_EQ(uiLanguageFromFlag(other), english) << other;
}

} // namespace
} // namespace tempik
