#include "window/adapters/qtmessageboxes.h"

#include <QMessageBox>

namespace prismel {

void QtMessageBoxes::inform(const QString& title, const QString& prompt)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, m_owner);
    // The prompt holds configured names and addresses; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

} // namespace prismel
