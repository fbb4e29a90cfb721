#include "core/codelength.h"
#include "core/conversion.h"
#include "core/fit.h"
#include "core/step.h"
#include "typedrequest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using prismel::ColorPair;
using prismel::LengthUnit;
using prismel::TagTemplate;

const TagTemplate startup = prismel::startupTemplate(); // 23 ASCII units per tag
const ColorPair black{0, 0, 0, 0, 0, 0};
constexpr LengthUnit units[] = {LengthUnit::Chars, LengthUnit::Bytes, LengthUnit::Units};

struct CountCase {
    const char* name;
    std::u16string_view input;
    TagTemplate tags;
    bool merge;
    std::uint64_t lengths[3]; // chars, bytes, units
};

class ThreeCounts : public testing::TestWithParam<CountCase> {};

TEST_P(ThreeCounts, AtStep1)
{
    const auto& c = GetParam();
    for (int u = 0; u < 3; ++u)
        EXPECT_EQ(prismel::codeLength(
                      c.input, typedRequest(u"1", c.tags, black, {.merge = c.merge}), units[u]),
                  c.lengths[u]);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ThreeCounts,
    testing::Values(
        CountCase{"chinese", u"彩虹", startup, false, {48, 52, 48}},
        CountCase{"emoji_are_pairs", u"😀🌈", startup, false, {48, 54, 50}},
        CountCase{"merged_chinese_and_emoji", u"彩虹 😀", startup, true, {27, 34, 28}},
        CountCase{"chinese_in_the_template", u"A", {u"<彩", u">", u"</彩>"}, false, {14, 18, 14}},
        CountCase{"lone_high_is_3_bytes", u"A\xD800", startup, false, {48, 50, 48}},
        // The mid's high half and the text's low half make one character.
        CountCase{"halves_meet_across_the_template",
                  u"\xDE00",
                  {u"[", u"]\xD83D", u""},
                  false,
                  {9, 12, 10}}),
    [](const auto& row) { return std::string(row.param.name); });

// sizesOf() goes eight units at a time: every piece at every alignment, pairs across the edge of
// eight, and enough of them for the lane counts to be taken in on the way.
struct SizesCase {
    const char* name;
    std::u16string_view piece;
    std::uint64_t chars;
    std::uint64_t bytes;
    int copies;
};

class SizesOf : public testing::TestWithParam<SizesCase> {};

TEST_P(SizesOf, AtEveryAlignment)
{
    const auto& c = GetParam();
    for (std::size_t lead = 0; lead <= 8; ++lead) {
        std::u16string text(lead, u'x');
        for (int k = 0; k < c.copies; ++k)
            text += c.piece;
        const auto sizes = prismel::CodeLength::sizesOf(text);
        const auto copies = static_cast<std::uint64_t>(c.copies);
        EXPECT_EQ(sizes.chars, lead + copies * c.chars) << "after " << lead;
        EXPECT_EQ(sizes.bytes, lead + copies * c.bytes) << "after " << lead;
        EXPECT_EQ(sizes.units, text.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SizesOf,
    testing::Values(SizesCase{"ascii", u"a", 1, 1, 40},
                    SizesCase{"two_byte_edges", u"\x7F\x80\x7FF", 3, 5, 13},
                    SizesCase{"three_byte_edges", u"\x800\xFFFF", 2, 6, 13},
                    SizesCase{"pairs_at_odd_offsets", u"y😀", 2, 5, 17},
                    SizesCase{"lone_high_then_pair", u"\xD800😀", 2, 7, 11},
                    SizesCase{"low_then_high_is_no_pair", u"\xDC00\xD800x", 3, 7, 11},
                    SizesCase{"high_at_the_very_end", u"彩\xD83D", 2, 6, 1},
                    SizesCase{"past_one_round_of_lane_counts", u"彩😀a", 3, 8, 150'000}),
    [](const auto& row) { return std::string(row.param.name); });

// The written code measured as a whole, whatever pieces it was made of.
std::uint64_t measure(std::u16string_view code, LengthUnit unit)
{
    std::uint64_t chars = 0, bytes = 0;
    for (std::size_t i = 0; i < code.size(); ++i, ++chars) {
        const bool pair = prismel::isHighSurrogate(code[i]) && i + 1 < code.size() &&
                          prismel::isLowSurrogate(code[i + 1]);
        bytes += pair ? 4u : code[i] < 0x80 ? 1u : code[i] < 0x800 ? 2u : 3u;
        i += pair ? 1u : 0u;
    }
    return unit == LengthUnit::Chars ? chars : unit == LengthUnit::Bytes ? bytes : code.size();
}

struct FitCase {
    const char* name;
    std::u16string_view input;
    std::u16string_view step;
    ColorPair colors;
    TagTemplate tags;
    bool merge;
    bool bumpy; // a longer step gives more characters of code somewhere
};

class FitTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitTest, AgreesWithWritingEveryStep)
{
    const auto& c = GetParam();
    const prismel::ConvertOptions options{.merge = c.merge};
    const prismel::CodeLength meter(c.input, typedRequest(c.step, c.tags, c.colors, options));
    const std::int32_t first = prismel::effectiveStep(prismel::parseStep(c.step), meter.textSize());
    for (const LengthUnit unit : units) {
        std::vector<std::uint64_t> lengths; // lengths[k] for step first + k
        for (std::int32_t step = first; step == first || step < meter.textSize(); ++step) {
            const std::string digits = std::to_string(step);
            const std::u16string stepText(digits.begin(), digits.end());
            const auto code =
                prismel::ConvertText(c.input, typedRequest(stepText, c.tags, c.colors, options));
            lengths.push_back(measure(code, unit));
            EXPECT_EQ(meter.at(step, unit), lengths.back()) << "step " << step;
        }
        const bool bumpy = !std::is_sorted(lengths.rbegin(), lengths.rend());
        EXPECT_TRUE(unit != LengthUnit::Chars || bumpy == c.bumpy);

        std::set<std::uint64_t> limits{0};
        for (const auto length : lengths)
            limits.insert({length - 1, length});
        for (const auto limit : limits) {
            auto best = std::find_if(lengths.begin(), lengths.end(),
                                     [&](std::uint64_t length) { return length <= limit; });
            const bool fits = best != lengths.end();
            if (!fits)
                best = std::min_element(lengths.begin(), lengths.end());
            const auto fit = prismel::fitToLength(
                limit, c.input, typedRequest(c.step, c.tags, c.colors, options), unit);
            EXPECT_EQ(fit.fits, fits) << "limit " << limit;
            EXPECT_EQ(fit.step, first + (best - lengths.begin())) << "limit " << limit;
            EXPECT_EQ(fit.length, *best) << "limit " << limit;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FitTest,
    testing::Values(
        // Step 2 makes the spaces blank chunks; step 3 tags them with the letters.
        FitCase{"blank_chunks_come_and_go", u"AB  CD  EF", u"1", ColorPair{}, startup, false, true},
        FitCase{"merged_runs_come_and_go", u"C\n\nDD", u"1", ColorPair{0, 0, 0, 0, 0, 2}, startup,
                true, true},
        FitCase{"chinese_and_emoji", u"彩虹 😀 字真  好看🌈", u"1", ColorPair{}, startup, true,
                false},
        FitCase{"search_starts_at_the_given_step", u"彩虹 😀 字真  好看🌈", u"4", ColorPair{},
                startup, false, false},
        FitCase{"step_beyond_the_text_starts_at_1", u"ABC", u"99", ColorPair{}, startup, false,
                false},
        FitCase{"empty_text_fits_anything", u"  ", u"1", ColorPair{}, startup, true, false},
        FitCase{"lone_halves_meet_the_template",
                u"\xDE00"
                u"A \xD83D\tB\xD83D",
                u"1",
                ColorPair{},
                {u"\xDE00", u"\xD83D", u""},
                false,
                true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
