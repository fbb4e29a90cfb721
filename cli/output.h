#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace prismel::cli {

// Writes all of `bytes` to `fd`, retrying after signals; returns 0, or the errno of the failure.
int writeAll(int fd, std::string_view bytes);

// Encodes text as UTF-8 into a fixed buffer and writes it to a file descriptor whenever the buffer
// fills, so a large result streams out in bounded memory. The first write error is kept: later
// text is dropped, and the caller reports the error once at the end.
class Utf8Output {
public:
    explicit Utf8Output(int fd);

    void append(std::u16string_view text);
    // Writes what is buffered; false once any write has failed.
    bool flush();
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

private:
    static constexpr std::size_t bufferSize = std::size_t{64} * 1024;

    int m_fd;
    int m_error = 0;
    std::size_t m_used = 0;
    std::unique_ptr<char[]> m_buffer;
};

} // namespace prismel::cli
