#pragma once

#include "preview/gradientbar.h"

#include <QColor>
#include <QFrame>

#include <optional>
#include <vector>

namespace prismel {

// A mark over the bar: `at` is the fraction of the bar's width, 0 at the first line's pixel and 1
// at the last's.
struct BarMarker {
    double at = 0.0;
    Rgb color;

    friend bool operator==(const BarMarker&, const BarMarker&) = default;
};

// Picture2: the gradient bar's picture box. It records the lines drawn on it since the last
// cls() and paints them in every paintEvent, so the bar drawn during start-up shows from the
// first frame and survives covering, resizing and repainting.
//
// User coordinates map onto the centres of the drawable pixels: the first point of scale() is
// the top-left pixel, the second the bottom-right one, so the first and the last of the 256
// lines both stay visible.
//
// Markers are painted over the lines and outlive cls(); the bar reports what the mouse does to
// them and to the bar as places in hundredths of a percent, and leaves it to its owner to act.
class GradientBarWidget : public QFrame, public GradientSurface {
    Q_OBJECT
public:
    explicit GradientBarWidget(QWidget* parent = nullptr);

    void scale(float x1, float y1, float x2, float y2) override;
    void cls() override;
    void setDrawWidth(int pixels) override;
    void line(float x1, float y1, float x2, float y2, Rgb color) override;

    // How many lines the picture holds now.
    std::size_t lineCount() const { return m_lines.size(); }

    void setMarkers(std::vector<BarMarker> markers);
    const std::vector<BarMarker>& markers() const { return m_markers; }

    // The place under pixel column `x` of the widget, 0 to 10000, rounded and clamped.
    int placeAt(int x) const;
    // The marker under `pos`, the one drawn on top where they overlap.
    std::optional<int> markerAt(QPoint pos) const;

Q_SIGNALS:
    void barDoubleClicked(int place);
    // While a marker is dragged: the place under the mouse, not yet clamped by anything.
    void markerDragged(int marker, int place);
    void markerMenuRequested(int marker, QPoint globalPos);
    // A right click away from every marker.
    void barMenuRequested(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Line {
        float x1, y1, x2, y2;
        QColor color;
        int width;
    };

    QPointF toPixels(float x, float y) const;
    double markerX(const BarMarker& marker) const;
    void paintMarkers(QPainter& painter) const;

    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_right = 1.0f;
    float m_bottom = 1.0f;
    int m_drawWidth = 1;
    std::vector<Line> m_lines;
    std::vector<BarMarker> m_markers;
    std::optional<int> m_dragged;
};

} // namespace prismel
