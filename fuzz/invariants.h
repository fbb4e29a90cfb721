#pragma once

#include "fuzzinput.h"

#include <string>

namespace prismel::fuzzing {

// Converts `input` and checks what must hold for any input whatsoever: the chunks cover the
// trimmed text once, in order; no chunk ends inside a grapheme cluster (as ICU's iterator finds
// them over the whole text) except between CR and LF; each chunk is one step long unless the
// rest of a cluster or the end of the text says otherwise; each colour is the interpolated one; and
// the markup is exactly the chunks, bare or tagged, so that removing the tags gives the trimmed
// text back. The expected values are worked out here from first principles rather than with the
// core's own helpers. Returns a description of the first violation, or an empty string.
std::string checkConversion(const FuzzInput& input);

} // namespace prismel::fuzzing
