#include "messagetext.h"

#include "utf8.h"

#include <vector>

namespace prismel {

namespace {

// The length of the UTF-8 sequence at the front of `bytes`, or 0 when it is not well-formed.
std::size_t sequenceLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

char32_t codePoint(std::string_view sequence)
{
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(sequence[i]) & 0xFF; };
    switch (sequence.size()) {
    case 1:
        return byte(0);
    case 2:
        return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
        return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    default:
        return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
               (byte(3) & 0x3F);
    }
}

std::string hexEscape(const char* prefix, char32_t value, int digits)
{
    constexpr std::string_view hex = "0123456789abcdef";
    std::string out(prefix);
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += hex[(value >> shift) & 0xF];
    return out;
}

// One character of the message: the character itself, or its escape.
std::string shown(std::string_view sequence)
{
    const char32_t c = codePoint(sequence);
    switch (c) {
    case U'\n':
        return "\\n";
    case U'\t':
        return "\\t";
    case U'\r':
        return "\\r";
    case U'\0':
        return "\\0";
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F)
        return hexEscape("\\x", c, 2);
    // C1 controls, and the line and paragraph separators some terminals break lines at.
    if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029)
        return hexEscape("\\u", c, 4);
    return std::string(sequence);
}

} // namespace

std::string printable(std::string_view value)
{
    std::vector<std::string> characters;
    characters.reserve(value.size());
    while (!value.empty()) {
        const std::size_t length = sequenceLength(value);
        if (length == 0) {
            characters.push_back(hexEscape("\\x", static_cast<unsigned char>(value[0]), 2));
            value.remove_prefix(1);
            continue;
        }
        characters.push_back(shown(value.substr(0, length)));
        value.remove_prefix(length);
    }
    std::string out;
    if (characters.size() <= longestShownValue) {
        for (const auto& c : characters)
            out += c;
        return out;
    }
    // The front and the back, which tell most values apart, with "…" between them.
    constexpr std::size_t front = longestShownValue / 2;
    constexpr std::size_t back = longestShownValue - front - 1;
    for (std::size_t i = 0; i < front; ++i)
        out += characters[i];
    out += "…";
    for (std::size_t i = characters.size() - back; i < characters.size(); ++i)
        out += characters[i];
    return out;
}

std::u16string printable(std::u16string_view value)
{
    const std::u8string bytes = toUtf8(value);
    // What printable() gives is always well-formed.
    return *fromUtf8(
        printable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

std::string quoted(std::string_view value)
{
    return "'" + printable(value) + "'";
}

std::u16string quoted(std::u16string_view value)
{
    return u"'" + printable(value) + u"'";
}

std::string alternatives(std::span<const std::string_view> words)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
        text += words[i];
    }
    return text;
}

} // namespace prismel
