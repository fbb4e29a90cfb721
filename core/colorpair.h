#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace prismel {

/// The start and end colours of the gradient, one signed 16-bit value per channel, each 0 to 255.
/// The defaults are the colours a fresh window starts with: magenta to green.
struct ColorPair {
    std::int16_t StartR = 255;
    std::int16_t StartG = 0;
    std::int16_t StartB = 255;
    std::int16_t EndR = 0;
    std::int16_t EndG = 255;
    std::int16_t EndB = 0;

    friend bool operator==(const ColorPair&, const ColorPair&) = default;
};

/// One colour as three channel values.
struct Rgb {
    std::int16_t r = 0;
    std::int16_t g = 0;
    std::int16_t b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// The colour of six hex digits written as a number, 0xRRGGBB: tables of colours are written so.
constexpr Rgb hexRgb(std::uint32_t rrggbb)
{
    return {static_cast<std::int16_t>((rrggbb >> 16) & 0xFF),
            static_cast<std::int16_t>((rrggbb >> 8) & 0xFF),
            static_cast<std::int16_t>(rrggbb & 0xFF)};
}

/// Which colour of a ColorPair a pick replaces.
enum class GradientEnd { Start, End };

/// Overwrites the start or the end colour with `color`, red first, then green, then blue.
inline void setColor(ColorPair& colors, GradientEnd end, Rgb color)
{
    if (end == GradientEnd::Start) {
        colors.StartR = color.r;
        colors.StartG = color.g;
        colors.StartB = color.b;
    } else {
        colors.EndR = color.r;
        colors.EndG = color.g;
        colors.EndB = color.b;
    }
}

/// S + (E - S) * pos / len, rounded to the nearest integer with ties to even, computed exactly
/// on integers. For every run shorter than 2^44 this is also what the double-precision formula
/// the markup has always carried gives, so outputs do not change. `len` must be at least 1 and
/// `pos` lie in 0 to `len`.
inline std::int16_t InterpolateChannel(std::int16_t s, std::int16_t e, std::int64_t pos,
                                       std::int64_t len);

/// The colour of position `pos` of a run of `len`, each channel interpolated on its own.
inline Rgb colorAt(const ColorPair& colors, std::int64_t pos, std::int64_t len);

/// Brings a channel's hexadecimal text to exactly two digits: "" gives "00", "A" gives "0A",
/// "FF" stays, and anything longer than two digits (after trimming spaces) gives "".
/// The digit pairs writeColorCode() lays down are made with it.
std::u16string PadHex2(std::u16string_view h);

/// The letters of hexadecimal digits: the colour code's upper case, or the lower case a
/// gradients file is written in.
enum class HexCase { Upper, Lower };

/// Writes a colour's code, six hexadecimal digits RRGGBB, at `out` and returns the position
/// after them.
char16_t* writeColorCode(char16_t* out, Rgb color, HexCase letters = HexCase::Upper);

/// The same digits as UTF-8.
char8_t* writeColorCode(char8_t* out, Rgb color);

/// The same digits as a string: "FF8000".
std::u16string hexCode(Rgb color, HexCase letters = HexCase::Upper);

/// Writes a colour as three decimal numbers joined by ';' ("255;128;0"), the form a 24-bit
/// colour sequence of a terminal takes, at `out` and returns the position after them: at most
/// decimalCodeSize units.
char16_t* writeDecimalColorCode(char16_t* out, Rgb color);
char8_t* writeDecimalColorCode(char8_t* out, Rgb color);
inline constexpr std::size_t decimalCodeSize = 11;

namespace detail {

// s + numerator / len rounded half to even, for len > 0: a floor division, then the remainder
// against the half decides.
template <typename Int>
constexpr std::int16_t roundedQuotient(std::int16_t s, Int numerator, Int len)
{
    Int whole = numerator / len;
    Int rest = numerator % len;
    if (rest < 0) { // C++ truncates towards zero; the remainder must be 0 to len - 1
        --whole;
        rest += len;
    }
    Int value = s + whole;
    const Int toNext = len - rest; // compared with rest instead of doubling it, which could wrap
    if (rest > toNext || (rest == toNext && value % 2 != 0))
        ++value;
    return static_cast<std::int16_t>(value);
}

} // namespace detail

// Defined here so that the conversion loop can keep the per-run parts out of its body.
inline std::int16_t InterpolateChannel(std::int16_t s, std::int16_t e, std::int64_t pos,
                                       std::int64_t len)
{
    const std::int64_t distance = std::int64_t{e} - s; // |distance| < 2^16
    // Any text held in memory keeps the product well inside 64 bits; only a position beyond
    // 2^47 needs the wider type.
    constexpr std::int64_t narrowLimit = std::int64_t{1} << 47;
    if (pos > -narrowLimit && pos < narrowLimit) [[likely]]
        return detail::roundedQuotient(s, distance * pos, len);
    __extension__ using Wide = __int128; // a GCC and Clang extension, hence the marker
    return detail::roundedQuotient<Wide>(s, Wide{distance} * pos, len);
}

inline Rgb colorAt(const ColorPair& colors, std::int64_t pos, std::int64_t len)
{
    return {InterpolateChannel(colors.StartR, colors.EndR, pos, len),
            InterpolateChannel(colors.StartG, colors.EndG, pos, len),
            InterpolateChannel(colors.StartB, colors.EndB, pos, len)};
}

namespace detail {

// colorAt() for positions that only grow, as the chunks of a text meet them. A channel's value
// holds until its exact value reaches the next half-way point, so the colour is worked out anew
// only at the first position where some channel may change, and any chunk before it takes the
// colour it already has: in a long text nearly every chunk. The colours are colorAt()'s.
class GradientWalk {
public:
    /// `len` must be at least 1 before at() is called.
    GradientWalk(const ColorPair& colors, std::int64_t len) : m_colors(colors), m_len(len) {}

    [[gnu::always_inline]] Rgb at(std::int64_t pos)
    {
        if (pos >= m_from && pos < m_until) [[likely]]
            return m_color;
        return changeAt(pos);
    }

    /// The first position after the last one asked whose colour may differ from its colour.
    std::int64_t heldUntil() const { return m_until; }

private:
    [[gnu::noinline]] Rgb changeAt(std::int64_t pos)
    {
        m_color = colorAt(m_colors, pos, m_len);
        m_from = pos;
        // Past this length the bound's products could leave 64 bits, and beyond the run's end
        // the values are no longer bounded by the colours; there every chunk asks anew.
        constexpr std::int64_t boundLimit = std::int64_t{1} << 40;
        if (m_len >= boundLimit || pos > m_len) {
            m_until = pos + 1;
            return m_color;
        }
        m_until = std::min({holdsUntil(m_colors.StartR, m_colors.EndR, m_color.r),
                            holdsUntil(m_colors.StartG, m_colors.EndG, m_color.g),
                            holdsUntil(m_colors.StartB, m_colors.EndB, m_color.b)});
        m_until = std::max(m_until, pos + 1);
        return m_color;
    }

    // The first position at which a channel of value `value` may take another: where its exact
    // value s + d * pos / len reaches half-way to the next value in its direction.
    std::int64_t holdsUntil(std::int16_t s, std::int16_t e, std::int16_t value) const
    {
        const std::int64_t d = std::int64_t{e} - s;
        if (d == 0)
            return std::numeric_limits<std::int64_t>::max();
        const std::int64_t u = std::int64_t{value} - s; // the rounded d * pos / len
        // d > 0: the least p with 2 d p >= (2u + 1) len; d < 0: with 2 d p <= (2u - 1) len.
        // Numerator and divisor share their sign, so the quotient is positive.
        const std::int64_t numerator = (d > 0 ? 2 * u + 1 : 2 * u - 1) * m_len;
        const std::int64_t divisor = 2 * d;
        const std::int64_t quotient = numerator / divisor;
        return quotient * divisor == numerator ? quotient : quotient + 1;
    }

    ColorPair m_colors;
    std::int64_t m_len;
    Rgb m_color;
    std::int64_t m_from = 0; // m_color holds for positions m_from to m_until - 1
    std::int64_t m_until = 0;
};

} // namespace detail

} // namespace prismel
