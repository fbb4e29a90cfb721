#pragma once

#include "colorpair.h"

#include <array>

namespace prismel {

/// A colour's coordinates in OKLab.
struct Oklab {
    double l = 0;
    double a = 0;
    double b = 0;
};

/// The OKLab coordinates of an sRGB colour.
Oklab oklabOf(Rgb color);

/// The sRGB colour, each channel 0 to 1, nearest to `lab` by CSS Color 4's gamut mapping: chroma
/// halved towards the gamut's edge until clipping changes the colour by less than a
/// just-noticeable difference.
std::array<double, 3> gamutMapped(const Oklab& lab);

} // namespace prismel
