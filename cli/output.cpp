#include "output.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace prismel::cli {

namespace {

// Blocks with the writer thread, written or waiting, beside the one being filled: one more than
// two lets a slow write or a fast stretch of conversion pass without either side waiting.
constexpr std::size_t blocksWithWriter = 2;
// The writer, mostly the faster of the two, is woken for this many blocks at a time: a wake-up
// costs about as much as writing a tenth of a block.
constexpr std::size_t blocksPerWakeUp = 2;

} // namespace

// Called by one thread at a time: the writer thread, or the caller while that thread is idle.
void FdSink::write(std::u8string_view bytes)
{
    if (m_error != 0)
        return;
    m_error = writeAll(m_fd, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    if (!m_measure)
        return;
    // Every byte but a continuation byte starts a character; one of four bytes is two units.
    std::uint64_t starts = 0;
    std::uint64_t fourByteStarts = 0;
    for (const char8_t byte : bytes) {
        starts += (byte & 0xC0) != 0x80;
        fourByteStarts += byte >= 0xF0;
    }
    m_written.chars += starts;
    m_written.bytes += bytes.size();
    m_written.utf16Units += starts + fourByteStarts;
}

// Waits for the writer thread to write what is queued, or, without one, writes it here.
void FdSink::writeQueued(std::unique_lock<std::mutex>& lock)
{
    if (m_writer.joinable()) {
        m_work.notify_one();
        m_room.wait(lock, [this] { return m_queued.empty() && !m_writing; });
        return;
    }
    while (!m_queued.empty()) {
        Block block = std::move(m_queued.front());
        m_queued.pop_front();
        write({block.data.get(), block.used});
        m_free.push_back(std::move(block));
    }
}

void FdSink::operator()(std::u8string_view piece)
{
    std::unique_lock lock(m_mutex);
    writeQueued(lock);
    write(piece);
}

std::unique_ptr<char8_t[]> FdSink::handOver(std::unique_ptr<char8_t[]> block, std::size_t used,
                                            std::size_t capacity)
{
    std::unique_lock lock(m_mutex);
    m_queued.push_back({std::move(block), used, capacity});
    if (!m_writer.joinable() && m_queued.size() > 1 && !m_alone) {
        try {
            m_writer = std::thread([this] { writeLoop(); });
        } catch (const std::system_error&) {
            m_alone = true;
        }
    }
    // The writer sleeps only with nothing queued, so it is awake whenever this waits.
    const bool wake = m_writer.joinable() && m_queued.size() >= blocksPerWakeUp;
    if (m_writer.joinable())
        m_room.wait(lock,
                    [this] { return m_queued.size() + (m_writing ? 1 : 0) <= blocksWithWriter; });
    else if (m_alone)
        writeQueued(lock);
    std::unique_ptr<char8_t[]> empty;
    for (auto it = m_free.begin(); it != m_free.end(); ++it) {
        if (it->capacity >= capacity) {
            empty = std::move(it->data);
            m_free.erase(it);
            break;
        }
    }
    lock.unlock();
    // Told with the lock let go, so that the writer does not wake only to wait for it.
    if (wake)
        m_work.notify_one();
    return empty ? std::move(empty) : std::make_unique_for_overwrite<char8_t[]>(capacity);
}

void FdSink::writeLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return !m_queued.empty() || m_stopping; });
        if (m_queued.empty())
            return;
        Block block = std::move(m_queued.front());
        m_queued.pop_front();
        m_writing = true;
        lock.unlock();
        write({block.data.get(), block.used});
        lock.lock();
        m_writing = false;
        m_free.push_back(std::move(block));
        m_room.notify_one();
    }
}

void FdSink::finish()
{
    std::unique_lock lock(m_mutex);
    writeQueued(lock);
    if (!m_writer.joinable())
        return;
    m_stopping = true;
    m_work.notify_one();
    lock.unlock();
    m_writer.join();
    m_stopping = false;
}

} // namespace prismel::cli
