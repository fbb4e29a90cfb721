#pragma once

#include "colorpair.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace prismel {

/// Where the colours between two stops are mixed.
enum class ColorSpace {
    Rgb,   ///< each 8-bit sRGB channel on its own, exactly
    Oklab, ///< OKLab's lightness and two axes
    Oklch, ///< OKLab in polar form: lightness, chroma and a hue angle
};

/// Which way round the hue circle an OKLCH gradient goes, as CSS Color 4 defines it.
enum class HueMethod { Shorter, Longer, Increasing, Decreasing };

/// True for the one space that goes round the hue circle, so that a hue method applies to it.
constexpr bool takesHueMethod(ColorSpace space)
{
    return space == ColorSpace::Oklch;
}

/// A colour space or hue method, the keyword gradient lines and prismel-convert name it by, and
/// its caption in the window's lists.
template <typename Enum> struct Keyword {
    Enum value;
    std::string_view keyword; ///< ASCII: "oklch"
    /// UTF-8, the window's source text for its translations, with its access key: "OKLCH(&C)".
    std::string_view caption;
};

/// Every colour space and every hue method, in their enums' order.
std::span<const Keyword<ColorSpace>> colorSpaceKeywords();
std::span<const Keyword<HueMethod>> hueMethodKeywords();

/// A table's keywords, in its order.
template <typename Enum>
std::vector<std::string_view> keywordsOf(std::span<const Keyword<Enum>> table)
{
    std::vector<std::string_view> words;
    for (const Keyword<Enum>& row : table)
        words.push_back(row.keyword);
    return words;
}

/// The keyword of a value: "oklch".
std::string_view keywordOf(ColorSpace space);
std::string_view keywordOf(HueMethod hue);

/// One colour of a gradient and, when given, its place: hundredths of a percent, 0 to 10000.
struct GradientStop {
    Rgb color;
    std::optional<std::int32_t> position;

    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

/// The colours text is coloured along: 2 to 64 stops, the space they are mixed in, and for
/// OKLCH the way round the hue circle. Stops without a place are placed as CSS places them: the
/// first at 0 %, the last at 100 %, a place below an earlier one raised to it, and a run of
/// unplaced stops spread evenly between its neighbours.
struct Gradient {
    static constexpr std::size_t minStops = 2;
    static constexpr std::size_t maxStops = 64;
    static constexpr std::int32_t wholeWay = 10000; ///< 100 % in hundredths of a percent

    std::vector<GradientStop> stops;
    ColorSpace space = ColorSpace::Rgb;
    HueMethod hue = HueMethod::Shorter;

    /// The window's start-up colours: magenta to green in RGB.
    Gradient() : Gradient(ColorPair{}) {}

    /// The pair's start colour at 0 % and its end colour at 100 %, in RGB: the same colours as
    /// the pair at every position.
    Gradient(const ColorPair& colors) // NOLINT(google-explicit-constructor): a pair is one
        : stops{{Rgb{colors.StartR, colors.StartG, colors.StartB}, std::nullopt},
                {Rgb{colors.EndR, colors.EndG, colors.EndB}, std::nullopt}}
    {
    }

    explicit Gradient(std::vector<GradientStop> list, ColorSpace mixIn = ColorSpace::Rgb,
                      HueMethod way = HueMethod::Shorter)
        : stops(std::move(list)), space(mixIn), hue(way)
    {
    }

    friend bool operator==(const Gradient&, const Gradient&) = default;
};

/// The colour at t = pos / len of `gradient`, `len` at least 1 and `pos` 0 to `len`: the first
/// colour before the first stop, the last from the last stop on, and between two stops (the
/// later one where stops meet) the mix of their colours. In RGB each channel is exact, rounded
/// half to even; in OKLab and OKLCH a channel may be one off the exact mix, except on a stop.
Rgb colorAt(const Gradient& gradient, std::int64_t pos, std::int64_t len);

/// colorAt() at every position 0 to `len` (taken as at least 1), the gradient made ready once.
std::vector<Rgb> colorsAlong(const Gradient& gradient, std::int64_t len);

/// The same gradient run backwards: the stops in the opposite order, a place p becoming
/// 100 % - p, so that the colour at t is the original's at 1 - t.
Gradient reversed(const Gradient& gradient);

/// Where every stop shows after that fix-up, in hundredths of a percent rounded to the nearest.
std::vector<std::int32_t> shownPlaces(const Gradient& gradient);

/// The same gradient with every stop's place written out as shownPlaces() gives it, so that
/// adding, removing or moving one stop leaves the others where they show instead of spreading
/// them anew.
Gradient withPlacesWritten(Gradient gradient);

/// A gradient with a name, built in or the user's.
struct NamedGradient {
    std::u16string name;
    Gradient gradient;
};

/// The gradients every user has: `rainbow` and a few others.
const std::vector<NamedGradient>& builtinGradients();

/// A parse that failed says why, in one line for the user.
template <typename T> struct Parsed {
    std::optional<T> value;
    std::u16string error;
};

/// A colour as RRGGBB, #RRGGBB, #RGB (hexadecimal digits, either case) or one of the 148 named
/// colours of CSS Color 4 (any case); nothing else, not even spaces around it.
std::optional<Rgb> parseColor(std::u16string_view text);

/// A comma-separated list of stops, each a colour optionally followed by white space and a
/// place in percent with at most two decimals ("red, gold 30%, #00f"), 2 to 64 of them.
Parsed<std::vector<GradientStop>> parseStops(std::u16string_view text);

/// How a stop's place is read: as a gradient line writes it, digits with at most two decimals
/// and '%' ("12.5%"), 0 to 100; or as typed into a list, a number with '%' or not ("12.5 %",
/// "12.345"), taken to the nearest hundredth and held to 0 to 100.
enum class PlaceInput { Exact, Typed };

/// A stop's place in hundredths of a percent.
Parsed<std::int32_t> parsePlace(std::u16string_view text, PlaceInput input = PlaceInput::Exact);

/// How a place (hundredths of a percent, 0 to 10000) is shown: as the shortest percentage that
/// reads back the same ("12.5%"), or with both decimals and a space before the sign ("12.50 %").
enum class PlaceForm { Shortest, TwoDecimals };

std::u16string placeText(std::int32_t hundredths, PlaceForm form = PlaceForm::Shortest);

/// A colour space by its keyword: "rgb", "oklab" or "oklch".
std::optional<ColorSpace> parseColorSpace(std::u16string_view text);

/// A hue method by its keyword: "shorter", "longer", "increasing" or "decreasing".
std::optional<HueMethod> parseHueMethod(std::u16string_view text);

/// One line of a gradients file that is neither blank nor a comment: `name: stops`, or
/// `name: space: stops`, or for OKLCH `name: oklch hue: stops`. A name is ASCII letters, digits,
/// '-' and '_'; stops are as parseStops() reads them.
Parsed<NamedGradient> parseGradientLine(std::u16string_view line);

/// True for a name a gradients file can hold: one or more ASCII letters, digits, '-' and '_'.
bool isGradientName(std::u16string_view name);

/// The gradients file line that parseGradientLine() reads back as `gradient` named `name`
/// (a valid name): "name: space: stops", or for OKLCH "name: oklch hue: stops", each stop
/// "#rrggbb" followed by its place where it has one.
std::u16string gradientLine(std::u16string_view name, const Gradient& gradient);

/// The gradient called `name`: the first of `own` (the user's) with that name, else the built-in
/// one.
std::optional<Gradient> findGradient(std::u16string_view name,
                                     const std::vector<NamedGradient>& own);

} // namespace prismel
