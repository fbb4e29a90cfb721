// Writes SIZE bytes of deterministic UTF-8 forum text (Chinese, ASCII, spaces, line breaks and a
// few emoji) to standard output, for timing prismel-convert on a large input.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    const std::size_t size = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 16u << 20;
    constexpr std::string_view pieces[] = {
        "彩虹字", "让你的帖子", "更好看", "，", "。",   "hello", "forum", " ",    " ",   "  ",
        "2026",   "\n",         "顶！",   "😀",  "楼主", "好人",  "!",     "\r\n", "abc", "论坛",
    };
    std::string text;
    text.reserve(size + 16);
    unsigned state = 12345;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        text += pieces[(state >> 16) % std::size(pieces)];
    }
    // Cut on a character boundary so the file stays valid UTF-8.
    std::size_t end = size;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    std::fwrite(text.data(), 1, end, stdout);
    return 0;
}
