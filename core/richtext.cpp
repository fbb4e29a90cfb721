#include "richtext.h"

#include "conversion.h"

#include <array>

namespace prismel {

namespace {

// The conversion's writer for HTML: escapes every piece and wraps tagged ones in a coloured span.
// It keeps what the last written character was across pieces, since a CR LF pair or a run of
// spaces may be cut between two chunks.
class HtmlWriter {
public:
    explicit HtmlWriter(std::u16string& out) : m_out(out) {}

    void bare(std::u16string_view text) { escape(text); }

    void tagged(std::u16string_view text, Rgb color)
    {
        char16_t code[6];
        writeColorCode(code, color);
        m_out += u"<span style=\"color:#";
        m_out.append(code, 6);
        m_out += u"\">";
        escape(text);
        m_out += u"</span>";
    }

private:
    void escape(std::u16string_view text)
    {
        for (const char16_t c : text) {
            const bool lfAfterCr = c == u'\n' && m_last == u'\r';
            switch (c) {
            case u'&':
                m_out += u"&amp;";
                break;
            case u'<':
                m_out += u"&lt;";
                break;
            case u'>':
                m_out += u"&gt;";
                break;
            case u'"':
                m_out += u"&quot;";
                break;
            case u'\r':
            case u'\n':
                if (!lfAfterCr)
                    m_out += u"<br>";
                break;
            case u' ':
                m_out += m_last == u' ' || m_last == u'\n' || m_last == u'\r' ? u"&nbsp;" : u" ";
                break;
            default:
                m_out += c;
                break;
            }
            m_last = c;
        }
    }

    std::u16string& m_out;
    char16_t m_last = u'\n'; // the fragment starts a line
};

} // namespace

std::u16string richTextFragment(std::u16string_view input, const ConvertRequest& request)
{
    const ConvertOptions& options = request.options;
    std::u16string html = u"<meta charset=\"utf-8\">";
    // A rich editor takes HTML's own decoration tags, whatever format the code is in.
    constexpr std::array<std::u16string_view, decorationCount> open{u"<b>", u"<i>", u"<u>", u"<s>"};
    constexpr std::array<std::u16string_view, decorationCount> close{u"</b>", u"</i>", u"</u>",
                                                                     u"</s>"};
    for (std::size_t d = 0; d < decorationCount; ++d)
        if (options.decorations[d])
            html += open[d];
    HtmlWriter out(html);
    detail::writeMarkup(input, request, out);
    for (std::size_t d = decorationCount; d-- > 0;)
        if (options.decorations[d])
            html += close[d];
    return html;
}

} // namespace prismel
