#include "window/adapters/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace prismel {

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

void QtClipboard::setTextAndHtml(const QString& text, const QString& html)
{
    auto* data = new QMimeData;
    data->setText(text);
    data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data); // the clipboard takes ownership
}

std::optional<QString> QtClipboard::text() const
{
    // QClipboard::text() gives "" both for an empty text and for no text; only the mime data
    // tells them apart.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasText()) {
        return std::nullopt;
    }
    return data->text();
}

void QtClipboard::setImage(const QImage& image, const QByteArray& png)
{
    auto* data = new QMimeData;
    data->setImageData(image);
    // Qt would encode the image again for each program that asks; the PNG made once is offered
    // as it is.
    data->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(data); // the clipboard takes ownership
}

} // namespace prismel
