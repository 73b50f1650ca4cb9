// The state file: exact bytes survive the JSON text, and it is replaced whole.
#include "sim/state_json.h"
#include "tests/support/sim_process.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tempik::sim {
namespace {

TEST(StateJson, EveryByteValueReadsBackExactly)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    ReaderState state;
    state.showMessage = all;
    state.titleText = "say \"hi\" \\ bye";
    const std::string json = stateToJson(state);
    for (char c : json)
        ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "raw byte " << int(c);
    EXPECT_EQ(testing::jsonStringField(json, "showMessage"), all);
    EXPECT_EQ(testing::jsonStringField(json, "titleText"), state.titleText);
    EXPECT_NE(json.find("\\u00C4"), std::string::npos);
}

TEST(StateJson, PictureAsSixteenRows)
{
    ReaderState state;
    state.picture.setPixel(5, 3, true);
    const std::string json = stateToJson(state);
    const std::string row3 = std::string(5, '.') + "#" + std::string(122, '.');
    EXPECT_NE(json.find("\"" + row3 + "\""), std::string::npos);
    EXPECT_EQ(testing::jsonStringField(json, "line"), "19200,e,8,1");
}

TEST(StateJson, WrittenWholeAndNoTemporaryLeft)
{
    testing::TempFolder folder;
    const std::string path = folder.path() + "/state.json";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "first", error)) << error;
    ASSERT_TRUE(writeFileAtomically(path, "second", error)) << error;
    EXPECT_EQ(testing::fileText(path), "second");
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
    EXPECT_FALSE(writeFileAtomically(folder.path() + "/missing/state.json", "x", error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

} // namespace
} // namespace tempik::sim
