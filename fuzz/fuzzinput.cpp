#include "fuzzinput.h"

#include <algorithm>

namespace prismel::fuzzing {

namespace {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::uint8_t byte()
    {
        if (m_at >= m_data.size())
            return 0;
        return m_data[m_at++];
    }

    // Up to `count` little-endian code units; fewer when the data ends first.
    std::u16string units(std::size_t count)
    {
        const std::size_t available = (m_data.size() - m_at) / 2;
        count = std::min(count, available);
        std::u16string text(count, u'\0');
        for (auto& unit : text) {
            unit = static_cast<char16_t>(m_data[m_at] | m_data[m_at + 1] << 8);
            m_at += 2;
        }
        return text;
    }

    std::u16string countedUnits() { return units(byte()); }

    std::u16string rest() { return units(m_data.size()); }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_at = 0;
};

} // namespace

FuzzInput decodeFuzzInput(std::span<const std::uint8_t> data)
{
    ByteReader reader(data);
    FuzzInput input;
    for (std::int16_t* channel : {&input.colors.StartR, &input.colors.StartG, &input.colors.StartB,
                                  &input.colors.EndR, &input.colors.EndG, &input.colors.EndB})
        *channel = reader.byte();
    input.stepText = reader.countedUnits();
    input.tags.TagHead = reader.countedUnits();
    input.tags.TagMid = reader.countedUnits();
    input.tags.TagClose = reader.countedUnits();
    input.text = reader.rest();
    return input;
}

} // namespace prismel::fuzzing
