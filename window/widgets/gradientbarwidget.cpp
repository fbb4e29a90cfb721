#include "window/widgets/gradientbarwidget.h"

#include "window/adapters/qtcolor.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace prismel {

namespace {

constexpr int wholeWay = 10000;
// How far from a marker's centre, in pixels, the mouse still takes it: a little wider than the
// marker so that a thin one is easy to catch.
constexpr double markerReach = 4.5;
constexpr double markerHalfWidth = 4.0;
constexpr double markerDepth = 5.0;

} // namespace

GradientBarWidget::GradientBarWidget(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // For the cursor over a marker.
    setMouseTracking(true);
}

void GradientBarWidget::scale(float x1, float y1, float x2, float y2)
{
    m_left = x1;
    m_top = y1;
    m_right = x2;
    m_bottom = y2;
    update();
}

void GradientBarWidget::cls()
{
    m_lines.clear();
    update();
}

void GradientBarWidget::setDrawWidth(int pixels)
{
    m_drawWidth = std::max(1, pixels);
}

void GradientBarWidget::line(float x1, float y1, float x2, float y2, Rgb color)
{
    m_lines.push_back({x1, y1, x2, y2, toQColor(color), m_drawWidth});
    update();
}

void GradientBarWidget::setMarkers(std::vector<BarMarker> markers)
{
    if (markers == m_markers)
        return;
    if (m_dragged && static_cast<std::size_t>(*m_dragged) >= markers.size())
        m_dragged.reset();
    m_markers = std::move(markers);
    update();
}

int GradientBarWidget::placeAt(int x) const
{
    const QRect area = contentsRect();
    const int span = area.width() - 1;
    if (span <= 0)
        return 0;
    const long long from = std::clamp(x - area.left(), 0, span);
    return static_cast<int>((2 * from * wholeWay + span) / (2LL * span));
}

double GradientBarWidget::markerX(const BarMarker& marker) const
{
    const QRect area = contentsRect();
    return area.left() + marker.at * std::max(0, area.width() - 1);
}

std::optional<int> GradientBarWidget::markerAt(QPoint pos) const
{
    std::optional<int> found;
    double nearest = markerReach;
    for (std::size_t i = 0; i < m_markers.size(); ++i) {
        const double distance = std::abs(pos.x() - markerX(m_markers[i]));
        // Later markers are drawn on top, so they win a tie.
        if (distance <= nearest) {
            nearest = distance;
            found = static_cast<int>(i);
        }
    }
    return found;
}

QPointF GradientBarWidget::toPixels(float x, float y) const
{
    const QRect area = contentsRect();
    const auto mapAxis = [](float value, float from, float to, int origin, int extent) {
        if (from == to || extent <= 1)
            return static_cast<double>(origin);
        return origin + static_cast<double>(value - from) / static_cast<double>(to - from) *
                            static_cast<double>(extent - 1);
    };
    return {mapAxis(x, m_left, m_right, area.left(), area.width()),
            mapAxis(y, m_top, m_bottom, area.top(), area.height())};
}

void GradientBarWidget::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, palette().color(QPalette::Window));
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // On a bar wider than it has lines (the editor's), a vertical line reaches on to where the
    // next one starts, so no gaps show between them.
    const double span = std::abs(static_cast<double>(m_right) - static_cast<double>(m_left));
    const double pitch = span > 0.0 ? (area.width() - 1) / span : 0.0;
    const int reach = static_cast<int>(std::ceil(pitch));
    for (const Line& line : m_lines) {
        // Whole pixels, so that a later line covers an earlier one on the same column.
        const QPoint from = toPixels(line.x1, line.y1).toPoint();
        const QPoint to = toPixels(line.x2, line.y2).toPoint();
        if (reach > 1 && from.x() == to.x()) {
            const int width = std::max(reach, line.width);
            painter.fillRect(QRect(QPoint(from.x(), std::min(from.y(), to.y())),
                                   QPoint(from.x() + width - 1, std::max(from.y(), to.y()))),
                             line.color);
            continue;
        }
        painter.setPen(QPen(line.color, line.width, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(from, to);
    }
    paintMarkers(painter);
}

void GradientBarWidget::paintMarkers(QPainter& painter) const
{
    if (m_markers.empty())
        return;
    const QRectF area = contentsRect();
    // Pixel centres, as the lines are drawn.
    const double top = area.top() + 0.5;
    const double bottom = area.bottom() + 0.5;
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const BarMarker& marker : m_markers) {
        const double x = markerX(marker) + 0.5;
        // A notch at each edge pointing in, filled with the stop's colour: a dark outline inside
        // a light one reads on every colour the bar can show.
        const QPolygonF notches[] = {
            QPolygonF({QPointF(x - markerHalfWidth, top), QPointF(x + markerHalfWidth, top),
                       QPointF(x, top + markerDepth)}),
            QPolygonF({QPointF(x - markerHalfWidth, bottom), QPointF(x + markerHalfWidth, bottom),
                       QPointF(x, bottom - markerDepth)}),
        };
        for (const QPolygonF& notch : notches) {
            painter.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolygon(notch);
            painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(toQColor(marker.color));
            painter.drawPolygon(notch);
        }
    }
}

void GradientBarWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    m_dragged = markerAt(event->position().toPoint());
}

void GradientBarWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragged) {
        Q_EMIT markerDragged(*m_dragged, placeAt(pos.x()));
        return;
    }
    if (markerAt(pos))
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void GradientBarWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragged.reset();
    QFrame::mouseReleaseEvent(event);
}

void GradientBarWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mouseDoubleClickEvent(event);
        return;
    }
    // The second press of a double click starts no drag.
    m_dragged.reset();
    Q_EMIT barDoubleClicked(placeAt(event->position().toPoint().x()));
}

void GradientBarWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (const auto marker = markerAt(event->pos()))
        Q_EMIT markerMenuRequested(*marker, event->globalPos());
    else
        Q_EMIT barMenuRequested(event->globalPos());
}

} // namespace prismel
