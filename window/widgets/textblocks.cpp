#include "window/widgets/textblocks.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace prismel {

namespace textblocks {

namespace {

// A document this long, about 2 M units, is deleted away from the window's thread.
constexpr int kLongDocument = 1 << 21;

// Set on a block that continues the line of the block before it: the break between them is ours.
constexpr int kContinuesLine = QTextFormat::UserProperty + 0x4c54;

QTextBlockFormat continuingFormat(QTextBlockFormat format)
{
    format.setProperty(kContinuesLine, true);
    return format;
}

// QTextCursor::insertText turns the two non-characters the document uses as frame marks into
// block breaks too, but in the user's text they are characters like any other. Each is kept as a
// stand-in character whose format remembers which of the two it replaces.
constexpr int kStandsFor = QTextFormat::UserProperty + 0x4c55;
constexpr QChar kStandIn = QChar::ReplacementCharacter;

// The first position from `from` whose unit equals one of `a`, `b`, `c` after being or-ed with
// `mask`, or the end. A multi-megabyte code is scanned for its line breaks and frame marks; eight
// units at a time with SSE2, which every x86-64 processor has, this takes a few milliseconds.
qsizetype findUnit(QStringView text, qsizetype from, char16_t mask, char16_t a, char16_t b,
                   char16_t c)
{
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = from;
#ifdef __SSE2__
    const __m128i maskV = _mm_set1_epi16(static_cast<short>(mask));
    const __m128i aV = _mm_set1_epi16(static_cast<short>(a));
    const __m128i bV = _mm_set1_epi16(static_cast<short>(b));
    const __m128i cV = _mm_set1_epi16(static_cast<short>(c));
    for (; i + 8 <= size; i += 8) {
        __m128i v;
        std::memcpy(&v, units + i, sizeof v);
        v = _mm_or_si128(v, maskV);
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(v, aV), _mm_cmpeq_epi16(v, bV)), _mm_cmpeq_epi16(v, cV));
        if (_mm_movemask_epi8(hit) != 0)
            break;
    }
#endif
    for (; i < size; ++i) {
        const char16_t unit = units[i] | mask;
        if (unit == a || unit == b || unit == c)
            return i;
    }
    return size;
}

// The line breaks of the text: line feed, carriage return and the paragraph separator.
qsizetype findLineBreak(QStringView text, qsizetype from)
{
    return findUnit(text, from, 0, u'\n', u'\r', u'\x2029');
}

// U+FDD0 and U+FDD1.
qsizetype findFrameMark(QStringView text, qsizetype from)
{
    return findUnit(text, from, 1, u'\xfdd1', u'\xfdd1', u'\xfdd1');
}

bool splitsSurrogatePair(QStringView text, qsizetype pos)
{
    return pos > 0 && pos < text.size() && text[pos - 1].isHighSurrogate() &&
           text[pos].isLowSurrogate();
}

// The last boundary of the given kind in (lowest, target], or -1.
qsizetype lastBoundary(QTextBoundaryFinder::BoundaryType type, QStringView text, qsizetype lowest,
                       qsizetype target)
{
    // A little text after the target lets the finder judge the target itself.
    const qsizetype end = std::min(text.size(), target + 8);
    QTextBoundaryFinder finder(type, text.constData() + lowest, end - lowest);
    finder.setPosition(target - lowest);
    qsizetype pos = finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
    // Position 0 is only the edge of the window the finder was given.
    while (pos > 0) {
        if (!splitsSurrogatePair(text, lowest + pos))
            return lowest + pos;
        pos = finder.toPreviousBoundary();
    }
    return -1;
}

qsizetype cutNear(QStringView text, qsizetype target)
{
    const qsizetype lowest = target - kCutSearch;
    if (const qsizetype cut = lastBoundary(QTextBoundaryFinder::Line, text, lowest, target);
        cut > 0)
        return cut;
    if (const qsizetype cut = lastBoundary(QTextBoundaryFinder::Grapheme, text, lowest, target);
        cut > 0)
        return cut;
    return splitsSurrogatePair(text, target) ? target - 1 : target;
}

// Offsets at which a line of this text gets our breaks, so that no piece is longer than kMaxBlock.
std::vector<qsizetype> cutsFor(QStringView line)
{
    std::vector<qsizetype> cuts;
    qsizetype start = 0;
    while (line.size() - start > kMaxBlock) {
        start = cutNear(line, start + kTargetBlock);
        cuts.push_back(start);
    }
    return cuts;
}

// Writes text into a document at a cursor, a slice at a time, turning each line break of any
// kind into a real block break and cutting long lines with our breaks, so that no block ever holds
// the whole of a long line. Blocks of one kind (a line's first block, or one that continues a
// line) follow one another as U+2029 in a single insertText(), which makes each new block a copy
// of the block the insertion starts in: one call per run of blocks of the same kind, not per
// piece, keeps a multi-megabyte text from costing a document operation per few thousand units.
// The text may still be growing at its end while it is written: what it holds so far is written
// up to the last place where the rest cannot change how it is cut.
class BlockWriter {
public:
    BlockWriter(const QTextCursor& cursor, QStringView text, bool complete = true)
        : m_cursor(cursor), m_text(text), m_complete(complete), m_first(cursor.block()),
          m_continuing(continuesLine(cursor.block()))
    {
        m_plain = cursor.charFormat();
        m_plain.clearProperty(kStandsFor);
    }

    // The text has grown: `text` is the one before with more after it.
    void grow(QStringView text, bool complete)
    {
        m_text = text;
        m_complete = complete;
    }

    // Writes about `units` more code units of the text; true once the whole text is in.
    bool write(qsizetype units)
    {
        m_cursor.beginEditBlock();
        while (m_batch.size() < units && writeBlock()) {
        }
        flush();
        const bool done = m_complete && m_pos >= m_text.size();
        // Only the blocks at the two ends share text that was there before; the ones in between
        // were cut as they were written.
        if (done && !m_split) {
            m_split = true;
            if (m_first != m_cursor.block())
                splitBlock(m_first);
            splitBlock(m_cursor.block());
        }
        m_cursor.endEditBlock();
        return done;
    }

    qsizetype written() const { return m_pos; }
    const QTextCursor& cursor() const { return m_cursor; }

private:
    // The next block's text from m_pos, and the break after it; false when there is none to
    // write until more text comes.
    bool writeBlock()
    {
        if (m_pos >= m_text.size())
            return false;
        if (m_lineEnd < 0) {
            const qsizetype found = findLineBreak(m_text, m_searched);
            // A CR at the end of a text still growing may yet be the first half of CR LF.
            const bool known =
                m_complete ||
                (found < m_text.size() && (m_text[found] != u'\r' || found + 1 < m_text.size()));
            if (known)
                m_lineEnd = found;
            else
                m_searched = found;
        }
        const qsizetype lineEnd = m_lineEnd < 0 ? m_text.size() : m_lineEnd;
        const QStringView line = m_text.sliced(m_lineStart, lineEnd - m_lineStart);
        const qsizetype from = m_pos - m_lineStart;
        qsizetype to = line.size();
        if (line.size() - from > kMaxBlock)
            to = cutNear(line, from + kTargetBlock);
        else if (m_lineEnd < 0)
            return false; // the rest of the line decides where it is cut
        append(line.sliced(from, to - from));
        m_pos = m_lineStart + to;
        if (to < line.size()) {
            breakBlock(true);
            return true;
        }
        if (m_lineEnd == m_text.size())
            return true;
        m_pos = m_lineEnd + 1;
        if (m_text[m_lineEnd] == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
        m_lineStart = m_searched = m_pos;
        m_lineEnd = -1;
        breakBlock(false);
        return true;
    }

    // Frame marks go in as their stand-ins, which get their mark once inserted.
    void append(QStringView piece)
    {
        const qsizetype base = m_batch.size();
        m_batch.append(piece);
        for (qsizetype i = findFrameMark(piece, 0); i < piece.size();
             i = findFrameMark(piece, i + 1)) {
            m_marks.emplace_back(base + i, piece[i].unicode());
            m_batch[base + i] = kStandIn;
        }
    }

    void breakBlock(bool continuing)
    {
        if (continuing == m_continuing) {
            m_batch.append(QChar::ParagraphSeparator);
            return;
        }
        flush();
        const QTextBlockFormat format = continuing ? continuingFormat(m_cursor.blockFormat())
                                                   : lineFormat(m_cursor.blockFormat());
        m_cursor.insertBlock(format, m_plain);
        m_continuing = continuing;
    }

    void flush()
    {
        if (m_batch.isEmpty())
            return;
        const int base = m_cursor.position();
        m_cursor.insertText(m_batch, m_plain);
        for (const auto& [offset, mark] : m_marks) {
            QTextCursor standIn(m_cursor.document());
            standIn.setPosition(base + static_cast<int>(offset));
            standIn.setPosition(base + static_cast<int>(offset) + 1, QTextCursor::KeepAnchor);
            QTextCharFormat format;
            format.setProperty(kStandsFor, static_cast<int>(mark));
            standIn.mergeCharFormat(format);
        }
        m_batch.resize(0); // keeps its memory for the next slice
        m_marks.clear();
    }

    QTextCursor m_cursor;
    QStringView m_text;
    bool m_complete;
    QTextBlock m_first;
    QTextCharFormat m_plain;
    bool m_continuing;
    bool m_split = false;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0; // the line m_pos is in
    qsizetype m_lineEnd = -1;  // its line break, or -1 while not found
    qsizetype m_searched = 0;  // where the search for that break goes on
    QString m_batch;
    std::vector<std::pair<qsizetype, char16_t>> m_marks;
};

// Tells our breaks from the text's own line breaks by the block after them. A document holds a
// handful of block formats, so the answer is kept per format rather than read from the
// properties of each of a few hundred thousand blocks.
class BreakKinds {
public:
    bool ours(const QTextBlock& next)
    {
        const int index = next.blockFormatIndex();
        if (index != m_index) {
            m_index = index;
            m_ours = continuesLine(next);
        }
        return m_ours;
    }

private:
    int m_index = -1;
    bool m_ours = false;
};

} // namespace

bool continuesLine(const QTextBlock& block)
{
    return block.blockFormat().boolProperty(kContinuesLine);
}

QTextBlockFormat lineFormat(QTextBlockFormat format)
{
    format.clearProperty(kContinuesLine);
    return format;
}

void splitBlock(const QTextBlock& block)
{
    if (block.length() - 1 <= kMaxBlock)
        return;
    const QString line = block.text();
    const int base = block.position();
    QTextCursor cursor(block);
    int inserted = 0;
    for (const qsizetype cut : cutsFor(line)) {
        cursor.setPosition(base + static_cast<int>(cut) + inserted);
        cursor.insertBlock(continuingFormat(cursor.blockFormat()), cursor.charFormat());
        ++inserted;
    }
}

// Inserts text at the cursor, which has no selection, and leaves the cursor after it.
void insertLines(QTextCursor& cursor, QStringView text)
{
    BlockWriter writer(cursor, text);
    writer.write(text.size());
    cursor = writer.cursor();
}

// The text between two document positions, without our breaks: the one place where blocks are
// joined back into the text. The characters come out of the document in one piece, with a
// paragraph separator between blocks; then each separator becomes a line feed, or goes where it
// is ours.
QString textBetween(const QTextDocument* document, int from, int to)
{
    if (to <= from)
        return {};
    QTextBlock block = document->findBlock(from);
    QTextCursor range(block);
    range.setPosition(from);
    range.setPosition(to, QTextCursor::KeepAnchor);
    // The whole text, the usual case, comes faster in one copy sized up front.
    QString text = from == 0 && to == document->characterCount() - 1 ? document->toRawText()
                                                                     : range.selectedText();
    // Stand-ins back to the frame marks they replace; a cursor's format is that of the
    // character before it.
    for (qsizetype i = text.indexOf(kStandIn); i >= 0; i = text.indexOf(kStandIn, i + 1)) {
        range.setPosition(from + static_cast<int>(i) + 1);
        if (const QVariant mark = range.charFormat().property(kStandsFor); mark.isValid())
            text[i] = QChar(static_cast<char16_t>(mark.toInt()));
    }
    QChar* units = text.data();
    qsizetype kept = 0;
    qsizetype read = 0;
    const auto keepUpTo = [&](qsizetype end) {
        std::memmove(units + kept, units + read,
                     static_cast<std::size_t>(end - read) * sizeof(QChar));
        kept += end - read;
    };
    BreakKinds kinds;
    // Where the next block starts, counted on rather than asked of each block, which costs a
    // walk up the document's tree.
    qsizetype next = block.position() + block.length();
    for (block = block.next(); block.isValid() && next <= to; block = block.next()) {
        const qsizetype separator = next - 1 - from;
        keepUpTo(separator);
        if (!kinds.ours(block))
            units[kept++] = u'\n';
        read = separator + 1;
        next += block.length();
    }
    keepUpTo(text.size());
    text.truncate(kept);
    return text;
}

// Deletes a document the box no longer shows. Taking apart a few hundred thousand blocks takes
// a tenth of a second or more, so a long document is deleted on a thread of Qt's pool, which
// the application waits for when it ends.
void dispose(QTextDocument* document)
{
    if (document->characterCount() < kLongDocument) {
        delete document;
        return;
    }
    document->setParent(nullptr);
    // Without a thread, it may be taken by whichever of the pool's threads runs the task.
    document->moveToThread(nullptr);
    QThreadPool::globalInstance()->start([document] {
        document->moveToThread(QThread::currentThread());
        delete document;
    });
}

} // namespace textblocks

using textblocks::BlockWriter;

struct PreparedText::Fill {
    Fill(QTextDocument& document, QStringView text, bool complete)
        : writer(QTextCursor(&document), text, complete)
    {
    }
    BlockWriter writer;
    QTextBlock nextLayout; // once the text is all in, the first block still without a layout
    bool written = false;
};

PreparedText::PreparedText(QStringView text, bool complete)
    : m_document(std::make_unique<QTextDocument>()), m_size(text.size())
{
    m_document->setUndoRedoEnabled(false);
    m_fill = std::make_unique<Fill>(*m_document, text, complete);
}

PreparedText::~PreparedText()
{
    // A text handed between threads has none while on its way; it is taken back to be deleted.
    if (m_document && m_document->thread() == nullptr)
        m_document->moveToThread(QThread::currentThread());
}

void PreparedText::grow(QStringView text, bool complete)
{
    if (!m_fill || m_fill->written)
        return;
    m_fill->writer.grow(text, complete);
    m_size = text.size();
}

bool PreparedText::fill(qsizetype units)
{
    if (!m_fill)
        return true;
    units = std::max<qsizetype>(units, 1);
    if (!m_fill->written) {
        if (!m_fill->writer.write(units))
            return false;
        m_fill->written = true; // the text it reads may go now
        m_fill->nextLayout = m_document->begin();
    }
    // The box gives every block a QTextLayout when it first sizes a new document, which for a
    // few hundred thousand lines takes the better part of a second; made here, where the text
    // was filled, and in slices as the text was, they are only cleared there.
    QTextBlock& block = m_fill->nextLayout;
    for (qsizetype laid = 0; block.isValid() && laid < units; block = block.next()) {
        block.layout();
        laid += block.length();
    }
    if (block.isValid())
        return false;
    m_fill.reset();
    return true;
}

qsizetype PreparedText::filled() const
{
    return m_fill && !m_fill->written ? m_fill->writer.written() : m_size;
}

void PreparedText::moveToThread(QThread* thread)
{
    m_document->moveToThread(thread);
}

} // namespace prismel
