#include "fakeplatform.h"

#include "window/adapters/textfile.h"
#include "window/form/form1.h"
#include "window/widgets/longtextedit.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

#include <sys/stat.h>

using prismel::LongTextEdit;

// Files opened as the desktop opens them: named on the command line (openFile) or dropped on
// the input box.
class OpenFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void readTextFile_data();
    void readTextFile();
    void openFile_data();
    void openFile();
    void dropOnTheInputBox_data();
    void dropOnTheInputBox();

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }
    LongTextEdit* input() { return m_form->findChild<LongTextEdit*>(QStringLiteral("Text1")); }

    QTemporaryDir m_dir;
    prismel::test::FakePlatform m_fakes;
    std::unique_ptr<prismel::Form1> m_form;
};

void OpenFileTest::init()
{
    m_fakes.reset();
    m_form = std::make_unique<prismel::Form1>(m_fakes.platform());
    m_form->show();
}

void OpenFileTest::readTextFile_data()
{
    QTest::addColumn<QByteArray>("bytes"); // written to a file, unless null: no file at all
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8 with Chinese and an emoji")
        << QByteArray("彩虹字 😀\r\nok") << true << QStringLiteral("彩虹字 😀\r\nok");
    QTest::newRow("a byte order mark is dropped") << QByteArray("\xEF\xBB\xBF"
                                                                "A")
                                                  << true << "A";
    QTest::newRow("an empty file is an empty text") << QByteArray("") << true << "";
    QTest::newRow("exactly the limit") << QByteArray(32, 'x') << true << QString(32, u'x');
    QTest::newRow("one byte past the limit") << QByteArray(33, 'x') << false << "";
    QTest::newRow("Latin-1, not UTF-8") << QByteArray("caf\xE9") << false << "";
    QTest::newRow("a sequence cut off at the end") << QByteArray("ab\xE5\xBD") << false << "";
    QTest::newRow("an encoded surrogate") << QByteArray("\xED\xA0\x80") << false << "";
    QTest::newRow("no such file") << QByteArray() << false << "";
}

void OpenFileTest::readTextFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    const QString path =
        bytes.isNull() ? m_dir.filePath(QStringLiteral("missing.txt")) : write("in.txt", bytes);
    const prismel::TextFileRead read = prismel::readTextFile(path, 32);
    QCOMPARE(read.ok, ok);
    QCOMPARE(read.text, text);
    QCOMPARE(read.error.isEmpty(), ok);
}

void OpenFileTest::openFile_data()
{
    QTest::addColumn<QString>("kind"); // what stands at the path: a file of `bytes`, or else
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("input"); // the box afterwards
    QTest::addColumn<QString>("message");
    QTest::newRow("a good file fills the box")
        << "file" << QByteArray("你好") << QStringLiteral("你好") << "";
    QTest::newRow("bad UTF-8 is named, the box kept")
        << "file" << QByteArray("\xFF") << "kept" << QStringLiteral("不是 UTF-8 编码的文本");
    QTest::newRow("a missing file is named, the box kept")
        << "nothing" << QByteArray() << "kept" << QStringLiteral("文件不存在");
    // `prismel FIFO` waited in open() for a writer that never came, the window never drawn.
    QTest::newRow("a FIFO is refused at once")
        << "fifo" << QByteArray() << "kept" << QStringLiteral("不是普通文件");
    QTest::newRow("a link to a FIFO is refused at once")
        << "link to fifo" << QByteArray() << "kept" << QStringLiteral("不是普通文件");
    QTest::newRow("a device is refused unread")
        << "/dev/zero" << QByteArray() << "kept" << QStringLiteral("不是普通文件");
    QTest::newRow("a folder is named as one")
        << "folder" << QByteArray() << "kept" << QStringLiteral("这是一个文件夹，不是文件");
}

void OpenFileTest::openFile()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, input);
    QFETCH(QString, message);
    const QTemporaryDir dir; // of this row alone
    QString path = dir.filePath(QStringLiteral("post.txt"));
    if (kind == u"file") {
        path = write("post.txt", bytes);
    } else if (kind.startsWith(u'/')) {
        path = kind;
    } else if (kind == u"folder") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("post.txt")));
    } else if (kind != u"nothing") {
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        path = kind == u"fifo" ? fifo : path;
        QVERIFY(kind == u"fifo" || QFile::link(fifo, path));
    }
    this->input()->setText(QStringLiteral("kept"));
    m_form->openFile(path);
    QCOMPARE(this->input()->text(), input);
    if (message.isEmpty()) {
        QVERIFY(m_fakes.messageBoxes.shown.isEmpty());
    } else {
        QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
        const auto& [title, prompt] = m_fakes.messageBoxes.shown.front();
        QCOMPARE(title, QStringLiteral("打开文件"));
        QVERIFY2(prompt.contains(QDir::toNativeSeparators(path)) && prompt.endsWith(message),
                 qPrintable(prompt));
    }
}

void OpenFileTest::dropOnTheInputBox_data()
{
    QTest::addColumn<bool>("file"); // a file's address, else plain text
    QTest::addColumn<QString>("input");
    QTest::newRow("a dropped file's text replaces the box") << true << QStringLiteral("文件里的字");
    QTest::newRow("dropped text is inserted as before") << false << QStringLiteral("ab拖进来c");
}

void OpenFileTest::dropOnTheInputBox()
{
    QFETCH(bool, file);
    QFETCH(QString, input);
    this->input()->setText(QStringLiteral("abc"));
    this->input()->setSelection(2, 0);
    QWidget* viewport =
        this->input()->focusProxy()->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
    QVERIFY(viewport != nullptr);
    QMimeData mime;
    if (file)
        mime.setUrls({QUrl::fromLocalFile(write("dropped.txt", QByteArray("文件里的字")))});
    else
        mime.setText(QStringLiteral("拖进来"));
    // Dropped where the cursor already is, between "b" and "c".
    const QPoint at =
        this->input()->focusProxy()->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QCOMPARE(this->input()->text(), input);
}

QTEST_MAIN(OpenFileTest)
#include "openfile_test.moc"
