#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
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

// A multi-line, word-wrapping text box that stays responsive with multi-megabyte text, even when
// it is one single line (the code of a one-line post is). QPlainTextEdit lays out lazily, one
// block at a time, but one block costs its whole length to lay out on every change, so a long
// line is kept as a run of blocks of a few thousand code units joined by breaks that are not part
// of the text. text(), the selection, copy, cut, drag and the editing keys all see the text
// without those breaks; only the wrapping shows them, as a line that ends a little early.
//
// The QPlainTextEdit is inside, not a base: its own toPlainText() would see those breaks as line
// feeds, so the box offers only the calls that see the text as it is. The box is one stop of the
// tab order and hands the focus to the editor inside.
class LongTextEdit : public QWidget {
    Q_OBJECT

public:
    explicit LongTextEdit(QWidget* parent = nullptr);
    ~LongTextEdit() override;

    // Exactly what the box holds, with LF line breaks: CR LF, a lone CR and U+2029 become LF on
    // the way in, as in Qt's own text widgets.
    QString text() const;
    void setText(QStringView text);

    // Shows a prepared text, filling what is left of it first, as setText() would show it.
    void showText(PreparedText& prepared);

    // Start and length of the selection, in code units of text().
    int selectionStart() const;
    int selectionLength() const;

    // Selects text() from start for length code units, clamped to the text.
    void setSelection(int start, int length);
    void selectAll();

    // From now on every focus selects the whole text, as SelectAllOnFocus does for a line field.
    void selectAllOnFocus();

    // Actions the context menu offers after its standard items, below a separator. The box does
    // not own them.
    void addMenuActions(const QList<QAction*>& actions);

    // From now on a local file dropped on the box goes to `open`, which may put its text in,
    // instead of the file's name being inserted; dropped text is inserted as before.
    void acceptFileDrops(std::function<void(const QString&)> open);

    // The storage, our breaks included; for measurements and tests that look at the blocks.
    const QTextDocument* document() const;

private:
    class Editor;
    Editor* m_editor;
};

} // namespace prismel
