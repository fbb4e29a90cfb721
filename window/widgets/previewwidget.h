#pragma once

#include "preview/textpreview.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QImage>

namespace prismel {

// Picture1: the text preview's picture box. Text is drawn into a kept image, which paintEvent
// shows, so the last Convert's picture stays through covering, resizing and repainting.
//
// Font sizes are realised in whole pixels at 96 dots per inch, as a classic Windows picture box
// does: 10 points become 13 pixels, reported back as 9.75 points. Text that would start below the
// drawable area is not drawn at all; it would be out of sight anyway.
class PreviewWidget : public QFrame, public TextSurface {
    Q_OBJECT
public:
    explicit PreviewWidget(QWidget* parent = nullptr);

    void setFontSize(float points) override;
    float fontSize() const override;
    void cls() override;
    void setForeColor(Rgb color) override;
    void setDecorations(const std::array<bool, decorationCount>& decorations) override;
    void setCurrentX(float twips) override;
    void setCurrentY(float twips) override;
    void print(std::u16string_view text) override;
    float visibleHeight() const override;

    // The picture as it is shown, without the border.
    const QImage& picture() const { return m_image; }

Q_SIGNALS:
    // A right click, or the menu key, asks for the preview's context menu at `globalPos`.
    void menuRequested(QPoint globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFont drawingFont() const;
    void fitImage();

    QImage m_image;
    int m_pixelSize = 0; // 0 until setFontSize(): the widget's own font size
    QColor m_foreColor{0, 0, 0};
    std::array<bool, decorationCount> m_decorations{};
    float m_currentX = 0.0f;
    float m_currentY = 0.0f;
};

} // namespace prismel
