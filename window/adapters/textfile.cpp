#include "window/adapters/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace prismel {

TextFileRead readTextFile(const QString& path, qint64 limit)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {false, {}, QCoreApplication::translate("prismel::TextFile", "文件不存在")};
    if (info.isDir())
        return {false,
                {},
                QCoreApplication::translate("prismel::TextFile", "这是一个文件夹，不是文件")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false,
                {},
                QCoreApplication::translate("prismel::TextFile", "无法读取（%1）")
                    .arg(file.errorString())};
    // A pipe or device has no size to go by, so the limit is held while reading.
    const QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return {false,
                {},
                QCoreApplication::translate("prismel::TextFile", "文件太大：最多可打开 %1 MiB")
                    .arg(limit / (qint64{1} << 20))};
    if (file.error() != QFileDevice::NoError)
        return {false,
                {},
                QCoreApplication::translate("prismel::TextFile", "无法读取（%1）")
                    .arg(file.errorString())};
    // Stateless, so that a sequence cut off at the end is an error rather than left pending.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {
            false, {}, QCoreApplication::translate("prismel::TextFile", "不是 UTF-8 编码的文本")};
    return {true, std::move(text), {}};
}

} // namespace prismel
