#pragma once

#include "window/platform.h"

namespace prismel {

// The application's system clipboard, plain text only.
class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    std::optional<QString> text() const override;
};

} // namespace prismel
