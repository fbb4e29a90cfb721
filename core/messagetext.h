#pragma once

#include <span>
#include <string>
#include <string_view>

namespace prismel {

/// Values longer than this, in characters, are cut in the middle when a message shows them.
inline constexpr std::size_t longestShownValue = 200;

/// `value`, UTF-8 bytes from an argument, a file name or a file's content, as one line of a
/// message may show it: control characters written as escapes (`\n`, `\t`, `\r`, `\0`, `\x1b`,
/// `\u0085`, `\u2028`), a byte that is not part of UTF-8 as `\xNN`, and a value of more than
/// longestShownValue characters cut in the middle with "…".
std::string printable(std::string_view value);

/// The same for UTF-16 text.
std::u16string printable(std::u16string_view value);

/// printable() between single quotes, as the messages quote a value.
std::string quoted(std::string_view value);
std::u16string quoted(std::u16string_view value);

/// The words a message offers to choose from: "a, b or c".
std::string alternatives(std::span<const std::string_view> words);

} // namespace prismel
