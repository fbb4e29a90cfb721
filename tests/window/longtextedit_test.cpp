#include "window/widgets/longtextedit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <thread>

using prismel::LongTextEdit;

namespace {

// A line long enough to be kept as several blocks, with a surrogate pair right at `pairAt`.
QString longLine(qsizetype length, qsizetype pairAt)
{
    QString line;
    line.reserve(length + 1);
    for (qsizetype i = 0; line.size() < length; ++i)
        line += line.size() == pairAt ? QStringLiteral("😀")
                                      : QString(QChar(static_cast<char16_t>(u'a' + i % 26)));
    return line;
}

// `prefix` ASCII letters, then `count` copies of one non-BMP character.
QString pairRun(qsizetype prefix, char32_t pair, qsizetype count)
{
    return QString(prefix, u'x') + QString::fromUcs4(&pair, 1).repeated(count);
}

// No block of the document may begin or end inside a surrogate pair.
bool keepsPairsWhole(const LongTextEdit& box)
{
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        const QString t = b.text();
        if (!t.isEmpty() && (t.front().isLowSurrogate() || t.back().isHighSurrogate()))
            return false;
    }
    return true;
}

// The editor inside the box, for the keys, the cursor and the editing actions a user reaches
// through it.
QPlainTextEdit& editorOf(LongTextEdit& box)
{
    return *box.findChild<QPlainTextEdit*>();
}

QStringList blocksOf(const LongTextEdit& box)
{
    QStringList blocks;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next())
        blocks += b.text();
    return blocks;
}

int longestBlock(const LongTextEdit& box)
{
    int longest = 0;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length() - 1);
    return longest;
}

} // namespace

class LongTextEditTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void editsAtAnInnerBreakActOnCharacters_data();
    void editsAtAnInnerBreakActOnCharacters();
    void undoRestoresTheTextAcrossBreaks();
    void pasteSplitsALongLineAndKeepsLineBreaks();
    void typingPastTheBlockLimitKeepsTheText();
    void copyOfASelectionIsExact_data();
    void copyOfASelectionIsExact();
    void cutAndPasteBackRestoresTheText();
    void selectAllCoversTheText_data();
    void selectAllCoversTheText();
    void setSelectionCountsTextUnits();
    void focusSelectionSurvivesTheClickThatGaveIt();
    void preparedOnAnotherThread_data();
    void preparedOnAnotherThread();
    void replacedDocumentIsDeleted_data();
    void replacedDocumentIsDeleted();
};

void LongTextEditTest::roundTrip_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("lines keep LF") << "a\nb\n\nc"
                                   << "a\nb\n\nc";
    QTest::newRow("only line breaks") << "\n\n\n"
                                      << "\n\n\n";
    QTest::newRow("CR LF becomes LF") << "a\r\nb\r\n"
                                      << "a\nb\n";
    QTest::newRow("lone CR becomes LF") << "a\rb\r"
                                        << "a\nb\n";
    QTest::newRow("CR CR LF is two breaks") << "a\r\r\nb"
                                            << "a\n\nb";
    QTest::newRow("paragraph separator becomes LF") << QString::fromUtf16(u"a\u2029b") << "a\nb";
    // Qt's own toPlainText() would turn these two into LF and a space.
    QTest::newRow("line separator and no-break space stay")
        << QString::fromUtf16(u"a\u2028b\u00a0c") << QString::fromUtf16(u"a\u2028b\u00a0c");
    // Regression: the document's two frame marks came back as line breaks.
    QTest::newRow("frame marks U+FDD0 and U+FDD1 stay characters")
        << QString::fromUtf16(u"a\uFDD0b\uFDD1\uFDD1c\uFDD0")
        << QString::fromUtf16(u"a\uFDD0b\uFDD1\uFDD1c\uFDD0");
    QTest::newRow("a frame mark alone")
        << QString::fromUtf16(u"\uFDD1") << QString::fromUtf16(u"\uFDD1");
    QTest::newRow("the replacement character stays itself beside a mark")
        << QString::fromUtf16(u"\uFFFD\uFDD0\uFFFD") << QString::fromUtf16(u"\uFFFD\uFDD0\uFFFD");
    QTest::newRow("object replacement character stays")
        << QString::fromUtf16(u"a\uFFFCb") << QString::fromUtf16(u"a\uFFFCb");
    QTest::newRow("chinese and emoji") << "彩虹😀字"
                                       << "彩虹😀字";
    // The line is cut near every 4096 units; a pair on either side of a cut must stay whole.
    for (const qsizetype at : {4094, 4095, 4096, 4097, 8191, 8192}) {
        const QString line = longLine(30'000, at);
        QTest::addRow("30k line, emoji at %lld", static_cast<long long>(at)) << line << line;
    }
    // Emoji allow a wrap between any two; bold letters allow none, so the cut falls back to
    // characters; combining marks form one endless character, so only the pair check is left.
    const std::pair<const char*, char32_t> kinds[] = {{"emoji", U'\U0001F600'},
                                                      {"bold letter", U'\U0001D400'},
                                                      {"combining mark", U'\U0001D167'}};
    for (const auto& [kind, pair] : kinds) {
        for (const qsizetype prefix : {0, 1, 2, 3, 4095, 4096, 4097}) {
            const QString line = pairRun(prefix, pair, 12'000);
            QTest::addRow("%s pairs after %lld letters", kind, static_cast<long long>(prefix))
                << line << line;
        }
    }
    const QString marked = QString::fromUtf16(u"ab\uFDD0").repeated(10'000);
    QTest::newRow("30k line of frame marks") << marked << marked;
    const QString spaced = QString::fromUtf16(u"word ").repeated(20'000);
    QTest::newRow("100k of words") << spaced << spaced;
    QTest::newRow("two long lines, CR LF between")
        << longLine(20'000, 5) + "\r\n" + longLine(20'000, 9)
        << longLine(20'000, 5) + "\n" + longLine(20'000, 9);
}

void LongTextEditTest::roundTrip()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    LongTextEdit box;
    box.setText(in);
    QCOMPARE(box.text(), out);
    QVERIFY(keepsPairsWhole(box));
    QVERIFY(longestBlock(box) <= 8192);

    // Handed over in parts, as a long Convert's code arrives, the text makes the same blocks;
    // a part may end inside CR LF, a surrogate pair or a line still to be cut.
    for (const qsizetype part : {qsizetype{1}, qsizetype{997}}) {
        if (part == 1 && in.size() > 100)
            continue;
        prismel::PreparedText prepared(QStringView(), false);
        for (qsizetype end = part; end < in.size(); end += part) {
            prepared.grow(QStringView(in).first(end), false);
            prepared.fill(part);
        }
        prepared.grow(in, true);
        LongTextEdit grown;
        grown.showText(prepared);
        QCOMPARE(blocksOf(grown), blocksOf(box));
        QCOMPARE(grown.text(), out);
    }
}

void LongTextEditTest::editsAtAnInnerBreakActOnCharacters_data()
{
    // The cursor sits at one of our breaks, at the end of the block before it or at the start of
    // the block after it; both are the same place in text(). The expected text is the line with
    // [cutFrom, cutTo) around that place replaced by `inserted`.
    QTest::addColumn<bool>("afterBreak");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("cutFrom");
    QTest::addColumn<int>("cutTo");
    QTest::addColumn<QString>("inserted");
    for (const bool after : {false, true}) {
        const char* side = after ? "start of the next block" : "end of the block";
        QTest::addRow("backspace at %s deletes the character before", side)
            << after << QKeySequence(Qt::Key_Backspace) << -1 << 0 << QString();
        QTest::addRow("delete at %s deletes the character after", side)
            << after << QKeySequence(Qt::Key_Delete) << 0 << 1 << QString();
        QTest::addRow("typing at %s inserts there", side)
            << after << QKeySequence(Qt::Key_X) << 0 << 0 << QStringLiteral("x");
        QTest::addRow("enter at %s inserts a line break", side)
            << after << QKeySequence(Qt::Key_Return) << 0 << 0 << QStringLiteral("\n");
        QTest::addRow("shift+enter at %s inserts a line break", side)
            << after << QKeySequence(Qt::SHIFT | Qt::Key_Return) << 0 << 0 << QStringLiteral("\n");
        QTest::addRow("right then backspace at %s deletes the character after", side)
            << after << QKeySequence(Qt::Key_Right, Qt::Key_Backspace) << 0 << 1 << QString();
        QTest::addRow("left then delete at %s deletes the character before", side)
            << after << QKeySequence(Qt::Key_Left, Qt::Key_Delete) << -1 << 0 << QString();
        QTest::addRow("shift+right then typing at %s replaces the character after", side)
            << after << QKeySequence(Qt::SHIFT | Qt::Key_Right, QKeyCombination(Qt::Key_Y)) << 0
            << 1 << QStringLiteral("y");
    }
}

void LongTextEditTest::editsAtAnInnerBreakActOnCharacters()
{
    QFETCH(bool, afterBreak);
    QFETCH(QKeySequence, keys);
    QFETCH(int, cutFrom);
    QFETCH(int, cutTo);
    QFETCH(QString, inserted);
    const QString line = longLine(20'000, -1);
    LongTextEdit box;
    box.setText(line);
    QVERIFY2(box.document()->blockCount() > 1, "a long line is kept as several blocks");

    const int breakAt = box.document()->begin().length() - 1;
    QTextCursor cursor = editorOf(box).textCursor();
    cursor.setPosition(breakAt + (afterBreak ? 1 : 0));
    editorOf(box).setTextCursor(cursor);
    QCOMPARE(box.selectionStart(), breakAt);

    for (uint i = 0; i < uint(keys.count()); ++i)
        QTest::keyClick(&editorOf(box), keys[i].key(), keys[i].keyboardModifiers());
    const QString expected = line.left(breakAt + cutFrom) + inserted + line.mid(breakAt + cutTo);
    QCOMPARE(box.text(), expected);
}

void LongTextEditTest::undoRestoresTheTextAcrossBreaks()
{
    const QString line = longLine(20'000, 4100);
    LongTextEdit box;
    box.setText(line);
    // Deleting a stretch over two of our breaks, then pressing Enter where it was.
    box.setSelection(4000, 5000);
    QTest::keyClick(&editorOf(box), Qt::Key_Delete);
    QTest::keyClick(&editorOf(box), Qt::Key_Return);
    QCOMPARE(box.text(), line.left(4000) + "\n" + line.mid(9000));
    editorOf(box).undo();
    editorOf(box).undo();
    QCOMPARE(box.text(), line);
    editorOf(box).redo();
    QCOMPARE(box.text(), line.left(4000) + line.mid(9000));
}

void LongTextEditTest::pasteSplitsALongLineAndKeepsLineBreaks()
{
    const QString line = longLine(20'000, -1);
    const QString pasted = longLine(30'000, 7) + "\r\n" + longLine(9'000, 8190);
    LongTextEdit box;
    box.setText(line);
    box.setSelection(6000, 10);
    QGuiApplication::clipboard()->setText(pasted);
    editorOf(box).paste();
    QCOMPARE(box.text(), line.left(6000) + QString(pasted).replace("\r\n", "\n") + line.mid(6010));
    QVERIFY(keepsPairsWhole(box));
    QVERIFY(longestBlock(box) <= 8192);
    editorOf(box).undo();
    QCOMPARE(box.text(), line);
}

void LongTextEditTest::typingPastTheBlockLimitKeepsTheText()
{
    LongTextEdit box;
    box.setText(QString(8190, u'a'));
    editorOf(box).moveCursor(QTextCursor::End);
    QTest::keyClicks(&editorOf(box), QStringLiteral("bcdef"));
    QCOMPARE(box.text(), QString(8190, u'a') + "bcdef");
    QVERIFY(longestBlock(box) <= 8192);
}

void LongTextEditTest::copyOfASelectionIsExact_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("across one break") << 4000 << 200;
    QTest::newRow("across several breaks and a line break") << 100 << 25'000;
    QTest::newRow("ending right at the line break") << 29'000 << 1000;
    QTest::newRow("the line break alone") << 30'000 << 1;
    QTest::newRow("everything") << 0 << 40'004;
    QTest::newRow("the frame marks") << 30'001 << 4;
}

void LongTextEditTest::copyOfASelectionIsExact()
{
    QFETCH(int, start);
    QFETCH(int, length);
    const QString text =
        longLine(30'000, 4096) + QString::fromUtf16(u"\n\uFDD0\uFDD1\r\n") + longLine(10'000, 3);
    const QString held = QString(text).replace("\r\n", "\n");
    QCOMPARE(held.size(), 40'004);
    LongTextEdit box;
    box.setText(text);
    box.setSelection(start, length);
    editorOf(box).copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), held.mid(start, length));
}

void LongTextEditTest::cutAndPasteBackRestoresTheText()
{
    const QString line = longLine(30'000, 12'000);
    LongTextEdit box;
    box.setText(line);
    box.setSelection(3000, 15'000);
    editorOf(box).cut();
    QCOMPARE(box.text(), line.left(3000) + line.mid(18'000));
    editorOf(box).paste();
    QCOMPARE(box.text(), line);
}

void LongTextEditTest::selectAllCoversTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("lines") << "a\nb\n";
    QTest::newRow("long line") << longLine(50'000, 4000);
    QTest::newRow("long lines") << longLine(50'000, 4000) + "\n\n" + longLine(9'000, 1) + "\n";
}

void LongTextEditTest::selectAllCoversTheText()
{
    QFETCH(QString, text);
    LongTextEdit box;
    box.setText(text);
    box.selectAll();
    QCOMPARE(box.selectionStart(), 0);
    QCOMPARE(box.selectionLength(), text.size());
}

void LongTextEditTest::setSelectionCountsTextUnits()
{
    LongTextEdit box;
    const QString line = longLine(12'000, -1);
    box.setText(line + "\n" + line);
    box.setSelection(12'001, 5);
    QCOMPARE(box.selectionStart(), 12'001);
    QCOMPARE(box.selectionLength(), 5);
    QCOMPARE(editorOf(box).textCursor().selectedText(), line.left(5));
    box.setSelection(4000, 5000);
    QCOMPARE(box.selectionStart(), 4000);
    QCOMPARE(box.selectionLength(), 5000);
    box.setSelection(-3, 1'000'000'000); // clamped to the text
    QCOMPARE(box.selectionStart(), 0);
    QCOMPARE(box.selectionLength(), box.text().size());
}

void LongTextEditTest::focusSelectionSurvivesTheClickThatGaveIt()
{
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* box = new LongTextEdit(&window);
    box->setGeometry(0, 30, 200, 100);
    box->setText(QStringLiteral("彩虹字的工具\nrainbow"));
    box->selectAllOnFocus();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    QWidget* viewport = editorOf(*box).viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, 10));
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectionLength(), box->text().size());
    // Once the box has the focus a click places the cursor as usual.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(box->selectionLength(), 0);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Tab);
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectionLength(), box->text().size());
}

// As a long Convert does it: laid into blocks in slices on a worker, handed over with no thread,
// then shown, or dropped, on the window's thread.
void LongTextEditTest::preparedOnAnotherThread_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shown");
    const QString lines = QStringLiteral("彩虹字 rainbow\n").repeated(3000);
    const QString oneLine = longLine(40'000, 4095);
    QTest::newRow("short lines, shown") << lines << true;
    QTest::newRow("one long line, shown") << oneLine << true;
    QTest::newRow("empty, shown") << QString() << true;
    QTest::newRow("short lines, dropped") << lines << false;
    QTest::newRow("one long line, dropped") << oneLine << false;
}

void LongTextEditTest::preparedOnAnotherThread()
{
    QFETCH(QString, text);
    QFETCH(bool, shown);
    // Handing a document to the wrong thread only warns.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    std::unique_ptr<prismel::PreparedText> prepared;
    int slices = 0;
    std::thread worker([&] {
        prepared = std::make_unique<prismel::PreparedText>(text);
        while (!prepared->fill(1000))
            ++slices;
        prepared->moveToThread(nullptr);
    });
    worker.join();
    QVERIFY(slices > 1 || text.isEmpty());
    if (!shown) {
        prepared.reset();
        return;
    }
    prepared->moveToThread(QThread::currentThread());
    LongTextEdit box;
    box.showText(*prepared);
    LongTextEdit direct;
    direct.setText(text);
    QCOMPARE(box.text(), text);
    QCOMPARE(blocksOf(box), blocksOf(direct));
}

// A long document the box no longer shows is deleted on Qt's thread pool, a short one at once
// on the window's thread.
void LongTextEditTest::replacedDocumentIsDeleted_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<bool>("onThisThread");
    // Lines shorter than a block: the document holds the text and one closing separator.
    QTest::newRow("short, at once") << qsizetype{100} << true;
    QTest::newRow("one unit short of 2^21 characters, at once") << qsizetype{(1 << 21) - 2} << true;
    QTest::newRow("2^21 characters, on the pool") << qsizetype{(1 << 21) - 1} << false;
}

void LongTextEditTest::replacedDocumentIsDeleted()
{
    QFETCH(qsizetype, length);
    QFETCH(bool, onThisThread);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    LongTextEdit box;
    const QString text = (QString(1023, u'x') + u'\n').repeated(2048).first(length);
    prismel::PreparedText first(text);
    box.showText(first);
    // Told on the thread that deletes it.
    std::atomic<QThread*> deletedOn{nullptr};
    QObject::connect(box.document(), &QObject::destroyed,
                     [&deletedOn] { deletedOn = QThread::currentThread(); });
    prismel::PreparedText second(QStringLiteral("next"));
    box.showText(second);
    QVERIFY(QThreadPool::globalInstance()->waitForDone(5000)); // a hang guard, not a timing
    QVERIFY(deletedOn.load() != nullptr);
    QCOMPARE(deletedOn.load() == QThread::currentThread(), onThisThread);
    QCOMPARE(box.text(), QStringLiteral("next"));
}

QTEST_MAIN(LongTextEditTest)
#include "longtextedit_test.moc"
