#include "fakeplatform.h"
#include "modalwatch.h"

#include "window/widgets/barstops.h"
#include "window/widgets/gradientbarwidget.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <optional>
#include <utility>

using prismel::BarStops;
using prismel::Gradient;
using prismel::GradientBarWidget;

namespace {

// 301 drawable columns: column n is n / 300 of the way, so 100 is 33.33 % and 150 is 50 %.
const QSize barSize(305, 25);
const QString four = QStringLiteral("red, lime, blue, white"); // markers at columns 100 and 200
constexpr prismel::Rgb orange{0xFF, 0x80, 0x00};
using Answer = std::optional<prismel::Rgb>; // nothing is a Cancel

Gradient gradientOf(const QString& stops)
{
    return Gradient(prismel::parseStops(stops.toStdU16String()).value.value());
}

struct Bench {
    explicit Bench(QString initial, Answer answer = std::nullopt) : start(std::move(initial))
    {
        bar.resize(barSize);
        bar.show();
        dialog.answer = answer;
    }
    QPoint at(int column) const
    {
        return {bar.contentsRect().left() + column, bar.contentsRect().center().y()};
    }
    // A right click; `key` is pressed in the menu it opens, if one is expected.
    void rightClick(int column, std::optional<Qt::Key> key)
    {
        if (key)
            prismel::test::whenPopup<QMenu>([k = *key](QMenu& menu) { QTest::keyClick(&menu, k); });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at(column), bar.mapToGlobal(at(column)));
        QApplication::sendEvent(&bar, &event);
    }

    QString start;
    prismel::test::FakeColorDialog dialog;
    GradientBarWidget bar;
    BarStops stops{bar, dialog, gradientOf(start), nullptr};
    QSignalSpy changed{&stops, &BarStops::changed};
};

QImage shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class BarStopsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void doubleClickAdds_data();
    void doubleClickAdds();
    void drag_data();
    void drag();
    void rightClick_data();
    void rightClick();
    void markersOnlyWithMiddleStops_data();
    void markersOnlyWithMiddleStops();
};

void BarStopsTest::doubleClickAdds_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("column");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("asked");
    QTest::newRow("OK adds in order and writes out every place")
        << four << 150 << Answer(orange)
        << "red 0%, lime 33.33%, #FF8000 50%, blue 66.67%, white 100%" << true;
    QTest::newRow("Cancel adds nothing") << four << 150 << Answer() << four << true;
    QTest::newRow("on the first stop's place it follows it")
        << four << 0 << Answer(orange) << "red 0%, #FF8000 0%, lime 33.33%, blue 66.67%, white 100%"
        << true;
    QTest::newRow("on the last stop's place it precedes it")
        << four << 300 << Answer(orange)
        << "red 0%, lime 33.33%, blue 66.67%, #FF8000 100%, white 100%" << true;
    QTest::newRow("before a first stop placed late it is the first")
        << "red 20%, blue" << 30 << Answer(orange) << "#FF8000 10%, red 20%, blue 100%" << true;
    const QString full = QStringList(Gradient::maxStops, QStringLiteral("red")).join(u',');
    QTest::newRow("64 stops take no more") << full << 150 << Answer(orange) << full << false;
}

void BarStopsTest::doubleClickAdds()
{
    QFETCH(QString, start);
    QFETCH(int, column);
    QFETCH(Answer, answer);
    QFETCH(QString, expected);
    QFETCH(bool, asked);
    Bench bench(start, answer);
    QTest::mouseDClick(&bench.bar, Qt::LeftButton, {}, bench.at(column));
    QCOMPARE(bench.stops.gradient(), gradientOf(expected));
    QCOMPARE(bench.changed.count(), expected == start ? 0 : 1);
    QCOMPARE(bench.dialog.calls, asked ? 1 : 0);
}

void BarStopsTest::drag_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("expected");
    QTest::newRow("follows the mouse; every place written out")
        << 100 << 150 << "red 0%, lime 50%, blue 66.67%, white 100%";
    QTest::newRow("to 0.01 %, caught off its centre")
        << 103 << 1 << "red 0%, lime 0.33%, blue 66.67%, white 100%";
    QTest::newRow("held at the right neighbour")
        << 100 << 280 << "red 0%, lime 66.67%, blue 66.67%, white 100%";
    QTest::newRow("held at the left neighbour, past the bar's end")
        << 200 << -40 << "red 0%, lime 33.33%, blue 33.33%, white 100%";
    // A stop placed by its neighbours stays so until it really moves.
    QTest::newRow("back on its own place changes nothing") << 100 << 100 << four;
    QTest::newRow("a press off the markers drags nothing") << 50 << 150 << four;
}

void BarStopsTest::drag()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, expected);
    Bench bench(four);
    QTest::mousePress(&bench.bar, Qt::LeftButton, {}, bench.at(from));
    QTest::mouseMove(&bench.bar, bench.at((from + to) / 2));
    QTest::mouseMove(&bench.bar, bench.at(to));
    QTest::mouseRelease(&bench.bar, Qt::LeftButton, {}, bench.at(to));
    QTest::mouseMove(&bench.bar, bench.at(250)); // released, it stays
    QCOMPARE(bench.stops.gradient(), gradientOf(expected));
    QCOMPARE(bench.changed.isEmpty(), expected == four);
}

void BarStopsTest::rightClick_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key"); // in the marker's menu; 0 when the bar's owner gets the click
    QTest::addColumn<QString>("expected");
    QTest::newRow("change colour") << four << 200 << int{Qt::Key_C} << "red, lime, #FF8000, white";
    QTest::newRow("delete; the others keep their places")
        << four << 204 << int{Qt::Key_D} << "red 0%, lime 33.33%, white 100%";
    QTest::newRow("menu dismissed") << four << 200 << int{Qt::Key_Escape} << four;
    QTest::newRow("just out of a marker's reach") << four << 205 << 0 << four;
    QTest::newRow("two stops have no marker") << "red, blue" << 0 << 0 << "red, blue";
}

void BarStopsTest::rightClick()
{
    QFETCH(QString, start);
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(QString, expected);
    Bench bench(start, orange);
    QSignalSpy barMenu(&bench.bar, &GradientBarWidget::barMenuRequested);
    bench.rightClick(column, key == 0 ? std::nullopt : std::optional(static_cast<Qt::Key>(key)));
    QCOMPARE(bench.stops.gradient(), gradientOf(expected));
    QCOMPARE(bench.changed.count(), expected == start ? 0 : 1);
    QCOMPARE(barMenu.count(), key == 0 ? 1 : 0);
    if (key == 0)
        QCOMPARE(barMenu.front().front().toPoint(), bench.bar.mapToGlobal(bench.at(column)));
}

void BarStopsTest::markersOnlyWithMiddleStops_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("two stops") << "magenta, lime"
                               << "magenta, lime";
    QTest::newRow("two stops after three") << "magenta, blue, lime"
                                           << "magenta, lime";
    QTest::newRow("three stops, redrawn from cls") << "magenta, lime"
                                                   << "magenta, blue, lime";
}

void BarStopsTest::markersOnlyWithMiddleStops()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    Bench bench(before);
    bench.stops.setGradient(gradientOf(after));
    GradientBarWidget plain;
    plain.resize(barSize);
    prismel::setGradientBarScale(plain);
    prismel::DrawGradientBar(plain, gradientOf(after));
    prismel::DrawGradientBar(bench.bar, gradientOf(after)); // as the window redraws it
    QCOMPARE(shown(bench.bar) == shown(plain), gradientOf(after).stops.size() == 2);
}

QTEST_MAIN(BarStopsTest)
#include "barstops_test.moc"
