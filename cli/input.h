#pragma once

#include <cstddef>
#include <string_view>

namespace prismel::cli {

// All the bytes of a file or a pipe in one block of memory. A regular file is mapped, at the size
// it has when it is opened; one that cannot be is read into a block of its size. A pipe's block
// grows by remapping, which moves pages instead of copying them, so the peak stays at the
// input's own size either way. Throws std::bad_alloc when the memory runs out.
//
// A mapped file that another process shortens while it is read raises SIGBUS on the lost pages;
// the program's handler turns that into a message.
class InputBytes {
public:
    InputBytes() = default;
    ~InputBytes();
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;

    // Reads `fd` to its end; returns 0, or the errno of the failure.
    int readAll(int fd);

    std::string_view bytes() const { return {m_data, m_size}; }

private:
    void reserve(std::size_t capacity);

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace prismel::cli
