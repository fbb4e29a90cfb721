#pragma once

#include "gradient.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace prismel::detail {

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

} // namespace prismel::detail
