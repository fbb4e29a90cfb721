#include "preview/gradientbar.h"
#include "preview/textpreview.h"
#include "window/form/fonts.h"
#include "window/widgets/gradientbarwidget.h"
#include "window/widgets/previewwidget.h"

#include <QFontInfo>
#include <QTest>

using prismel::GradientBarWidget;
using prismel::PreviewWidget;

namespace {

// The drawable area of a surface as shown on screen.
QImage shown(QFrame& surface)
{
    return surface.grab()
        .toImage()
        .copy(surface.contentsRect())
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

class SurfacesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void barLines_data();
    void barLines();
    void barClsErases();
    void barKeepsItsPictureThroughRepaintAndResize();
    void previewFontSize_data();
    void previewFontSize();
    void previewPrintsAtTwips();
    void previewControlCharactersShowNothing();
    void previewClsErasesAndResetsPosition();
    void previewKeepsItsPictureThroughRepaintAndResize();
    void windowFaceHasChineseGlyphs();
};

void SurfacesTest::barLines_data()
{
    QTest::addColumn<int>("column"); // of the 213 drawable columns
    QTest::addColumn<QColor>("color");
    // Start-up colours: the line at a has (255 - a, a, 255 - a).
    QTest::newRow("left end is the start colour") << 0 << QColor(255, 0, 255);
    QTest::newRow("middle column shows a = 128") << 106 << QColor(127, 128, 127);
    QTest::newRow("right end is the end colour") << 212 << QColor(0, 255, 0);
}

void SurfacesTest::barLines()
{
    QFETCH(int, column);
    QFETCH(QColor, color);
    GradientBarWidget bar;
    bar.setAutoFillBackground(true);
    bar.resize(217, 25);
    prismel::setGradientBarScale(bar);
    prismel::DrawGradientBar(bar, prismel::ColorPair{});
    const QImage image = shown(bar);
    QCOMPARE(image.width(), 213);
    for (int y = 0; y < image.height(); ++y)
        QCOMPARE(image.pixelColor(column, y), color);
}

void SurfacesTest::barClsErases()
{
    GradientBarWidget bar;
    bar.resize(217, 25);
    prismel::setGradientBarScale(bar);
    prismel::DrawGradientBar(bar, prismel::ColorPair{});
    bar.cls();
    QCOMPARE(bar.lineCount(), std::size_t{0});
    const QImage image = shown(bar);
    QCOMPARE(image.pixelColor(100, 10), bar.palette().color(QPalette::Window));
}

void SurfacesTest::barKeepsItsPictureThroughRepaintAndResize()
{
    GradientBarWidget bar;
    bar.resize(217, 25);
    prismel::setGradientBarScale(bar);
    prismel::DrawGradientBar(bar, prismel::ColorPair{0, 0, 255, 0, 0, 255});
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.repaint();
    QCOMPARE(shown(bar).pixelColor(50, 5), QColor(0, 0, 255));
    bar.resize(300, 40);
    QTest::qWait(10);
    const QImage image = shown(bar);
    QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 255));
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0, 0, 255));
}

void SurfacesTest::previewFontSize_data()
{
    QTest::addColumn<float>("requested");
    QTest::addColumn<float>("reported");
    // Whole pixels at 96 dots per inch, as a picture box realises them.
    QTest::newRow("10 points become 13 pixels, 9.75 points") << 10.0f << 9.75f;
    QTest::newRow("9 points are 12 pixels exactly") << 9.0f << 9.0f;
    QTest::newRow("12 points are 16 pixels exactly") << 12.0f << 12.0f;
    QTest::newRow("a tiny size keeps one pixel") << 0.1f << 0.75f;
}

void SurfacesTest::previewFontSize()
{
    QFETCH(float, requested);
    QFETCH(float, reported);
    PreviewWidget preview;
    preview.setFontSize(requested);
    QCOMPARE(preview.fontSize(), reported);
}

void SurfacesTest::previewPrintsAtTwips()
{
    PreviewWidget preview;
    preview.setFont(prismel::windowFont());
    preview.resize(505, 145);
    preview.setFontSize(10);
    preview.cls();
    preview.setForeColor({0, 255, 0});
    preview.setCurrentX(1950); // 130 pixels
    preview.setCurrentY(600);  // 40 pixels
    preview.print(u"\u2588");
    const QImage image = shown(preview);
    // The full block fills its cell below the top edge; nothing is drawn left of or above it.
    QCOMPARE(image.pixelColor(136, 50), QColor(0, 255, 0));
    const QColor background = preview.palette().color(QPalette::Window);
    QCOMPARE(image.pixelColor(128, 50), background);
    QCOMPARE(image.pixelColor(136, 38), background);
}

void SurfacesTest::previewControlCharactersShowNothing()
{
    PreviewWidget preview;
    preview.resize(505, 145);
    preview.setFontSize(10);
    preview.cls();
    const QImage blank = preview.picture();
    preview.setForeColor({0, 0, 0});
    for (const std::u16string_view text : {u"\r", u"\n", u"\t", u"\r\n"}) {
        preview.setCurrentX(0);
        preview.setCurrentY(0);
        preview.print(text);
    }
    QCOMPARE(preview.picture(), blank);
}

void SurfacesTest::previewClsErasesAndResetsPosition()
{
    PreviewWidget preview;
    preview.setFont(prismel::windowFont());
    preview.resize(505, 145);
    preview.setFontSize(10);
    preview.cls();
    preview.setForeColor({0, 0, 255});
    preview.setCurrentX(3000);
    preview.setCurrentY(600);
    preview.print(u"\u2588\u2588");
    preview.cls();
    QCOMPARE(shown(preview).pixelColor(205, 50), preview.palette().color(QPalette::Window));
    preview.print(u"\u2588"); // from (0, 0) again
    QCOMPARE(shown(preview).pixelColor(6, 9), QColor(0, 0, 255));
}

void SurfacesTest::previewKeepsItsPictureThroughRepaintAndResize()
{
    PreviewWidget preview;
    preview.setFont(prismel::windowFont());
    preview.resize(505, 145);
    prismel::DrawTextPreview(preview, u"\u2588\u2588", {});
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    preview.repaint();
    // Two characters from magenta to green: (128, 128, 128) at position 1, green at 2.
    QCOMPARE(shown(preview).pixelColor(6, 9), QColor(128, 128, 128));
    QCOMPARE(shown(preview).pixelColor(19, 9), QColor(0, 255, 0));
    preview.resize(600, 200);
    QTest::qWait(10);
    QCOMPARE(shown(preview).pixelColor(19, 9), QColor(0, 255, 0));
    preview.hide();
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(shown(preview).pixelColor(6, 9), QColor(128, 128, 128));
}

void SurfacesTest::windowFaceHasChineseGlyphs()
{
    const QFont font = prismel::windowFont();
    QCOMPARE(QFontInfo(font).family(), prismel::songSubstitutes().constFirst());
    const QFontMetrics metrics(font);
    for (const char32_t c : {U'转', U'换', U'剪', U'贴', U'板', U'\u2588'})
        QVERIFY(metrics.inFontUcs4(c));
}

QTEST_MAIN(SurfacesTest)
#include "surfaces_test.moc"
