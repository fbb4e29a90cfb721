#include "cli/options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

using prismel::LengthUnit;
using prismel::cli::Options;
using prismel::cli::parseArguments;
using prismel::cli::UsageError;

prismel::cli::ParseResult parse(std::vector<const char*> args)
{
    return parseArguments(args);
}

TEST(ParseArguments, ExplicitPiecesWinOverFormatInAnyOrder)
{
    for (const auto& args : {std::vector<const char*>{"--mid", ":", "--format", "html"},
                             std::vector<const char*>{"--format=html", "--mid=:"}}) {
        const auto result = parse(args);
        ASSERT_TRUE(std::holds_alternative<Options>(result));
        const auto& tags = std::get<Options>(result).tags;
        EXPECT_EQ(tags.TagHead, u"<font color=");
        EXPECT_EQ(tags.TagMid, u":");
        EXPECT_EQ(tags.TagClose, u"</font>");
    }
}

TEST(ParseArguments, ValuesMayStartWithADashOrBeEmpty)
{
    const auto result = parse({"--head", "-x", "--close=", "--step", "-3", "in.txt"});
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    const auto& options = std::get<Options>(result);
    EXPECT_EQ(options.tags.TagHead, u"-x");
    EXPECT_EQ(options.tags.TagClose, u"");
    EXPECT_EQ(options.step, -3);
    EXPECT_EQ(options.file, "in.txt");
}

TEST(ParseArguments, Colours)
{
    const auto result = parse({"--start", "#0a0B0c", "--end=FFfe00"});
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    const auto& stops = std::get<Options>(result).stops;
    EXPECT_EQ(stops, (std::vector<prismel::GradientStop>{{{10, 11, 12}, {}}, {{255, 254, 0}, {}}}));
}

TEST(ParseArguments, NextArgumentIsTheValueEvenWhenItLooksLikeAnOption)
{
    const auto result = parse({"--head", "--step", "--mid", "--", "--", "-x"});
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    const auto& options = std::get<Options>(result);
    EXPECT_EQ(options.tags.TagHead, u"--step");
    EXPECT_EQ(options.tags.TagMid, u"--");
    EXPECT_EQ(options.step, 1);
    EXPECT_EQ(options.file, "-x"); // after "--" a name starting with "-" is a file
}

TEST(ParseArguments, LaterValueOfTheSameOptionWins)
{
    const auto result = parse({"--step", "2", "--step=3", "--format", "qq", "--format=html"});
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    const auto& options = std::get<Options>(result);
    EXPECT_EQ(options.step, 3);
    EXPECT_EQ(options.tags.TagHead, u"<font color=");
}

TEST(ParseArguments, Errors)
{
    struct ErrorCase {
        const char* name;
        std::vector<const char*> args;
    };
    const ErrorCase cases[] = {
        {"colour_five_digits", {"--start", "12345"}},
        {"colour_not_hex", {"--end", "#GG0000"}},
        {"colour_two_hashes", {"--start", "##00FF00"}},
        {"colour_with_space", {"--start", " 00FF00"}},
        {"colour_0x_prefix", {"--start", "0x00FF00"}},
        {"value_missing_at_end", {"--head"}},
        {"format_unknown", {"--format", "phpbb"}},
        {"format_empty", {"--format="}},
        {"option_unknown", {"--colour", "x"}},
        {"option_prefix_not_accepted", {"--for", "html"}},
        {"short_option", {"-x"}},
        {"two_files", {"a.txt", "b.txt"}},
        {"tag_not_utf8", {"--head", "\xFF"}},
        {"step_not_utf8", {"--step", "\xC3"}},
        {"help_with_value", {"--help=1"}},
        {"version_with_empty_value", {"--version="}},
        {"abbreviation_with_value", {"--hel=1"}},
        {"abbreviation_without_value", {"--he"}},
        {"ambiguous_prefix", {"--st", "2"}},
        {"dashes_then_equals", {"--=x"}},
        {"fit_zero", {"--fit", "0"}},
        {"fit_negative", {"--fit", "-3"}},
        {"fit_fraction", {"--fit", "1.5"}},
        {"fit_letters_after_digits", {"--fit", "12abc"}},
        {"fit_empty", {"--fit="}},
        {"fit_plus_sign", {"--fit", "+5"}},
        {"fit_one_past_64_bits", {"--fit", "18446744073709551616"}},
        {"count_unknown", {"--count", "words"}},
        {"merge_with_value", {"--merge=1"}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(std::holds_alternative<UsageError>(parse(c.args))) << c.name;
}

TEST(ParseArguments, ForumFitOptions)
{
    struct FitCase {
        const char* name;
        std::vector<const char*> args;
        std::optional<std::uint64_t> fitLimit;
        LengthUnit count;
        bool merge;
        bool stats;
    };
    constexpr auto largest = std::numeric_limits<std::uint64_t>::max();
    const FitCase cases[] = {
        {"none_given", {}, std::nullopt, LengthUnit::Chars, false, false},
        {"fit_leading_zeros", {"--fit=007"}, 7, LengthUnit::Chars, false, false},
        {"fit_largest_64_bit",
         {"--fit", "18446744073709551615"},
         largest,
         LengthUnit::Chars,
         false,
         false},
        {"later_count_wins",
         {"--count=units", "--count", "bytes"},
         std::nullopt,
         LengthUnit::Bytes,
         false,
         false},
        {"merge_and_stats",
         {"--stats", "--merge", "--count", "units"},
         std::nullopt,
         LengthUnit::Units,
         true,
         true},
    };
    for (const auto& c : cases) {
        const auto result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<Options>(result)) << c.name;
        const auto& options = std::get<Options>(result);
        EXPECT_EQ(options.fitLimit, c.fitLimit) << c.name;
        EXPECT_EQ(options.count, c.count) << c.name;
        EXPECT_EQ(options.conversion.merge, c.merge) << c.name;
        EXPECT_EQ(options.stats, c.stats) << c.name;
    }
}

// --space, --hue and --reverse act on whatever gradient the other options chose.
TEST(ResolveGradient, NamesStopsAndPairAreOverriddenThenReversed)
{
    using prismel::ColorSpace;
    using prismel::Gradient;
    using prismel::HueMethod;
    const std::vector<prismel::NamedGradient> own{
        {u"mine", Gradient({{{1, 2, 3}, {}}, {{4, 5, 6}, 2500}}, ColorSpace::Oklch)}};
    struct ResolveCase {
        const char* name;
        std::vector<const char*> args;
        std::optional<Gradient> expected; // nothing for a usage error
    };
    const Gradient pair(prismel::ColorPair{0, 0, 0, 255, 255, 255});
    const ResolveCase cases[] = {
        {"pair", {"--start", "black", "--end", "#fff"}, pair},
        // Reversing writes the places out, mirrored.
        {"pair_reversed",
         {"--start", "black", "--end", "#fff", "--reverse"},
         Gradient({{{255, 255, 255}, 0}, {{0, 0, 0}, 10000}})},
        {"stops_in_oklab",
         {"--stops", "#010203, #040506 25%", "--space", "oklab"},
         Gradient({{{1, 2, 3}, {}}, {{4, 5, 6}, 2500}}, ColorSpace::Oklab)},
        {"own_name_keeps_its_space_and_takes_a_hue",
         {"--gradient", "mine", "--hue", "decreasing"},
         Gradient({{{1, 2, 3}, {}}, {{4, 5, 6}, 2500}}, ColorSpace::Oklch, HueMethod::Decreasing)},
        {"own_name_reversed",
         {"--gradient", "mine", "--reverse"},
         Gradient({{{4, 5, 6}, 7500}, {{1, 2, 3}, 10000}}, ColorSpace::Oklch)},
        {"built_in_name",
         {"--gradient", "rainbow"},
         Gradient({{{255, 0, 0}, {}},
                   {{255, 255, 0}, {}},
                   {{0, 255, 0}, {}},
                   {{0, 255, 255}, {}},
                   {{0, 0, 255}, {}},
                   {{255, 0, 255}, {}}})},
        {"hue_with_rgb", {"--gradient", "mine", "--space", "rgb", "--hue", "longer"}, std::nullopt},
        {"unknown_name", {"--gradient", "yours"}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parsed = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << c.name;
        const auto resolved = prismel::cli::resolveGradient(std::get<Options>(parsed), own);
        if (c.expected)
            EXPECT_EQ(std::get<Gradient>(resolved), *c.expected) << c.name;
        else
            EXPECT_TRUE(std::holds_alternative<UsageError>(resolved)) << c.name;
    }
}

// The parser keeps its place between calls unless told to start afresh.
TEST(ParseArguments, EachCallStartsAfresh)
{
    const std::vector<std::vector<const char*>> earlier{
        {"--bogus", "a"}, {"-xy"}, {"--", "a", "b"}, {"a", "--step"}};
    for (const auto& args : earlier) {
        parse(args);
        const auto result = parse({"--step", "2", "in.txt"});
        ASSERT_TRUE(std::holds_alternative<Options>(result)) << args.front();
        EXPECT_EQ(std::get<Options>(result).step, 2);
        EXPECT_EQ(std::get<Options>(result).file, "in.txt");
    }
}

} // namespace
