#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace prismel::cli {

struct Utf8Check {
    // Byte offset of the first byte that is not part of well-formed UTF-8, if any.
    std::optional<std::size_t> errorOffset;
    // The text's length in UTF-16 code units, up to the first bad byte.
    std::int64_t utf16Units = 0;
};

// Strict UTF-8 in one pass: overlong forms, encoded surrogates, values past U+10FFFF and cut-off
// sequences are errors, reported at the lead byte of the sequence that goes wrong.
Utf8Check checkUtf8(std::string_view bytes);

// The length of a leading byte-order mark: 3 or 0.
std::size_t byteOrderMarkSize(std::string_view bytes);

struct DecodedText {
    std::u16string text;
    // Byte offset of the first byte that is not part of well-formed UTF-8, if any.
    std::optional<std::size_t> errorOffset;
    // The bytes read otherwise the second time than the first: memory that someone wrote
    // meanwhile, such as a mapped file another process rewrites. `text` is then empty.
    bool changed = false;
};

// Strict UTF-8 to UTF-16, as checkUtf8() reads it. A leading byte-order mark is dropped; offsets
// still count it.
DecodedText decodeUtf8(std::string_view bytes);

namespace detail {

// decodeUtf8() calling `betweenPasses` after its count and before it decodes: the place where
// a test changes the bytes.
DecodedText decodeUtf8(std::string_view bytes, const std::function<void()>& betweenPasses);

} // namespace detail

} // namespace prismel::cli
