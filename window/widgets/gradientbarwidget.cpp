#include "window/widgets/gradientbarwidget.h"

#include "window/adapters/qtcolor.h"

#include <QPainter>

#include <algorithm>

namespace prismel {

GradientBarWidget::GradientBarWidget(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
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
    for (const Line& line : m_lines) {
        // Whole pixels, so that a later line covers an earlier one on the same column.
        const QPoint from = toPixels(line.x1, line.y1).toPoint();
        const QPoint to = toPixels(line.x2, line.y2).toPoint();
        painter.setPen(QPen(line.color, line.width, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(from, to);
    }
}

} // namespace prismel
