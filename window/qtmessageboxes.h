#pragma once

#include "window/platform.h"

namespace prismel {

// OK-only QMessageBox, modal to the given window, showing its texts as plain text.
class QtMessageBoxes : public MessageBoxes {
public:
    void inform(QWidget* parent, const QString& title, const QString& prompt) override;
};

} // namespace prismel
