#include "window/adapters/savedgradients.h"

#include "window/adapters/qtstring.h"
#include "window/adapters/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace prismel {

namespace {

QString gradientsPath()
{
    return QString::fromLocal8Bit(userGradientsPath());
}

} // namespace

std::vector<NamedGradient> loadSavedGradients()
{
    const QString path = gradientsPath();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    const TextFileRead file = readTextFile(path);
    if (!file.ok)
        return {};
    return parseGradientsFile(view(file.text)).gradients;
}

QString saveGradient(std::u16string_view name, const Gradient& gradient)
{
    const QString path = gradientsPath();
    if (path.isEmpty())
        return QCoreApplication::translate("prismel::SavedGradients",
                                           "没有设置 HOME 或 XDG_CONFIG_HOME，不知道该保存到哪里");
    QString old;
    if (QFileInfo::exists(path)) {
        // A file that cannot be read is left alone rather than replaced by one line.
        const TextFileRead file = readTextFile(path);
        if (!file.ok)
            return QCoreApplication::translate("prismel::SavedGradients", "无法读取“%1”：%2")
                .arg(QDir::toNativeSeparators(path), file.error);
        old = file.text;
    }
    const std::u16string text = withGradientLine(view(old), name, gradient);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QCoreApplication::translate("prismel::SavedGradients", "无法创建“%1”")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    const QByteArray bytes = QString::fromStdU16String(text).toUtf8();
    QSaveFile out(path);
    const auto failed = [&](const QString& why) {
        out.cancelWriting();
        return QCoreApplication::translate("prismel::SavedGradients", "无法写入“%1”：%2")
            .arg(QDir::toNativeSeparators(path), why);
    };
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        return failed(out.errorString());
    // A write the disc cut short (full, or over a size limit) can pass unnoticed and be renamed
    // over the old file all the same, so the new one's size is checked first.
    if (out.size() != bytes.size())
        return failed(QCoreApplication::translate("prismel::SavedGradients", "磁盘已满"));
    if (!out.commit())
        return failed(out.errorString());
    return {};
}

} // namespace prismel
