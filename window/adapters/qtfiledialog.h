#pragma once

#include "window/platform.h"

class QWidget;

namespace prismel {

// Qt's save dialog, modal to the owner window.
class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<QString> askSavePath(const QString& title, const QString& path,
                                       const QStringList& filters) override;

private:
    QWidget* m_owner;
};

} // namespace prismel
