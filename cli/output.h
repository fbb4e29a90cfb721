#pragma once

#include "core/regularfile.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace prismel::cli {

// The lengths of UTF-8 text as --stats gives them.
struct TextLengths {
    std::uint64_t chars = 0;
    std::uint64_t bytes = 0;
    std::uint64_t utf16Units = 0;
};

// Where the converted code goes: blocks of UTF-8 written to a file descriptor. The first write
// error is kept: later blocks are dropped, and the caller reports the error once at the end.
// When asked, it measures what it writes.
//
// Blocks handed over whole are written by a thread of its own while the caller fills the next,
// so that the conversion and the kernel's copying overlap; the thread starts at the second
// block, so a short code is written without one. Everything reaches the file descriptor in the
// order it was given. The results below hold once finish() has returned.
class FdSink {
public:
    // The block size the converter should fill: large enough that a write and a wake-up cost
    // little beside the copying, small enough that the three blocks in flight stay in cache.
    static constexpr std::size_t blockSize = std::size_t{512} << 10;

    FdSink(int fd, bool measure) : m_fd(fd), m_measure(measure) {}
    FdSink(const FdSink&) = delete;
    FdSink& operator=(const FdSink&) = delete;
    ~FdSink() { finish(); }

    // Writes `piece` once everything handed over before it is written.
    void operator()(std::u8string_view piece);
    // Queues `used` bytes of `block` and returns an empty block of at least `capacity` bytes.
    std::unique_ptr<char8_t[]> handOver(std::unique_ptr<char8_t[]> block, std::size_t used,
                                        std::size_t capacity);
    // Waits until everything given is written, or dropped after an error.
    void finish();

    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }
    // What was written, when measuring.
    const TextLengths& written() const { return m_written; }

private:
    struct Block {
        std::unique_ptr<char8_t[]> data;
        std::size_t used = 0;
        std::size_t capacity = 0;
    };

    void write(std::u8string_view bytes);
    void writeQueued(std::unique_lock<std::mutex>& lock);
    void writeLoop();

    int m_fd;
    bool m_measure;
    int m_error = 0;
    TextLengths m_written;

    std::mutex m_mutex;
    std::condition_variable m_work; // for the writer thread: blocks queued, or stop
    std::condition_variable m_room; // for the caller: a block written
    std::deque<Block> m_queued;
    std::vector<Block> m_free;
    bool m_writing = false;  // the thread holds a block taken from m_queued
    bool m_stopping = false; // the thread ends once m_queued is empty
    bool m_alone = false;    // no thread could be started; the caller writes
    std::thread m_writer;
};

} // namespace prismel::cli
