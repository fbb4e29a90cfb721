#include "utf8.h"

#include <cstring>

namespace prismel::cli {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// The length of the well-formed sequence at `i`, or 0 if the byte at `i` starts none. The ranges
// of the second byte are those that rule out overlong forms, surrogates and values past
// U+10FFFF.
std::size_t sequenceLength(const unsigned char* bytes, std::size_t size, std::size_t i)
{
    const unsigned char lead = bytes[i];
    if (lead < 0x80)
        return 1;
    const auto inside = [](unsigned char byte, unsigned char low, unsigned char high) {
        return byte >= low && byte <= high;
    };
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (inside(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (inside(lead, 0xE0, 0xEF)) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (inside(lead, 0xF0, 0xF4)) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (size - i < length || !inside(bytes[i + 1], low, high))
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!inside(bytes[i + k], 0x80, 0xBF))
            return 0;
    return length;
}

} // namespace

Utf8Check checkUtf8(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    Utf8Check result;
    std::int64_t units = 0;
    std::size_t i = 0;
    while (i < size) {
        // Runs of ASCII, most of many texts, go eight bytes at a time.
        if (bytes[i] < 0x80) {
            std::uint64_t word = 0;
            while (i + 8 <= size) {
                std::memcpy(&word, bytes + i, 8);
                if ((word & 0x8080808080808080u) != 0)
                    break;
                i += 8;
                units += 8;
            }
            while (i < size && bytes[i] < 0x80) {
                ++i;
                ++units;
            }
            continue;
        }
        const std::size_t length = sequenceLength(bytes, size, i);
        if (length == 0) {
            result.errorOffset = i;
            break;
        }
        units += length == 4 ? 2 : 1;
        i += length;
    }
    result.utf16Units = units;
    return result;
}

std::size_t byteOrderMarkSize(std::string_view bytes)
{
    return bytes.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
}

DecodedText decodeUtf8(std::string_view bytes)
{
    DecodedText result;
    const std::size_t begin = byteOrderMarkSize(bytes);
    bytes.remove_prefix(begin);

    // First check everything and count the code units, so the text is allocated once at its
    // exact size.
    const Utf8Check check = checkUtf8(bytes);
    if (check.errorOffset) {
        result.errorOffset = begin + *check.errorOffset;
        return result;
    }

    result.text.resize(static_cast<std::size_t>(check.utf16Units));
    char16_t* out = result.text.data();
    const auto byteAt = [&](std::size_t k) { return static_cast<char32_t>(bytes[k]) & 0xFFu; };
    for (std::size_t i = 0; i < bytes.size();) {
        const char32_t lead = byteAt(i);
        if (lead < 0x80) {
            *out++ = static_cast<char16_t>(lead);
            ++i;
        } else if (lead < 0xE0) {
            *out++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (byteAt(i + 1) & 0x3F));
            i += 2;
        } else if (lead < 0xF0) {
            *out++ = static_cast<char16_t>(((lead & 0x0F) << 12) | ((byteAt(i + 1) & 0x3F) << 6) |
                                           (byteAt(i + 2) & 0x3F));
            i += 3;
        } else {
            const char32_t cp = (((lead & 0x07) << 18) | ((byteAt(i + 1) & 0x3F) << 12) |
                                 ((byteAt(i + 2) & 0x3F) << 6) | (byteAt(i + 3) & 0x3F)) -
                                0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
            i += 4;
        }
    }
    return result;
}

} // namespace prismel::cli
