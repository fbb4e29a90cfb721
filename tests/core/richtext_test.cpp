#include "core/richtext.h"
#include "typedrequest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using prismel::ColorPair;

struct RichTextCase {
    const char* name;
    std::u16string_view input;
    std::u16string_view step;
    ColorPair colors;
    bool merge;
    std::u16string_view expected; // after the leading <meta charset="utf-8">
};

const ColorPair startup{};
const ColorPair black{0, 0, 0, 0, 0, 0};
const ColorPair blueTo3{0, 0, 0, 0, 0, 3};

class RichTextTest : public testing::TestWithParam<RichTextCase> {};

TEST_P(RichTextTest, ExactFragment)
{
    const auto& c = GetParam();
    EXPECT_EQ(
        prismel::richTextFragment(c.input, typedRequest(c.step, {}, c.colors, {.merge = c.merge})),
        u"<meta charset=\"utf-8\">" + std::u16string(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RichTextTest,
    testing::Values(
        RichTextCase{"one_span_per_tag", u"ABC", u"1", startup, false,
                     u"<span style=\"color:#AA55AA\">A</span><span style=\"color:#55AA55\">B</span>"
                     u"<span style=\"color:#00FF00\">C</span>"},
        RichTextCase{"markup_characters_escaped", u"<&\">", u"1", black, true,
                     u"<span style=\"color:#000000\">&lt;&amp;&quot;&gt;</span>"},
        RichTextCase{"cr_lf_is_one_br", u"A\r\nB", u"1", black, false,
                     u"<span style=\"color:#000000\">A</span><br>"
                     u"<span style=\"color:#000000\">B</span>"},
        RichTextCase{"lone_cr_is_br", u"A\rB", u"1", black, false,
                     u"<span style=\"color:#000000\">A</span><br>"
                     u"<span style=\"color:#000000\">B</span>"},
        RichTextCase{"second_space_is_nbsp", u"A  B", u"1", black, false,
                     u"<span style=\"color:#000000\">A</span> &nbsp;"
                     u"<span style=\"color:#000000\">B</span>"},
        RichTextCase{"space_starting_a_line_is_nbsp", u"A\n B", u"1", black, false,
                     u"<span style=\"color:#000000\">A</span><br>&nbsp;"
                     u"<span style=\"color:#000000\">B</span>"},
        RichTextCase{
            "merged_like_the_code", u"AAAA BBBB", u"1", blueTo3, true,
            u"<span style=\"color:#000000\">A</span><span style=\"color:#000001\">AAA</span>"
            u" <span style=\"color:#000002\">BB</span>"
            u"<span style=\"color:#000003\">BB</span>"},
        RichTextCase{"all_spaces_give_only_the_meta", u"   ", u"1", startup, false, u""}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

namespace {

TEST(RichText, DecorationsWrapTheWholeFragment)
{
    prismel::ConvertOptions options;
    options.decorations = {true, false, false, true};
    EXPECT_EQ(prismel::richTextFragment(u"A", typedRequest(u"1", {}, ColorPair{}, options)),
              u"<meta charset=\"utf-8\"><b><s><span style=\"color:#00FF00\">A</span></s></b>");
}

} // namespace
