#pragma once

#include <array>
#include <cstdint>
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

/// Writes a colour's code, six upper-case hexadecimal digits RRGGBB, at `out` and returns the
/// position after them.
char16_t* writeColorCode(char16_t* out, Rgb color);

/// The same digits as UTF-8.
char8_t* writeColorCode(char8_t* out, Rgb color);

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

// colorAt() for positions that only grow, as the chunks of a text meet them. Each channel keeps
// (E - S) * pos as a whole part and a remainder over the length and carries them forward, so a
// chunk costs a few additions where colorAt() divides three times; a division is left only when
// the remainder passes a whole step, which in a long text is rare. The colours are colorAt()'s.
class GradientWalk {
public:
    /// `len` must be at least 1 before at() is called.
    GradientWalk(const ColorPair& colors, std::int64_t len)
        : m_colors(colors), m_len(len), m_channels{{{colors.StartR, colors.EndR - colors.StartR},
                                                    {colors.StartG, colors.EndG - colors.StartG},
                                                    {colors.StartB, colors.EndB - colors.StartB}}}
    {
    }

    Rgb at(std::int64_t pos)
    {
        const std::int64_t advance = pos - m_pos;
        // Where the carried values could leave 64 bits, or the walk goes back, ask colorAt().
        constexpr std::int64_t walkLimit = std::int64_t{1} << 46;
        if (advance < 0 || pos >= walkLimit) [[unlikely]]
            return colorAt(m_colors, pos, m_len);
        m_pos = pos;
        return {channelAt(m_channels[0], advance), channelAt(m_channels[1], advance),
                channelAt(m_channels[2], advance)};
    }

private:
    struct Channel {
        std::int64_t start;
        std::int64_t distance;
        std::int64_t whole = 0; // floor(distance * pos / len)
        std::int64_t rest = 0;  // distance * pos - whole * len, 0 to len - 1
    };

    std::int16_t channelAt(Channel& c, std::int64_t advance) const
    {
        c.rest += c.distance * advance;
        if (c.rest < 0 || c.rest >= m_len) [[unlikely]] {
            std::int64_t carry = c.rest / m_len;
            c.rest %= m_len;
            if (c.rest < 0) {
                --carry;
                c.rest += m_len;
            }
            c.whole += carry;
        }
        // Rounded half to even, as roundedQuotient() does.
        std::int64_t value = c.start + c.whole;
        const std::int64_t toNext = m_len - c.rest;
        if (c.rest > toNext || (c.rest == toNext && value % 2 != 0))
            ++value;
        return static_cast<std::int16_t>(value);
    }

    ColorPair m_colors;
    std::int64_t m_len;
    std::int64_t m_pos = 0;
    std::array<Channel, 3> m_channels;
};

} // namespace detail

} // namespace prismel
