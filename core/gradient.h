#pragma once

#include "colorpair.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
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

/// A colour's coordinates in OKLab.
struct Oklab {
    double l = 0;
    double a = 0;
    double b = 0;
};

/// The OKLab coordinates of an sRGB colour.
Oklab oklabOf(Rgb color);

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

/// "rgb", "oklab" or "oklch".
std::optional<ColorSpace> parseColorSpace(std::u16string_view text);

/// "shorter", "longer", "increasing" or "decreasing".
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

namespace detail {

// A gradient ready to be read: every stop's place as an exact fraction of the whole, and the
// stops' colours in the space they are mixed in.
class GradientColors {
public:
    explicit GradientColors(const Gradient& gradient);

    Rgb at(std::int64_t pos, std::int64_t len) const;

    // The two-colour gradient from 0 % to 100 % in RGB, whose colours colorAt() of a ColorPair
    // gives; walked by the pair's own GradientWalk.
    const std::optional<ColorPair>& pair() const { return m_pair; }

    // Where position `pos` of `len` lies: the index of the stop it follows (-1 before the
    // first), and the positions from which that holds, up to (not including) `until`.
    struct Segment {
        std::ptrdiff_t index;
        std::int64_t from;
        std::int64_t until;
    };
    Segment segmentOf(std::int64_t pos, std::int64_t len) const;

    // For RGB between stops: the first position from which a channel of `color`, the colour at
    // `pos`, may take another value.
    std::int64_t rgbHoldsUntil(const Segment& segment, std::int64_t len, Rgb color) const;

    ColorSpace space() const { return m_space; }

    // For OKLab and OKLCH between stop `j` and the next: the channels at `pos` on the 0 to 255
    // scale before rounding, which at() rounds half to even.
    std::array<double, 3> mixedChannels(std::size_t j, std::int64_t pos, std::int64_t len) const;

    struct Place {
        std::int64_t num;
        std::int64_t den;
    };
    struct Mixable {
        double l, a, b; // OKLab
        double c, h;    // chroma and hue in degrees, for OKLCH
    };

private:
    Rgb mix(std::size_t j, std::int64_t pos, std::int64_t len) const;

    std::vector<Rgb> m_colors;
    std::vector<Place> m_places;
    std::vector<Mixable> m_mixable;
    std::vector<std::pair<double, double>> m_hues; // per segment, each end's hue after the method
    ColorSpace m_space;
    std::optional<ColorPair> m_pair;
};

// The places of a gradient's stops after CSS's fix-up, as exact fractions of the whole.
std::vector<GradientColors::Place> resolvedPlaces(const Gradient& gradient);

// The colour of a gradient at positions that only grow, as the chunks of a text meet them: held
// until it may change, so that nearly every chunk of a long text takes the colour it has. A
// two-colour RGB gradient goes by the pair's own walk; other RGB gradients by the bound where a
// channel's exact value next reaches half-way; OKLab and OKLCH colours, which need not change
// monotonically, are compared a short way ahead and the place they change found from their
// unrounded channels (see changeAt()).
class ColorWalk {
public:
    ColorWalk(std::shared_ptr<const GradientColors> colors, std::int64_t len);
    ColorWalk(const Gradient& gradient, std::int64_t len);

    // A position's colour and the first position after it that may have another.
    struct Held {
        Rgb color;
        std::int32_t until;
    };
    // The colours of positions 1 to `len` looked up in `table`, which holds them in that order
    // and must outlive the walk.
    ColorWalk(std::shared_ptr<const GradientColors> colors, std::int64_t len, const Held* table)
        : ColorWalk(std::move(colors), len)
    {
        m_table = table;
    }

    [[gnu::always_inline]] Rgb at(std::int64_t pos)
    {
        if (pos >= m_from && pos < m_until) [[likely]]
            return m_color;
        return changeAt(pos);
    }

    const std::shared_ptr<const GradientColors>& colors() const { return m_colors; }

private:
    [[gnu::noinline]] Rgb changeAt(std::int64_t pos);
    Rgb evaluate(std::int64_t pos);

    std::shared_ptr<const GradientColors> m_colors;
    std::int64_t m_len;
    const Held* m_table = nullptr;
    std::optional<GradientWalk> m_pair;
    Rgb m_color;
    std::int64_t m_from = 0; // m_color holds for positions m_from to m_until - 1
    std::int64_t m_until = 0;
    using Channels = std::array<double, 3>;
    std::int64_t m_knownAt = -1; // a colour evaluated ahead, kept for the next change
    Rgb m_known;
    Channels m_knownChannels{}; // its channels before rounding
};

// Walks for texts of many lengths, such as the lines of a text cut line by line: a line's
// colours depend only on its length, so every short length's are worked out once, for all the
// lines of that length, and then looked up.
class WalksByLength {
public:
    explicit WalksByLength(std::shared_ptr<const GradientColors> colors)
        : m_colors(std::move(colors))
    {
    }

    ColorWalk walk(std::int64_t len);

    const std::shared_ptr<const GradientColors>& colors() const { return m_colors; }

private:
    // Longer texts have enough chunks of their own to make a table no faster; the tables of
    // all lengths together stay within a few megabytes.
    static constexpr std::int64_t longestTabled = 4096;
    static constexpr std::size_t tabledPositions = std::size_t{1} << 20;

    std::shared_ptr<const GradientColors> m_colors;
    std::vector<std::vector<ColorWalk::Held>> m_tables; // by length
    std::size_t m_tabled = 0;
};

} // namespace detail

} // namespace prismel
