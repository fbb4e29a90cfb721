#pragma once

#include <string>
#include <string_view>

namespace prismel::cli {

// Buffers UTF-8 for a file descriptor and remembers the first write error, so the converter can
// stream a large result in bounded memory and still report a full disk or a closed pipe.
class Utf8Output {
public:
    explicit Utf8Output(int fd) : m_fd(fd) { m_buffer.reserve(bufferSize + 64); }

    void append(std::u16string_view text);
    // Writes what is buffered; false once any write has failed.
    bool flush();
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

private:
    static constexpr std::size_t bufferSize = 64 * 1024;

    int m_fd;
    int m_error = 0;
    std::string m_buffer;
};

} // namespace prismel::cli
