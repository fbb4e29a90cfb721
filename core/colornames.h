#pragma once

#include "colorpair.h"

#include <optional>
#include <string_view>

namespace prismel {

/// The colour of one of the 148 named colours of CSS Color 4, in any case ("Gold",
/// "rebeccapurple").
std::optional<Rgb> namedColor(std::u16string_view name);

} // namespace prismel
