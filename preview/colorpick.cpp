#include "colorpick.h"

#include "gradientbar.h"

namespace prismel {

std::array<std::int32_t, 3> SplitColor(std::int32_t packed)
{
    // C++ division truncates towards zero and the remainder takes the sign of the dividend;
    // the largest product, 32767 * 65536, still fits in 32 bits.
    const std::int32_t b = packed / 65536;
    const std::int32_t m = packed - b * 65536;
    const std::int32_t g = m / 256;
    const std::int32_t r = m - g * 256;
    return {r, g, b};
}

std::optional<Rgb> chooseRgb(ColorDialog& dialog)
{
    const std::optional<std::uint32_t> chosen = dialog.chooseColor();
    if (!chosen)
        return std::nullopt;
    const auto [r, g, b] = SplitColor(static_cast<std::int32_t>(*chosen & 0xFFFFFFu));
    return Rgb{static_cast<std::int16_t>(r), static_cast<std::int16_t>(g),
               static_cast<std::int16_t>(b)};
}

bool PickColor(int index, ColorDialog& dialog, Gradient& gradient, GradientSurface& bar)
{
    const std::optional<Rgb> color = chooseRgb(dialog);
    if (!color || gradient.stops.empty())
        return false;
    (index == 0 ? gradient.stops.front() : gradient.stops.back()).color = *color;
    DrawGradientBar(bar, gradient);
    return true;
}

} // namespace prismel
