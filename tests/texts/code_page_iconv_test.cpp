// The iconv layer beneath the code pages on Linux.
#include "texts/code_page_iconv.h"

#include <gtest/gtest.h>

namespace tempik {
namespace {

TEST(CodePage, UnknownEncodingGivesNothing)
{
    EXPECT_EQ(convertText("abc", "NO-SUCH-PAGE", "UTF-8"), "");
}

} // namespace
} // namespace tempik
