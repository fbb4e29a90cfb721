#include "gradient.h"

#include "colorwalk.h"

#include <algorithm>

namespace prismel {

Rgb colorAt(const Gradient& gradient, std::int64_t pos, std::int64_t len)
{
    return detail::GradientColors(gradient).at(pos, len);
}

std::vector<Rgb> colorsAlong(const Gradient& gradient, std::int64_t len)
{
    const detail::GradientColors colors(gradient);
    len = std::max<std::int64_t>(len, 1);
    std::vector<Rgb> along(static_cast<std::size_t>(len) + 1);
    for (std::size_t pos = 0; pos < along.size(); ++pos)
        along[pos] = colors.at(static_cast<std::int64_t>(pos), len);
    return along;
}

std::vector<std::int32_t> shownPlaces(const Gradient& gradient)
{
    std::vector<std::int32_t> places;
    for (const auto [num, den] : detail::resolvedPlaces(gradient))
        places.push_back(
            static_cast<std::int32_t>((2 * num * Gradient::wholeWay + den) / (2 * den)));
    return places;
}

Gradient withPlacesWritten(Gradient gradient)
{
    const std::vector<std::int32_t> places = shownPlaces(gradient);
    for (std::size_t i = 0; i < places.size(); ++i)
        gradient.stops[i].position = places[i];
    return gradient;
}

Gradient reversed(const Gradient& gradient)
{
    // Places are fixed up first, so that a place raised to an earlier one mirrors too; a run of
    // unplaced stops is spread evenly either way round.
    Gradient result = gradient;
    const std::vector<detail::GradientColors::Place> places = detail::resolvedPlaces(gradient);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const auto& place = places[i];
        auto& position = result.stops[i].position;
        if (place.den == Gradient::wholeWay)
            position = Gradient::wholeWay - static_cast<std::int32_t>(place.num);
        else
            position.reset();
    }
    std::reverse(result.stops.begin(), result.stops.end());
    return result;
}

} // namespace prismel
