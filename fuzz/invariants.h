#pragma once

#include "fuzzinput.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace prismel::fuzzing {

// Converts `input` and checks what must hold for any input whatsoever: the chunks cover the
// trimmed text once, in order; no chunk ends inside a grapheme cluster (as ICU's iterator finds
// them over the whole text) except between CR and LF; each chunk is one step long unless the
// rest of a cluster or the end of the text says otherwise; each colour is the interpolated one; and
// the markup is exactly the chunks, bare or tagged, so that removing the tags gives the trimmed
// text back. The expected values are worked out here from first principles rather than with the
// core's own helpers. Returns a description of the first violation, or an empty string.
std::string checkConversion(const FuzzInput& input);

// The references the checks compare with, written from the rules rather than with the core's
// helpers. The leading number of a step text, rounded half to even; nothing outside the signed
// 32-bit range.
std::optional<std::int64_t> stepValue(std::u16string_view text);

// The step a text of `length` units is cut with: the value, or 1 when it is not below the length
// or not positive.
std::int64_t expectedStep(std::u16string_view stepText, std::int64_t length);

// Code units as "U+0041 U+D83D ...", cut short for long runs.
std::string unitsOf(std::u16string_view text);

} // namespace prismel::fuzzing
