#pragma once

#include "preview/gradientbar.h"

#include <QColor>
#include <QFrame>

#include <vector>

namespace prismel {

// Picture2: the gradient bar's picture box. It records the lines drawn on it since the last
// cls() and paints them in every paintEvent, so the bar drawn during start-up shows from the
// first frame and survives covering, resizing and repainting.
//
// User coordinates map onto the centres of the drawable pixels: the first point of scale() is
// the top-left pixel, the second the bottom-right one, so the first and the last of the 256
// lines both stay visible.
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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Line {
        float x1, y1, x2, y2;
        QColor color;
        int width;
    };

    QPointF toPixels(float x, float y) const;

    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_right = 1.0f;
    float m_bottom = 1.0f;
    int m_drawWidth = 1;
    std::vector<Line> m_lines;
};

} // namespace prismel
