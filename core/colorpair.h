#pragma once

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

} // namespace prismel
