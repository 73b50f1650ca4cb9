// Line definitions: the fourteen the tool uses, and texts that must not parse.
#include "link/line_definition.h"

#include <gtest/gtest.h>

namespace tempik {
namespace {

TEST(LineDefinition, AllFourteenParse)
{
    const unsigned speeds[] = {4800, 9600, 19200, 38400, 57600, 115200, 230400};
    for (int i = 0; i < lineDefinitionCount; ++i) {
        const auto line = parseLineDefinition(lineDefinitions[size_t(i)]);
        ASSERT_TRUE(line) << lineDefinitions[size_t(i)];
        EXPECT_EQ(line->speed, speeds[i / 2]) << i;
        EXPECT_EQ(line->parity, i % 2 ? 'e' : 'n') << i;
        EXPECT_EQ(line->dataBits, 8);
        EXPECT_EQ(line->stopBits, 1);
        EXPECT_EQ(lineDefinitionIndexOf(lineDefinitions[size_t(i)]), i);
    }
    EXPECT_STREQ(lineDefinitions[factoryLineDefinitionIndex], "19200,e,8,1");
}

TEST(LineDefinition, OtherWellFormedTexts)
{
    const auto odd = parseLineDefinition("1200,O,7,2");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->speed, 1200u);
    EXPECT_EQ(odd->parity, 'o');
    EXPECT_EQ(odd->dataBits, 7);
    EXPECT_EQ(odd->stopBits, 2);
}

TEST(LineDefinition, MalformedTextsDoNotParse)
{
    const char* rows[] = {"", "19200", "19200,e,8", "19200,e,8,1,", "19200,e,8,1,1", ",e,8,1", "0,e,8,1",
                          "19k2,e,8,1", "-19200,e,8,1", "19200,x,8,1", "19200,ee,8,1", "19200,,8,1",
                          "19200,e,9,1", "19200,e,4,1", "19200,e,8,3", "19200,e,8,0", "19200 ,e,8,1",
                          "9999999999,e,8,1"};
    for (const char* text : rows)
        EXPECT_FALSE(parseLineDefinition(text)) << '"' << text << '"';
}

TEST(LineDefinition, IndexHelpers)
{
    EXPECT_EQ(lineDefinitionIndexOrDefault(-1), 5);
    EXPECT_EQ(lineDefinitionIndexOrDefault(14), 5);
    EXPECT_EQ(lineDefinitionIndexOrDefault(13), 13);
    EXPECT_EQ(lineSpeedArgument(0), '0');
    EXPECT_EQ(lineSpeedArgument(10), 'A');
    EXPECT_EQ(lineSpeedArgument(13), 'D');
    EXPECT_EQ(lineDefinitionIndexOf("19200,E,8,1"), -1);
}

} // namespace
} // namespace tempik
