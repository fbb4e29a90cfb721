#include "fakeplatform.h"

#include "window/form/form1.h"
#include "window/widgets/longtextedit.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// Pixels of the window as a screenshot shows them. Set PRISMEL_SCREENSHOT_DIR to keep the
// pictures for a look.
QImage screenshot(QWidget& window, const char* name)
{
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString folder = qEnvironmentVariable("PRISMEL_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        image.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
    return image;
}

// Channels may differ by one where a glyph edge is smoothed.
bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
           std::abs(a.blue() - b.blue()) <= 1;
}

} // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void gradientBar_data();
    void gradientBar();
    void fullBlocksInThePreview_data();
    void fullBlocksInThePreview();
    void chineseSentenceAndPresets();
    void afterResize();

private:
    prismel::test::FakePlatform m_fakes;
    std::unique_ptr<prismel::Form1> m_form;
};

void ScreenshotTest::initTestCase()
{
    m_form = std::make_unique<prismel::Form1>(m_fakes.platform());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void ScreenshotTest::gradientBar_data()
{
    QTest::addColumn<QPoint>("pixel"); // in the window
    QTest::addColumn<QColor>("color");
    // Picture2 spans x 232 to 448; inside its 2-pixel border the bar runs from 234 to 446.
    QTest::newRow("left end, start colour") << QPoint(234, 204) << QColor(255, 0, 255);
    QTest::newRow("middle, a = 128") << QPoint(340, 204) << QColor(127, 128, 127);
    QTest::newRow("right end, end colour") << QPoint(446, 204) << QColor(0, 255, 0);
    QTest::newRow("top row of the bar") << QPoint(234, 194) << QColor(255, 0, 255);
    QTest::newRow("bottom row of the bar") << QPoint(446, 214) << QColor(0, 255, 0);
}

void ScreenshotTest::gradientBar()
{
    QFETCH(QPoint, pixel);
    QFETCH(QColor, color);
    const QImage image = screenshot(*m_form, "start");
    QCOMPARE(image.pixelColor(pixel), color);
}

void ScreenshotTest::fullBlocksInThePreview_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QColor>("color");
    // "████" from magenta to green: positions 1 to 4 of 4.
    QTest::newRow("first block") << 1 << QColor(191, 64, 191);
    QTest::newRow("second block, the tie rounds to even") << 2 << QColor(128, 128, 128);
    QTest::newRow("third block") << 3 << QColor(64, 191, 64);
    QTest::newRow("last block, end colour") << 4 << QColor(0, 255, 0);
    QTest::newRow("fifth cell is empty") << 5 << QColor(255, 255, 255);
}

void ScreenshotTest::fullBlocksInThePreview()
{
    QFETCH(int, cell);
    QFETCH(QColor, color);
    m_form->findChild<prismel::LongTextEdit*>(QStringLiteral("Text1"))
        ->setText(QStringLiteral("████"));
    m_form->findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click();
    const QImage image = screenshot(*m_form, "blocks");
    // Picture1's drawing starts at (18, 26); a 10-point cell is 13 pixels wide and rows are
    // 200 twips apart. The sample is the middle of the cell's block.
    const QPoint pixel(18 + 13 * (cell - 1) + 6, 26 + 9);
    QVERIFY2(near(image.pixelColor(pixel), color),
             qPrintable(image.pixelColor(pixel).name() + " is not " + color.name()));
}

void ScreenshotTest::chineseSentenceAndPresets()
{
    m_form->findChild<prismel::LongTextEdit*>(QStringLiteral("Text1"))
        ->setText(QStringLiteral("彩虹字让你的帖子更好看，换行\n之后也一样。"));
    m_form->findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click();
    const QImage converted = screenshot(*m_form, "chinese");
    // The first character is drawn near the start colour, not in black or white.
    bool coloured = false;
    for (int x = 18; x < 31 && !coloured; ++x)
        for (int y = 26; y < 42 && !coloured; ++y) {
            const QColor c = converted.pixelColor(x, y);
            coloured = c.red() > 150 && c.green() < 120 && c.blue() > 150;
        }
    QVERIFY(coloured);

    auto* combo = m_form->findChild<QComboBox*>(QStringLiteral("Combo1"));
    const char* names[] = {"preset-html", "preset-ubb", "preset-qq"};
    const char* heads[] = {"<font color=", "[color=", "[ftc="};
    combo->setCurrentIndex(-1);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(m_form->findChild<QLineEdit*>(QStringLiteral("Text2(0)"))->text(),
                 QString::fromLatin1(heads[i]));
        m_form->findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click();
        screenshot(*m_form, names[i]);
    }
}

void ScreenshotTest::afterResize()
{
    QTest::qWait(50); // the code box settles its scroll bar
    const QImage before = screenshot(*m_form, "before-resize");
    m_form->resize(800, 600);
    QTest::qWait(20);
    const QImage after = screenshot(*m_form, "resized");
    QCOMPARE(after.size(), QSize(800, 600));
    QCOMPARE(after.copy(0, 0, 539, 418), before);
    m_form->resize(539, 418);
}

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"
