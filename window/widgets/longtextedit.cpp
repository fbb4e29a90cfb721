#include "window/widgets/longtextedit.h"

#include "window/widgets/selectallonfocus.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <utility>

namespace prismel {

using textblocks::continuesLine;
using textblocks::dispose;
using textblocks::insertLines;
using textblocks::kMaxBlock;
using textblocks::lineFormat;
using textblocks::splitBlock;
using textblocks::textBetween;

namespace {

bool isEnter(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
}

bool deletesBackward(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Backspace || event->matches(QKeySequence::DeleteStartOfWord);
}

bool deletesForward(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteEndOfWord);
}

// Steps the cursor over our breaks in one direction, so that the key that follows acts on a
// character of the text rather than on a break that is not there.
bool stepOverBreaks(QTextCursor& cursor, bool forward, QTextCursor::MoveMode mode)
{
    bool moved = false;
    for (;;) {
        const QTextBlock block = cursor.block();
        if (forward) {
            const QTextBlock next = block.next();
            if (!cursor.atBlockEnd() || !next.isValid() || !continuesLine(next))
                return moved;
            cursor.setPosition(next.position(), mode);
        } else {
            if (!cursor.atBlockStart() || !block.previous().isValid() || !continuesLine(block))
                return moved;
            cursor.setPosition(block.position() - 1, mode);
        }
        moved = true;
    }
}

} // namespace

// The QPlainTextEdit inside the box. It is the one that takes the focus, the keys and the mouse;
// its overrides keep our breaks out of every edit and every copy.
class LongTextEdit::Editor : public QPlainTextEdit {
public:
    explicit Editor(QWidget* parent) : QPlainTextEdit(parent)
    {
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // Tab moves on to the next control, as in the other fields of the window.
        setTabChangesFocus(true);
    }

    // Inserts at the cursor, replacing the selection, as one undo step.
    void insertText(const QString& text)
    {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        insertLines(cursor, text);
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
    }

    void addMenuActions(const QList<QAction*>& actions) { m_menuActions.append(actions); }

    // A local file dropped on the box goes to `open` instead of its name being inserted.
    void acceptFileDrops(std::function<void(const QString&)> open) { m_openFile = std::move(open); }

    int textPosition(int documentPosition) const
    {
        const QTextDocument* doc = document();
        const QTextBlock target = doc->findBlock(documentPosition);
        int ours = 0;
        for (QTextBlock block = doc->begin(); block.isValid() && block != target;) {
            block = block.next();
            if (block.isValid() && continuesLine(block))
                ++ours;
        }
        return documentPosition - ours;
    }

    int documentPosition(int textPosition) const
    {
        const QTextDocument* doc = document();
        int offset = 0;
        QTextBlock block = doc->begin();
        for (;;) {
            const int length = block.length() - 1;
            if (textPosition <= offset + length)
                return block.position() + std::max(textPosition - offset, 0);
            const QTextBlock next = block.next();
            if (!next.isValid())
                return block.position() + length;
            offset += length + (continuesLine(next) ? 0 : 1);
            block = next;
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (isReadOnly()) {
            QPlainTextEdit::keyPressEvent(event);
            return;
        }
        QTextCursor cursor = textCursor();
        if (isEnter(event)) {
            // QTextCursor::insertBlock() would copy our mark into the new line.
            cursor.beginEditBlock();
            cursor.removeSelectedText();
            cursor.insertBlock(lineFormat(cursor.blockFormat()), cursor.charFormat());
            cursor.endEditBlock();
            setTextCursor(cursor);
            ensureCursorVisible();
            event->accept();
            return;
        }
        const bool selecting = event->matches(QKeySequence::SelectNextChar) ||
                               event->matches(QKeySequence::SelectPreviousChar);
        const QTextCursor::MoveMode mode =
            selecting ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
        bool moved = false;
        if (selecting || !cursor.hasSelection()) {
            if (deletesBackward(event) || event->matches(QKeySequence::MoveToPreviousChar) ||
                event->matches(QKeySequence::SelectPreviousChar))
                moved = stepOverBreaks(cursor, false, mode);
            else if (deletesForward(event) || event->matches(QKeySequence::MoveToNextChar) ||
                     event->matches(QKeySequence::SelectNextChar))
                moved = stepOverBreaks(cursor, true, mode);
        }
        if (moved)
            setTextCursor(cursor);
        QPlainTextEdit::keyPressEvent(event);
        if (!event->text().isEmpty())
            splitCursorBlockIfLong();
    }

    void contextMenuEvent(QContextMenuEvent* event) override
    {
        // As QPlainTextEdit's own menu, with the box's actions added at the end.
        QMenu* menu = createStandardContextMenu(event->pos());
        if (!m_menuActions.isEmpty()) {
            menu->addSeparator();
            menu->addActions(m_menuActions);
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }

    void inputMethodEvent(QInputMethodEvent* event) override
    {
        QPlainTextEdit::inputMethodEvent(event);
        if (!event->commitString().isEmpty())
            splitCursorBlockIfLong();
    }

    QMimeData* createMimeDataFromSelection() const override
    {
        const QTextCursor cursor = textCursor();
        auto* mime = new QMimeData;
        mime->setText(textBetween(document(), cursor.selectionStart(), cursor.selectionEnd()));
        return mime;
    }

    bool canInsertFromMimeData(const QMimeData* source) const override
    {
        return droppedFile(source).has_value() || QPlainTextEdit::canInsertFromMimeData(source);
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (const auto file = droppedFile(source)) {
            m_openFile(*file);
            return;
        }
        if (source == nullptr || !source->hasText())
            return;
        insertText(source->text());
    }

private:
    void splitCursorBlockIfLong()
    {
        QTextCursor cursor = textCursor();
        if (cursor.block().length() - 1 <= kMaxBlock)
            return;
        cursor.joinPreviousEditBlock();
        splitBlock(cursor.block());
        cursor.endEditBlock();
    }

    // The first local file a drop carries, for a box that opens dropped files.
    std::optional<QString> droppedFile(const QMimeData* source) const
    {
        if (!m_openFile || source == nullptr || !source->hasUrls())
            return std::nullopt;
        for (const QUrl& url : source->urls())
            if (url.isLocalFile())
                return url.toLocalFile();
        return std::nullopt;
    }

    QList<QAction*> m_menuActions;
    std::function<void(const QString&)> m_openFile;
};

LongTextEdit::LongTextEdit(QWidget* parent) : QWidget(parent), m_editor(new Editor(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    // The box is one stop of the tab order and hands the focus to its editor.
    setFocusPolicy(m_editor->focusPolicy());
    setFocusProxy(m_editor);
    // The window's tab order moves the box and its editor but leaves the editor's viewport where
    // it was made; pointing at the editor, the viewport would be a stop of its own for Shift+Tab.
    // A click on it still focuses the editor, its nearest focusable ancestor.
    m_editor->viewport()->setFocusProxy(nullptr);
}

LongTextEdit::~LongTextEdit() = default;

QString LongTextEdit::text() const
{
    const QTextDocument* doc = m_editor->document();
    // The last position is that of the document's closing block separator, which is not text.
    return textBetween(doc, 0, doc->characterCount() - 1);
}

void LongTextEdit::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_editor->setFont(font());
    QWidget::changeEvent(event);
}

void LongTextEdit::setText(QStringView text)
{
    QTextDocument* doc = m_editor->document();
    // Like QPlainTextEdit::setPlainText: the new text is not an undo step and ends the history.
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor cursor(doc);
    insertLines(cursor, text);
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_editor->setTextCursor(QTextCursor(doc));
}

void LongTextEdit::showText(PreparedText& prepared)
{
    prepared.fill(prepared.size());
    const QPointer<QTextDocument> old = m_editor->document();
    QTextDocument* doc = prepared.m_document.release();
    // What the editor has set on its document so far, the new one takes over.
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    doc->setDocumentMargin(old->documentMargin());
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    doc->setParent(m_editor);
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    m_editor->setDocument(doc);
    // The editor deletes the document it made itself; one shown here before is ours to delete.
    if (old && old->parent() == m_editor)
        dispose(old.data());
    m_editor->setTextCursor(QTextCursor(doc));
}

int LongTextEdit::selectionStart() const
{
    return m_editor->textPosition(m_editor->textCursor().selectionStart());
}

int LongTextEdit::selectionLength() const
{
    const QTextCursor cursor = m_editor->textCursor();
    return m_editor->textPosition(cursor.selectionEnd()) -
           m_editor->textPosition(cursor.selectionStart());
}

void LongTextEdit::setSelection(int start, int length)
{
    start = std::max(start, 0);
    length = std::max(length, 0);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(m_editor->documentPosition(start));
    cursor.setPosition(m_editor->documentPosition(start + std::min(length, INT_MAX - start)),
                       QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

void LongTextEdit::selectAll()
{
    m_editor->selectAll();
}

void LongTextEdit::selectAllOnFocus()
{
    new SelectAllOnFocus(m_editor, m_editor->viewport(), [this] { selectAll(); });
}

void LongTextEdit::acceptFileDrops(std::function<void(const QString&)> open)
{
    m_editor->acceptFileDrops(std::move(open));
}

void LongTextEdit::addMenuActions(const QList<QAction*>& actions)
{
    m_editor->addMenuActions(actions);
}

const QTextDocument* LongTextEdit::document() const
{
    return m_editor->document();
}

} // namespace prismel
