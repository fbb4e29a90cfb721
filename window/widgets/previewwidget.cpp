#include "window/widgets/previewwidget.h"

#include "window/adapters/qtcolor.h"
#include "window/form/twips.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace prismel {

namespace {

constexpr double pixelsPerPoint = 96.0 / 72.0;

// Line breaks, tabs and other control characters take their place in the text but show nothing.
// A chunk can be a large part of a long text; only its first `limit` code units can reach the
// visible area, since no character that shows is narrower than a quarter of a pixel.
QString printable(std::u16string_view text, std::size_t limit)
{
    text = text.substr(0, limit);
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char16_t c : text) {
        if (c >= 0x20 && c != 0x7f)
            out.append(QChar(c));
    }
    return out;
}

} // namespace

PreviewWidget::PreviewWidget(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

QFont PreviewWidget::drawingFont() const
{
    QFont face = font();
    if (m_pixelSize > 0)
        face.setPixelSize(m_pixelSize);
    const auto on = [this](Decoration d) { return m_decorations[static_cast<std::size_t>(d)]; };
    // Left alone when off, so that an undecorated preview draws in the very face it always has.
    if (on(Decoration::Bold))
        face.setBold(true);
    if (on(Decoration::Italic))
        face.setItalic(true);
    if (on(Decoration::Underline))
        face.setUnderline(true);
    if (on(Decoration::Strikethrough))
        face.setStrikeOut(true);
    return face;
}

void PreviewWidget::setFontSize(float points)
{
    const double pixels = std::round(static_cast<double>(points) * pixelsPerPoint);
    m_pixelSize = static_cast<int>(std::clamp(pixels, 1.0, 1000.0));
}

float PreviewWidget::fontSize() const
{
    const QFont face = drawingFont();
    const double pixels =
        face.pixelSize() > 0 ? face.pixelSize() : face.pointSizeF() * pixelsPerPoint;
    return static_cast<float>(pixels / pixelsPerPoint);
}

void PreviewWidget::fitImage()
{
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    if (m_image.size() == size)
        return;
    QImage fitted(size, QImage::Format_RGB32);
    fitted.fill(palette().color(QPalette::Window));
    if (!m_image.isNull()) {
        QPainter painter(&fitted);
        painter.drawImage(0, 0, m_image);
    }
    m_image = fitted;
}

void PreviewWidget::cls()
{
    fitImage();
    m_image.fill(palette().color(QPalette::Window));
    m_currentX = 0.0f;
    m_currentY = 0.0f;
    update();
}

void PreviewWidget::setForeColor(Rgb color)
{
    m_foreColor = toQColor(color);
}

void PreviewWidget::setDecorations(const std::array<bool, decorationCount>& decorations)
{
    m_decorations = decorations;
}

void PreviewWidget::setCurrentX(float twips)
{
    m_currentX = twips;
}

void PreviewWidget::setCurrentY(float twips)
{
    m_currentY = twips;
}

void PreviewWidget::print(std::u16string_view text)
{
    fitImage();
    const QFont face = drawingFont();
    const QFontMetricsF metrics(face);
    const double x = static_cast<double>(m_currentX) / twipsPerPixel;
    const double y = static_cast<double>(m_currentY) / twipsPerPixel;
    // After a print the position moves to the start of the next line, as on a picture box.
    m_currentX = 0.0f;
    m_currentY += static_cast<float>(metrics.height() * twipsPerPixel);
    if (y >= m_image.height() || x >= m_image.width() || y + metrics.height() <= 0)
        return;
    const auto room = static_cast<std::size_t>(std::ceil(m_image.width() - x)) * 4 + 2;
    const QString shown = printable(text, room);
    if (shown.isEmpty())
        return;
    QPainter painter(&m_image);
    painter.setFont(face);
    painter.setPen(m_foreColor);
    painter.drawText(QPointF(x, y + metrics.ascent()), shown);
    update();
}

float PreviewWidget::visibleHeight() const
{
    return static_cast<float>(contentsRect().height() * twipsPerPixel);
}

void PreviewWidget::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, palette().color(QPalette::Window));
    painter.drawImage(area.topLeft(), m_image);
}

void PreviewWidget::contextMenuEvent(QContextMenuEvent* event)
{
    Q_EMIT menuRequested(event->globalPos());
    event->accept();
}

void PreviewWidget::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitImage();
}

} // namespace prismel
