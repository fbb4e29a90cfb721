#include "core/colorpair.h"

#include <gtest/gtest.h>

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
        InterpolationCase{"descending_huge_run", 255, 0, 4'000'000'000, 4'000'000'001, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ColorCode, WorkedValuesOfThreeCharacterRun)
{
    const ColorPair startup;
    EXPECT_EQ(prismel::colorCode(prismel::colorAt(startup, 1, 3)), u"AA55AA");
    EXPECT_EQ(prismel::colorCode(prismel::colorAt(startup, 2, 3)), u"55AA55");
    EXPECT_EQ(prismel::colorCode(prismel::colorAt(startup, 3, 3)), u"00FF00");
}

TEST(ColorCode, PadsEveryChannelToTwoUpperCaseDigits)
{
    EXPECT_EQ(prismel::colorCode(Rgb{0, 10, 255}), u"000AFF");
    EXPECT_EQ(prismel::colorCode(Rgb{171, 205, 239}), u"ABCDEF");
    EXPECT_EQ(prismel::colorCode(Rgb{1, 16, 15}), u"01100F");
}

TEST(PackedColor, RedIsTheLowByte)
{
    EXPECT_EQ(prismel::packedColor(Rgb{255, 0, 0}), 0x0000FFu);
    EXPECT_EQ(prismel::packedColor(Rgb{0, 255, 0}), 0x00FF00u);
    EXPECT_EQ(prismel::packedColor(Rgb{0, 0, 255}), 0xFF0000u);
    EXPECT_EQ(prismel::packedColor(Rgb{1, 2, 3}), 1u + 256u * 2 + 65536u * 3);
}

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

TEST(HexDigits, NoLeadingZeros)
{
    EXPECT_EQ(prismel::hexDigits(0), u"0");
    EXPECT_EQ(prismel::hexDigits(10), u"A");
    EXPECT_EQ(prismel::hexDigits(255), u"FF");
    EXPECT_EQ(prismel::hexDigits(256), u"100");
}

} // namespace
