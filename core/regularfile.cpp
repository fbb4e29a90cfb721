#include "regularfile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace prismel {

FileDescriptor::~FileDescriptor()
{
    reset(-1);
}

void FileDescriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

RegularFileRead readRegularFile(const std::string& path, std::size_t limit)
{
    using Trouble = RegularFileRead::Trouble;
    RegularFileRead file;
    const auto failed = [&file](int error) {
        file.trouble = error == ENOENT ? Trouble::Missing : Trouble::Failed;
        file.error = error;
        return std::move(file);
    };
    const auto usable = [&file, limit](const struct stat& status) {
        if (S_ISDIR(status.st_mode))
            file.trouble = Trouble::Folder;
        else if (!S_ISREG(status.st_mode))
            file.trouble = Trouble::NotRegular;
        else if (static_cast<std::uint64_t>(status.st_size) > limit)
            file.trouble = Trouble::TooLarge;
        return file.trouble == Trouble::None;
    };
    if (::stat(path.c_str(), &file.status) != 0)
        return failed(errno);
    if (!usable(file.status))
        return file;
    const FileDescriptor in{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (in.get() < 0 || ::fstat(in.get(), &file.status) != 0)
        return failed(errno);
    if (!usable(file.status))
        return file;
    file.bytes.resize(static_cast<std::size_t>(file.status.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == file.bytes.size()) {
            if (got > limit)
                break;
            file.bytes.resize(std::min(got * 2, limit + 1));
        }
        const ssize_t n = ::read(in.get(), file.bytes.data() + got, file.bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    file.bytes.resize(got);
    if (got > limit) {
        file.bytes.clear();
        file.trouble = Trouble::TooLarge;
    }
    return file;
}

int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

} // namespace prismel
