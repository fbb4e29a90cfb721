#pragma once

#include "window/widgets/textblocks.h"

#include <QString>
#include <QWidget>

#include <functional>

class QAction;
class QTextDocument;

namespace prismel {

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

protected:
    // The box's font is given to the editor outright: a style sheet on a frame around the box
    // would otherwise give the editor the application's font instead of the one it inherits.
    void changeEvent(QEvent* event) override;

private:
    class Editor;
    Editor* m_editor;
};

} // namespace prismel
