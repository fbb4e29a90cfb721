#include "utf8.h"

#include "core/utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <tmmintrin.h>
#endif

namespace prismel::cli {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// What a lead byte demands of the bytes after it: how many there are in all, and the range of the
// second, which rules out overlong forms, surrogates and values past U+10FFFF. A length of 0: the
// byte leads no sequence.
struct LeadRule {
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

constexpr bool inside(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

constexpr LeadRule leadRule(unsigned char lead)
{
    if (lead < 0x80)
        return {1};
    if (inside(lead, 0xC2, 0xDF))
        return {2};
    if (inside(lead, 0xE0, 0xEF))
        return {3, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF)};
    if (inside(lead, 0xF0, 0xF4))
        return {4, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF)};
    return {};
}

// The length of the well-formed sequence at `i`, or 0 if the byte at `i` starts none.
std::size_t sequenceLength(const unsigned char* bytes, std::size_t size, std::size_t i)
{
    const LeadRule rule = leadRule(bytes[i]);
    if (rule.length <= 1)
        return rule.length;
    if (size - i < rule.length || !inside(bytes[i + 1], rule.low, rule.high))
        return 0;
    for (std::size_t k = 2; k < rule.length; ++k)
        if (!inside(bytes[i + k], 0x80, 0xBF))
            return 0;
    return rule.length;
}

// The lead byte of the first sequence from `i` on that is not well-formed; `i` starts a sequence.
// The slow, plain reading, used only once the fast one has seen that something is wrong.
std::size_t firstBadByte(const unsigned char* bytes, std::size_t size, std::size_t i)
{
    while (i < size) {
        const std::size_t length = sequenceLength(bytes, size, i);
        if (length == 0)
            return i;
        i += length;
    }
    return size;
}

std::int64_t unitsOf(const unsigned char* bytes, std::size_t size)
{
    return utf16Units({reinterpret_cast<const char8_t*>(bytes), size});
}

// Strict UTF-8 as a state machine of nine states, each named by a shift of a multiple of six:
// a byte's entry holds, at every state's shift, the six bits of the state it leads to, so one
// step is a load and a shift whatever the byte. Rejection is state 0 and every entry's low six
// bits are 0, so once rejected the machine stays there.
enum Utf8State : std::uint8_t {
    rejected = 0,
    accepted = 6,
    oneMore = 12, // any continuation byte ends the character
    twoMore = 18,
    threeMore = 24,
    afterE0 = 30, // A0..BF, or the character is overlong
    afterED = 36, // 80..9F, or it is a surrogate
    afterF0 = 42, // 90..BF, or it is overlong
    afterF4 = 48, // 80..8F, or it lies past U+10FFFF
};

constexpr std::array<std::uint64_t, 256> utf8Transitions = [] {
    std::array<std::uint64_t, 256> table{};
    const auto go = [&table](unsigned first, unsigned last, Utf8State from, Utf8State to) {
        for (unsigned byte = first; byte <= last; ++byte)
            table[byte] |= std::uint64_t{to} << from;
    };
    go(0x00, 0x7F, accepted, accepted);
    go(0xC2, 0xDF, accepted, oneMore);
    go(0xE0, 0xE0, accepted, afterE0);
    go(0xE1, 0xEC, accepted, twoMore);
    go(0xED, 0xED, accepted, afterED);
    go(0xEE, 0xEF, accepted, twoMore);
    go(0xF0, 0xF0, accepted, afterF0);
    go(0xF1, 0xF3, accepted, threeMore);
    go(0xF4, 0xF4, accepted, afterF4);
    go(0x80, 0xBF, oneMore, accepted);
    go(0x80, 0xBF, twoMore, oneMore);
    go(0x80, 0xBF, threeMore, twoMore);
    go(0xA0, 0xBF, afterE0, oneMore);
    go(0x80, 0x9F, afterED, oneMore);
    go(0x90, 0xBF, afterF0, twoMore);
    go(0x80, 0x8F, afterF4, twoMore);
    return table;
}();

[[gnu::always_inline]] inline std::uint64_t nextState(std::uint64_t state, unsigned char byte)
{
    return utf8Transitions[byte] >> (state & 63);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define PRISMEL_UTF8_BLOCKS 1

// Whole blocks of 16 bytes checked at once with SSSE3's byte shuffles, which the state machine
// cannot match on text of many multi-byte characters: each byte and the one before it are
// looked up, by their high and low halves, in three tables of the faults each could take part
// in; a fault is a bit that all three lookups set. The continuation bytes that a lead two or
// three bytes back demands are checked apart. Returns where the blocks that pass end; only a
// character cut by that end is left unchecked past it. `units` gains the UTF-16 units of those
// blocks.
[[gnu::target("ssse3")]] std::size_t checkBlocks(const unsigned char* bytes, std::size_t size,
                                                 std::int64_t& units)
{
    // The faults, as bits of the lookups.
    constexpr char tooShort = 1 << 0;  // a lead, then a lead or ASCII
    constexpr char tooLong = 1 << 1;   // ASCII, then a continuation byte
    constexpr char overlong3 = 1 << 2; // E0, then 80..9F
    constexpr char tooLarge = 1 << 3;  // F4, then 90..BF; or F5..FF, then 90..BF
    constexpr char surrogate = 1 << 4; // ED, then A0..BF
    constexpr char overlong2 = 1 << 5; // C0 or C1, then a continuation byte
    constexpr char large1000 = 1 << 6; // F5..FF, then 80..8F; or F0, then 80..8F (overlong)
    constexpr char twoConts = static_cast<char>(1 << 7); // two continuation bytes in a row
    constexpr char carry = tooShort | tooLong | twoConts;

    const __m128i firstHigh =
        _mm_setr_epi8(tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong,
                      twoConts, twoConts, twoConts, twoConts, tooShort | overlong2, tooShort,
                      tooShort | overlong3 | surrogate, tooShort | tooLarge | large1000);
    const __m128i firstLow = _mm_setr_epi8(
        carry | overlong3 | overlong2 | large1000, carry | overlong2, carry, carry,
        carry | tooLarge, carry | tooLarge | large1000, carry | tooLarge | large1000,
        carry | tooLarge | large1000, carry | tooLarge | large1000, carry | tooLarge | large1000,
        carry | tooLarge | large1000, carry | tooLarge | large1000, carry | tooLarge | large1000,
        carry | tooLarge | large1000 | surrogate, carry | tooLarge | large1000,
        carry | tooLarge | large1000);
    const __m128i secondHigh =
        _mm_setr_epi8(tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort,
                      tooShort, tooLong | overlong2 | twoConts | overlong3 | large1000,
                      tooLong | overlong2 | twoConts | overlong3 | tooLarge,
                      tooLong | overlong2 | twoConts | surrogate | tooLarge,
                      tooLong | overlong2 | twoConts | surrogate | tooLarge, tooShort, tooShort,
                      tooShort, tooShort);
    const __m128i lowNibble = _mm_set1_epi8(0x0F);
    const auto high = [lowNibble](__m128i v) {
        return _mm_and_si128(_mm_srli_epi16(v, 4), lowNibble);
    };
    const __m128i continuationBelow = _mm_set1_epi8(-65);
    const __m128i fourByteLead = _mm_set1_epi8(static_cast<char>(0xF0));
    const __m128i thirdOfThree = _mm_set1_epi8(static_cast<char>(0xE0 - 0x80));
    const __m128i fourthOfFour = _mm_set1_epi8(static_cast<char>(0xF0 - 0x80));

    __m128i previous = _mm_setzero_si128(); // as if ASCII came before the text
    std::size_t at = 0;
    while (size - at >= 16) {
        __m128i counts = _mm_setzero_si128();
        const std::size_t rounds = std::min<std::size_t>((size - at) / 16, 127);
        std::size_t round = 0;
        for (; round < rounds; ++round) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
            const __m128i before1 = _mm_alignr_epi8(block, previous, 15);
            const __m128i faults = _mm_and_si128(
                _mm_and_si128(_mm_shuffle_epi8(firstHigh, high(before1)),
                              _mm_shuffle_epi8(firstLow, _mm_and_si128(before1, lowNibble))),
                _mm_shuffle_epi8(secondHigh, high(block)));
            // A byte two after a lead of three or four, or three after one of four, must be a
            // continuation byte, and only such bytes and the second ones may be.
            const __m128i before2 = _mm_alignr_epi8(block, previous, 14);
            const __m128i before3 = _mm_alignr_epi8(block, previous, 13);
            const __m128i demanded = _mm_or_si128(_mm_subs_epu8(before2, thirdOfThree),
                                                  _mm_subs_epu8(before3, fourthOfFour));
            const __m128i wrong =
                _mm_xor_si128(_mm_and_si128(demanded, _mm_set1_epi8(twoConts)), faults);
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(wrong, _mm_setzero_si128())) != 0xFFFF)
                break;
            counts = _mm_sub_epi8(counts, _mm_cmpgt_epi8(block, continuationBelow));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(_mm_max_epu8(block, fourByteLead), block));
            previous = block;
            at += 16;
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        units += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
        if (round < rounds)
            break;
    }
    return at;
}
#endif

} // namespace

Utf8Check checkUtf8(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::uint64_t state = accepted;
    std::int64_t units = 0;
    std::size_t i = 0;
#ifdef PRISMEL_UTF8_BLOCKS
    if (__builtin_cpu_supports("ssse3")) {
        const std::size_t blocksEnd = checkBlocks(bytes, size, units);
        // The state machine takes over at the last lead byte before the blocks' end (or right
        // after them if they end with ASCII), so that a character they cut is read whole; a
        // block that fails is read again by it, to find the fault's first byte.
        i = blocksEnd;
        if (i > 0) {
            --i;
            while (i > 0 && (bytes[i] & 0xC0) == 0x80 && blocksEnd - i < 4)
                --i;
            if (bytes[i] < 0x80)
                ++i;
        }
        units -= unitsOf(bytes + i, blocksEnd - i);
    }
#endif
    // The machine has read everything before this without rejecting it.
    std::size_t checkedTo = i;
#ifdef __SSE2__
    // Sixteen bytes a round. The units are counted by comparing bytes: a continuation byte is the
    // only one below -64 as a signed byte, and a lead of four bytes is at least F0 unsigned. Each
    // lane of `counts` gains at most two a round, so its bytes are added up before they wrap.
    const __m128i continuationBelow = _mm_set1_epi8(-65);
    const __m128i fourByteLead = _mm_set1_epi8(static_cast<char>(0xF0));
    while (size - i >= 16) {
        __m128i counts = _mm_setzero_si128();
        const std::size_t rounds = std::min<std::size_t>((size - i) / 16, 127);
        for (std::size_t round = 0; round < rounds; ++round, i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            counts = _mm_sub_epi8(counts, _mm_cmpgt_epi8(block, continuationBelow));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(_mm_max_epu8(block, fourByteLead), block));
            checkedTo = i;
            // A block of ASCII between whole characters leaves the machine where it is.
            if (state == accepted && _mm_movemask_epi8(block) == 0)
                continue;
#pragma GCC unroll 16
            for (std::size_t k = 0; k < 16; ++k)
                state = nextState(state, bytes[i + k]);
            if ((state & 63) == rejected)
                break;
            state &= 63;
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        units += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
        if ((state & 63) == rejected)
            break;
    }
#endif
    if ((state & 63) != rejected) {
        checkedTo = i;
        for (std::size_t k = i; k < size; ++k)
            state = nextState(state, bytes[k]);
        units += unitsOf(bytes + i, size - i);
    }
    Utf8Check result;
    if ((state & 63) == accepted) {
        result.utf16Units = units;
        return result;
    }
    // Rejected, or cut off at the end. Everything before `checkedTo` reads as well-formed, so the
    // last lead byte before it starts a sequence, and the bad one is not earlier.
    std::size_t from = checkedTo;
    if (from > 0) {
        --from;
        while (from > 0 && (bytes[from] & 0xC0) == 0x80)
            --from;
    }
    const std::size_t bad = firstBadByte(bytes, size, from);
    result.errorOffset = bad;
    result.utf16Units = unitsOf(bytes, bad);
    return result;
}
std::size_t byteOrderMarkSize(std::string_view bytes)
{
    return bytes.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
}

namespace {

// Strict UTF-8 into exactly `capacity` units at `out`; false if the bytes are not well-formed or
// do not come to that many units. Every byte is read once, into a local that is both checked and
// decoded, and no write goes past `capacity`: the bytes may be a file that another process
// rewrites meanwhile, so nothing counted in an earlier pass is trusted.
bool decodeInto(const unsigned char* bytes, std::size_t size, char16_t* out, std::size_t capacity)
{
    std::size_t at = 0;
    std::size_t i = 0;
    while (i < size) {
        // Runs of ASCII eight bytes at a time, from one load.
        std::uint64_t word = 0;
        if (size - i >= sizeof word && capacity - at >= sizeof word) {
            std::memcpy(&word, bytes + i, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                for (std::size_t k = 0; k < sizeof word; ++k)
                    out[at + k] = static_cast<char16_t>((word >> (8 * k)) & 0x7Fu);
                at += sizeof word;
                i += sizeof word;
                continue;
            }
        }
        const unsigned char lead = bytes[i];
        const LeadRule rule = leadRule(lead);
        if (rule.length == 0 || size - i < rule.length)
            return false;
        std::array<unsigned char, 3> next{};
        for (std::size_t k = 1; k < rule.length; ++k)
            next[k - 1] = bytes[i + k];
        if (rule.length > 1 && !inside(next[0], rule.low, rule.high))
            return false;
        for (std::size_t k = 2; k < rule.length; ++k)
            if (!inside(next[k - 1], 0x80, 0xBF))
                return false;
        constexpr unsigned char leadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
        char32_t c = lead & leadBits[rule.length - 1];
        for (std::size_t k = 1; k < rule.length; ++k)
            c = (c << 6) | (next[k - 1] & 0x3Fu);
        i += rule.length;
        if (c < 0x10000) {
            if (at == capacity)
                return false;
            out[at++] = static_cast<char16_t>(c);
        } else {
            if (capacity - at < 2)
                return false;
            c -= 0x10000;
            out[at++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out[at++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    return at == capacity;
}

} // namespace

DecodedText decodeUtf8(std::string_view bytes)
{
    return detail::decodeUtf8(bytes, {});
}

namespace detail {

DecodedText decodeUtf8(std::string_view bytes, const std::function<void()>& betweenPasses)
{
    DecodedText result;
    const std::size_t begin = byteOrderMarkSize(bytes);
    bytes.remove_prefix(begin);

    // First check everything and count the code units, so the text is allocated once at its
    // exact size; the second pass checks again as it decodes.
    const Utf8Check check = checkUtf8(bytes);
    if (check.errorOffset) {
        result.errorOffset = begin + *check.errorOffset;
        return result;
    }
    if (betweenPasses)
        betweenPasses();

    result.text.resize(static_cast<std::size_t>(check.utf16Units));
    if (!decodeInto(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                    result.text.data(), result.text.size())) {
        result.text.clear();
        result.changed = true;
    }
    return result;
}

} // namespace detail

} // namespace prismel::cli
