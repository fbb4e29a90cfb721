#pragma once

#include "utf8.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace prismel::detail {

template <TextUnit Unit> class ClusterBreaks;

// Whether a chunk end is a cluster boundary is mostly clear from the two characters beside it.
// A character for which isClusterStarter() holds is never joined to what precedes it by any of
// the default cluster rules, unless that is a Prepend character or a joiner (a joiner followed
// by ©, say), which isNeverPrepend() rules out. The lists are conservative, covering only the
// common text that makes up most chunk ends: whatever they leave out goes to the break iterator.
// Every starter is also a never-Prepend, so two starters side by side always have a boundary
// between them, the one test the cursor makes inline.
constexpr bool inRange(char32_t c, char32_t first, char32_t last)
{
    return c - first <= last - first; // below `first` wraps round to a large value
}

constexpr bool isClusterStarter(char32_t c)
{
    return c < 0x0300                       // ASCII and Latin: no mark lies below U+0300
           || inRange(c, 0x0370, 0x0482)    // Greek and Cyrillic letters
           || inRange(c, 0x3000, 0x3029)    // CJK punctuation, before the tone marks
           || inRange(c, 0x4E00, 0x9FFF)    // common CJK ideographs
           || inRange(c, 0xFF01, 0xFF5E)    // full-width forms of ASCII
           || inRange(c, 0x1F300, 0x1F3FA)  // emoji, before the skin-tone modifiers
           || inRange(c, 0x1F400, 0x1FAFF); // emoji, after them
}

constexpr bool isNeverPrepend(char32_t c)
{
    // Every Prepend character lies in U+0600..U+0D4E or U+110BD..U+11F02.
    return c < 0x0600 || inRange(c, 0x3000, 0x9FFF) || inRange(c, 0xFF01, 0xFF5E) || c >= 0x12000;
}

// isClusterStarter() for every BMP unit as one bit: a load in the conversion loop where the
// ranges would cost seven comparisons, mispredicted often in text that mixes Latin and Chinese.
inline constexpr std::array<std::uint64_t, 1024> bmpStarterBits = [] {
    std::array<std::uint64_t, 1024> bits{};
    for (char32_t c = 0; c < 0x10000; ++c)
        if (isClusterStarter(c))
            bits[c / 64] |= std::uint64_t{1} << (c % 64);
    return bits;
}();

constexpr bool isStarterUnit(char16_t unit)
{
    return (bmpStarterBits[unit / 64] >> (unit % 64)) & 1;
}

// UTF-8 as the cursor reads it: the text is well-formed, so a lead byte gives the length.
// Anything else is still read without leaving the text, only into chunks of no set meaning.
// One load gives all the cursor needs of a lead byte: the length, and the part of the
// character's index into bmpStarterBits that the lead holds (see utf8StarterAt()).
struct Utf8Lead {
    std::uint8_t length;
    std::uint8_t threeBytes; // 0x3F for a character of three bytes, whose second byte's six
                             // bits end the index and whose third's pick the bit; else 0
    std::uint16_t indexTop;  // the index's bits from the lead
};

inline constexpr std::array<Utf8Lead, 256> utf8Leads = [] {
    std::array<Utf8Lead, 256> leads{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        auto& lead = leads[byte];
        // A stray continuation byte stands for one character of its own.
        lead.length = byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        // Below U+0080 every bit of bmpStarterBits[0] is set; a character of two bytes lies in
        // the first 32 words, one of three fills the index with its lead's four bits and the
        // second byte's six.
        if (lead.length == 2)
            lead.indexTop = static_cast<std::uint16_t>(byte & 0x1F);
        if (lead.length == 3) {
            lead.indexTop = static_cast<std::uint16_t>((byte & 0x0F) << 6);
            lead.threeBytes = 0x3F;
        }
    }
    return leads;
}();

constexpr std::size_t utf8Length(char8_t lead)
{
    return utf8Leads[lead].length;
}

// The code point that starts at `at`, `at` < text.size().
constexpr char32_t utf8CodePointAt(std::u8string_view text, std::size_t at)
{
    const std::size_t length = std::min(utf8Length(text[at]), text.size() - at);
    constexpr char8_t leadMasks[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = text[at] & leadMasks[length - 1];
    for (std::size_t k = 1; k < length; ++k)
        c = (c << 6) | (text[at + k] & 0x3Fu);
    return c;
}

// The code point that ends at `end`, 0 < `end`.
constexpr char32_t utf8CodePointBefore(std::u8string_view text, std::size_t end)
{
    std::size_t at = end - 1;
    while (at > 0 && end - at < 4 && (text[at] & 0xC0) == 0x80)
        --at;
    return utf8CodePointAt(text, at);
}

// Two starters meet at `end`, 0 < `end` < text.size(), where the character before `end` starts
// at `last`: the inline test of the cursor for UTF-16 (for UTF-8 it asks utf8StarterAt() of
// both).
[[gnu::always_inline]] inline bool startersMeet(std::u16string_view text, std::size_t,
                                                std::size_t end)
{
    return isStarterUnit(text[end - 1]) && isStarterUnit(text[end]);
}

// Whether the character at `at`, `at` < text.size(), is a starter: for a BMP character the bit
// of bmpStarterBits at its code point's top bits and its last six, gathered without a branch on
// the character's length, which text that mixes scripts would mispredict at every other one. A
// character of four bytes takes the ranges; one cut off by the text's end counts as none.
[[gnu::always_inline]] inline bool utf8StarterAt(std::u8string_view text, std::size_t at)
{
    const Utf8Lead lead = utf8Leads[text[at]];
    if (lead.length == 4 || text.size() - at < 3) [[unlikely]]
        return lead.length <= text.size() - at && isClusterStarter(utf8CodePointAt(text, at));
    const std::uint32_t second = text[at + 1] & 0x3Fu;
    const std::uint32_t third = text[at + 2] & 0x3Fu;
    // Masks where a choice would be a branch.
    const std::uint32_t index = lead.indexTop | (second & lead.threeBytes);
    const std::uint32_t bit = second ^ ((second ^ third) & lead.threeBytes);
    return (bmpStarterBits[index] >> bit) & 1;
}

template <TextUnit Unit> struct ChunkEnd {
    std::size_t end;
    ClusterBreaks<Unit>* breaks;
};

// The first cluster boundary at or after `end` in `text`, where `from` is one: the rest of a
// surrogate pair, then the code-point test above, then ICU through `breaks` (made on first
// need and handed back). Everything passes by value so that the cursor's fields can stay in
// registers in the conversion loop.
template <TextUnit Unit>
ChunkEnd<Unit> settleChunkEnd(ClusterBreaks<Unit>* breaks, std::basic_string_view<Unit> text,
                              std::size_t from, std::size_t end);
template <TextUnit Unit> void destroy(ClusterBreaks<Unit>* breaks);

// Every place of a UTF-16 text where a chunk may end, found once: a text fitted to a length is
// walked once a step, and where the break iterator must be asked at many chunk ends (a run of
// flags, a cluster of thousands of marks) asking it again at every step would read the whole
// text each time. A bit a place, with levels above that mark the words holding any, so that the
// next place is found in a few words however far it lies.
class ClusterIndex {
public:
    explicit ClusterIndex(std::u16string_view text);

    // The first place at or after `at`, at most the text's size.
    std::size_t atOrAfter(std::size_t at) const;

private:
    std::vector<std::vector<std::uint64_t>> m_levels;
};

} // namespace prismel::detail
