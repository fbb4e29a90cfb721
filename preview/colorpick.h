#pragma once

#include "core/colorpair.h"
#include "core/gradient.h"

#include <array>
#include <cstdint>
#include <optional>

namespace prismel {

class GradientSurface;

// A modal colour chooser, opened with no initial colour and no remembered custom colours.
class ColorDialog {
public:
    virtual ~ColorDialog() = default;
    // The colour the user confirmed, packed as the platform's dialog hands it back (R + 256 G +
    // 65536 B), or nothing on Cancel.
    virtual std::optional<std::uint32_t> chooseColor() = 0;
};

// Red, green and blue of a packed colour, with divisions that truncate towards zero.
std::array<std::int32_t, 3> SplitColor(std::int32_t packed);

// The colour the dialog's user chose, or nothing on Cancel. A top byte the dialog sets anyway is
// dropped, so that no channel leaves 0 to 255.
std::optional<Rgb> chooseRgb(ColorDialog& dialog);

// Asks the dialog for a colour; on OK stores it as the first stop's colour (index 0) or the last
// one's (any other index) and redraws the bar, and gives true. Cancel changes and draws nothing.
bool PickColor(int index, ColorDialog& dialog, Gradient& gradient, GradientSurface& bar);

} // namespace prismel
