#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace prismel {

/// The leading decimal number of a step text, rounded half to even: leading spaces are skipped,
/// then an optional sign, digits and an optional fraction; whatever follows is ignored.
/// "2.5" gives 2, "3.5" gives 4, "12abc" gives 12, and a text without a number gives 0.
/// Returns nothing when the value lies outside the signed 32-bit range.
std::optional<std::int32_t> parseStep(std::u16string_view text);

/// The number of code units per chunk for a trimmed text of `length` code units, from the step
/// parseStep() read.
/// A zero or negative step, one outside the 32-bit range, and one not smaller than the length
/// all fall back to one code unit per chunk.
std::int32_t effectiveStep(std::optional<std::int32_t> parsed, std::int64_t length);

} // namespace prismel
