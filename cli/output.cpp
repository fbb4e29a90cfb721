#include "output.h"

#include <cerrno>
#include <unistd.h>

namespace prismel::cli {

int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

void FdSink::operator()(std::u8string_view block)
{
    if (m_error != 0)
        return;
    m_error = writeAll(m_fd, {reinterpret_cast<const char*>(block.data()), block.size()});
    if (!m_measure)
        return;
    // Every byte but a continuation byte starts a character; one of four bytes is two units.
    std::uint64_t starts = 0;
    std::uint64_t fourByteStarts = 0;
    for (const char8_t byte : block) {
        starts += (byte & 0xC0) != 0x80;
        fourByteStarts += byte >= 0xF0;
    }
    m_written.chars += starts;
    m_written.bytes += block.size();
    m_written.utf16Units += starts + fourByteStarts;
}

} // namespace prismel::cli
