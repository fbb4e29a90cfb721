#include "output.h"

#include "cli/utf8.h"
#include "core/chunking.h"

#include <algorithm>
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

Utf8Output::Utf8Output(int fd) : m_fd(fd), m_buffer(std::make_unique<char[]>(bufferSize)) {}

void Utf8Output::append(std::u16string_view text)
{
    // A chunk can be as long as the whole input, so it goes out in slices that fit the buffer.
    constexpr std::size_t unitsPerBuffer = bufferSize / maxUtf8PerUnit;
    while (!text.empty() && m_error == 0) {
        if (bufferSize - m_used < maxUtf8PerUnit * std::min(text.size(), unitsPerBuffer))
            flush();
        std::size_t units = std::min(text.size(), (bufferSize - m_used) / maxUtf8PerUnit);
        // Keep a surrogate pair in one slice so it is encoded as one character.
        if (units < text.size() && units > 1 && isHighSurrogate(text[units - 1]))
            --units;
        m_used = static_cast<std::size_t>(
            encodeUtf8(m_buffer.get() + m_used, text.substr(0, units)) - m_buffer.get());
        text.remove_prefix(units);
    }
}

bool Utf8Output::flush()
{
    if (m_error == 0)
        m_error = writeAll(m_fd, std::string_view(m_buffer.get(), m_used));
    m_used = 0;
    return m_error == 0;
}

} // namespace prismel::cli
