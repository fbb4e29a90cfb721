#pragma once

#include "core/colorpair.h"
#include "core/gradient.h"

#include <optional>

namespace prismel {

class GradientSurface;

// A modal colour chooser, opened with no initial colour and no remembered custom colours.
class ColorDialog {
public:
    virtual ~ColorDialog() = default;
    // The colour the user confirmed, each channel 0 to 255, or nothing on Cancel.
    virtual std::optional<Rgb> chooseColor() = 0;
};

// Asks the dialog for a colour; on OK stores it as the first stop's colour (index 0) or the last
// one's (any other index) and redraws the bar, and gives true. Cancel changes and draws nothing.
bool PickColor(int index, ColorDialog& dialog, Gradient& gradient, GradientSurface& bar);

} // namespace prismel
