#include "colorpair.h"

#include "chunking.h"

#include <array>

namespace prismel {

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

char16_t* writeColorCode(char16_t* out, Rgb color)
{
    // Channels are 0 to 255 for every colour the tool can hold; masking keeps a stray value from
    // reading outside the table.
    for (const std::int16_t channel : {color.r, color.g, color.b}) {
        const auto& pair = hexPairs[static_cast<unsigned>(channel) & 0xFFu];
        *out++ = pair[0];
        *out++ = pair[1];
    }
    return out;
}

std::u16string colorCode(Rgb color)
{
    std::u16string code(6, u'0');
    writeColorCode(code.data(), color);
    return code;
}

} // namespace prismel
