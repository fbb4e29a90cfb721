#include "fakeplatform.h"

#include "core/chunking.h"
#include "window/adapters/qtcolor.h"
#include "window/form/fonts.h"
#include "window/form/form1.h"
#include "window/form/picturemenu.h"
#include "window/form/textpicture.h"
#include "window/widgets/longtextedit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using prismel::PictureFormat;
using prismel::PictureRequest;

namespace {

PictureRequest requestOf(const QString& text, std::int32_t step = 1)
{
    PictureRequest request;
    request.convert.input = text;
    request.convert.step = step;
    request.face = prismel::windowFont();
    return request;
}

// Channels may differ by one where the colour is rounded.
bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
           std::abs(a.blue() - b.blue()) <= 1 && a.alpha() == 255;
}

// Files can grow no larger than `bytes` while it lives, for root as for anyone: a write past it
// fails with EFBIG instead of stopping the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blocksHaveTheirChunksColours();
    void linesAreKeptAndWrapped();
    void tooTallEndsWithAWholeLine();
    void svgHasATspanPerChunk();
    void copyPutsAPngOnTheClipboard();
    void longTextIsMadeOnAWorker();
    void failedSaveLeavesTheOldFile();
    void saveWritesTheChosenFormat();
    void inputBoxHasTheWindowsFace();

private:
    std::unique_ptr<prismel::Form1> window(const QString& text)
    {
        m_fakes.reset();
        auto form = std::make_unique<prismel::Form1>(m_fakes.platform());
        form->findChild<prismel::LongTextEdit*>(QStringLiteral("Text1"))->setText(text);
        return form;
    }

    prismel::test::FakePlatform m_fakes;
};

void PictureTest::blocksHaveTheirChunksColours()
{
    // "████" from magenta to green at step 1: positions 1 to 4 of 4, as in the preview.
    const auto picture = makeTextPicture(requestOf(QStringLiteral("████")), PictureFormat::Png);
    const QImage& image = picture.image;
    QCOMPARE(image.devicePixelRatio(), 2.0);
    QVERIFY(image.hasAlphaChannel());
    const QColor colors[] = {{191, 64, 191}, {128, 128, 128}, {64, 191, 64}, {0, 255, 0}};
    const int y = image.height() / 2;
    for (int block = 0; block < 4; ++block) {
        const int x = image.width() * (2 * block + 1) / 8;
        QVERIFY2(near(image.pixelColor(x, y), colors[block]),
                 qPrintable(image.pixelColor(x, y).name(QColor::HexArgb)));
    }
    QCOMPARE(picture.lines, 1);
    QVERIFY(!picture.cut);
}

void PictureTest::linesAreKeptAndWrapped()
{
    // The second line is twice as wide as the first: beside the first line's block there is
    // nothing, not even a background.
    const QImage two =
        makeTextPicture(requestOf(QStringLiteral("  █\n██  ")), PictureFormat::Png).image;
    QCOMPARE(two.pixelColor(two.width() * 3 / 4, two.height() / 4).alpha(), 0);
    QCOMPARE(two.pixelColor(two.width() / 4, two.height() / 4).alpha(), 255);
    QCOMPARE(two.pixelColor(two.width() * 3 / 4, two.height() * 3 / 4).alpha(), 255);

    // A line longer than 600 pixels wraps, between clusters where it has no space.
    const auto wrapped =
        makeTextPicture(requestOf(QString(200, QChar(0x2588))), PictureFormat::Png);
    QVERIFY(wrapped.lines > 1);
    QVERIFY(wrapped.image.width() <= prismel::pictureLineWidth * 2);
    QVERIFY(wrapped.image.width() > prismel::pictureLineWidth * 2 * 9 / 10);
}

void PictureTest::tooTallEndsWithAWholeLine()
{
    QString text;
    for (int line = 0; line < 2000; ++line)
        text += QStringLiteral("彩虹字 %1\n").arg(line);
    const auto picture = makeTextPicture(requestOf(text), PictureFormat::Png);
    QVERIFY(picture.cut);
    QVERIFY(picture.lines > 100 && picture.lines < 2000);
    QVERIFY(picture.image.height() <= prismel::pictureMaxHeight);
    QVERIFY(picture.image.height() > prismel::pictureMaxHeight * 9 / 10);
    // The same lines in the SVG, and the ellipsis after them.
    const QByteArray svg = makeTextPicture(requestOf(text), PictureFormat::Svg).file;
    QCOMPARE(svg.count("<text y="), picture.lines + 1);
    QVERIFY(svg.contains("…</text>"));
}

void PictureTest::svgHasATspanPerChunk()
{
    const QByteArray svg =
        makeTextPicture(requestOf(QStringLiteral("a&b <c>\n😀"), 2), PictureFormat::Svg).file;
    // Chunks "a&", "b ", "<c", ">" (the line break of ">\n" ends its line) and "😀", each in the
    // colour the core gives it.
    QCOMPARE(svg.count("<tspan "), 5);
    QStringList fills;
    auto chunks = prismel::chunksOf(u"a&b <c>\n😀", 2, prismel::Gradient{});
    while (const auto chunk = chunks.next())
        fills.append(prismel::toQColor(chunk->color).name());
    QCOMPARE(fills.size(), 5);
    const char* texts[] = {"a&amp;", "b ", "&lt;c", "&gt;", "😀"};
    for (int i = 0; i < 5; ++i)
        QVERIFY(svg.contains(QStringLiteral("fill=\"%1\">%2</tspan>")
                                 .arg(fills[i], QString::fromUtf8(texts[i]))
                                 .toUtf8()));
    QVERIFY(svg.startsWith("<?xml"));
}

void PictureTest::copyPutsAPngOnTheClipboard()
{
    const auto form = window(QStringLiteral("  彩虹 ██ 😀  "));
    form->findChild<prismel::PictureMenu*>()->copyAsPicture();
    QCOMPARE(m_fakes.clipboard.log, QStringList{QStringLiteral("setImage")});
    QVERIFY(m_fakes.clipboard.png.startsWith("\x89PNG\r\n"));
    const QImage decoded = QImage::fromData(m_fakes.clipboard.png, "PNG");
    QCOMPARE(decoded.size(), m_fakes.clipboard.image.size());
    QVERIFY(decoded.hasAlphaChannel());
    QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
}

void PictureTest::longTextIsMadeOnAWorker()
{
    QString text;
    while (text.size() < 100000)
        text += QStringLiteral("彩虹字让你的帖子更好看 Rainbow text 😀 ");
    const auto form = window(text);
    auto* menu = form->findChild<prismel::PictureMenu*>();
    menu->copyAsPicture();
    QVERIFY(menu->isMaking()); // the click has returned before the picture is made
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isMaking(), 60000);
    QCOMPARE(m_fakes.clipboard.log, QStringList{QStringLiteral("setImage")});
    QVERIFY(m_fakes.clipboard.image.height() <= prismel::pictureMaxHeight);
    // The message tells how many lines the picture holds.
    QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
    QVERIFY(m_fakes.messageBoxes.shown.first().second.contains(u'…'));
}

void PictureTest::failedSaveLeavesTheOldFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("prismel.png"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old picture");
    }
    const auto form = window(QString(300, QChar(0x2588)));
    form->findChild<prismel::PictureMenu*>()->setInlineUnits(1000); // written inside the call
    m_fakes.fileDialog.answer = path;
    {
        const FileSizeLimit limit(64); // far less than the picture's PNG
        form->findChild<prismel::PictureMenu*>()->saveAsPicture();
    }
    QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
    QVERIFY(m_fakes.messageBoxes.shown.first().second.contains(path));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old picture"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("prismel.png")});
}

void PictureTest::saveWritesTheChosenFormat()
{
    QTemporaryDir folder;
    const auto form = window(QStringLiteral("彩虹字 Rainbow"));
    auto* menu = form->findChild<prismel::PictureMenu*>();
    for (const char* name : {"a.png", "b.svg"}) {
        m_fakes.fileDialog.answer = folder.filePath(QString::fromLatin1(name));
        menu->saveAsPicture();
        QFile file(*m_fakes.fileDialog.answer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith(name[2] == 'p' ? QByteArray("\x89PNG") : QByteArray("<?xml")));
    }
    QVERIFY(m_fakes.fileDialog.asked.first().contains(QStringLiteral("prismel.png")));
    QVERIFY(m_fakes.messageBoxes.shown.isEmpty());
}

// Text1 sits in a frame whose style sheet would give its editor the application's face, which
// draws the most used emoji as monochrome outlines.
void PictureTest::inputBoxHasTheWindowsFace()
{
    const auto form = window(QStringLiteral("😀"));
    const QWidget* editor =
        form->findChild<prismel::LongTextEdit*>(QStringLiteral("Text1"))->focusProxy();
    QCOMPARE(editor->font().families(), prismel::windowFont().families());
    QCOMPARE(editor->font().families().constLast(), QString::fromUtf16(prismel::emojiFamily));
}

QTEST_MAIN(PictureTest)
#include "picture_test.moc"
