#include "output.h"

#include "cli/utf8.h"

#include <cerrno>
#include <unistd.h>

namespace prismel::cli {

void Utf8Output::append(std::u16string_view text)
{
    appendUtf8(m_buffer, text);
    if (m_buffer.size() >= bufferSize)
        flush();
}

bool Utf8Output::flush()
{
    std::size_t written = 0;
    while (m_error == 0 && written < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + written, m_buffer.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
        } else {
            written += static_cast<std::size_t>(n);
        }
    }
    m_buffer.clear();
    return m_error == 0;
}

} // namespace prismel::cli
