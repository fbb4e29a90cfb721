#include "window/adapters/qtfiledialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace prismel {

namespace {

// "svg" of "SVG (*.svg)": the suffix a name typed without one gets.
QString suffixOf(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\*\.(\w+))"));
    return pattern.match(filter).captured(1);
}

} // namespace

std::optional<QString> QtFileDialog::askSavePath(const QString& title, const QString& path,
                                                 const QStringList& filters)
{
    QFileDialog dialog(m_owner, title, path);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.setDefaultSuffix(suffixOf(filters.first()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace prismel
