#include "window/form/textpicture.h"

#include "core/chunking.h"
#include "core/format.h"
#include "window/adapters/qtcolor.h"
#include "window/adapters/qtstring.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace prismel {

namespace {

constexpr int kPngQuality = 80;

// A chunk that shows, in code units of the trimmed text.
struct Run {
    qsizetype start;
    qsizetype end;
    QColor color;
};

// One line of the picture: a wrapped part of one of the text's lines.
struct Line {
    QTextLine line;
    const QTextLayout* paragraph; // the text's line it is part of
    qsizetype start;              // where that line starts in the trimmed text
};

struct Layout {
    std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    std::vector<Line> lines;
    qsizetype shownEnd = 0; // the trimmed text up to here is in the picture
    qreal width = 0;
    qreal height = 0;
    qreal ellipsisY = 0; // where "…" goes when cut
    bool cut = false;
    bool cancelled = false;
};

QFont pictureFont(const PictureRequest& request)
{
    QFont font = request.face;
    font.setPixelSize(picturePixelSize);
    font.setBold(request.decorations.bold);
    font.setItalic(request.decorations.italic);
    font.setUnderline(request.decorations.underline);
    font.setStrikeOut(request.decorations.strikeOut);
    return font;
}

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Lays the text's lines out one under another until the picture is full.
Layout layOut(const QString& text, const QFont& font, const std::atomic<bool>* cancelled)
{
    Layout layout;
    const qreal maxHeight = static_cast<qreal>(pictureMaxHeight) / pictureDevicePixelRatio;
    const qreal ellipsisHeight = QFontMetricsF(font).height();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal y = 0;
    qsizetype start = 0;
    while (!layout.cut && start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && !isBreak(text[end]))
            ++end;
        auto& paragraph = layout.paragraphs.emplace_back(
            std::make_unique<QTextLayout>(text.mid(start, end - start), font));
        paragraph->setTextOption(option);
        paragraph->beginLayout();
        for (QTextLine line = paragraph->createLine(); line.isValid();
             line = paragraph->createLine()) {
            if (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) {
                layout.cancelled = true;
                return layout;
            }
            line.setLineWidth(pictureLineWidth);
            line.setPosition(QPointF(0, y));
            if (y + line.height() > maxHeight) {
                layout.cut = true;
                break;
            }
            y += line.height();
            layout.lines.push_back({line, paragraph.get(), start});
        }
        paragraph->endLayout();
        // CR LF is one break.
        start =
            end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);
    }
    // Line breaks at the end of the text show nothing, as in a post.
    while (!layout.cut && !layout.lines.empty() && layout.lines.back().line.textLength() == 0) {
        y -= layout.lines.back().line.height();
        layout.lines.pop_back();
    }
    if (layout.cut) {
        // Room for the ellipsis under the last line kept.
        while (!layout.lines.empty() && y + ellipsisHeight > maxHeight) {
            y -= layout.lines.back().line.height();
            layout.lines.pop_back();
        }
        layout.ellipsisY = y;
        y += ellipsisHeight;
    }
    if (!layout.lines.empty()) {
        const Line& last = layout.lines.back();
        layout.shownEnd = last.start + last.line.textStart() + last.line.textLength();
    }
    for (const Line& line : layout.lines)
        layout.width = std::max(layout.width, line.line.naturalTextWidth());
    layout.height = y;
    return layout;
}

// The chunks of the Convert up to `stop` and the one that crosses it, as the code and the
// preview cut them; blank ones show nothing and are left out.
std::vector<Run> runsOf(const TextRequest& request, std::u16string_view trimmed, qsizetype stop)
{
    std::vector<Run> runs;
    const ColorCode code = request.options.colorCode;
    if (request.options.wholeTextGradient) {
        // As the preview draws it: the server's colour for every character.
        for (const TaggedColor& piece :
             gradientTagColors(trimmed, request.gradient, request.options.perLine,
                               static_cast<std::size_t>(stop) + 1)) {
            const std::u16string_view text = trimmed.substr(piece.offset, piece.size);
            if (isBlankChunk(text))
                continue;
            const auto start = static_cast<qsizetype>(piece.offset);
            runs.push_back(
                {start, start + static_cast<qsizetype>(piece.size), toQColor(piece.color)});
        }
        return runs;
    }
    withCursor(prepareText(trimmed, request.step), request.gradient, request.options.perLine,
               [&](auto& cursor) {
                   cursor.forEach(
                       [&](const Chunk& chunk) {
                           if (isBlankChunk(chunk.text))
                               return;
                           const auto start =
                               static_cast<qsizetype>(chunk.text.data() - trimmed.data());
                           runs.push_back({start, start + static_cast<qsizetype>(chunk.text.size()),
                                           toQColor(shownColor(code, chunk.color))});
                       },
                       static_cast<std::size_t>(stop) + 1);
               });
    return runs;
}

// Calls `draw(line, from, to, color)` for each part of a run on a line, in units of the line's
// paragraph.
template <typename Draw>
void forEachPiece(const Layout& layout, const std::vector<Run>& runs, Draw draw)
{
    auto run = runs.begin();
    for (const Line& line : layout.lines) {
        const qsizetype lineStart = line.start + line.line.textStart();
        const qsizetype lineEnd = lineStart + line.line.textLength();
        while (run != runs.end() && run->end <= lineStart)
            ++run;
        for (auto piece = run; piece != runs.end() && piece->start < lineEnd; ++piece) {
            const qsizetype from = std::max(piece->start, lineStart) - line.start;
            const qsizetype to = std::min(piece->end, lineEnd) - line.start;
            draw(line, from, to, piece->color);
        }
    }
}

QColor ellipsisColor(const Layout& layout, const std::vector<Run>& runs)
{
    for (const Run& run : runs)
        if (run.end > layout.shownEnd)
            return run.color;
    return runs.empty() ? QColor(Qt::black) : runs.back().color;
}

QImage paint(const Layout& layout, const std::vector<Run>& runs, const QFont& font)
{
    const int ratio = pictureDevicePixelRatio;
    const QSize size(std::max(1, static_cast<int>(std::ceil(layout.width * ratio))),
                     std::max(1, static_cast<int>(std::ceil(layout.height * ratio))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    forEachPiece(layout, runs,
                 [&](const Line& line, qsizetype from, qsizetype to, const QColor& color) {
                     painter.setPen(color);
                     const auto glyphs =
                         line.line.glyphRuns(static_cast<int>(from), static_cast<int>(to - from));
                     for (const QGlyphRun& glyphRun : glyphs)
                         painter.drawGlyphRun(QPointF(0, 0), glyphRun);
                 });
    if (layout.cut) {
        painter.setFont(font);
        painter.setPen(ellipsisColor(layout, runs));
        painter.drawText(QPointF(0, layout.ellipsisY + QFontMetricsF(font).ascent()),
                         QStringLiteral("…"));
    }
    return image;
}

QString number(qreal value)
{
    return QString::number(value, 'f', 2);
}

// The text as XML character data: markup escaped, and what XML cannot hold (control characters
// but the tab, lone surrogates) left out.
QString xmlText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if ((c >= u' ' || c == u'\t') && !c.isSurrogate() && c != QChar(0xFFFE) &&
                   c != QChar(0xFFFF))
            out += c;
    }
    return out;
}

QString fontFamilies(const QFont& font)
{
    QStringList quoted;
    for (const QString& family : font.families())
        quoted.append(u'\'' + xmlText(family).replace(u'\'', QStringLiteral("&apos;")) + u'\'');
    return quoted.join(QStringLiteral(", "));
}

// The same lines as the image, each chunk a <tspan> placed where the image draws it.
QByteArray svg(const Layout& layout, const std::vector<Run>& runs, const QFont& font)
{
    const qreal width = std::max<qreal>(1, std::ceil(layout.width));
    const qreal height = std::max<qreal>(1, std::ceil(layout.height));
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" viewBox=\"0 0 %1 %2\" font-family=\"%3\" "
                                 "font-size=\"%4\"")
                      .arg(number(width), number(height), fontFamilies(font))
                      .arg(picturePixelSize);
    if (font.bold())
        out += QStringLiteral(" font-weight=\"bold\"");
    if (font.italic())
        out += QStringLiteral(" font-style=\"italic\"");
    QStringList decorations;
    if (font.underline())
        decorations.append(QStringLiteral("underline"));
    if (font.strikeOut())
        decorations.append(QStringLiteral("line-through"));
    if (!decorations.isEmpty())
        out += QStringLiteral(" text-decoration=\"%1\"").arg(decorations.join(u' '));
    out += QStringLiteral(">\n");
    const Line* open = nullptr;
    forEachPiece(layout, runs,
                 [&](const Line& line, qsizetype from, qsizetype to, const QColor& color) {
                     if (open != &line) {
                         if (open != nullptr)
                             out += QStringLiteral("</text>\n");
                         out += QStringLiteral("<text y=\"%1\" xml:space=\"preserve\">")
                                    .arg(number(line.line.y() + line.line.ascent()));
                         open = &line;
                     }
                     const QString& text = line.paragraph->text();
                     out += QStringLiteral("<tspan x=\"%1\" fill=\"%2\">%3</tspan>")
                                .arg(number(line.line.cursorToX(static_cast<int>(from))),
                                     color.name(), xmlText(QStringView(text).mid(from, to - from)));
                 });
    if (open != nullptr)
        out += QStringLiteral("</text>\n");
    if (layout.cut)
        out += QStringLiteral("<text y=\"%1\" fill=\"%2\">…</text>\n")
                   .arg(number(layout.ellipsisY + QFontMetricsF(font).ascent()),
                        ellipsisColor(layout, runs).name());
    out += QStringLiteral("</svg>\n");
    return out.toUtf8();
}

} // namespace

TextPicture makeTextPicture(const PictureRequest& request, PictureFormat format,
                            const std::atomic<bool>* cancelled)
{
    TextPicture picture;
    const std::u16string_view trimmed = trimSpaces(view(request.convert.input));
    const QString text = toQString(trimmed);
    const QFont font = pictureFont(request);
    const Layout layout = layOut(text, font, cancelled);
    if (layout.cancelled) {
        picture.cancelled = true;
        return picture;
    }
    const std::vector<Run> runs = runsOf(request.convert, view(text), layout.shownEnd);
    picture.lines = static_cast<int>(layout.lines.size());
    picture.cut = layout.cut;
    if (format == PictureFormat::Svg) {
        picture.file = svg(layout, runs, font);
        return picture;
    }
    picture.image = paint(layout, runs, font);
    QBuffer buffer(&picture.file);
    buffer.open(QIODevice::WriteOnly);
    // zlib's fast levels: half the time of its default for a file a tenth larger, where writing
    // the file takes most of the picture's time.
    picture.image.save(&buffer, "PNG", kPngQuality);
    return picture;
}

} // namespace prismel
