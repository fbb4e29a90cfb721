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
const DigitPairs& digitPairs(HexCase letters)
{
    static const std::array<DigitPairs, 2> pairs = [] {
        std::array<DigitPairs, 2> made{};
        for (unsigned v = 0; v < made[0].size(); ++v) {
            const std::u16string two = PadHex2(hexDigits(v));
            made[0][v] = {two[0], two[1]};
            for (std::size_t i = 0; i < 2; ++i) {
                const char16_t digit = two[i];
                made[1][v][i] = digit >= u'A' ? static_cast<char16_t>(digit - u'A' + u'a') : digit;
            }
        }
        return made;
    }();
    return pairs[letters == HexCase::Upper ? 0 : 1];
}

} // namespace

char16_t* writeColorCode(char16_t* out, Rgb color, HexCase letters)
{
    const DigitPairs& pairs = digitPairs(letters);
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

std::u16string hexCode(Rgb color, HexCase letters)
{
    std::u16string digits(6, u'0');
    writeColorCode(digits.data(), color, letters);
    return digits;
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
