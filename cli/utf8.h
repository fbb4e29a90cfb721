#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace prismel::cli {

struct DecodedText {
    std::u16string text;
    // Byte offset of the first byte that is not part of well-formed UTF-8, if any.
    std::optional<std::size_t> errorOffset;
};

// Strict UTF-8 to UTF-16: overlong forms, encoded surrogates, values past U+10FFFF and cut-off
// sequences are errors. A leading byte-order mark is dropped; offsets still count it.
DecodedText decodeUtf8(std::string_view bytes);

// The most UTF-8 bytes one UTF-16 code unit can need (a pair needs 4 for its 2 units).
inline constexpr std::size_t maxUtf8PerUnit = 3;

// Writes `text` as UTF-8 at `out`, which has room for maxUtf8PerUnit * text.size() bytes, and
// returns the end. A lone surrogate, which no well-formed input produces, becomes U+FFFD.
char* encodeUtf8(char* out, std::u16string_view text);

// Appends `text` to `out` as UTF-8, like encodeUtf8().
void appendUtf8(std::string& out, std::u16string_view text);

} // namespace prismel::cli
