#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace prismel::cli {

struct DecodedText {
    std::u16string text;
    /// Byte offset of the first byte that is not part of well-formed UTF-8, if any.
    std::optional<std::size_t> errorOffset;
};

/// Strict UTF-8 to UTF-16: overlong forms, encoded surrogates, values past U+10FFFF and cut-off
/// sequences are errors. A leading byte-order mark is dropped.
DecodedText decodeUtf8(std::string_view bytes);

/// Appends `text` to `out` as UTF-8. A lone surrogate, which no well-formed input produces,
/// becomes U+FFFD.
void appendUtf8(std::string& out, std::u16string_view text);

} // namespace prismel::cli
