#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EncodeCase {
    const char* name;
    std::u16string_view text;
    std::string_view utf8;
};

class ToUtf8 : public testing::TestWithParam<EncodeCase> {};

TEST_P(ToUtf8, ExactBytes)
{
    // Compared as plain bytes: this GoogleTest cannot print a std::u8string.
    const std::u8string utf8 = prismel::toUtf8(GetParam().text);
    EXPECT_EQ(std::string(utf8.begin(), utf8.end()), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToUtf8,
    testing::Values(
        EncodeCase{"every_length", u"A\x00E9彩\xD83D\xDE00\xFFFF",
                   "A\xC3\xA9\xE5\xBD\xA9\xF0\x9F\x98\x80\xEF\xBF\xBF"},
        EncodeCase{"edges_of_each_length", u"\x007F\x0080\x07FF\x0800\xDBFF\xDFFF",
                   "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xF4\x8F\xBF\xBF"},
        // A lone surrogate has no UTF-8 form: each becomes U+FFFD, and nothing is lost around it.
        EncodeCase{"lone_surrogates_become_replacement_characters",
                   u"\xD83D"
                   u"A\xDE00\xD83D",
                   "\xEF\xBF\xBD"
                   "A\xEF\xBF\xBD\xEF\xBF\xBD"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TrimBlanks, OnlyTheChosenBlanksAtTheEnds)
{
    using prismel::Blanks;
    const struct {
        std::u16string_view text;
        Blanks blanks;
        std::u16string_view trimmed;
    } cases[] = {
        {u" \ta b\t ", Blanks::Spaces, u"\ta b\t"},
        {u" \ta b\t ", Blanks::SpacesAndTabs, u"a b"},
        {u"\x3000x\n", Blanks::SpacesAndTabs, u"\x3000x\n"},
        {u" \t ", Blanks::SpacesAndTabs, u""},
        {u"\x3000\x00A0x\x2029\n", Blanks::WhiteSpace, u"x"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(prismel::trimBlanks(c.text, c.blanks) == c.trimmed) << int(c.blanks);
}

} // namespace
