#pragma once

#include "window/platform.h"

namespace prismel {

// The application's system clipboard.
class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    void setTextAndHtml(const QString& text, const QString& html) override;
    std::optional<QString> text() const override;
    void setImage(const QImage& image, const QByteArray& png) override;
};

} // namespace prismel
