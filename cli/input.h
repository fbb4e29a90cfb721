#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace prismel::cli {

// The memory this process may take without pushing others out: MemAvailable of /proc/meminfo,
// the free pages the C library counts when that cannot be read, or no bound when neither can.
std::size_t availableMemory();

// All the bytes of a file or a pipe in one block of memory. A regular file is mapped, at the size
// it has when it is opened, unless it is to be copied; one that cannot be mapped is read into a
// block of its size. A pipe's block grows by remapping, which moves pages instead of copying
// them, so the peak stays at the input's own size either way. Throws std::bad_alloc when the
// memory runs out.
//
// A mapped file that another process shortens while it is read raises SIGBUS on the lost pages
// (see exitWhenPagesAreLost()); one it rewrites changes under the reader.
class InputBytes {
public:
    // How a regular file is taken: where it lies in the page cache, or copied into memory of the
    // program's own, which no other process can change between two reads of it.
    enum class Regular { Map, Copy };

    InputBytes() = default;
    ~InputBytes();
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;

    // Reads `fd` to its end; returns 0, EFBIG when more than `limit` bytes were to be copied
    // (an input that never ends, from /dev/zero or an endless pipe), or the errno of the failure.
    // A mapped file takes no memory of its own and is not held to `limit`.
    int readAll(int fd, Regular regular = Regular::Map, std::size_t limit = availableMemory());

    std::string_view bytes() const { return {m_data, m_size}; }
    bool mapped() const { return m_mapped; }

    // Whether the regular file open as `fd`, the one read, now has another size or modification
    // time than when readAll() began: it was written while being read. False for a pipe.
    bool changedSinceRead(int fd) const;

private:
    void reserve(std::size_t capacity);

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    bool m_mapped = false;
    bool m_regular = false;
    off_t m_fileSize = 0;
    timespec m_modified{};
};

// A sum of `bytes` in which any one change, and a change of order, shows: two runs of a mapped
// file's bytes compare by it at a fraction of the cost of checking them again. Not a defence
// against changes made to keep it.
std::uint64_t fingerprintOf(std::string_view bytes);

// From here on, a SIGBUS on the pages of `input` ends the program with `message` as one line on
// standard error and exit status 74 (EX_IOERR): another process has cut the mapped file short
// under the reader. Any other SIGBUS keeps its default action: it is a fault of its own.
void exitWhenPagesAreLost(const InputBytes& input, std::string message);

} // namespace prismel::cli
