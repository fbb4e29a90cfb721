#include "core/codelength.h"
#include "core/conversion.h"
#include "typedrequest.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

using prismel::ColorPair;
using prismel::TagTemplate;

struct ConversionCase {
    const char* name;
    std::u16string_view input;
    std::u16string_view step;
    TagTemplate tags;
    std::u16string_view expected;
};

const TagTemplate startup = prismel::startupTemplate();
const TagTemplate html = *prismel::presetTemplate(0);
const TagTemplate ubb = *prismel::presetTemplate(1);
const TagTemplate qq = *prismel::presetTemplate(2);
const TagTemplate bare{u"", u"", u""};

void PrintTo(const ConversionCase& c, std::ostream* os)
{
    *os << c.name;
}

class ConvertTextTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConvertTextTest, ExactMarkup)
{
    const auto& c = GetParam();
    EXPECT_EQ(prismel::ConvertText(c.input, typedRequest(c.step, c.tags, ColorPair{})), c.expected);
}

// Streaming and building the whole string must agree piece for piece.
TEST_P(ConvertTextTest, StreamedPiecesJoinToTheSameMarkup)
{
    const auto& c = GetParam();
    std::u16string joined;
    prismel::convertTextTo(c.input, typedRequest(c.step, c.tags, ColorPair{}),
                           [&](std::u16string_view piece) { joined += piece; });
    EXPECT_EQ(joined, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertTextTest,
    testing::Values(
        ConversionCase{"abc_startup", u"ABC", u"1", startup,
                       u"[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]"},
        ConversionCase{"space_copied_bare", u"A B", u"1", startup,
                       u"[color=#AA55AA]A[/color] [color=#00FF00]B[/color]"},
        ConversionCase{"outer_spaces_trimmed", u"  AB  ", u"1", html,
                       u"<font color=808080>A</font><font color=00FF00>B</font>"},
        ConversionCase{"html_preset", u"AB", u"1", html,
                       u"<font color=808080>A</font><font color=00FF00>B</font>"},
        // The start-up head has a "#" that the UBB preset's lacks.
        ConversionCase{"ubb_preset_has_no_hash", u"AB", u"1", ubb,
                       u"[color=808080]A[/color][color=00FF00]B[/color]"},
        ConversionCase{"qq_preset", u"AB", u"1", qq, u"[ftc=808080]A[/ft][ftc=00FF00]B[/ft]"},
        ConversionCase{
            "step_2_leaves_a_remainder", u"ABCDE", u"2", startup,
            u"[color=#CC33CC]AB[/color][color=#669966]CD[/color][color=#00FF00]E[/color]"},
        ConversionCase{"crlf_step_1_passes_bare", u"A\r\nB", u"1", startup,
                       u"[color=#BF40BF]A[/color]\r\n[color=#00FF00]B[/color]"},
        ConversionCase{"crlf_step_2_is_tagged", u"A\r\nB", u"2", startup,
                       u"[color=#BF40BF]A\r[/color][color=#40BF40]\nB[/color]"},
        ConversionCase{"step_n_minus_1_stays", u"ABC", u"2", startup,
                       u"[color=#AA55AA]AB[/color][color=#00FF00]C[/color]"},
        ConversionCase{"step_n_falls_back", u"ABC", u"3", startup,
                       u"[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]"},
        ConversionCase{"step_0_falls_back", u"AB", u"0", html,
                       u"<font color=808080>A</font><font color=00FF00>B</font>"},
        ConversionCase{"empty_step_falls_back", u"AB", u"", html,
                       u"<font color=808080>A</font><font color=00FF00>B</font>"},
        ConversionCase{"negative_step_falls_back", u"AB", u"-1", html,
                       u"<font color=808080>A</font><font color=00FF00>B</font>"},
        ConversionCase{"huge_step_falls_back", u"AB", u"99999999999999", html,
                       u"<font color=808080>A</font><font color=00FF00>B</font>"},
        ConversionCase{"single_char_gets_end_colour", u"X", u"7", startup,
                       u"[color=#00FF00]X[/color]"},
        ConversionCase{"empty_template_runs_together", u"ABC", u"1", bare,
                       u"AA55AAA55AA55B00FF00C"},
        ConversionCase{"empty_input", u"", u"1", startup, u""},
        ConversionCase{"spaces_only", u"     ", u"1", startup, u""},
        // Only one tab alone is blank; two are wrapped, and so is an ideographic space.
        ConversionCase{"lone_tab_is_bare", u"A\tB", u"1", bare, u"AA55AAA\t00FF00B"},
        ConversionCase{"two_tabs_are_wrapped", u"A\t\tB", u"2", bare, u"BF40BFA\t40BF40\tB"},
        ConversionCase{"ideographic_space_wrapped", u"\u3000", u"1", bare, u"00FF00\u3000"},
        ConversionCase{"chunk_of_spaces_is_bare", u"A   B", u"2", bare, u"CC33CCA   00FF00B"},
        // Trailing line breaks are not trimmed; only U+0020 is.
        ConversionCase{"trailing_break_kept", u"AB\r\n", u"1", bare, u"BF40BFA808080B\r\n"},
        ConversionCase{
            "chinese_text", u"彩虹字", u"1", ubb,
            u"[color=AA55AA]彩[/color][color=55AA55]虹[/color][color=00FF00]字[/color]"}),
    [](const auto& row) { return std::string(row.param.name); });

// A surrogate pair is one character: chunks never cut it apart, though positions and lengths
// still count code units.
INSTANTIATE_TEST_SUITE_P(
    SurrogatePairs, ConvertTextTest,
    testing::Values(
        ConversionCase{"emoji_alone_in_the_middle", u"A😀B", u"1", startup,
                       u"[color=#BF40BF]A[/color][color=#808080]😀[/color][color=#00FF00]B[/color]"},
        ConversionCase{"emoji_at_the_end", u"A😀", u"1", bare, u"AA55AAA55AA55😀"},
        // Step 2 would end the first chunk on the high half; it takes the low half along.
        ConversionCase{"step_2_extends_over_pair", u"A😀BC", u"2", bare, u"CC33CCA😀33CC33BC"},
        ConversionCase{"step_2_pair_on_boundary", u"😀AB", u"2", bare, u"BF40BF😀40BF40AB"},
        ConversionCase{"lone_high_surrogate_passes",
                       u"A\xD83D"
                       u"B",
                       u"1", bare,
                       u"AA55AAA55AA55\xD83D"
                       u"00FF00B"},
        ConversionCase{"lone_low_surrogate_passes",
                       u"\xDE00"
                       u"A",
                       u"1", bare,
                       u"808080\xDE00"
                       u"00FF00A"},
        ConversionCase{"reversed_halves_are_two_units", u"\xDE00\xD83D", u"1", bare,
                       u"808080\xDE00"
                       u"00FF00\xD83D"}),
    [](const auto& row) { return std::string(row.param.name); });

// A chunk never ends inside a user-perceived character: one that would takes the rest of it.
// Positions and steps still count code units.
INSTANTIATE_TEST_SUITE_P(
    GraphemeClusters, ConvertTextTest,
    testing::Values(
        ConversionCase{"family_zwj_sequence_is_one_chunk", u"A👨‍👩‍👧B", u"1", startup,
                       u"[color=#E61AE6]A[/color]"
                       u"[color=#CC33CC]👨‍👩‍👧[/color][color=#00FF00]B[/color]"},
        ConversionCase{"two_flags_stay_whole", u"🇨🇳🇯🇵", u"1", startup,
                       u"[color=#DF20DF]🇨🇳[/color][color=#609F60]🇯🇵[/color]"},
        ConversionCase{
            "skin_tone_stays_with_its_hand", u"A👍🏽B", u"1", startup,
            u"[color=#D42AD4]A[/color][color=#AA55AA]👍🏽[/color][color=#00FF00]B[/color]"},
        ConversionCase{"keycap_is_one_chunk", u"1\uFE0F\u20E3X", u"1", startup,
                       u"[color=#BF40BF]1\uFE0F\u20E3[/color][color=#00FF00]X[/color]"},
        ConversionCase{"accent_stays_with_its_letter_at_step_2", u"ab\u0301cd", u"2", startup,
                       u"[color=#CC33CC]ab\u0301[/color][color=#33CC33]cd[/color]"},
        // The step ends inside the emoji; the next chunk still starts with a whole cluster.
        ConversionCase{"cluster_starting_at_a_chunk_end", u"AB👍🏽CD", u"2", bare,
                       u"DF20DFAB9F609F👍🏽20DF20CD"},
        ConversionCase{"cluster_spanning_two_whole_steps", u"X👨‍👩‍👧YZ", u"2", bare,
                       u"E817E8X👨‍👩‍👧17E817YZ"},
        ConversionCase{"cluster_at_the_very_end_takes_the_rest", u"AB🇨🇳", u"3", bare,
                       u"D42AD4AB🇨🇳"},
        ConversionCase{"lone_regional_indicator", u"A🇨B", u"1", bare, u"BF40BFA808080🇨00FF00B"},
        ConversionCase{"odd_regional_indicator_after_a_flag", u"🇨🇳🇯", u"1", bare,
                       u"D42AD4🇨🇳2AD42A🇯"},
        // A space with a mark on it is one cluster, and no longer blank.
        ConversionCase{"mark_on_a_space_is_not_blank", u"A \u0301B", u"1", bare,
                       u"BF40BFA808080 \u030100FF00B"},
        ConversionCase{"hangul_jamo_make_one_syllable", u"\u1100\u1161\u11A8A", u"1", bare,
                       u"BF40BF\u1100\u1161\u11A800FF00A"},
        ConversionCase{"indic_vowel_sign_stays_with_its_consonant", u"\u0915\u093F\u0915", u"1",
                       bare, u"AA55AA\u0915\u093F00FF00\u0915"},
        // Prepend characters join what follows them, even a plain digit.
        ConversionCase{"prepend_joins_the_following_digit", u"\u06001A", u"1", bare,
                       u"AA55AA\u0600100FF00A"},
        // A joiner ties an emoji to ©, a character that alone never continues a cluster.
        ConversionCase{"joiner_before_copyright_sign", u"👨\u200D©A", u"1", bare,
                       u"CC33CC👨\u200D©00FF00A"},
        // An ill-formed unit is kept, and a mark after it stays with it as with any base.
        ConversionCase{"lone_surrogate_keeps_the_mark_after_it", u"A\xD83D\u0301", u"1", bare,
                       u"AA55AAA55AA55\xD83D\u0301"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ConvertText, OtherColoursInterpolateEachChannel)
{
    const ColorPair blueToRed{0, 0, 255, 255, 0, 0};
    EXPECT_EQ(
        prismel::ConvertText(u"AB", typedRequest(u"1", *prismel::presetTemplate(0), blueToRed)),
        u"<font color=800080>A</font><font color=FF0000>B</font>");
}

TEST(FormatPresets, ListOrderAndNames)
{
    const auto formats = prismel::formatTable();
    ASSERT_EQ(prismel::formatPresets().size(), 3u);
    EXPECT_EQ(formats[0].caption, "Html(网页)");
    EXPECT_EQ(formats[1].caption, "UBB(论坛)");
    EXPECT_EQ(formats[2].caption, "QQ空间");
    EXPECT_FALSE(prismel::presetTemplate(-1));
    EXPECT_FALSE(prismel::presetTemplate(3));
}

TEST(ConvertText, LongTextKeepsPositionsInStep)
{
    // 100 000 code units in two chunks: each takes the colour of its own first position.
    const std::u16string text(100'000, u'x');
    const auto code = prismel::ConvertText(
        text, typedRequest(u"50000", TagTemplate{u"<", u">", u"|"}, ColorPair{}));
    ASSERT_EQ(code.size(), text.size() + 2 * 9UL);
    EXPECT_EQ(code.substr(0, 8), u"<FF00FF>");
    EXPECT_EQ(code.substr(8 + 50'000, 9), u"|<7F807F>");
    EXPECT_EQ(code.back(), u'|');
}

// A long conversion that reports as it goes: each report is the front of the final code, and a
// stop ends it with only that front kept. The text is long enough for several reports.
struct ProgressCase {
    const char* name;
    prismel::ConvertOptions options;
    int stopAtReport; // 0: never
};

class ConvertProgressTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(ConvertProgressTest, ReportsFrontsOfTheFinalCode)
{
    const auto& c = GetParam();
    std::u16string text;
    for (int i = 0; i < 40'000; ++i)
        text += u"彩虹 字\n"; // spaces and line breaks between runs, for the merge
    const std::u16string whole =
        prismel::ConvertText(text, typedRequest(u"1", startup, ColorPair{}, c.options));
    std::u16string result = u"left over";
    std::vector<std::u16string> reports;
    const bool finished =
        prismel::convertTextInto(result, text, typedRequest(u"1", startup, ColorPair{}, c.options),
                                 [&](std::u16string_view done) {
                                     reports.emplace_back(done);
                                     return static_cast<int>(reports.size()) != c.stopAtReport;
                                 });
    ASSERT_GE(reports.size(), 2U);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        ASSERT_TRUE(whole.starts_with(reports[i])) << "report " << i;
        ASSERT_TRUE(result.starts_with(reports[i])) << "report " << i;
        if (i > 0) {
            EXPECT_GT(reports[i].size(), reports[i - 1].size());
        }
    }
    EXPECT_EQ(finished, c.stopAtReport == 0);
    if (finished)
        EXPECT_EQ(result, whole);
    else
        EXPECT_TRUE(whole.starts_with(result));
}

// The same conversion into memory that holds anything at all beforehand: only the length it
// returns is code, and a stopped one returns at least the front it reported.
class ConvertIntoMemoryTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(ConvertIntoMemoryTest, WritesTheCodeOverWhatWasThere)
{
    const auto& c = GetParam();
    std::u16string text;
    for (int i = 0; i < 40'000; ++i)
        text += u"彩虹 字\n";
    const std::u16string whole =
        prismel::ConvertText(text, typedRequest(u"1", startup, ColorPair{}, c.options));
    std::u16string memory(prismel::markupCapacity(text, typedRequest(u"1", startup)), u'Z');
    std::size_t reported = 0;
    int reports = 0;
    const prismel::WrittenCode code = prismel::convertTextInto(
        std::span(memory), text, typedRequest(u"1", startup, ColorPair{}, c.options),
        [&](std::u16string_view done) {
            reported = done.size();
            return ++reports != c.stopAtReport;
        });
    const std::u16string_view written(memory.data(), code.length);
    EXPECT_EQ(code.finished, c.stopAtReport == 0);
    if (code.finished) {
        EXPECT_EQ(written, whole);
    } else {
        EXPECT_GE(code.length, reported);
        EXPECT_TRUE(whole.starts_with(written));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ConvertIntoMemoryTest,
                         testing::Values(ProgressCase{"runs_to_the_end", {}, 0},
                                         ProgressCase{"merged_runs_to_the_end", {.merge = true}, 0},
                                         ProgressCase{"stopped_at_the_first_report", {}, 1},
                                         ProgressCase{"merged_stopped", {.merge = true}, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

// Reports come after a bounded amount of input whatever the step, so a stop is never far off.
struct CadenceCase {
    const char* name;
    std::size_t step;
    std::size_t reports;
};

class ConvertCadenceTest : public testing::TestWithParam<CadenceCase> {};

TEST_P(ConvertCadenceTest, ReportsByUnitsOfInput)
{
    const auto& c = GetParam();
    const std::u16string text(std::size_t{1} << 20, u'x');
    const std::string digits = std::to_string(c.step);
    const std::u16string step(digits.begin(), digits.end());
    std::u16string result;
    std::size_t reports = 0;
    ASSERT_TRUE(prismel::convertTextInto(result, text, typedRequest(step, startup, ColorPair{}),
                                         [&](std::u16string_view) {
                                             ++reports;
                                             return true;
                                         }));
    EXPECT_EQ(reports, c.reports);
    EXPECT_EQ(result, prismel::ConvertText(text, typedRequest(step, startup, ColorPair{})));
}

// 2^20 units: at step 1 a report each 65,536 units but after the last; a chunk that crosses the
// mark ends the stretch, so 66,000 units a report at step 1000, and one a chunk past 65,536.
INSTANTIATE_TEST_SUITE_P(
    Table, ConvertCadenceTest,
    testing::Values(CadenceCase{"step_1", 1, 15},
                    // Regression: counted in chunks, a step of 1000 gave no report at all.
                    CadenceCase{"step_1000", 1000, 15}, CadenceCase{"step_2_to_the_18", 262144, 3}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(Table, ConvertProgressTest,
                         testing::Values(ProgressCase{"runs_to_the_end", {}, 0},
                                         ProgressCase{"merged_runs_to_the_end", {.merge = true}, 0},
                                         ProgressCase{"stopped_at_the_second_report", {}, 2},
                                         ProgressCase{"merged_stopped", {.merge = true}, 2}),
                         [](const auto& row) { return std::string(row.param.name); });

// --- Line by line ---

// Every line on its own, as ConvertText() converts a text of that line, the spaces at its ends
// bare: the reference for a text whose lines are longer than the step, where the step's
// fallback does not come in.
std::u16string lineByLineModel(std::u16string_view text, std::u16string_view step,
                               const TagTemplate& tags, const prismel::Gradient& gradient,
                               prismel::ConvertOptions options)
{
    std::u16string code;
    text = prismel::trimSpaces(text);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(u"\r\n"), text.size());
        const std::u16string_view line = text.substr(0, end);
        const std::size_t lead = std::min(line.find_first_not_of(u' '), line.size());
        const std::size_t inner = prismel::trimSpaces(line).size();
        code += line.substr(0, lead);
        code += prismel::ConvertText(line, typedRequest(step, tags, gradient, options));
        code += line.substr(lead + inner);
        if (end < text.size())
            code += text[end];
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return code;
}

TEST(PerLine, EachLineGetsTheWholeGradientAsIfConvertedAlone)
{
    const TagTemplate ansiLike{u"\x1b[", u"m", u"\x1b[39m"};
    // Letters, a cluster of a letter and its accent, an emoji with a skin tone, spaces inside.
    const std::u16string_view pieces[] = {u"a",  u"B",   u"e\u0301", u"\U0001F44D\U0001F3FD",
                                          u"字", u"x y", u"Z"};
    const std::u16string_view breaks[] = {u"\n", u"\r", u"\r\n", u"\n\n", u"\r\n\r\n"};
    const prismel::Gradient gradients[] = {
        ColorPair{},
        prismel::Gradient({{{255, 0, 0}, {}}, {{0, 0, 255}, 3000}, {{0, 200, 0}, {}}}),
        prismel::Gradient({{{255, 0, 0}, {}}, {{0, 0, 255}, {}}}, prismel::ColorSpace::Oklch),
    };
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        const int step = 1 + round % 3;
        std::u16string text;
        const int lines = 1 + static_cast<int>(random() % 4);
        for (int line = 0; line < lines; ++line) {
            if (line > 0)
                text += breaks[random() % std::size(breaks)];
            // At least `step` + 1 pieces, so that the line is longer than the step.
            const int length = step + 1 + static_cast<int>(random() % 6);
            const std::size_t start = text.size();
            for (int k = 0; k < length; ++k)
                text += pieces[random() % std::size(pieces)];
            text.back() = u'Z';
            // Spaces at a line's ends, which take no place in its gradient.
            if (random() % 3 == 0)
                text.insert(start, u"  ");
            if (random() % 3 == 0)
                text += u' ';
        }
        const std::u16string stepText(1, static_cast<char16_t>(u'0' + step));
        for (const auto& gradient : gradients) {
            for (const int choice : {0, 1, 2, 3}) {
                const bool merge = choice % 2 != 0;
                const auto code =
                    choice >= 2 ? prismel::ColorCode::Decimal : prismel::ColorCode::Hex;
                const prismel::ConvertOptions options{
                    .merge = merge, .perLine = true, .colorCode = code};
                const prismel::ConvertOptions alone{.merge = merge, .colorCode = code};
                const std::u16string expected =
                    lineByLineModel(text, stepText, ansiLike, gradient, alone);
                const std::u16string got =
                    prismel::ConvertText(text, typedRequest(stepText, ansiLike, gradient, options));
                ASSERT_EQ(got, expected) << "round " << round;
                ASSERT_EQ(prismel::codeLength(text,
                                              typedRequest(stepText, ansiLike, gradient, options),
                                              prismel::LengthUnit::Units),
                          got.size());
                std::u8string utf8;
                prismel::convertUtf8To(
                    prismel::toUtf8(text), static_cast<std::int64_t>(text.size()),
                    typedRequest(stepText, ansiLike, gradient, options),
                    [&](std::u8string_view piece) { utf8 += piece; }, 64);
                ASSERT_TRUE(utf8 == prismel::toUtf8(got)) << "round " << round;
            }
        }
    }
}

// Takes blocks whole, as prismel-convert's sink does, each time giving back fresh memory.
struct BlockTaker {
    std::u8string code;
    int blocks = 0;
    int pieces = 0;
    void operator()(std::u8string_view piece)
    {
        code += piece;
        ++pieces;
    }
    std::unique_ptr<char8_t[]> handOver(std::unique_ptr<char8_t[]> block, std::size_t used,
                                        std::size_t capacity)
    {
        code.append(block.get(), used);
        ++blocks;
        return std::make_unique_for_overwrite<char8_t[]>(capacity);
    }
};

TEST(ConvertUtf8To, ASinkTakingBlocksGetsTheSameCode)
{
    const std::u16string text16 = u"Ab 彩虹 文字\r\nxy 😀 " + std::u16string(40, u'z') + u" end";
    const std::u8string text = prismel::toUtf8(text16);
    const auto units = static_cast<std::int64_t>(text16.size());
    // Step 50 makes a chunk longer than the block, which goes as a piece of its own.
    for (const std::u16string_view step : {u"1", u"3", u"50"}) {
        SCOPED_TRACE(step.size());
        std::u8string expected;
        prismel::convertUtf8To(
            text, units, typedRequest(step, startup, ColorPair{}),
            [&](std::u8string_view piece) { expected += piece; }, 32);
        BlockTaker taker;
        prismel::convertUtf8To(text, units, typedRequest(step, startup, ColorPair{}), taker, 32);
        EXPECT_TRUE(taker.code == expected);
        EXPECT_GT(taker.blocks, 1);
        EXPECT_EQ(taker.pieces > 0, step == u"50");
    }
}

struct PerLineCase {
    const char* name;
    std::u16string_view input;
    std::u16string_view step;
    std::u16string_view expected;
};

void PrintTo(const PerLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class PerLineEdges : public testing::TestWithParam<PerLineCase> {};

TEST_P(PerLineEdges, CutsAtLineEnds)
{
    const auto& c = GetParam();
    EXPECT_EQ(
        prismel::ConvertText(c.input, typedRequest(c.step, bare, ColorPair{}, {.perLine = true})),
        c.expected);
}

// Magenta to green: a line of one unit takes the end colour, of two 808080 then 00FF00.
INSTANTIATE_TEST_SUITE_P(
    Table, PerLineEdges,
    testing::Values(
        PerLineCase{"empty_lines_pass_bare", u"A\n\n\r\nB", u"1", u"00FF00A\n\n\r\n00FF00B"},
        // The step falls back on the whole text's length, not a line's.
        PerLineCase{"short_line_is_one_chunk", u"ABCD\nAB", u"3", u"BF40BFABC00FF00D\n808080AB"},
        // Spaces at a line's ends are bare and take no place of its gradient.
        PerLineCase{"spaces_at_line_ends_bare", u"A \n B", u"1", u"00FF00A \n 00FF00B"},
        PerLineCase{"a_line_of_spaces_is_bare", u"A\n  \nB", u"1", u"00FF00A\n  \n00FF00B"},
        PerLineCase{"outer_spaces_trimmed", u"  AB\rA  ", u"1", u"808080A00FF00B\r00FF00A"},
        PerLineCase{"break_inside_a_step", u"AB\r\nCD", u"3", u"808080AB\r\n808080CD"}),
    [](const auto& row) { return std::string(row.param.name); });

// A multi-stop gradient reaches the chunks through the cursor's walk.
TEST(GradientConversion, EveryChunkTakesTheGradientsColourAtItsPosition)
{
    const prismel::Gradient gradient({{{255, 0, 0}, {}},
                                      {{255, 255, 0}, 2500},
                                      {{0, 0, 255}, 2500},
                                      {{0, 255, 0}, {}},
                                      {{90, 0, 90}, 9000}},
                                     prismel::ColorSpace::Oklch, prismel::HueMethod::Longer);
    std::u16string text;
    for (int i = 0; i < 3000; ++i)
        text += i % 7 == 0 ? u"彩 " : u"虹";
    for (const std::int32_t step : {1, 4}) {
        prismel::ChunkCursor cursor = prismel::chunksOf(text, step, gradient);
        while (const auto chunk = cursor.next())
            ASSERT_EQ(chunk->color, prismel::colorAt(gradient, chunk->position,
                                                     static_cast<std::int64_t>(text.size())))
                << chunk->position;
    }
}

} // namespace
