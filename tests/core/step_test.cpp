#include "core/step.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct ParseCase {
    const char* name;
    std::u16string_view text;
    std::optional<std::int32_t> value;
};

class ParseStepTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseStepTest, LeadingNumber)
{
    EXPECT_EQ(prismel::parseStep(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseStepTest,
    testing::Values(
        ParseCase{"plain_digits", u"12", 12}, ParseCase{"empty_is_zero", u"", 0},
        ParseCase{"letters_are_zero", u"abc", 0}, ParseCase{"trailing_text_ignored", u"12abc", 12},
        ParseCase{"leading_spaces_skipped", u"   7", 7},
        ParseCase{"space_inside_ends_number", u"1 2", 1}, ParseCase{"tie_2_5_to_even_2", u"2.5", 2},
        ParseCase{"tie_3_5_to_even_4", u"3.5", 4},
        ParseCase{"just_over_half_rounds_up", u"2.5000001", 3},
        ParseCase{"under_half_rounds_down", u"2.4999", 2}, ParseCase{"fraction_only", u".7", 1},
        ParseCase{"dot_without_digits", u"3.", 3}, ParseCase{"plus_sign", u"+4", 4},
        ParseCase{"minus_sign", u"-3", -3}, ParseCase{"sign_alone_is_zero", u"-", 0},
        ParseCase{"int32_max", u"2147483647", 2147483647},
        ParseCase{"int32_min", u"-2147483648", -2147483647 - 1},
        ParseCase{"just_past_int32", u"2147483648", std::nullopt},
        ParseCase{"rounds_past_int32", u"2147483647.5", std::nullopt},
        ParseCase{"forty_digits", u"9999999999999999999999999999999999999999", std::nullopt},
        ParseCase{"leading_zeros", u"0003", 3},
        ParseCase{"full_width_digits_are_not_digits", u"３", 0}),
    [](const auto& row) { return std::string(row.param.name); });

struct FallbackCase {
    const char* name;
    std::u16string_view text;
    std::int64_t length;
    std::int32_t step;
};

TEST(EffectiveStep, FallsBackToOne)
{
    const FallbackCase cases[] = {
        {"n_minus_1_stays", u"9", 10, 9},
        {"n_falls_back", u"10", 10, 1},
        {"beyond_n_falls_back", u"50", 10, 1},
        {"zero_falls_back", u"0", 10, 1},
        {"empty_falls_back", u"", 10, 1},
        {"negative_falls_back", u"-3", 10, 1},
        {"out_of_range_falls_back", u"99999999999", 100, 1},
        {"single_character_text", u"4", 1, 1},
        {"empty_text", u"3", 0, 1},
        {"fraction_rounded_first", u"2.5", 10, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prismel::effectiveStep(prismel::parseStep(c.text), c.length), c.step) << c.name;
}

} // namespace
