#include "core/colorpair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>

namespace {

using prismel::ColorPair;
using prismel::InterpolateChannel;
using prismel::PadHex2;
using prismel::Rgb;

struct InterpolationCase {
    const char* name;
    std::int16_t s, e;
    std::int64_t pos, len;
    std::int16_t expected;
};

class InterpolateChannelTest : public testing::TestWithParam<InterpolationCase> {};

TEST_P(InterpolateChannelTest, RoundsHalfToEven)
{
    const auto& c = GetParam();
    EXPECT_EQ(InterpolateChannel(c.s, c.e, c.pos, c.len), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InterpolateChannelTest,
    testing::Values(
        // 127.5 and 126.5 are ties: one rounds up, one down.
        InterpolationCase{"tie_up_to_even_128", 0, 255, 1, 2, 128},
        InterpolationCase{"tie_down_to_even_126", 0, 253, 1, 2, 126},
        InterpolationCase{"descending_tie_to_128", 255, 0, 1, 2, 128},
        InterpolationCase{"tie_12_5_to_12", 10, 20, 1, 4, 12},
        InterpolationCase{"quarter_63_75_to_64", 0, 255, 1, 4, 64},
        InterpolationCase{"descending_third", 255, 0, 1, 3, 170},
        InterpolationCase{"equal_ends_stay", 77, 77, 5, 9, 77},
        InterpolationCase{"position_zero_is_start", 40, 200, 0, 7, 40},
        InterpolationCase{"position_len_is_end", 40, 200, 7, 7, 200},
        InterpolationCase{"bar_middle", 255, 0, 128, 255, 127},
        // 255 * 3e9 overflows 32 bits; the product must be carried in 64.
        InterpolationCase{"billions_of_positions", 0, 255, 3'000'000'000, 6'000'000'000, 128},
        InterpolationCase{"descending_huge_run", 255, 0, 4'000'000'000, 4'000'000'001, 0},
        // Exactly 190.5 + 1 / (2 len): the double formula lost the excess and rounded to 190.
        InterpolationCase{"just_above_a_tie_beyond_2_to_44", 203, 190, 32'141'203'394'374,
                          33'426'851'530'149, 191},
        // Products beyond 64 bits: 2^61 of 2^62 is exactly half way.
        InterpolationCase{"wide_tie", 0, 255, std::int64_t{1} << 61, std::int64_t{1} << 62, 128},
        InterpolationCase{"wide_just_below_tie", 0, 255, (std::int64_t{1} << 61) - 1,
                          std::int64_t{1} << 62, 127},
        InterpolationCase{"wide_descending_just_past_tie", 255, 0, (std::int64_t{1} << 61) + 1,
                          std::int64_t{1} << 62, 127},
        InterpolationCase{"wide_end", 3, 250, std::int64_t{1} << 62, std::int64_t{1} << 62, 250}),
    [](const auto& row) { return std::string(row.param.name); });

// The formula the markup was generated with before it moved to integers: an exact 64-bit
// product, a double division and half-to-even rounding. Exact while the product stays below
// 2^53, and no nearer than 2^-45 to a half otherwise.
std::int16_t doubleFormula(std::int16_t s, std::int16_t e, std::int64_t pos, std::int64_t len)
{
    const std::int64_t product = (std::int64_t{e} - s) * pos;
    return static_cast<std::int16_t>(
        std::nearbyint(double(s) + double(product) / double(len))); // ties to even by default
}

// Compares the integer and the double results over a sweep; reports the first few differences.
class Agreement {
public:
    void check(std::int16_t s, std::int16_t e, std::int64_t pos, std::int64_t len)
    {
        const std::int16_t exact = InterpolateChannel(s, e, pos, len);
        const std::int16_t old = doubleFormula(s, e, pos, len);
        if (exact != old && ++m_differences <= 5)
            m_first << " (" << s << ", " << e << ", " << pos << ", " << len << "): " << exact
                    << " vs " << old << ";";
    }
    ~Agreement() { EXPECT_EQ(m_differences, 0) << "integer vs double at" << m_first.str(); }

private:
    long m_differences = 0;
    std::ostringstream m_first;
};

// Lengths whose halves, quarters and sixths fall on ties for many channel pairs.
TEST(IntegerMatchesDouble, EveryChannelPairAtEveryPositionOfTieProneLengths)
{
    Agreement agreement;
    for (const std::int64_t len : {1, 2, 3, 4, 6, 8, 10, 12, 16, 510})
        for (std::int16_t s = 0; s <= 255; ++s)
            for (std::int16_t e = 0; e <= 255; ++e)
                for (std::int64_t pos = 0; pos <= len; pos += len == 510 ? 17 : 1)
                    agreement.check(s, e, pos, len);
}

TEST(IntegerMatchesDouble, EveryPositionOfEveryLengthUpTo600)
{
    // Rising and falling, odd and even starts, distances with many divisors and prime ones.
    constexpr std::int16_t pairs[][2] = {{0, 255}, {255, 0}, {0, 253},   {1, 254}, {10, 20},
                                         {77, 77}, {128, 0}, {0, 127},   {3, 254}, {200, 199},
                                         {0, 1},   {254, 0}, {51, 204},  {250, 1}, {17, 102},
                                         {99, 0},  {0, 240}, {255, 254}, {60, 5},  {7, 8}};
    Agreement agreement;
    for (std::int64_t len = 1; len <= 600; ++len)
        for (std::int64_t pos = 0; pos <= len; ++pos)
            for (const auto& pair : pairs)
                agreement.check(pair[0], pair[1], pos, len);
}

// Long runs up to 2^40 code units, drawn from a fixed seed: uniform positions, then exact ties
// and their neighbours, where a rounding difference would show first.
TEST(IntegerMatchesDouble, RandomLongRunsAndTheirTies)
{
    std::mt19937_64 random(20261207);
    const auto below = [&](std::int64_t bound) {
        return static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(bound));
    };
    Agreement agreement;
    for (int i = 0; i < 200'000; ++i) {
        const auto s = static_cast<std::int16_t>(below(256));
        const auto e = static_cast<std::int16_t>(below(256));
        const std::int64_t len = 1 + below(std::int64_t{1} << (1 + below(40)));
        agreement.check(s, e, below(len + 1), len);

        // len = 2 |d| t and pos = o t with o odd put the value exactly half way.
        const std::int64_t distance = std::abs(e - s);
        if (distance == 0)
            continue;
        const std::int64_t t = 1 + below((std::int64_t{1} << 39) / distance);
        const std::int64_t tieLen = 2 * distance * t;
        const std::int64_t tiePos = (2 * below(distance) + 1) * t;
        for (const std::int64_t near : {-1, 0, 1})
            agreement.check(s, e, tiePos + near, tieLen);
    }
}

std::u16string colorCode(Rgb color)
{
    char16_t code[6] = {};
    EXPECT_EQ(prismel::writeColorCode(code, color), code + 6);
    return {code, 6};
}

TEST(ColorCode, WorkedValuesOfThreeCharacterRun)
{
    const ColorPair startup;
    EXPECT_EQ(colorCode(prismel::colorAt(startup, 1, 3)), u"AA55AA");
    EXPECT_EQ(colorCode(prismel::colorAt(startup, 2, 3)), u"55AA55");
    EXPECT_EQ(colorCode(prismel::colorAt(startup, 3, 3)), u"00FF00");
}

struct CodeCase {
    const char* name;
    Rgb color;
    std::u16string_view code;
};

class ColorCodeTest : public testing::TestWithParam<CodeCase> {};

TEST_P(ColorCodeTest, TwoUpperCaseDigitsPerChannelRedFirst)
{
    EXPECT_EQ(colorCode(GetParam().color), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorCodeTest,
    testing::Values(CodeCase{"zeros_padded", {0, 0, 0}, u"000000"},
                    CodeCase{"one_digit_values_padded", {1, 10, 15}, u"010A0F"},
                    CodeCase{"first_two_digit_values", {16, 17, 31}, u"10111F"},
                    CodeCase{"letters_upper_case", {171, 205, 239}, u"ABCDEF"},
                    CodeCase{"digits_only", {9, 144, 153}, u"099099"},
                    CodeCase{"white", {255, 255, 255}, u"FFFFFF"},
                    CodeCase{"channel_order", {255, 0, 160}, u"FF00A0"}),
    [](const auto& row) { return std::string(row.param.name); });

struct PadCase {
    const char* name;
    std::u16string_view in;
    std::u16string_view out;
};

TEST(PadHex2, Table)
{
    const PadCase cases[] = {
        {"one_digit_gets_a_zero", u"A", u"0A"},
        {"two_digits_unchanged", u"FF", u"FF"},
        {"empty_gives_00", u"", u"00"},
        {"three_digits_give_empty", u"100", u""},
        {"only_spaces_count_as_empty", u"  ", u"00"},
        {"zero_digit", u"0", u"00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PadHex2(c.in), c.out) << c.name;
}

// The conversion keeps a colour until some channel may change; it must still give colorAt()'s
// colour at every position it is asked for.
struct WalkCase {
    const char* name;
    ColorPair colors;
    std::int64_t len;
    std::int64_t step;
};

void PrintTo(const WalkCase& c, std::ostream* os)
{
    *os << c.name;
}

class GradientWalkTest : public testing::TestWithParam<WalkCase> {};

TEST_P(GradientWalkTest, AgreesWithColorAtAtEveryPositionAsked)
{
    const auto& c = GetParam();
    prismel::detail::GradientWalk walk(c.colors, c.len);
    for (std::int64_t pos = 1; pos <= c.len; pos += c.step) {
        const Rgb expected = prismel::colorAt(c.colors, pos, c.len);
        const Rgb got = walk.at(pos);
        ASSERT_TRUE(got == expected) << "position " << pos << " of " << c.len;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Walk, GradientWalkTest,
    testing::Values(WalkCase{"one_position", {255, 0, 255, 0, 255, 0}, 1, 1},
                    WalkCase{"shorter_than_a_channel_change", {255, 0, 255, 0, 255, 0}, 7, 1},
                    // Over twice the distance every other position lies half-way: the ties to even.
                    WalkCase{"ties_rising_and_falling", {0, 255, 10, 255, 0, 10}, 510, 1},
                    WalkCase{"ties_at_odd_starts", {1, 254, 3, 254, 1, 3}, 506, 1},
                    WalkCase{"one_step_of_a_channel", {7, 8, 200, 8, 7, 201}, 1001, 1},
                    WalkCase{"long_run_by_threes", {18, 52, 86, 254, 220, 186}, 1'000'003, 3},
                    WalkCase{
                        "steps_longer_than_a_change", {255, 0, 128, 0, 255, 129}, 100'000, 997}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
