#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace prismel {

/// `text` as UTF-8. A lone surrogate, which no UTF-8 input can produce, becomes U+FFFD.
std::u8string toUtf8(std::u16string_view text);

/// Well-formed UTF-8 as UTF-16, or nothing for bytes that are not: overlong forms, encoded
/// surrogates, values past U+10FFFF and cut-off sequences included.
std::optional<std::u16string> fromUtf8(std::string_view bytes);

} // namespace prismel
