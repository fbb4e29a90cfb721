#pragma once

#include "core/colorpair.h"
#include "core/gradient.h"

#include <array>
#include <cstdint>

namespace prismel {

// The drawing operations the gradient bar needs from its picture box.
class GradientSurface {
public:
    virtual ~GradientSurface() = default;
    // Maps the drawable area to user coordinates: (x1, y1) top left, (x2, y2) bottom right.
    virtual void scale(float x1, float y1, float x2, float y2) = 0;
    // Erases the whole surface to its background colour.
    virtual void cls() = 0;
    // Width in pixels of the lines drawn afterwards.
    virtual void setDrawWidth(int pixels) = 0;
    // A solid line between two points in user coordinates.
    virtual void line(float x1, float y1, float x2, float y2, Rgb color) = 0;
};

// The colours of the bar's 256 vertical lines, left to right: line a is the gradient at a / 255.
std::array<Rgb, 256> gradientBarColors(const Gradient& gradient);

// Gives the bar its coordinate system, (0, 0)-(255, 10). Done once, before the first drawing.
void setGradientBarScale(GradientSurface& surface);

// Clears the bar and draws the 256 lines of the current colours.
void DrawGradientBar(GradientSurface& surface, const Gradient& gradient);

} // namespace prismel
