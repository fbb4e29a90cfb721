#include "core/colorwalk.h"
#include "core/gradient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
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

__extension__ using Big = __int128;

// --- The RGB reference: CSS's rules on exact fractions, one position at a time ---

struct Fraction {
    Big num = 0;
    Big den = 1;
};

bool operator<(const Fraction& x, const Fraction& y)
{
    return x.num * y.den < y.num * x.den;
}

bool operator<=(const Fraction& x, const Fraction& y)
{
    return !(y < x);
}

Big gcd(Big x, Big y)
{
    x = x < 0 ? -x : x;
    while (y != 0)
        x = std::exchange(y, x % y);
    return x == 0 ? 1 : x;
}

// Kept in lowest terms, so that a chain of them stays well inside 128 bits.
Fraction reduced(Big num, Big den)
{
    const Big g = gcd(num, den);
    return {num / g, den / g};
}

Fraction operator-(const Fraction& x, const Fraction& y)
{
    return reduced(x.num * y.den - y.num * x.den, x.den * y.den);
}

struct Placed {
    Rgb color;
    Fraction at;
};

std::vector<Placed> placedStops(const Gradient& g)
{
    const std::size_t n = g.stops.size();
    std::vector<std::optional<Fraction>> at(n);
    for (std::size_t i = 0; i < n; ++i)
        if (g.stops[i].position)
            at[i] = Fraction{*g.stops[i].position, 10000};
    if (!at[0])
        at[0] = Fraction{0, 1};
    if (!at[n - 1])
        at[n - 1] = Fraction{1, 1};
    Fraction highest{0, 1};
    for (auto& place : at)
        if (place) {
            if (*place < highest)
                place = highest;
            highest = *place;
        }
    std::vector<Placed> placed;
    for (std::size_t i = 0; i < n; ++i) {
        if (!at[i]) {
            std::size_t before = i - 1;
            while (!at[before])
                --before;
            std::size_t after = i;
            while (!at[after])
                ++after;
            const Fraction gap = *at[after] - *at[before];
            const auto k = static_cast<Big>(i - before);
            const auto parts = static_cast<Big>(after - before);
            const Fraction share = reduced(gap.num * k, gap.den * parts);
            const Fraction from = *at[before];
            placed.push_back({g.stops[i].color, reduced(from.num * share.den + share.num * from.den,
                                                        from.den * share.den)});
            continue;
        }
        placed.push_back({g.stops[i].color, *at[i]});
    }
    return placed;
}

std::int16_t roundedHalfToEven(Fraction v)
{
    Big whole = v.num / v.den;
    Big rest = v.num % v.den;
    if (rest < 0) {
        --whole;
        rest += v.den;
    }
    if (2 * rest > v.den || (2 * rest == v.den && whole % 2 != 0))
        ++whole;
    return static_cast<std::int16_t>(whole);
}

Rgb referenceRgb(const std::vector<Placed>& stops, Fraction t)
{
    if (t < stops.front().at)
        return stops.front().color;
    if (stops.back().at <= t)
        return stops.back().color;
    std::size_t j = 0;
    while (stops[j + 1].at <= t)
        ++j;
    const Fraction from = t - stops[j].at;
    const Fraction width = stops[j + 1].at - stops[j].at;
    const auto channel = [&](std::int16_t s, std::int16_t e) {
        // s + (e - s) * from / width
        const Fraction scaled = reduced((e - s) * from.num * width.den, from.den * width.num);
        return roundedHalfToEven({s * scaled.den + scaled.num, scaled.den});
    };
    const Rgb a = stops[j].color;
    const Rgb b = stops[j + 1].color;
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

std::vector<Placed> mirrored(std::vector<Placed> stops)
{
    std::reverse(stops.begin(), stops.end());
    for (auto& stop : stops)
        stop.at = Fraction{1, 1} - stop.at;
    return stops;
}

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

TEST(GradientRgb, EveryPositionMatchesExactFractionsForwardAndReversed)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 400; ++round) {
        const Gradient g = randomGradient(random, round % 2 ? 8 : 3, ColorSpace::Rgb);
        const Gradient back = prismel::reversed(g);
        const std::vector<Placed> placed = placedStops(g);
        const std::vector<Placed> placedBack = mirrored(placed);
        for (const std::int64_t len : {1, 2, 7, 255, 1000}) {
            prismel::detail::ColorWalk walk(g, len);
            prismel::detail::ColorWalk walkBack(back, len);
            for (std::int64_t i = 0; i <= len; ++i) {
                const Fraction t{i, len};
                const Rgb expected = referenceRgb(placed, t);
                ASSERT_EQ(prismel::colorAt(g, i, len), expected)
                    << describe(g) << " at " << i << "/" << len;
                ASSERT_EQ(walk.at(i), expected) << describe(g) << " walked at " << i << "/" << len;
                ASSERT_EQ(walkBack.at(i), referenceRgb(placedBack, t))
                    << describe(g) << " reversed at " << i << "/" << len;
            }
        }
    }
}

// A long text walks far past the places a short one reaches, by steps that skip changes.
TEST(GradientRgb, LongWalksInStepsMatchExactFractions)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const Gradient g = randomGradient(random, 10, ColorSpace::Rgb);
        const std::vector<Placed> placed = placedStops(g);
        const std::int64_t len = 3'000'017;
        const std::int64_t step = 1 + round * 37;
        prismel::detail::ColorWalk walk(g, len);
        for (std::int64_t i = 1; i <= len; i += step)
            ASSERT_EQ(walk.at(i), referenceRgb(placed, {i, len})) << describe(g) << " at " << i;
    }
}

TEST(GradientRgb, TwoStopsGiveTheChannelFormulaOfAPair)
{
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        const Rgb s = randomColor(random);
        const Rgb e = randomColor(random);
        const prismel::ColorPair pair{s.r, s.g, s.b, e.r, e.g, e.b};
        // Places written out, as a user would give them, take the same road.
        const Gradient spelled({{s, 0}, {e, 10000}});
        for (const std::int64_t len : {1, 3, 254, 1023}) {
            prismel::detail::ColorWalk walk(spelled, len);
            for (std::int64_t i = 0; i <= len; ++i) {
                const Rgb expected{prismel::InterpolateChannel(s.r, e.r, i, len),
                                   prismel::InterpolateChannel(s.g, e.g, i, len),
                                   prismel::InterpolateChannel(s.b, e.b, i, len)};
                ASSERT_EQ(prismel::colorAt(Gradient(pair), i, len), expected);
                ASSERT_EQ(walk.at(i), expected);
            }
        }
    }
}

// Stops are 2 to 64 by every parser, but a gradient made in code may hold fewer.
TEST(GradientRgb, FewerThanTwoStopsStillGiveAColour)
{
    const Gradient none{std::vector<GradientStop>{}};
    const Gradient one({{{1, 2, 3}, 5000}}, ColorSpace::Oklch);
    for (const std::int64_t i : {0, 1, 2}) {
        EXPECT_EQ(prismel::colorAt(none, i, 2), (Rgb{}));
        EXPECT_EQ(prismel::colorAt(one, i, 2), (Rgb{1, 2, 3}));
    }
}

// --- The OKLab and OKLCH reference: the published constants, in long double ---

using Vec = std::array<long double, 3>;
using Matrix = std::array<Vec, 3>;

Vec times(const Matrix& m, const Vec& v)
{
    Vec out{};
    for (std::size_t i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return out;
}

constexpr Matrix linearToLms{{{0.4122214708L, 0.5363325363L, 0.0514459929L},
                              {0.2119034982L, 0.6806995451L, 0.1073969566L},
                              {0.0883024619L, 0.2817188376L, 0.6299787005L}}};
constexpr Matrix lmsToLab{{{0.2104542553L, 0.7936177850L, -0.0040720468L},
                           {1.9779984951L, -2.4285922050L, 0.4505937099L},
                           {0.0259040371L, 0.7827717662L, -0.8086757660L}}};
constexpr Matrix labToLms{{{1, 0.3963377774L, 0.2158037573L},
                           {1, -0.1055613458L, -0.0638541728L},
                           {1, -0.0894841775L, -1.2914855480L}}};
constexpr Matrix lmsToLinear{{{4.0767416621L, -3.3077115913L, 0.2309699292L},
                              {-1.2684380046L, 2.6097574011L, -0.3413193965L},
                              {-0.0041960863L, -0.7034186147L, 1.7076147010L}}};

Vec labOfSrgb(Vec srgb)
{
    for (auto& c : srgb)
        c = c <= 0.04045L ? c / 12.92L : std::pow((c + 0.055L) / 1.055L, 2.4L);
    Vec lms = times(linearToLms, srgb);
    for (auto& c : lms)
        c = std::cbrt(c);
    return times(lmsToLab, lms);
}

Vec srgbOfLab(const Vec& lab)
{
    Vec lms = times(labToLms, lab);
    for (auto& c : lms)
        c = c * c * c;
    Vec rgb = times(lmsToLinear, lms);
    for (auto& c : rgb) {
        const long double m = std::fabs(c);
        c = std::copysign(m <= 0.0031308L ? 12.92L * m : 1.055L * std::pow(m, 1 / 2.4L) - 0.055L,
                          c);
    }
    return rgb;
}

Vec clip(Vec v)
{
    for (auto& c : v)
        c = std::clamp(c, 0.0L, 1.0L);
    return v;
}

long double distance(const Vec& x, const Vec& y)
{
    return std::sqrt((x[0] - y[0]) * (x[0] - y[0]) + (x[1] - y[1]) * (x[1] - y[1]) +
                     (x[2] - y[2]) * (x[2] - y[2]));
}

// CSS Color 4's gamut mapping, read from its pseudo-code.
Vec mapped(const Vec& lab)
{
    if (lab[0] >= 1)
        return {1, 1, 1};
    if (lab[0] <= 0)
        return {0, 0, 0};
    const auto inside = [](const Vec& v) {
        return std::all_of(v.begin(), v.end(), [](long double c) { return c >= 0 && c <= 1; });
    };
    if (inside(srgbOfLab(lab)))
        return srgbOfLab(lab);
    const long double chroma = std::hypot(lab[1], lab[2]);
    Vec clipped = clip(srgbOfLab(lab));
    if (distance(labOfSrgb(clipped), lab) < 0.02L)
        return clipped;
    long double low = 0;
    long double high = chroma;
    bool lowInside = true;
    while (high - low > 0.0001L) {
        const long double c = (low + high) / 2;
        const Vec current{lab[0], lab[1] * c / chroma, lab[2] * c / chroma};
        if (lowInside && inside(srgbOfLab(current))) {
            low = c;
            continue;
        }
        clipped = clip(srgbOfLab(current));
        const long double e = distance(labOfSrgb(clipped), current);
        if (e < 0.02L) {
            if (0.02L - e < 0.0001L)
                return clipped;
            lowInside = false;
            low = c;
        } else {
            high = c;
        }
    }
    return clipped;
}

Vec labOf(Rgb c)
{
    return labOfSrgb({c.r / 255.0L, c.g / 255.0L, c.b / 255.0L});
}

Vec mixed(Rgb from, Rgb to, long double u, ColorSpace space, HueMethod method)
{
    const Vec p = labOf(from);
    const Vec q = labOf(to);
    if (space == ColorSpace::Oklab)
        return {p[0] + (q[0] - p[0]) * u, p[1] + (q[1] - p[1]) * u, p[2] + (q[2] - p[2]) * u};
    constexpr long double degrees = 180 / std::numbers::pi_v<long double>;
    const long double c1 = std::hypot(p[1], p[2]);
    const long double c2 = std::hypot(q[1], q[2]);
    long double h1 = std::fmod(std::atan2(p[2], p[1]) * degrees + 360, 360);
    long double h2 = std::fmod(std::atan2(q[2], q[1]) * degrees + 360, 360);
    if (c1 <= 0.000004L)
        h1 = h2;
    if (c2 <= 0.000004L)
        h2 = h1;
    const long double turn = h2 - h1;
    if (method == HueMethod::Shorter && std::fabs(turn) > 180)
        (turn > 0 ? h1 : h2) += 360;
    if (method == HueMethod::Longer && std::fabs(turn) < 180)
        (turn > 0 ? h1 : h2) += 360;
    if (method == HueMethod::Longer && turn == -180)
        h2 += 360;
    if (method == HueMethod::Increasing && h2 < h1)
        h2 += 360;
    if (method == HueMethod::Decreasing && h1 < h2)
        h1 += 360;
    const long double c = c1 + (c2 - c1) * u;
    const long double h = (h1 + (h2 - h1) * u) / degrees;
    return {p[0] + (q[0] - p[0]) * u, c * std::cos(h), c * std::sin(h)};
}

// Two stops at 0 % and 100 %: u is the position itself.
Vec referenceOk(Rgb from, Rgb to, long double u, ColorSpace space, HueMethod method)
{
    Vec srgb = mapped(mixed(from, to, u, space, method));
    for (auto& c : srgb)
        c *= 255;
    return srgb;
}

void expectWithinOne(Rgb got, const Vec& expected, const std::string& where)
{
    const std::array<std::int16_t, 3> channels{got.r, got.g, got.b};
    for (std::size_t k = 0; k < 3; ++k)
        ASSERT_LE(std::fabs(channels.at(k) - expected.at(k)), 1.5L)
            << where << " channel " << k << " is " << channels.at(k) << ", exact "
            << static_cast<double>(expected.at(k));
}

struct OkCase {
    const char* name;
    Rgb from, to;
    ColorSpace space;
    HueMethod method;
};

void PrintTo(const OkCase& c, std::ostream* os)
{
    *os << c.name;
}

class OkGradient : public testing::TestWithParam<OkCase> {};

TEST_P(OkGradient, EveryPositionIsWithinOneOfTheReferenceAndTheStopsAreExact)
{
    const OkCase& c = GetParam();
    const Gradient g({{c.from, std::nullopt}, {c.to, std::nullopt}}, c.space, c.method);
    for (const std::int64_t len : {1, 9, 255, 4001}) {
        prismel::detail::ColorWalk walk(g, len);
        for (std::int64_t i = 0; i <= len; ++i) {
            const std::string where = std::to_string(i) + "/" + std::to_string(len);
            const Vec expected =
                referenceOk(c.from, c.to, static_cast<long double>(i) / len, c.space, c.method);
            expectWithinOne(prismel::colorAt(g, i, len), expected, where);
            expectWithinOne(walk.at(i), expected, "walked " + where);
        }
        EXPECT_EQ(prismel::colorAt(g, 0, len), c.from);
        EXPECT_EQ(prismel::colorAt(g, len, len), c.to);
    }
}

constexpr Rgb red{255, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb yellow{255, 255, 0};
constexpr Rgb teal{0, 128, 128};
constexpr Rgb grey{119, 119, 119};

INSTANTIATE_TEST_SUITE_P(
    Spaces, OkGradient,
    testing::Values(
        OkCase{"oklab_blue_to_yellow", blue, yellow, ColorSpace::Oklab, HueMethod::Shorter},
        OkCase{"oklab_red_to_teal", red, teal, ColorSpace::Oklab, HueMethod::Shorter},
        // Through green at full chroma, well outside sRGB: the gamut mapping.
        OkCase{"oklch_blue_to_yellow", blue, yellow, ColorSpace::Oklch, HueMethod::Shorter},
        OkCase{"oklch_longer", red, teal, ColorSpace::Oklch, HueMethod::Longer},
        OkCase{"oklch_increasing", teal, red, ColorSpace::Oklch, HueMethod::Increasing},
        OkCase{"oklch_decreasing", red, teal, ColorSpace::Oklch, HueMethod::Decreasing},
        OkCase{"oklch_full_circle", red, red, ColorSpace::Oklch, HueMethod::Longer},
        // A grey end has no hue: white to red keeps red's hue the whole way.
        OkCase{"oklch_white_to_red", white, red, ColorSpace::Oklch, HueMethod::Shorter},
        OkCase{"oklch_red_to_grey", red, grey, ColorSpace::Oklch, HueMethod::Longer},
        OkCase{"oklch_grey_to_white", grey, white, ColorSpace::Oklch, HueMethod::Shorter}),
    [](const auto& row) { return std::string(row.param.name); });

// Many stops: each segment is the two-stop mix between its stops, with u from the places.
TEST(OkGradient, ManyStopsMixEachSegmentAndKeepEveryStop)
{
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const auto space = round % 2 ? ColorSpace::Oklab : ColorSpace::Oklch;
        const Gradient g = randomGradient(random, 6, space);
        const std::vector<Placed> placed = placedStops(g);
        const std::int64_t len = 997;
        prismel::detail::ColorWalk walk(g, len);
        for (std::int64_t i = 0; i <= len; ++i) {
            const Fraction t{i, len};
            const std::string where = describe(g) + " at " + std::to_string(i);
            if (t < placed.front().at || placed.back().at <= t) {
                const Rgb end = t < placed.front().at ? placed.front().color : placed.back().color;
                ASSERT_EQ(prismel::colorAt(g, i, len), end) << where;
                continue;
            }
            std::size_t j = 0;
            while (placed[j + 1].at <= t)
                ++j;
            const Fraction from = t - placed[j].at;
            const Fraction width = placed[j + 1].at - placed[j].at;
            if (from.num == 0) {
                ASSERT_EQ(prismel::colorAt(g, i, len), placed[j].color) << where;
                continue;
            }
            const long double u = static_cast<long double>(from.num * width.den) /
                                  static_cast<long double>(from.den * width.num);
            const Vec expected =
                referenceOk(placed[j].color, placed[j + 1].color, u, space, HueMethod::Shorter);
            expectWithinOne(prismel::colorAt(g, i, len), expected, where);
            expectWithinOne(walk.at(i), expected, "walked " + where);
        }
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
