#include "window/widgets/barstops.h"

#include "preview/colorpick.h"
#include "preview/gradientbar.h"
#include "window/widgets/gradientbarwidget.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace prismel {

namespace {

// Only the stops between the first and the last have markers: marker k is stop k + 1.
std::size_t stopOfMarker(int marker)
{
    return static_cast<std::size_t>(marker) + 1;
}

} // namespace

BarStops::BarStops(GradientBarWidget& bar, ColorDialog& dialog, Gradient gradient, QObject* parent)
    : QObject(parent), m_bar(bar), m_dialog(dialog), m_gradient(std::move(gradient))
{
    setGradientBarScale(m_bar);
    connect(&m_bar, &GradientBarWidget::barDoubleClicked, this, &BarStops::addStop);
    connect(&m_bar, &GradientBarWidget::markerDragged, this,
            [this](int marker, int place) { moveStop(stopOfMarker(marker), place); });
    connect(
        &m_bar, &GradientBarWidget::markerMenuRequested, this,
        [this](int marker, QPoint globalPos) { offerStopMenu(stopOfMarker(marker), globalPos); });
    redraw();
}

void BarStops::setGradient(Gradient gradient)
{
    m_gradient = std::move(gradient);
    redraw();
}

void BarStops::addStop(int place)
{
    if (m_gradient.stops.size() >= Gradient::maxStops)
        return;
    const auto color = m_dialog.chooseColor();
    if (!color)
        return;
    const auto shown = shownPlaces(m_gradient);
    auto index = static_cast<std::size_t>(std::upper_bound(shown.begin(), shown.end(), place) -
                                          shown.begin());
    // On the last stop's own place the new one goes before it, so the last colour stays last.
    if (index == shown.size() && !shown.empty() && shown.back() == place)
        --index;
    m_gradient = withPlacesWritten(std::move(m_gradient));
    m_gradient.stops.insert(m_gradient.stops.begin() + static_cast<std::ptrdiff_t>(index),
                            GradientStop{*color, place});
    redraw();
    Q_EMIT changed();
}

void BarStops::moveStop(std::size_t index, int place)
{
    if (index + 1 >= m_gradient.stops.size())
        return;
    const auto shown = shownPlaces(m_gradient);
    const std::int32_t clamped = std::clamp(place, shown[index - 1], shown[index + 1]);
    if (clamped == shown[index])
        return;
    m_gradient = withPlacesWritten(std::move(m_gradient));
    m_gradient.stops[index].position = clamped;
    redraw();
    Q_EMIT changed();
}

void BarStops::offerStopMenu(std::size_t index, QPoint globalPos)
{
    if (index + 1 >= m_gradient.stops.size())
        return;
    QMenu menu(&m_bar);
    const QAction* recolor = menu.addAction(tr("更改颜色(&C)…"));
    const QAction* remove = menu.addAction(tr("删除色标(&D)"));
    const QAction* chosen = menu.exec(globalPos);
    if (chosen == recolor) {
        const auto color = m_dialog.chooseColor();
        if (!color)
            return;
        m_gradient.stops[index].color = *color;
    } else if (chosen == remove) {
        // The others keep where they show, even those placed only by their neighbours.
        m_gradient = withPlacesWritten(std::move(m_gradient));
        m_gradient.stops.erase(m_gradient.stops.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
        return;
    }
    redraw();
    Q_EMIT changed();
}

void BarStops::redraw()
{
    DrawGradientBar(m_bar, m_gradient);
    std::vector<BarMarker> markers;
    const std::vector<std::int32_t> places = shownPlaces(m_gradient);
    for (std::size_t i = 1; i + 1 < m_gradient.stops.size(); ++i)
        markers.push_back(
            {static_cast<double>(places[i]) / Gradient::wholeWay, m_gradient.stops[i].color});
    m_bar.setMarkers(std::move(markers));
}

} // namespace prismel
