#include "window/adapters/qtcolordialog.h"

#include "window/adapters/qtcolor.h"

#include <QColorDialog>
#include <QPointer>

#include <utility>

namespace prismel {

QtColorDialog::QtColorDialog(QWidget* owner, DialogFactory factory)
    : m_owner(owner), m_factory(std::move(factory))
{
}

QColorDialog* QtColorDialog::makeDialog(QWidget* owner)
{
    auto* dialog = new QColorDialog(owner);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::WindowModal);
    return dialog;
}

std::optional<Rgb> QtColorDialog::chooseColor()
{
    // The dialog reads the custom colours when it is built, so reset them first.
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, QColor(Qt::black));
    }

    // Guarded: closing the owner while the dialog runs deletes the dialog with it.
    QPointer<QColorDialog> dialog = m_factory(m_owner);
    const int result = dialog->exec();
    if (dialog == nullptr) {
        return std::nullopt;
    }
    const QColor color = dialog->selectedColor();
    delete dialog.data();
    if (result != QDialog::Accepted || !color.isValid()) {
        return std::nullopt;
    }
    return toRgb(color);
}

} // namespace prismel
