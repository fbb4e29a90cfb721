#include "colorpick.h"

#include "gradientbar.h"

namespace prismel {

bool PickColor(int index, ColorDialog& dialog, Gradient& gradient, GradientSurface& bar)
{
    const std::optional<Rgb> color = dialog.chooseColor();
    if (!color || gradient.stops.empty())
        return false;
    (index == 0 ? gradient.stops.front() : gradient.stops.back()).color = *color;
    DrawGradientBar(bar, gradient);
    return true;
}

} // namespace prismel
