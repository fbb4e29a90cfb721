#include "colorpair.h"

#include "chunking.h"

#include <array>

namespace prismel {

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

// A channel's hexadecimal text as the colour code is defined from: upper-case digits without
// leading zeros ("0", "A", "FF").
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

using DigitPairs = std::array<std::array<char16_t, 2>, 256>;

// The two digits of every byte value, made once by the colour code's own rule, so that the
// conversion's loop copies digits instead of formatting numbers.
const DigitPairs& digitPairs()
{
    static const DigitPairs pairs = [] {
        DigitPairs made{};
        for (unsigned v = 0; v < made.size(); ++v) {
            const std::u16string two = PadHex2(hexDigits(v));
            made[v] = {two[0], two[1]};
        }
        return made;
    }();
    return pairs;
}

} // namespace

char16_t* writeColorCode(char16_t* out, Rgb color)
{
    const DigitPairs& pairs = digitPairs();
    // Channels are 0 to 255 for every colour the tool can hold; masking keeps a stray value from
    // reading outside the table.
    for (const std::int16_t channel : {color.r, color.g, color.b}) {
        const auto& pair = pairs[static_cast<unsigned>(channel) & 0xFFu];
        *out++ = pair[0];
        *out++ = pair[1];
    }
    return out;
}

char8_t* writeColorCode(char8_t* out, Rgb color)
{
    char16_t code[6]{};
    writeColorCode(code, color);
    for (const char16_t digit : code)
        *out++ = static_cast<char8_t>(digit); // hexadecimal digits are ASCII
    return out;
}

namespace {

template <typename Unit> Unit* writeDecimal(Unit* out, Rgb color)
{
    bool first = true;
    for (const std::int16_t channel : {color.r, color.g, color.b}) {
        if (!first)
            *out++ = Unit{';'};
        first = false;
        const unsigned value = static_cast<unsigned>(channel) & 0xFFu;
        if (value >= 100)
            *out++ = static_cast<Unit>('0' + value / 100);
        if (value >= 10)
            *out++ = static_cast<Unit>('0' + value / 10 % 10);
        *out++ = static_cast<Unit>('0' + value % 10);
    }
    return out;
}

} // namespace

char16_t* writeDecimalColorCode(char16_t* out, Rgb color)
{
    return writeDecimal(out, color);
}

char8_t* writeDecimalColorCode(char8_t* out, Rgb color)
{
    return writeDecimal(out, color);
}

} // namespace prismel
