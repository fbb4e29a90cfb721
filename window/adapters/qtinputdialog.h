#pragma once

#include "window/platform.h"

class QWidget;

namespace prismel {

// QInputDialog asking for a whole number or a line of text, modal to the owner window.
class QtInputDialog : public InputDialog {
public:
    explicit QtInputDialog(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<int> askNumber(const QString& title, const QString& label, int value, int minimum,
                                 int maximum) override;
    std::optional<QString> askText(const QString& title, const QString& label,
                                   const QString& value) override;

private:
    QWidget* m_owner;
};

} // namespace prismel
