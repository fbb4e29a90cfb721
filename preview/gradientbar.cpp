#include "gradientbar.h"

#include <algorithm>

namespace prismel {

namespace {

// The bar always spans a 255-step run, whatever its width on screen.
constexpr std::int64_t barSteps = 255;
constexpr float barHeight = 10.0f;

} // namespace

std::array<Rgb, 256> gradientBarColors(const Gradient& gradient)
{
    const std::vector<Rgb> colors = colorsAlong(gradient, barSteps);
    std::array<Rgb, 256> lineColors{};
    std::copy(colors.begin(), colors.end(), lineColors.begin());
    return lineColors;
}

void setGradientBarScale(GradientSurface& surface)
{
    surface.scale(0.0f, 0.0f, static_cast<float>(barSteps), barHeight);
}

void DrawGradientBar(GradientSurface& surface, const Gradient& gradient)
{
    surface.cls();
    surface.setDrawWidth(1);
    const auto lineColors = gradientBarColors(gradient);
    // Increasing a, so where two lines share a pixel column the later one stays visible.
    for (std::size_t a = 0; a < lineColors.size(); ++a) {
        const auto x = static_cast<float>(a);
        surface.line(x, 0.0f, x, barHeight, lineColors[a]);
    }
}

} // namespace prismel
