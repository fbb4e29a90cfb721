#pragma once

#include <QPlainTextEdit>
#include <QString>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMimeData;
class QMouseEvent;

namespace prismel {

// A multi-line, word-wrapping text box that stays responsive with multi-megabyte text, even when
// it is one single line (the code of a one-line post is). QPlainTextEdit lays out lazily, one
// block at a time, but one block costs its whole length to lay out on every change, so a long
// line is kept as a run of blocks of a few thousand code units joined by breaks that are not part
// of the text. text(), the selection, copy, cut, drag and the editing keys all see the text
// without those breaks; only the wrapping shows them, as a line that ends a little early.
//
// Use text(), setText() and insertPlainText() of this class: the QPlainTextEdit versions, when
// called through a base-class pointer, see the breaks as line feeds.
class LongTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit LongTextEdit(QWidget* parent = nullptr);

    // Exactly what the box holds, with LF line breaks: CR LF, a lone CR and U+2029 become LF on
    // the way in, as in Qt's own text widgets.
    QString text() const;
    void setText(const QString& text);

    // Inserts at the cursor, replacing the selection, as one undo step.
    void insertPlainText(const QString& text);

    // Start and length of the selection, in code units of text().
    int selectionStart() const;
    int selectionLength() const;

    // Selects text() from start for length code units, clamped to the text.
    void setSelection(int start, int length);

    // Same as text() and setText(), so that code written for QPlainTextEdit reads the right text.
    QString toPlainText() const { return text(); }
    void setPlainText(const QString& text) { setText(text); }

Q_SIGNALS:
    // The box received the keyboard focus by any route except the return from a popup such as its
    // own context menu; the window selects all in response. A selection made in response survives
    // the mouse press that gave the focus.
    void focusEntered();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int textPosition(int documentPosition) const;
    int documentPosition(int textPosition) const;
    void splitCursorBlockIfLong();

    bool m_focusByMouse = false;
    bool m_pressSwallowed = false;
};

} // namespace prismel
