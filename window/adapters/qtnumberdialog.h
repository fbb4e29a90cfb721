#pragma once

#include "window/platform.h"

class QWidget;

namespace prismel {

// QInputDialog asking for a whole number, modal to the owner window.
class QtNumberDialog : public NumberDialog {
public:
    explicit QtNumberDialog(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<int> askNumber(const QString& title, const QString& label, int value, int minimum,
                                 int maximum) override;

private:
    QWidget* m_owner;
};

} // namespace prismel
