#include "oklab.h"

#include <algorithm>
#include <cmath>

namespace prismel {

namespace {

// OKLab with Björn Ottosson's matrices, and CSS Color 4's gamut mapping into sRGB.

using Triple = std::array<double, 3>;

double linearOf(std::int16_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Extended to negative values by symmetry, as CSS does, so that the distance of a colour
// outside the gamut can be measured.
double gammaOf(double x)
{
    const double magnitude = std::abs(x);
    const double encoded =
        magnitude <= 0.0031308 ? 12.92 * magnitude : 1.055 * std::pow(magnitude, 1 / 2.4) - 0.055;
    return std::copysign(encoded, x);
}

Oklab oklabOfLinear(const Triple& rgb)
{
    const auto [r, g, b] = rgb;
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

Triple linearOfOklab(const Oklab& lab)
{
    const double l = std::pow(lab.l + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3);
    const double m = std::pow(lab.l - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3);
    const double s = std::pow(lab.l - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3);
    return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
            -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
            -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

Triple srgbOf(const Oklab& lab)
{
    const Triple linear = linearOfOklab(lab);
    return {gammaOf(linear[0]), gammaOf(linear[1]), gammaOf(linear[2])};
}

Oklab oklabOfSrgb(const Triple& srgb)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return oklabOfLinear({linear(srgb[0]), linear(srgb[1]), linear(srgb[2])});
}

bool inGamut(const Triple& srgb)
{
    return std::all_of(srgb.begin(), srgb.end(), [](double c) { return c >= 0 && c <= 1; });
}

Triple clipped(const Triple& srgb)
{
    return {std::clamp(srgb[0], 0.0, 1.0), std::clamp(srgb[1], 0.0, 1.0),
            std::clamp(srgb[2], 0.0, 1.0)};
}

double deltaEOK(const Triple& srgb, const Oklab& lab)
{
    const Oklab other = oklabOfSrgb(srgb);
    return std::hypot(other.l - lab.l, other.a - lab.a, other.b - lab.b);
}

// The nearest colour in sRGB by CSS Color 4's rule: chroma halved towards the gamut's edge
// until clipping changes the colour by less than a just-noticeable difference.
} // namespace

std::array<double, 3> gamutMapped(const Oklab& lab)
{
    if (lab.l >= 1)
        return {1, 1, 1};
    if (lab.l <= 0)
        return {0, 0, 0};
    const Triple origin = srgbOf(lab);
    if (inGamut(origin))
        return origin;
    constexpr double jnd = 0.02;
    constexpr double epsilon = 0.0001;
    const double chroma = std::hypot(lab.a, lab.b);
    const auto withChroma = [&](double c) {
        return Oklab{lab.l, lab.a * c / chroma, lab.b * c / chroma};
    };
    Triple clip = clipped(origin);
    if (deltaEOK(clip, lab) < jnd)
        return clip;
    double low = 0;
    double high = chroma;
    bool lowInGamut = true;
    while (high - low > epsilon) {
        const double middle = (low + high) / 2;
        const Oklab current = withChroma(middle);
        const Triple srgb = srgbOf(current);
        if (lowInGamut && inGamut(srgb)) {
            low = middle;
            continue;
        }
        clip = clipped(srgb);
        const double e = deltaEOK(clip, current);
        if (e < jnd) {
            if (jnd - e < epsilon)
                return clip;
            lowInGamut = false;
            low = middle;
        } else {
            high = middle;
        }
    }
    return clip;
}

Oklab oklabOf(Rgb color)
{
    return oklabOfLinear({linearOf(color.r), linearOf(color.g), linearOf(color.b)});
}

} // namespace prismel
