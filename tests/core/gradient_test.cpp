#include "core/colorwalk.h"
#include "core/gradient.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using prismel::ColorSpace;
using prismel::Gradient;
using prismel::GradientStop;
using prismel::HueMethod;
using prismel::Rgb;

Rgb randomColor(std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    return {static_cast<std::int16_t>(byte(random)), static_cast<std::int16_t>(byte(random)),
            static_cast<std::int16_t>(byte(random))};
}

// Many stops, some unplaced, some out of order, some on one place.
Gradient randomGradient(std::mt19937& random, std::size_t maxStops, ColorSpace space)
{
    std::uniform_int_distribution<std::size_t> count(2, maxStops);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<std::int32_t> place(0, 10000);
    std::vector<GradientStop> stops(count(random));
    std::int32_t last = 0;
    for (auto& stop : stops) {
        stop.color = randomColor(random);
        switch (kind(random)) {
        case 0:
            break; // unplaced
        case 1:
            stop.position = last; // on the place of an earlier stop
            break;
        default:
            stop.position = place(random);
            last = *stop.position;
        }
    }
    return Gradient(std::move(stops), space);
}

std::string describe(const Gradient& g)
{
    std::string text;
    for (const auto& stop : g.stops) {
        text += "(" + std::to_string(stop.color.r) + "," + std::to_string(stop.color.g) + "," +
                std::to_string(stop.color.b) + ")";
        text += stop.position ? "@" + std::to_string(*stop.position) + " " : " ";
    }
    return text;
}

constexpr Rgb black{0, 0, 0};
constexpr Rgb red{255, 0, 0};
constexpr Rgb lime{0, 255, 0};
constexpr Rgb white{255, 255, 255};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb yellow{255, 255, 0};
constexpr Rgb teal{0, 128, 128};
constexpr Rgb grey{119, 119, 119};

// --- RGB: every position of a short run, worked out on exact fractions ---

struct RgbRow {
    const char* name;
    Gradient gradient;
    std::vector<Rgb> colors; // at 0 / len to len / len, len being one less than their count
    bool mirrors = true;     // the reversed gradient gives them backwards
};

void PrintTo(const RgbRow& row, std::ostream* os)
{
    *os << row.name;
}

class RgbPositions : public testing::TestWithParam<RgbRow> {};

TEST_P(RgbPositions, ColourWalkAndReversedAgree)
{
    const RgbRow& row = GetParam();
    const auto len = static_cast<std::int64_t>(row.colors.size()) - 1;
    const Gradient back = prismel::reversed(row.gradient);
    prismel::detail::ColorWalk walk(row.gradient, len);
    for (std::int64_t i = 0; i <= len; ++i) {
        const Rgb expected = row.colors[static_cast<std::size_t>(i)];
        EXPECT_EQ(prismel::colorAt(row.gradient, i, len), expected) << "at " << i;
        EXPECT_EQ(walk.at(i), expected) << "walked at " << i;
        if (row.mirrors) {
            EXPECT_EQ(prismel::colorAt(back, len - i, len), expected) << "reversed at " << len - i;
        }
    }
}

using Stops = std::vector<GradientStop>;

INSTANTIATE_TEST_SUITE_P(
    Table, RgbPositions,
    testing::Values(
        // 127.5 rounds to 128, 63.75 to 64 and 191.25 to 191.
        RgbRow{"pair_black_to_white_quarters",
               Gradient(prismel::ColorPair{0, 0, 0, 255, 255, 255}),
               {black, {64, 64, 64}, {128, 128, 128}, {191, 191, 191}, white}},
        RgbRow{"pair_magenta_to_green_thirds",
               Gradient(),
               {{255, 0, 255}, {170, 85, 170}, {85, 170, 85}, lime}},
        // 0.5 goes down to 0, 1.5 up to 2.
        RgbRow{"pair_halves_round_to_even",
               Gradient(prismel::ColorPair{0, 1, 3, 1, 2, 0}),
               {{0, 1, 3}, {0, 2, 2}, {1, 2, 0}}},
        RgbRow{"pair_with_places_written_out",
               Gradient(Stops{{black, 0}, {white, 10000}}),
               {black, {128, 128, 128}, white}},
        RgbRow{"unplaced_middle_at_half_way",
               Gradient(Stops{{red, {}}, {lime, {}}, {blue, {}}}),
               {red, {128, 128, 0}, lime, {0, 128, 128}, blue}},
        // Stops at 1/3 and 2/3: 255 * 3/7 = 109.3, 255 * 6/7 = 218.6, 255 * 2/7 = 72.9.
        RgbRow{"four_unplaced_at_thirds",
               Gradient(Stops{{black, {}}, {red, {}}, {yellow, {}}, {white, {}}}),
               {black,
                {109, 0, 0},
                {219, 0, 0},
                {255, 73, 0},
                {255, 182, 0},
                {255, 255, 36},
                {255, 255, 146},
                white}},
        // The two unplaced stops land on 30 % and 50 %.
        RgbRow{"unplaced_run_spread_between_placed",
               Gradient(Stops{
                   {black, 1000}, {{100, 0, 0}, {}}, {{100, 100, 0}, {}}, {{100, 100, 100}, 7000}}),
               {black,
                black,
                {50, 0, 0},
                {100, 0, 0},
                {100, 50, 0},
                {100, 100, 0},
                {100, 100, 50},
                {100, 100, 100},
                {100, 100, 100},
                {100, 100, 100},
                {100, 100, 100}}},
        RgbRow{"ends_placed_inside_hold_outside",
               Gradient(Stops{{black, 2500}, {{200, 100, 0}, 7500}}),
               {black, black, {100, 50, 0}, {200, 100, 0}, {200, 100, 0}}},
        RgbRow{"places_outside_the_bar_clamped",
               Gradient(Stops{{black, -500}, {white, 12000}}),
               {black, {128, 128, 128}, white}},
        // Lime at 20 % is raised to red's 50 %; where the two meet the later one shows.
        RgbRow{"place_below_an_earlier_one_raised",
               Gradient(Stops{{red, 5000}, {lime, 2000}, {blue, {}}}),
               {red, red, lime, {0, 128, 128}, blue},
               false},
        // Backwards red is the later of the two.
        RgbRow{"place_below_an_earlier_one_raised_reversed",
               prismel::reversed(Gradient(Stops{{red, 5000}, {lime, 2000}, {blue, {}}})),
               {blue, {0, 128, 128}, red, red, red},
               false},
        // Stops made in code may be fewer than two.
        RgbRow{"no_stops_black", Gradient(Stops{}), {black, black, black}},
        RgbRow{"one_stop_everywhere",
               Gradient(Stops{{{1, 2, 3}, 5000}}, ColorSpace::Oklch),
               {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}}),
    [](const auto& row) { return std::string(row.param.name); });

// Far along a long run, at positions a walk reaches in long strides. Black at 0 %, white at
// 50 %, black at 100 % over 3,000,000: position p is 255 p / 1,500,000 on the way up.
TEST(GradientRgb, LongRunAtChosenPositions)
{
    const Gradient g(Stops{{black, 0}, {white, 5000}, {black, {}}});
    // Position and channel value.
    const std::pair<std::int64_t, std::int16_t> rows[] = {
        {1, 0},        {2941, 0},     // 0.49997
        {2942, 1},                    // 0.50014
        {749999, 127}, {750000, 128}, // 127.5, to even
        {750001, 128}, {1500000, 255}, {2250000, 128}, {2999999, 0}, {3000000, 0},
    };
    prismel::detail::ColorWalk walk(g, 3'000'000);
    for (const auto& [pos, level] : rows) {
        EXPECT_EQ(prismel::colorAt(g, pos, 3'000'000), (Rgb{level, level, level})) << pos;
        EXPECT_EQ(walk.at(pos), (Rgb{level, level, level})) << "walked " << pos;
    }
}

// The walk skips ahead by bounds of its own; asked everywhere it must agree with colorAt().
TEST(GradientRgb, WalksAgreeWithEveryPositionForwardAndReversed)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 400; ++round) {
        const Gradient g = randomGradient(random, round % 2 ? 8 : 3, ColorSpace::Rgb);
        const Gradient back = prismel::reversed(g);
        for (const std::int64_t len : {1, 2, 7, 255, 1000}) {
            prismel::detail::ColorWalk walk(g, len);
            prismel::detail::ColorWalk walkBack(back, len);
            for (std::int64_t i = 0; i <= len; ++i) {
                ASSERT_EQ(walk.at(i), prismel::colorAt(g, i, len))
                    << describe(g) << " at " << i << "/" << len;
                ASSERT_EQ(walkBack.at(i), prismel::colorAt(back, i, len))
                    << describe(g) << " reversed at " << i << "/" << len;
            }
        }
    }
}

// A long text walks far past the places a short one reaches, by steps that skip changes.
TEST(GradientRgb, LongWalksInStepsAgreeWithEveryPosition)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const Gradient g = randomGradient(random, 10, ColorSpace::Rgb);
        const std::int64_t len = 3'000'017;
        const std::int64_t step = 1 + round * 37;
        prismel::detail::ColorWalk walk(g, len);
        for (std::int64_t i = 1; i <= len; i += step)
            ASSERT_EQ(walk.at(i), prismel::colorAt(g, i, len)) << describe(g) << " at " << i;
    }
}

// Two stops at 0 % and 100 %, written out or not, are the pair's own gradient.
TEST(GradientRgb, TwoStopsTakeThePairsRoadSpelledOrNot)
{
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        const Rgb s = randomColor(random);
        const Rgb e = randomColor(random);
        const Gradient pair(prismel::ColorPair{s.r, s.g, s.b, e.r, e.g, e.b});
        const Gradient spelled(Stops{{s, 0}, {e, 10000}});
        for (const std::int64_t len : {1, 3, 254, 1023}) {
            prismel::detail::ColorWalk walk(spelled, len);
            for (std::int64_t i = 0; i <= len; ++i) {
                const Rgb expected = prismel::colorAt(pair, i, len);
                ASSERT_EQ(prismel::colorAt(spelled, i, len), expected);
                ASSERT_EQ(walk.at(i), expected);
            }
        }
    }
}

// --- OKLab and OKLCH: two stops over six steps, worked out on 50 digits ---

// In OKLab and OKLCH the walk decides where a colour changes from unrounded channels a little
// ahead, so near a channel's half-way point it may still hold the previous value: one off.
testing::AssertionResult withinOne(Rgb walked, Rgb exact)
{
    const auto off = [](std::int16_t x, std::int16_t y) { return x - y > 1 || y - x > 1; };
    if (off(walked.r, exact.r) || off(walked.g, exact.g) || off(walked.b, exact.b))
        return testing::AssertionFailure()
               << "(" << walked.r << "," << walked.g << "," << walked.b << ") against (" << exact.r
               << "," << exact.g << "," << exact.b << ")";
    return testing::AssertionSuccess();
}

struct OkRow {
    const char* name;
    Rgb from, to;
    ColorSpace space;
    HueMethod method;
    std::array<Rgb, 7> colors; // at 0/6 to 6/6
};

void PrintTo(const OkRow& row, std::ostream* os)
{
    *os << row.name;
}

class OkGradient : public testing::TestWithParam<OkRow> {};

TEST_P(OkGradient, SixStepsAndWalksAtEveryLength)
{
    const OkRow& row = GetParam();
    const Gradient g(Stops{{row.from, {}}, {row.to, {}}}, row.space, row.method);
    for (std::int64_t i = 0; i <= 6; ++i)
        EXPECT_EQ(prismel::colorAt(g, i, 6), row.colors.at(static_cast<std::size_t>(i))) << i;
    // Asked everywhere, the walk stays within one of colorAt().
    for (const std::int64_t len : {1, 9, 255, 4001}) {
        prismel::detail::ColorWalk walk(g, len);
        for (std::int64_t i = 0; i <= len; ++i)
            ASSERT_TRUE(withinOne(walk.at(i), prismel::colorAt(g, i, len))) << i << "/" << len;
        EXPECT_EQ(prismel::colorAt(g, 0, len), row.from);
        EXPECT_EQ(prismel::colorAt(g, len, len), row.to);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spaces, OkGradient,
    testing::Values(OkRow{"oklab_blue_to_yellow",
                          blue,
                          yellow,
                          ColorSpace::Oklab,
                          HueMethod::Shorter,
                          {{{0, 0, 255},
                            {0, 96, 240},
                            {58, 138, 222},
                            {108, 171, 199},
                            {156, 201, 170},
                            {205, 229, 126},
                            {255, 255, 0}}}},
                    OkRow{"oklab_red_to_teal",
                          red,
                          teal,
                          ColorSpace::Oklab,
                          HueMethod::Shorter,
                          {{{255, 0, 0},
                            {227, 67, 48},
                            {198, 91, 70},
                            {168, 106, 87},
                            {134, 116, 102},
                            {92, 123, 116},
                            {0, 128, 128}}}},
                    // Through green at full chroma, well outside sRGB: the gamut mapping.
                    OkRow{"oklch_blue_to_yellow",
                          blue,
                          yellow,
                          ColorSpace::Oklch,
                          HueMethod::Shorter,
                          {{{0, 0, 255},
                            {0, 119, 184},
                            {0, 154, 181},
                            {0, 189, 176},
                            {0, 226, 145},
                            {143, 248, 72},
                            {255, 255, 0}}}},
                    OkRow{"oklch_longer",
                          red,
                          teal,
                          ColorSpace::Oklch,
                          HueMethod::Longer,
                          {{{255, 0, 0},
                            {229, 39, 135},
                            {184, 73, 194},
                            {129, 98, 217},
                            {63, 117, 205},
                            {0, 128, 170},
                            {0, 128, 128}}}},
                    OkRow{"oklch_increasing",
                          teal,
                          red,
                          ColorSpace::Oklch,
                          HueMethod::Increasing,
                          {{{0, 128, 128},
                            {0, 128, 170},
                            {63, 117, 205},
                            {129, 98, 217},
                            {184, 73, 194},
                            {229, 39, 135},
                            {255, 0, 0}}}},
                    OkRow{"oklch_decreasing",
                          red,
                          teal,
                          ColorSpace::Oklch,
                          HueMethod::Decreasing,
                          {{{255, 0, 0},
                            {229, 39, 135},
                            {184, 73, 194},
                            {129, 98, 217},
                            {63, 117, 205},
                            {0, 128, 170},
                            {0, 128, 128}}}},
                    OkRow{"oklch_full_circle",
                          red,
                          red,
                          ColorSpace::Oklch,
                          HueMethod::Longer,
                          {{{255, 0, 0},
                            {172, 130, 0},
                            {0, 168, 54},
                            {0, 156, 178},
                            {85, 119, 255},
                            {214, 47, 210},
                            {255, 0, 0}}}},
                    // A grey end has no hue: white to red keeps red's hue the whole way.
                    OkRow{"oklch_white_to_red",
                          white,
                          red,
                          ColorSpace::Oklch,
                          HueMethod::Shorter,
                          {{{255, 255, 255},
                            {255, 225, 218},
                            {255, 193, 182},
                            {255, 161, 145},
                            {255, 126, 108},
                            {255, 85, 68},
                            {255, 0, 0}}}},
                    OkRow{"oklch_red_to_grey",
                          red,
                          grey,
                          ColorSpace::Oklch,
                          HueMethod::Longer,
                          {{{255, 0, 0},
                            {168, 127, 0},
                            {0, 157, 67},
                            {0, 147, 167},
                            {104, 123, 176},
                            {137, 113, 135},
                            {119, 119, 119}}}},
                    OkRow{"oklch_grey_to_white",
                          grey,
                          white,
                          ColorSpace::Oklch,
                          HueMethod::Shorter,
                          {{{119, 119, 119},
                            {140, 140, 140},
                            {162, 162, 162},
                            {185, 185, 185},
                            {208, 208, 208},
                            {231, 231, 231},
                            {255, 255, 255}}}}),
    [](const auto& row) { return std::string(row.param.name); });

// Many stops: each segment is the two-stop gradient between its stops, stretched over its part
// of the run.
TEST(OkGradient, EachSegmentIsItsTwoStopGradient)
{
    for (const ColorSpace space : {ColorSpace::Oklab, ColorSpace::Oklch}) {
        for (const HueMethod method : {HueMethod::Shorter, HueMethod::Longer}) {
            // Places 0 %, 25 % (unplaced, half way to yellow) and 50 %, then white.
            const Gradient g(Stops{{blue, {}}, {red, {}}, {yellow, 5000}, {white, {}}}, space,
                             method);
            const std::array<std::pair<Rgb, Rgb>, 3> segments{
                {{blue, red}, {red, yellow}, {yellow, white}}};
            const std::array<std::int64_t, 3> lengths{100, 100, 200};
            std::int64_t start = 0;
            for (std::size_t k = 0; k < 3; ++k) {
                const Gradient alone(Stops{{segments[k].first, {}}, {segments[k].second, {}}},
                                     space, method);
                for (std::int64_t i = 0; i <= lengths[k]; ++i)
                    ASSERT_EQ(prismel::colorAt(g, start + i, 400),
                              prismel::colorAt(alone, i, lengths[k]))
                        << "segment " << k << " at " << i;
                start += lengths[k];
            }
        }
    }
}

// Walks over many stops, some on one place, agree with colorAt() everywhere.
TEST(OkGradient, ManyStopWalksAgreeWithEveryPosition)
{
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const auto space = round % 2 ? ColorSpace::Oklab : ColorSpace::Oklch;
        const Gradient g = randomGradient(random, 6, space);
        const std::int64_t len = 997;
        prismel::detail::ColorWalk walk(g, len);
        for (std::int64_t i = 0; i <= len; ++i)
            ASSERT_TRUE(withinOne(walk.at(i), prismel::colorAt(g, i, len)))
                << describe(g) << " at " << i;
    }
}

// --- Parsers ---

struct ColorCase {
    const char16_t* text;
    std::optional<Rgb> expected;
};

TEST(ParseColor, TakesHexForms_AndNamesInAnyCase_AndNothingElse)
{
    const ColorCase cases[] = {
        {u"FF8000", Rgb{255, 128, 0}},
        {u"#ff8000", Rgb{255, 128, 0}},
        {u"#f80", Rgb{255, 136, 0}},
        {u"ReBeccaPurple", Rgb{0x66, 0x33, 0x99}},
        {u"orange", Rgb{255, 165, 0}}, // six letters, not hexadecimal
        {u"aliceblue", Rgb{0xF0, 0xF8, 0xFF}},
        {u"yellowgreen", Rgb{0x9A, 0xCD, 0x32}},
        {u"Grey", Rgb{128, 128, 128}},
        {u"", std::nullopt},
        {u"#", std::nullopt},
        {u"f80", std::nullopt},
        {u"#ff800", std::nullopt},
        {u"#ff80000", std::nullopt},
        {u"#gg0000", std::nullopt},
        {u" red", std::nullopt},
        {u"red ", std::nullopt},
        {u"transparent", std::nullopt},
        {u"redd", std::nullopt},
        {u"zzzzzz", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prismel::parseColor(c.text), c.expected)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
}

std::string narrow(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

struct StopsCase {
    const char16_t* text;
    std::vector<GradientStop> expected; // empty when refused
    const char* error;                  // a part of the refusal
};

TEST(ParseStops, TakesColoursWithOptionalPlaces_AndRefusesWithAReason)
{
    const Rgb r{255, 0, 0};
    const Rgb gold{255, 215, 0};
    const Rgb b{0, 0, 255};
    const StopsCase cases[] = {
        {u"red, gold 30%, #00f", {{r, {}}, {gold, 3000}, {b, {}}}, ""},
        {u"red 0%,blue 100%", {{r, 0}, {b, 10000}}, ""},
        {u"  red\t12.5% , blue 99.99%  ", {{r, 1250}, {b, 9999}}, ""},
        {u"red 7.05%, red 7.5%", {{r, 705}, {r, 750}}, ""},
        {u"red", {}, "at least two"},
        {u"", {}, "stop 1 is empty"},
        {u"red,", {}, "stop 2 is empty"},
        {u"red,,blue", {}, "stop 2 is empty"},
        {u"red, nosuch", {}, "unknown colour 'nosuch'"},
        {u"red 101%, blue", {}, "outside 0% to 100%"},
        {u"red 100.01%, blue", {}, "outside 0% to 100%"},
        {u"red -1%, blue", {}, "outside 0% to 100%"},
        {u"red 30, blue", {}, "not a percentage"},
        {u"red 30.%, blue", {}, "not a percentage"},
        {u"red .5%, blue", {}, "not a percentage"},
        {u"red 3 0%, blue", {}, "not a percentage"},
        {u"red 12.345%, blue", {}, "more than two decimals"},
    };
    for (const auto& c : cases) {
        const auto parsed = prismel::parseStops(c.text);
        const std::string text = narrow(c.text);
        if (c.expected.empty()) {
            EXPECT_FALSE(parsed.value) << text;
            EXPECT_NE(narrow(parsed.error).find(c.error), std::string::npos)
                << text << ": " << narrow(parsed.error);
        } else {
            EXPECT_EQ(parsed.value, c.expected) << text << ": " << narrow(parsed.error);
        }
    }
}

TEST(ParseStops, TakesSixtyFourStopsButNotSixtyFive)
{
    std::u16string list = u"red";
    for (int i = 1; i < 64; ++i)
        list += u", blue";
    EXPECT_EQ(prismel::parseStops(list).value->size(), 64U);
    EXPECT_NE(narrow(prismel::parseStops(list + u", red").error).find("more than 64"),
              std::string::npos);
}

TEST(NamedGradients, BuiltInsHaveRainbowAndOthers_AndTheUsersComeFirst)
{
    const auto& builtins = prismel::builtinGradients();
    EXPECT_GE(builtins.size(), 6U);
    const auto rainbow = prismel::findGradient(u"rainbow", {});
    ASSERT_TRUE(rainbow);
    EXPECT_EQ(rainbow->stops.size(), 6U);
    EXPECT_EQ(rainbow->space, ColorSpace::Rgb);
    const std::vector<prismel::NamedGradient> own{{u"rainbow", Gradient()}};
    EXPECT_EQ(prismel::findGradient(u"rainbow", own), Gradient());
    EXPECT_FALSE(prismel::findGradient(u"nosuch", own));
}

} // namespace
