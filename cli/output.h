#pragma once

#include <cstdint>
#include <string_view>

namespace prismel::cli {

// Writes all of `bytes` to `fd`, retrying after signals; returns 0, or the errno of the failure.
int writeAll(int fd, std::string_view bytes);

// The lengths of UTF-8 text as --stats gives them.
struct TextLengths {
    std::uint64_t chars = 0;
    std::uint64_t bytes = 0;
    std::uint64_t utf16Units = 0;
};

// Where the converted code goes: blocks of UTF-8 written to a file descriptor. The first write
// error is kept: later blocks are dropped, and the caller reports the error once at the end.
// When asked, it measures what it writes.
class FdSink {
public:
    FdSink(int fd, bool measure) : m_fd(fd), m_measure(measure) {}

    void operator()(std::u8string_view block);
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }
    // What was written, when measuring.
    const TextLengths& written() const { return m_written; }

private:
    int m_fd;
    bool m_measure;
    int m_error = 0;
    TextLengths m_written;
};

} // namespace prismel::cli
