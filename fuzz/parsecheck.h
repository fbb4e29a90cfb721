#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace prismel::fuzzing {

// Reads `data` as one text for the gradient parsers and checks what they accept and refuse, and
// what they make of it, against plain readings of the formats written here.
//
// Byte layout: the first byte chooses the parser (0 the stop list, 1 the gradients file, any
// other a single colour); every later byte is one UTF-16 code unit of the text (U+0000 to
// U+00FF). Returns a description of the first disagreement, or an empty string.
std::string checkParsers(std::span<const std::uint8_t> data);

} // namespace prismel::fuzzing
