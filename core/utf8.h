#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace prismel {

/// The code units a chunk can be cut from: UTF-16, or UTF-8 for text taken straight from a file.
template <typename Unit>
concept TextUnit = std::is_same_v<Unit, char16_t> || std::is_same_v<Unit, char8_t>;

/// Which characters trimming takes off the ends of a text: the conversion's spaces alone, the
/// spaces and tabs that separate the parts of a gradient line, or any Unicode white space (line
/// breaks, U+00A0, U+3000, ...) around what is typed into a field.
enum class Blanks { Spaces, SpacesAndTabs, WhiteSpace };

/// True for a unit of Unicode's white space: the separators of categories Zs, Zl and Zp, tab
/// to carriage return, and U+0085.
constexpr bool isWhiteSpace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

/// `text` without the `blanks` at its start and end; white space beyond ASCII only in UTF-16.
template <typename Unit>
constexpr std::basic_string_view<Unit> trimBlanks(std::basic_string_view<Unit> text, Blanks blanks)
{
    const auto blank = [blanks](Unit c) {
        if (blanks == Blanks::WhiteSpace) {
            if constexpr (std::is_same_v<Unit, char16_t>)
                return isWhiteSpace(c);
            return (c >= Unit{'\t'} && c <= Unit{'\r'}) || c == Unit{' '};
        }
        return c == Unit{' '} || (blanks == Blanks::SpacesAndTabs && c == Unit{'\t'});
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

namespace detail {

template <TextUnit Unit>
constexpr std::basic_string_view<Unit> trimSpacesOf(std::basic_string_view<Unit> text)
{
    return trimBlanks(text, Blanks::Spaces);
}

} // namespace detail

/// `text` without its leading and trailing U+0020 spaces; other white space stays.
constexpr std::u16string_view trimSpaces(std::u16string_view text)
{
    return detail::trimSpacesOf(text);
}

constexpr std::u8string_view trimSpaces(std::u8string_view text)
{
    return detail::trimSpacesOf(text);
}

constexpr bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

constexpr bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

/// UTF-16 code units of well-formed UTF-8: one per character, two for one of four bytes.
constexpr std::int64_t utf16Units(std::u8string_view text)
{
    std::int64_t units = 0;
    for (const char8_t byte : text)
        units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    return units;
}

/// `text` as UTF-8. A lone surrogate, which no UTF-8 input can produce, becomes U+FFFD.
std::u8string toUtf8(std::u16string_view text);

/// Well-formed UTF-8 as UTF-16, or nothing for bytes that are not: overlong forms, encoded
/// surrogates, values past U+10FFFF and cut-off sequences included.
std::optional<std::u16string> fromUtf8(std::string_view bytes);

} // namespace prismel
