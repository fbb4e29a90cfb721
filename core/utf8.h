#pragma once

#include <string>
#include <string_view>

namespace prismel {

/// `text` as UTF-8. A lone surrogate, which no UTF-8 input can produce, becomes U+FFFD.
std::u8string toUtf8(std::u16string_view text);

} // namespace prismel
