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

/// S + (E - S) * pos / len, rounded to the nearest integer with ties to even.
/// The product is exact in 64 bits and the division is done in double precision, so the result
/// is byte-for-byte what the markup has always carried. `len` must not be zero.
inline std::int16_t InterpolateChannel(std::int16_t s, std::int16_t e, std::int64_t pos,
                                       std::int64_t len);

/// The colour of position `pos` of a run of `len`, each channel interpolated on its own.
inline Rgb colorAt(const ColorPair& colors, std::int64_t pos, std::int64_t len);

/// R + 256 * G + 65536 * B, the form the drawing surfaces and the colour dialog exchange.
std::uint32_t packedColor(Rgb color);

/// Upper-case hexadecimal digits of `value` without leading zeros ("0", "A", "FF").
std::u16string hexDigits(unsigned value);

/// Brings a channel's hexadecimal text to exactly two digits: "" gives "00", "A" gives "0A",
/// "FF" stays, and anything longer than two digits (after trimming spaces) gives "".
std::u16string PadHex2(std::u16string_view h);

/// The six upper-case hexadecimal digits RRGGBB of a colour.
std::u16string colorCode(Rgb color);

/// Writes the six digits of colorCode() at `out` and returns the position after them.
char16_t* writeColorCode(char16_t* out, Rgb color);

namespace detail {

// Round to nearest, ties to even, without a call into the maths library: this sits on the
// conversion's hot path, three times per chunk. Exact for every |v| < 2^52.
inline double roundHalfToEven(double v)
{
    const double whole = static_cast<double>(static_cast<std::int64_t>(v)); // towards zero
    const double fraction = v - whole;                                      // exact
    const double away = v < 0 ? -1.0 : 1.0;
    if (fraction * away > 0.5 ||
        (fraction * away == 0.5 && static_cast<std::int64_t>(whole) % 2 != 0))
        return whole + away;
    return whole;
}

} // namespace detail

// Defined here so that the conversion loop can keep the per-run parts out of its body.
inline std::int16_t InterpolateChannel(std::int16_t s, std::int16_t e, std::int64_t pos,
                                       std::int64_t len)
{
    const std::int64_t sign = s >= e ? -1 : 1;
    const std::int64_t distance = s >= e ? std::int64_t{s} - e : std::int64_t{e} - s;
    const std::int64_t product = sign * distance * pos;
    const double value = double(s) + double(product) / double(len);
    return static_cast<std::int16_t>(detail::roundHalfToEven(value));
}

inline Rgb colorAt(const ColorPair& colors, std::int64_t pos, std::int64_t len)
{
    return {InterpolateChannel(colors.StartR, colors.EndR, pos, len),
            InterpolateChannel(colors.StartG, colors.EndG, pos, len),
            InterpolateChannel(colors.StartB, colors.EndB, pos, len)};
}

} // namespace prismel
