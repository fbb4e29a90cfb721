#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace prismel {

/// A file descriptor, closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    /// Closes the one held and holds `fd` instead.
    void reset(int fd);

private:
    int m_fd;
};

/// What reading a file that should be a regular one gave: its bytes, or why there are none.
struct RegularFileRead {
    enum class Trouble {
        None,
        Missing,    ///< nothing stands at the path
        Folder,     ///< a directory
        NotRegular, ///< a FIFO, socket or device: never opened
        TooLarge,   ///< over the limit
        Failed,     ///< the system said no; `error` says why
    };
    std::string bytes;
    Trouble trouble = Trouble::None;
    int error = 0;           ///< errno, with Failed
    struct stat status = {}; ///< of the file as it was read, when it was
};

/// The whole of the regular file at `path`, links followed, if it holds at most `limit` bytes,
/// without ever waiting: what stands there is looked at before it is opened, so that a FIFO or
/// a device is never opened at all, and again once open, in case something else was put in its
/// place meanwhile. A file that grows while it is read is read to one byte past the limit.
RegularFileRead readRegularFile(const std::string& path, std::size_t limit);

/// Writes all of `bytes` to `fd`, again after an interruption; 0, or the errno of the failure.
int writeAll(int fd, std::string_view bytes);

} // namespace prismel
