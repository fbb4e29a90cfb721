#include "core/conversion.h"
#include "typedrequest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using prismel::ColorPair;
using prismel::TagTemplate;

struct MergeCase {
    const char* name;
    std::u16string_view input;
    std::u16string_view step;
    ColorPair colors;
    TagTemplate tags;
    std::u16string_view expected;
};

const TagTemplate startup = prismel::startupTemplate();
const TagTemplate bare{u"", u"", u""};
const ColorPair black{0, 0, 0, 0, 0, 0};
const ColorPair blueTo3{0, 0, 0, 0, 0, 3};
const ColorPair blueTo1{0, 0, 0, 0, 0, 1};

class MergedTagsTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergedTagsTest, ExactMarkup)
{
    const auto& c = GetParam();
    EXPECT_EQ(
        prismel::ConvertText(c.input, typedRequest(c.step, c.tags, c.colors, {.merge = true})),
        c.expected);
    std::u16string joined;
    prismel::convertTextTo(c.input, typedRequest(c.step, c.tags, c.colors, {.merge = true}),
                           [&](std::u16string_view piece) { joined += piece; });
    EXPECT_EQ(joined, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergedTagsTest,
    testing::Values(
        MergeCase{"space_between_colours_stays_outside", u"AAAA BBBB", u"1", blueTo3, startup,
                  u"[color=#000000]A[/color][color=#000001]AAA[/color] [color=#000002]BB[/color]"
                  u"[color=#000003]BB[/color]"},
        MergeCase{"line_break_closes_same_colour", u"AB\nCD  EF", u"1", black, startup,
                  u"[color=#000000]AB[/color]\n[color=#000000]CD  EF[/color]"},
        MergeCase{
            "chinese_runs", u"彩虹字真好看", u"1", ColorPair{255, 0, 0, 255, 0, 2}, startup,
            u"[color=#FF0000]彩[/color][color=#FF0001]虹字真[/color][color=#FF0002]好看[/color]"},
        MergeCase{"tab_closes_same_colour", u"A\tB", u"1", black, bare, u"000000A\t000000B"},
        // Spaces held back after a run must come out before the break, not be lost.
        MergeCase{"spaces_then_break", u"A  \nB", u"1", black, bare, u"000000A  \n000000B"},
        MergeCase{"space_chunk_inside_run", u"AB  CD", u"2", black, bare, u"000000AB  CD"},
        // A break inside a longer chunk is text of that chunk, not a blank chunk.
        MergeCase{"break_inside_chunk_merges", u"AB\nC", u"2", black, bare, u"000000AB\nC"},
        MergeCase{"empty_template_codes_only", u"AAAA BBBB", u"1", blueTo3, bare,
                  u"000000A000001AAA 000002BB000003BB"},
        MergeCase{"pairs_inside_runs", u"😀😀😀😀", u"1", blueTo1, startup,
                  u"[color=#000000]😀😀[/color][color=#000001]😀😀[/color]"},
        MergeCase{"empty_input", u"   ", u"1", black, startup, u""}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
