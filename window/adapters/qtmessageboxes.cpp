#include "window/adapters/qtmessageboxes.h"

#include "core/messagetext.h"
#include "window/adapters/qtstring.h"

#include <QDir>
#include <QMessageBox>

#include <algorithm>

namespace prismel {

namespace {

// Wide enough for most paths whole; a longer one would make the box as wide as the screen.
constexpr int kShownPathEms = 36;

// The whole of `text` with its control characters escaped as printable() escapes them; piece by
// piece, since printable() cuts a long text short, and never between the halves of a pair.
QString escapedWhole(const QString& text)
{
    constexpr auto piece = static_cast<qsizetype>(longestShownValue / 2);
    QString escaped;
    for (qsizetype from = 0; from < text.size();) {
        qsizetype to = std::min(from + piece, text.size());
        if (to < text.size() && text.at(to - 1).isHighSurrogate())
            --to;
        escaped += toQString(printable(view(text).substr(static_cast<std::size_t>(from),
                                                         static_cast<std::size_t>(to - from))));
        from = to;
    }
    return escaped;
}

} // namespace

void QtMessageBoxes::inform(const QString& title, const QString& prompt)
{
    show(title, prompt, {});
}

void QtMessageBoxes::informAboutFile(const QString& title, const QString& prompt,
                                     const QString& path)
{
    show(title, prompt, path);
}

void QtMessageBoxes::show(const QString& title, const QString& prompt, const QString& path)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok, m_owner);
    // The prompt holds configured names and addresses; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    if (path.isNull()) {
        box.setText(prompt);
    } else {
        const QString whole = escapedWhole(QDir::toNativeSeparators(path));
        const QFontMetrics metrics = box.fontMetrics();
        box.setText(prompt.arg(metrics.elidedText(
            whole, Qt::ElideMiddle, metrics.horizontalAdvance(u'M') * kShownPathEms)));
        box.setDetailedText(whole);
    }
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

} // namespace prismel
