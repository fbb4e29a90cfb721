#include "window/adapters/qtcolor.h"

namespace prismel {

QColor toQColor(Rgb color)
{
    return {color.r, color.g, color.b};
}

std::uint32_t toPacked(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return static_cast<std::uint32_t>(qRed(rgb)) + 256U * static_cast<std::uint32_t>(qGreen(rgb)) +
           65536U * static_cast<std::uint32_t>(qBlue(rgb));
}

} // namespace prismel
