#include "colorwalk.h"

#include "oklab.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace prismel::detail {

namespace {

__extension__ using Wide = __int128; // a GCC and Clang extension, hence the marker

using Place = GradientColors::Place;

// The least whole p with p * den >= num, for num >= 0 and den > 0.
std::int64_t ceilDiv(Wide num, Wide den)
{
    return static_cast<std::int64_t>((num + den - 1) / den);
}

double byteScale(double channel)
{
    return std::clamp(channel, 0.0, 1.0) * 255;
}

// A colour this close to grey has no hue of its own.
constexpr double achromatic = 0.000004;

// Each end's hue after CSS Color 4's hue fix-up for `method`.
std::pair<double, double> huesFor(double h1, double h2, HueMethod method)
{
    const double turn = h2 - h1;
    switch (method) {
    case HueMethod::Shorter:
        if (turn > 180)
            h1 += 360;
        else if (turn < -180)
            h2 += 360;
        break;
    case HueMethod::Longer:
        if (turn > 0 && turn < 180)
            h1 += 360;
        else if (turn > -180 && turn <= 0)
            h2 += 360;
        break;
    case HueMethod::Increasing:
        if (h2 < h1)
            h2 += 360;
        break;
    case HueMethod::Decreasing:
        if (h1 < h2)
            h1 += 360;
        break;
    }
    return {h1, h2};
}

} // namespace

std::vector<Place> resolvedPlaces(const Gradient& gradient)
{
    const std::size_t count = gradient.stops.size();
    std::vector<std::optional<std::int64_t>> fixed(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto position = gradient.stops[i].position)
            fixed[i] = std::clamp<std::int64_t>(*position, 0, Gradient::wholeWay);
    }
    if (count == 0)
        return {};
    if (!fixed.front())
        fixed.front() = 0;
    if (!fixed.back())
        fixed.back() = Gradient::wholeWay;
    std::int64_t highest = 0;
    for (auto& place : fixed) {
        if (place) {
            place = std::max(*place, highest);
            highest = *place;
        }
    }
    std::vector<Place> places(count);
    for (std::size_t i = 0; i < count;) {
        if (fixed[i]) {
            places[i] = {*fixed[i], Gradient::wholeWay};
            ++i;
            continue;
        }
        // A run of unplaced stops between two placed ones, k / (m + 1) of the way each.
        std::size_t end = i;
        while (!fixed[end])
            ++end;
        const std::int64_t from = *fixed[i - 1];
        const std::int64_t to = *fixed[end];
        const auto parts = static_cast<std::int64_t>(end - i + 1);
        for (std::int64_t k = 1; k < parts; ++k)
            places[i + static_cast<std::size_t>(k) - 1] = {from * parts + (to - from) * k,
                                                           Gradient::wholeWay * parts};
        i = end;
    }
    return places;
}

GradientColors::GradientColors(const Gradient& gradient)
    : m_places(resolvedPlaces(gradient)), m_space(gradient.space)
{
    for (const auto& stop : gradient.stops)
        m_colors.push_back(stop.color);
    // A gradient without stops has nothing to colour with; black keeps every reading defined.
    if (m_colors.empty()) {
        m_colors.push_back(Rgb{});
        m_places.push_back({0, 1});
    }
    if (m_space == ColorSpace::Rgb && m_colors.size() == 2 && m_places[0].num == 0 &&
        m_places[1].num == m_places[1].den) {
        const Rgb s = m_colors[0];
        const Rgb e = m_colors[1];
        m_pair = ColorPair{s.r, s.g, s.b, e.r, e.g, e.b};
    }
    if (m_space == ColorSpace::Rgb)
        return;
    for (const Rgb color : m_colors) {
        const Oklab lab = oklabOf(color);
        double hue = std::atan2(lab.b, lab.a) * 180 / std::numbers::pi;
        if (hue < 0)
            hue += 360;
        m_mixable.push_back({lab.l, lab.a, lab.b, std::hypot(lab.a, lab.b), hue});
    }
    for (std::size_t j = 0; j + 1 < m_mixable.size(); ++j) {
        const Mixable& from = m_mixable[j];
        const Mixable& to = m_mixable[j + 1];
        double h1 = from.h;
        double h2 = to.h;
        // A grey takes the other end's hue, so that white to red stays red all the way.
        if (from.c <= achromatic)
            h1 = to.c <= achromatic ? 0 : h2;
        if (to.c <= achromatic)
            h2 = h1;
        m_hues.push_back(huesFor(h1, h2, gradient.hue));
    }
}

GradientColors::Segment GradientColors::segmentOf(std::int64_t pos, std::int64_t len) const
{
    // The last stop at or before pos / len.
    std::ptrdiff_t index = -1;
    for (std::size_t j = 0; j < m_places.size(); ++j) {
        if (Wide{m_places[j].num} * len <= Wide{pos} * m_places[j].den)
            index = static_cast<std::ptrdiff_t>(j);
    }
    constexpr std::int64_t none = std::numeric_limits<std::int64_t>::max();
    const auto firstAt = [&](std::size_t j) {
        return ceilDiv(Wide{m_places[j].num} * len, m_places[j].den);
    };
    if (index < 0)
        return {index, std::numeric_limits<std::int64_t>::min(), firstAt(0)};
    const auto j = static_cast<std::size_t>(index);
    const std::int64_t from = firstAt(j);
    if (j + 1 == m_places.size())
        return {index, from, none};
    return {index, from, firstAt(j + 1)};
}

Rgb GradientColors::at(std::int64_t pos, std::int64_t len) const
{
    if (m_pair)
        return colorAt(*m_pair, pos, len);
    const Segment segment = segmentOf(pos, len);
    if (segment.index < 0)
        return m_colors.front();
    const auto j = static_cast<std::size_t>(segment.index);
    if (j + 1 == m_colors.size() || Wide{pos} * m_places[j].den == Wide{m_places[j].num} * len)
        return m_colors[j];
    return mix(j, pos, len);
}

Rgb GradientColors::mix(std::size_t j, std::int64_t pos, std::int64_t len) const
{
    // u = (pos / len - a / c) / (b / d - a / c), a ratio of whole numbers.
    const Place from = m_places[j];
    const Place to = m_places[j + 1];
    const Wide num = (Wide{pos} * from.den - Wide{from.num} * len) * to.den;
    const Wide den = Wide{len} * (Wide{to.num} * from.den - Wide{from.num} * to.den);
    const Rgb s = m_colors[j];
    const Rgb e = m_colors[j + 1];
    if (m_space == ColorSpace::Rgb) {
        const auto channel = [&](std::int16_t start, std::int16_t end) {
            return roundedQuotient<Wide>(start, Wide{end - start} * num, den);
        };
        return {channel(s.r, e.r), channel(s.g, e.g), channel(s.b, e.b)};
    }
    const std::array<double, 3> channels = mixedChannels(j, pos, len);
    const auto rounded = [](double c) { return static_cast<std::int16_t>(std::nearbyint(c)); };
    return {rounded(channels[0]), rounded(channels[1]), rounded(channels[2])};
}

std::array<double, 3> GradientColors::mixedChannels(std::size_t j, std::int64_t pos,
                                                    std::int64_t len) const
{
    const Place from = m_places[j];
    const Place to = m_places[j + 1];
    const Wide num = (Wide{pos} * from.den - Wide{from.num} * len) * to.den;
    const Wide den = Wide{len} * (Wide{to.num} * from.den - Wide{from.num} * to.den);
    const double u = static_cast<double>(num) / static_cast<double>(den);
    const Mixable& p = m_mixable[j];
    const Mixable& q = m_mixable[j + 1];
    const double l = p.l + (q.l - p.l) * u;
    Oklab lab{l, p.a + (q.a - p.a) * u, p.b + (q.b - p.b) * u};
    if (m_space == ColorSpace::Oklch) {
        const auto [h1, h2] = m_hues[j];
        const double c = p.c + (q.c - p.c) * u;
        const double h = (h1 + (h2 - h1) * u) * std::numbers::pi / 180;
        lab = {l, c * std::cos(h), c * std::sin(h)};
    }
    const std::array<double, 3> srgb = gamutMapped(lab);
    return {byteScale(srgb[0]), byteScale(srgb[1]), byteScale(srgb[2])};
}

std::int64_t GradientColors::rgbHoldsUntil(const Segment& segment, std::int64_t len,
                                           Rgb color) const
{
    const auto j = static_cast<std::size_t>(segment.index);
    if (segment.index < 0 || j + 1 == m_places.size())
        return segment.until;
    const Place from = m_places[j];
    const Place to = m_places[j + 1];
    const Wide span = Wide{len} * (Wide{to.num} * from.den - Wide{from.num} * to.den);
    std::int64_t until = segment.until;
    // A channel's exact value is s + d (pos c - a len) b' / span with b' the next place's
    // denominator; it may round otherwise from where it reaches half-way to the next value.
    const auto bound = [&](std::int16_t s, std::int16_t e, std::int16_t value) {
        const Wide d = Wide{e} - s;
        if (d == 0)
            return;
        const Wide u = Wide{value} - s;
        const Wide num =
            (d > 0 ? 2 * u + 1 : 2 * u - 1) * span + 2 * d * from.num * Wide{len} * to.den;
        const Wide divisor = 2 * d * from.den * to.den;
        const Wide quotient = num / divisor; // both of one sign
        until = std::min(
            until, static_cast<std::int64_t>(quotient * divisor == num ? quotient : quotient + 1));
    };
    const Rgb s = m_colors[j];
    const Rgb e = m_colors[j + 1];
    bound(s.r, e.r, color.r);
    bound(s.g, e.g, color.g);
    bound(s.b, e.b, color.b);
    return until;
}

ColorWalk::ColorWalk(std::shared_ptr<const GradientColors> colors, std::int64_t len)
    : m_colors(std::move(colors)), m_len(len)
{
    if (m_colors->pair())
        m_pair.emplace(*m_colors->pair(), len);
}

ColorWalk::ColorWalk(const Gradient& gradient, std::int64_t len)
    : ColorWalk(std::make_shared<const GradientColors>(gradient), len)
{
}

Rgb ColorWalk::evaluate(std::int64_t pos)
{
    return pos == m_knownAt ? m_known : m_colors->at(pos, m_len);
}

Rgb ColorWalk::changeAt(std::int64_t pos)
{
    m_from = pos;
    if (m_table != nullptr && pos >= 1 && pos <= m_len) {
        const Held& held = m_table[pos - 1];
        m_color = held.color;
        m_until = held.until;
        return m_color;
    }
    if (m_pair) {
        m_color = m_pair->at(pos);
        m_until = m_pair->heldUntil();
        return m_color;
    }
    m_color = evaluate(pos);
    const GradientColors::Segment segment = m_colors->segmentOf(pos, m_len);
    const bool between =
        segment.index >= 0 && segment.until != std::numeric_limits<std::int64_t>::max();
    if (!between || m_colors->space() == ColorSpace::Rgb) {
        m_until = std::max(pos + 1, m_colors->rgbHoldsUntil(segment, m_len, m_color));
        return m_color;
    }
    // The mixed colour is looked at a short way ahead: within a 256th of the stops' distance
    // each channel changes at most monotonically and nearly in a straight line, so the place
    // where one first reaches its next half-way point is sought by interpolating the unrounded
    // values at the ends of what is left, halving instead when that does not close in.
    const std::int64_t reach = std::max<std::int64_t>(1, (segment.until - segment.from) / 256);
    const std::int64_t last = std::min(segment.until - 1, pos + reach);
    m_until = pos + 1;
    if (last <= pos)
        return m_color;
    const auto j = static_cast<std::size_t>(segment.index);
    const auto channelsAt = [&](std::int64_t at) {
        return at == m_knownAt ? m_knownChannels : m_colors->mixedChannels(j, at, m_len);
    };
    const auto rounded = [](const Channels& c) {
        return Rgb{static_cast<std::int16_t>(std::nearbyint(c[0])),
                   static_cast<std::int16_t>(std::nearbyint(c[1])),
                   static_cast<std::int16_t>(std::nearbyint(c[2]))};
    };
    Channels otherChannels = m_colors->mixedChannels(j, last, m_len);
    if (rounded(otherChannels) == m_color) {
        m_until = last + 1;
        return m_color;
    }
    const std::array<std::int16_t, 3> held{m_color.r, m_color.g, m_color.b};
    std::int64_t same = pos;
    std::int64_t other = last;
    Channels sameChannels = channelsAt(pos);
    bool halve = false;
    while (other - same > 1) {
        std::int64_t next = same + (other - same) / 2;
        if (!halve) {
            std::int64_t guess = other;
            for (std::size_t k = 0; k < 3; ++k) {
                const double rise = otherChannels.at(k) - sameChannels.at(k);
                if (std::nearbyint(otherChannels.at(k)) == held.at(k) || rise == 0)
                    continue;
                const double share =
                    (held.at(k) + (rise > 0 ? 0.5 : -0.5) - sameChannels.at(k)) / rise;
                if (share > 0 && share < 1)
                    guess = std::min(guess, same + static_cast<std::int64_t>(std::ceil(
                                                       share * static_cast<double>(other - same))));
            }
            next = std::clamp(guess, same + 1, other - 1);
        }
        const std::int64_t width = other - same;
        const Channels channels = channelsAt(next);
        if (rounded(channels) == m_color) {
            same = next;
            sameChannels = channels;
        } else {
            other = next;
            otherChannels = channels;
        }
        // A guess that leaves more than half of what was left is followed by a halving.
        halve = !halve && (other - same) * 2 > width;
    }
    m_knownAt = other;
    m_knownChannels = otherChannels;
    m_known = rounded(otherChannels);
    m_until = other;
    return m_color;
}

ColorWalk WalksByLength::walk(std::int64_t len)
{
    if (len < 1 || len > longestTabled)
        return {m_colors, len};
    const auto index = static_cast<std::size_t>(len);
    if (index >= m_tables.size())
        m_tables.resize(index + 1);
    std::vector<ColorWalk::Held>& table = m_tables[index];
    if (table.empty()) {
        if (m_tabled + index > tabledPositions)
            return {m_colors, len};
        m_tabled += index;
        table.resize(index);
        ColorWalk walk(m_colors, len);
        for (std::int64_t pos = 1; pos <= len; ++pos)
            table[static_cast<std::size_t>(pos - 1)].color = walk.at(pos);
        auto until = static_cast<std::int32_t>(len + 1);
        for (std::size_t i = index; i-- > 0;) {
            if (i + 1 < index && table[i].color != table[i + 1].color)
                until = static_cast<std::int32_t>(i + 2);
            table[i].until = until;
        }
    }
    return {m_colors, len, table.data()};
}

} // namespace prismel::detail
