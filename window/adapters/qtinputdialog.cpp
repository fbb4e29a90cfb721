#include "window/adapters/qtinputdialog.h"

#include <QInputDialog>
#include <QLineEdit>

namespace prismel {

std::optional<int> QtInputDialog::askNumber(const QString& title, const QString& label, int value,
                                            int minimum, int maximum)
{
    bool accepted = false;
    const int number =
        QInputDialog::getInt(m_owner, title, label, value, minimum, maximum, 1, &accepted);
    if (!accepted)
        return std::nullopt;
    return number;
}

std::optional<QString> QtInputDialog::askText(const QString& title, const QString& label,
                                              const QString& value)
{
    bool accepted = false;
    QString text =
        QInputDialog::getText(m_owner, title, label, QLineEdit::Normal, value, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

} // namespace prismel
