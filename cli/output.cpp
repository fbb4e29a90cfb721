#include "output.h"

#include "cli/utf8.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace prismel::cli {

namespace {

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

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
    std::size_t written = 0;
    while (m_error == 0 && written < m_used) {
        const ssize_t n = ::write(m_fd, m_buffer.get() + written, m_used - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
        } else {
            written += static_cast<std::size_t>(n);
        }
    }
    m_used = 0;
    return m_error == 0;
}

} // namespace prismel::cli
