#include "window/adapters/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Why what `status` describes is not to be read as a text, or nothing when it may be.
std::optional<TextFileRead> refused(const struct stat& status, qint64 limit)
{
    if (S_ISDIR(status.st_mode))
        return failed(
            translated(QT_TRANSLATE_NOOP("prismel::TextFile", "这是一个文件夹，不是文件")));
    // A FIFO or a device would keep the window waiting for bytes that may never come.
    if (!S_ISREG(status.st_mode))
        return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "不是普通文件")));
    if (status.st_size > limit)
        return tooLarge(limit);
    return std::nullopt;
}

// Closes the descriptor it holds when it goes.
struct Descriptor {
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

} // namespace

TextFileRead readTextFile(const QString& path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening, so that a FIFO is never opened at all, and again once open, in
    // case something else was put in the file's place meanwhile.
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT
                   ? failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "文件不存在")))
                   : failedBySystem(errno);
    if (auto refusal = refused(status, limit))
        return *std::move(refusal);
    const Descriptor in{::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (in.fd < 0 || ::fstat(in.fd, &status) != 0)
        return failedBySystem(errno);
    if (auto refusal = refused(status, limit))
        return *std::move(refusal);
    // The file may grow while it is read: one byte more than its size is asked for, to see it
    // end, and the limit holds all the same.
    QByteArray bytes(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                break;
            bytes.resize(static_cast<qsizetype>(std::min(qint64{got} * 2, limit + 1)));
        }
        const ssize_t n =
            ::read(in.fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failedBySystem(errno);
        if (n == 0)
            break;
        got += n;
    }
    if (got > limit)
        return tooLarge(limit);
    bytes.truncate(got);
    // Stateless, so that a sequence cut off at the end is an error rather than left pending.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return failed(translated(QT_TRANSLATE_NOOP("prismel::TextFile", "不是 UTF-8 编码的文本")));
    return {true, std::move(text), {}};
}

} // namespace prismel
