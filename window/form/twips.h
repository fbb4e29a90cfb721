#pragma once

namespace prismel {

// Twips are the unit of the window's layout and of the text preview's positions: 1440 to the
// inch, so 15 to the pixel at the 96 dots per inch the layout is drawn for.
inline constexpr int twipsPerPixel = 15;

// The nearest whole pixel of a length in twips.
constexpr int twipsToPixels(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

} // namespace prismel
