#include "window/adapters/textfile.h"

#include "core/regularfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

namespace prismel {

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("prismel::TextFile", text);
}

TextFileRead failed(QString why)
{
    return {false, {}, std::move(why)};
}

TextFileRead failedBySystem(int error)
{
    return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "无法读取（%1）"))
                      .arg(qt_error_string(error)));
}

TextFileRead tooLarge(qint64 limit)
{
    return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "文件太大：最多可打开 %1 MiB"))
                      .arg(limit / (qint64{1} << 20)));
}

} // namespace

TextFileRead readTextFile(const QString& path, qint64 limit)
{
    // A FIFO or a device would keep the window waiting for bytes that may never come: only a
    // regular file is opened.
    const RegularFileRead file =
        readRegularFile(QFile::encodeName(path).toStdString(), static_cast<std::size_t>(limit));
    using Trouble = RegularFileRead::Trouble;
    switch (file.trouble) {
    case Trouble::None:
        break;
    case Trouble::Missing:
        return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "文件不存在")));
    case Trouble::Folder:
        return failed(
            translated(QT_TRANSLATE_NOOP("prismel::TextFile", "这是一个文件夹，不是文件")));
    case Trouble::NotRegular:
        return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "不是普通文件")));
    case Trouble::TooLarge:
        return tooLarge(limit);
    case Trouble::Failed:
        return failedBySystem(file.error);
    }
    // Stateless, so that a sequence cut off at the end is an error rather than left pending.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(
        QByteArrayView(file.bytes.data(), static_cast<qsizetype>(file.bytes.size())));
    if (decoder.hasError())
        return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "不是 UTF-8 编码的文本")));
    return {true, std::move(text), {}};
}

} // namespace prismel
