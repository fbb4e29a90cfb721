#include "window/adapters/qtnumberdialog.h"

#include <QInputDialog>

namespace prismel {

std::optional<int> QtNumberDialog::askNumber(const QString& title, const QString& label, int value,
                                             int minimum, int maximum)
{
    bool accepted = false;
    const int number =
        QInputDialog::getInt(m_owner, title, label, value, minimum, maximum, 1, &accepted);
    if (!accepted)
        return std::nullopt;
    return number;
}

} // namespace prismel
