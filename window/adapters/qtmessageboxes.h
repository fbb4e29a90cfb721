#pragma once

#include "window/platform.h"

class QWidget;

namespace prismel {

// OK-only QMessageBox, modal to the owner window, showing its texts as plain text.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    void inform(const QString& title, const QString& prompt) override;
    void informAboutFile(const QString& title, const QString& prompt, const QString& path) override;

private:
    void show(const QString& title, const QString& prompt, const QString& path);

    QWidget* m_owner;
};

} // namespace prismel
