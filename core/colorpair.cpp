#include "colorpair.h"

#include "chunking.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace prismel {

std::int16_t InterpolateChannel(std::int16_t s, std::int16_t e, std::int64_t pos, std::int64_t len)
{
    const std::int64_t sign = s >= e ? -1 : 1;
    const std::int64_t distance = std::abs(std::int64_t{s} - std::int64_t{e});
    const std::int64_t product = sign * distance * pos;
    const double value = double(s) + double(product) / double(len);
    // nearbyint rounds in the current mode, which is round-to-nearest-even unless someone
    // changed it; the tool never does.
    return static_cast<std::int16_t>(std::nearbyint(value));
}

Rgb colorAt(const ColorPair& colors, std::int64_t pos, std::int64_t len)
{
    return {InterpolateChannel(colors.StartR, colors.EndR, pos, len),
            InterpolateChannel(colors.StartG, colors.EndG, pos, len),
            InterpolateChannel(colors.StartB, colors.EndB, pos, len)};
}

std::uint32_t packedColor(Rgb color)
{
    const auto byte = [](std::int16_t v) { return static_cast<std::uint32_t>(v) & 0xFFu; };
    return byte(color.r) | byte(color.g) << 8 | byte(color.b) << 16;
}

std::u16string hexDigits(unsigned value)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

std::u16string PadHex2(std::u16string_view h)
{
    switch (trimSpaces(h).size()) {
    case 0:
        return u"00";
    case 1:
        return u"0" + std::u16string(h);
    case 2:
        return std::u16string(h);
    default:
        return {};
    }
}

namespace {

// Two digits per byte value, so the hot loop of the conversion never formats numbers.
constexpr auto hexPairs = [] {
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::array<std::array<char16_t, 2>, 256> pairs{};
    for (unsigned v = 0; v < 256; ++v)
        pairs[v] = {digits[v / 16], digits[v % 16]};
    return pairs;
}();

} // namespace

void appendColorCode(std::u16string& out, Rgb color)
{
    // Channels are 0 to 255 for every colour the tool can hold; masking keeps a stray value from
    // reading outside the table.
    const auto& r = hexPairs[static_cast<unsigned>(color.r) & 0xFFu];
    const auto& g = hexPairs[static_cast<unsigned>(color.g) & 0xFFu];
    const auto& b = hexPairs[static_cast<unsigned>(color.b) & 0xFFu];
    const char16_t code[6] = {r[0], r[1], g[0], g[1], b[0], b[1]};
    out.append(code, 6);
}

std::u16string colorCode(Rgb color)
{
    std::u16string code;
    appendColorCode(code, color);
    return code;
}

} // namespace prismel
