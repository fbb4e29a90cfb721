#pragma once

// The long text box's storage, apart from the widget: a text is held as a QTextDocument whose
// long lines are cut into blocks of a few thousand code units by breaks of our own, marked on the
// block that follows them. Here are the rules for where a line is cut, the writer that lays a
// text into blocks a slice at a time, the way back from blocks to the text, and the disposal of
// a document; LongTextEdit keeps its editing keys and copies within these rules.

#include <QString>
#include <QStringView>

#include <memory>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;
class QTextDocument;
class QThread;

namespace prismel {

// A text made ready for a LongTextEdit away from the one on show, a slice at a time, so that a
// long text can be laid into blocks while the event loop runs, or on a worker thread, and then
// shown at once, or dropped with nothing on show touched. The text it is made from must stay
// unchanged until it is filled. It may arrive in parts: a text that is not yet `complete` is
// laid in as far as it goes, and grow() hands over the longer text as more of it is written.
class PreparedText {
public:
    explicit PreparedText(QStringView text, bool complete = true);
    ~PreparedText();
    PreparedText(const PreparedText&) = delete;
    PreparedText& operator=(const PreparedText&) = delete;

    // `text` starts with the text so far and goes on further, or is the same text now complete.
    void grow(QStringView text, bool complete);

    // Lays about `units` more code units into blocks, then readies about as many for layout;
    // true once all of it is done.
    bool fill(qsizetype units);
    // Code units laid into blocks.
    qsizetype filled() const;
    qsizetype size() const { return m_size; }

    // Made on a worker thread, it must be handed to the window's thread before it is shown:
    // pushed there, or pushed to none (nullptr) and then taken by the window's thread. One that
    // has no thread may be deleted on any.
    void moveToThread(QThread* thread);

private:
    friend class LongTextEdit;
    struct Fill;
    std::unique_ptr<QTextDocument> m_document;
    std::unique_ptr<Fill> m_fill;
    qsizetype m_size;
};

namespace textblocks {

// Laying out one block of 4096 code units takes a few milliseconds, so typing stays fluid; much
// smaller blocks only add more early line ends. A block is split again once edits grow it past
// kMaxBlock, and each cut looks back up to kCutSearch units for a place where wrapping may break.
constexpr qsizetype kTargetBlock = 4096;
constexpr qsizetype kMaxBlock = 8192;
constexpr qsizetype kCutSearch = 256;

// True when the break before `block` is ours, not the text's.
bool continuesLine(const QTextBlock& block);

// `format` for a block that starts a line of the text.
QTextBlockFormat lineFormat(QTextBlockFormat format);

// Cuts a block that edits have grown past kMaxBlock at places where wrapping may break.
void splitBlock(const QTextBlock& block);

// Inserts text at the cursor, which has no selection, and leaves the cursor after it.
void insertLines(QTextCursor& cursor, QStringView text);

// The text between two document positions, without our breaks.
QString textBetween(const QTextDocument* document, int from, int to);

// Deletes a document no longer shown; a long one away from the calling thread.
void dispose(QTextDocument* document);

} // namespace textblocks

} // namespace prismel
