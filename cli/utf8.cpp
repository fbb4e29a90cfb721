#include "utf8.h"

#include <cstdint>

namespace prismel::cli {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed sequence at `i`, or 0 if the byte at `i` starts none.
std::size_t sequenceLength(std::string_view bytes, std::size_t i)
{
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byteAt(i);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1Fu, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0Fu, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07u, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(byteAt(i + k)))
            return 0;
        cp = (cp << 6) | (byteAt(i + k) & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

DecodedText decodeUtf8(std::string_view bytes)
{
    DecodedText result;
    const std::size_t begin = bytes.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;

    // First check everything and count the code units, so the text is allocated once at its
    // exact size: for a large file this is most of the converter's memory.
    std::size_t units = 0;
    for (std::size_t i = begin; i < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0) {
            // A sequence cut short is reported at its lead byte, where it went wrong.
            result.errorOffset = i;
            return result;
        }
        units += length == 4 ? 2 : 1;
        i += length;
    }

    result.text.resize(units);
    char16_t* out = result.text.data();
    const auto byteAt = [&](std::size_t k) { return static_cast<char32_t>(bytes[k]) & 0xFFu; };
    for (std::size_t i = begin; i < bytes.size();) {
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

char* encodeUtf8(char* out, std::u16string_view text)
{
    const auto put = [&out](char32_t byte) { *out++ = static_cast<char>(byte); };
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        char32_t cp = text[i];
        if (cp < 0x80) {
            put(cp);
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x800) {
            put(0xC0 | (cp >> 6));
            put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | (cp >> 12));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | (cp >> 18));
            put(0x80 | ((cp >> 12) & 0x3F));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

void appendUtf8(std::string& out, std::u16string_view text)
{
    const std::size_t old = out.size();
    out.resize(old + maxUtf8PerUnit * text.size());
    char* const end = encodeUtf8(out.data() + old, text);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

} // namespace prismel::cli
