#include "fakeplatform.h"
#include "modalwatch.h"

#include "window/form/gradienteditor.h"
#include "window/widgets/barstops.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextDocumentFragment>

#include <functional>
#include <memory>

using prismel::Gradient;
using prismel::GradientChoice;
using prismel::GradientEditor;
using Picked = std::optional<prismel::Rgb>;

namespace {

// Stops as prismel-convert's --stops takes them: "red, lime 30%, blue".
Gradient gradientOf(const QString& stops)
{
    return Gradient(*prismel::parseStops(stops.toStdU16String()).value);
}

} // namespace

class GradientEditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enterGivesTheEditedChoice();
    void listEdits_data();
    void listEdits();
    void stopButtons_data();
    void stopButtons();
    void choiceFollows_data();
    void choiceFollows();
    void sampleLine_data();
    void sampleLine();

private:
    void open(const QString& stops, const QString& sample = QStringLiteral("AB\nCD"))
    {
        m_editor = std::make_unique<GradientEditor>(GradientChoice{gradientOf(stops)}, sample,
                                                    m_colorDialog, nullptr);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }
    template <typename T> T* find(const char* name)
    {
        return m_editor->findChild<T*>(QString::fromLatin1(name));
    }
    // The list, the bar and OK all hold the same stops.
    void checkAgreement()
    {
        const Gradient& chosen = m_editor->choice().gradient;
        QCOMPARE(m_editor->findChild<prismel::BarStops*>()->gradient(), chosen);
        QCOMPARE(find<QTableWidget>("stops")->rowCount(), int(chosen.stops.size()));
    }

    prismel::test::FakeColorDialog m_colorDialog;
    std::unique_ptr<GradientEditor> m_editor;
};

void GradientEditorTest::enterGivesTheEditedChoice()
{
    GradientEditor editor({gradientOf(QStringLiteral("red, blue"))}, QString(), m_colorDialog,
                          nullptr);
    QString focused;
    prismel::test::whenModal<GradientEditor>([&focused](GradientEditor& shown) {
        shown.findChild<QPushButton*>(QStringLiteral("reverse"))->click();
        shown.findChild<QCheckBox*>(QStringLiteral("perLine"))->click();
        // Enter from the list, where the dialog opens, reaches OK.
        shown.findChild<QTableWidget*>(QStringLiteral("stops"))->setFocus();
        if (QTest::qWaitForWindowActive(&shown) && QApplication::focusWidget() != nullptr) {
            focused = QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            shown.reject();
        }
    });
    QCOMPARE(editor.exec(), int(QDialog::Accepted));
    QCOMPARE(focused, QStringLiteral("stops"));
    QCOMPARE(editor.choice(),
             (GradientChoice{gradientOf(QStringLiteral("blue 0%, red 100%")), true}));
}

void GradientEditorTest::listEdits_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column"); // 1 the code, 2 the place
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // in the cell afterwards
    QTest::addColumn<QString>("after"); // from "red, lime 30%, blue 60%, white"
    const QString same = QStringLiteral("red, lime 30%, blue 60%, white");
    QTest::newRow("code") << 1 << 1 << "#0000ff"
                          << "#0000FF"
                          << "red, blue 30%, blue 60%, white";
    QTest::newRow("colour name") << 0 << 1 << "Gold"
                                 << "#FFD700"
                                 << "gold, lime 30%, blue 60%, white";
    QTest::newRow("bad code refused") << 1 << 1 << "#12345"
                                      << "#00FF00" << same;
    QTest::newRow("place to the hundredth") << 1 << 2 << "45.678 %"
                                            << "45.68 %"
                                            << "red 0%, lime 45.68%, blue 60%, white 100%";
    QTest::newRow("place as a number with a sign") << 1 << 2 << " +1e1 %"
                                                   << "10.00 %"
                                                   << "red 0%, lime 10%, blue 60%, white 100%";
    QTest::newRow("place held at the next") << 1 << 2 << "75"
                                            << "60.00 %"
                                            << "red 0%, lime 60%, blue 60%, white 100%";
    QTest::newRow("place held at the previous") << 2 << 2 << "-5"
                                                << "30.00 %"
                                                << "red 0%, lime 30%, blue 30%, white 100%";
    QTest::newRow("bad place refused") << 2 << 2 << "abc"
                                       << "60.00 %" << same;
}

void GradientEditorTest::listEdits()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, after);
    open(QStringLiteral("red, lime 30%, blue 60%, white"));
    auto* stops = find<QTableWidget>("stops");
    // As the user does it: F2 on the cell, type over its text, Enter.
    stops->setCurrentCell(row, column);
    QTest::keyClick(stops, Qt::Key_F2);
    const QPointer<QLineEdit> cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(cell);
    cell->selectAll();
    QTest::keyClicks(cell, typed);
    QTest::keyClick(cell, Qt::Key_Return);
    QTRY_VERIFY(cell.isNull()); // the text is taken in a queued call, then the editor goes
    QCOMPARE(stops->item(row, column)->text(), shown);
    QCOMPARE(m_editor->choice().gradient, gradientOf(after));
    checkAgreement();
}

void GradientEditorTest::stopButtons_data()
{
    QTest::addColumn<QString>("stops");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Picked>("picked"); // by the colour dialog
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("rowAfter");
    QTest::newRow("add after the current stop, in the colour there")
        << "red, blue" << 0 << "addStop" << Picked() << "red 0%, #800080 50%, blue 100%" << 1;
    QTest::newRow("add after the last: before it")
        << "red, lime, blue" << 2 << "addStop" << Picked()
        << "red 0%, lime 50%, #008080 75%, blue 100%" << 2;
    QTest::newRow("remove keeps the others' places")
        << "red, lime, blue, white" << 1 << "removeStop" << Picked()
        << "red 0%, blue 66.67%, white 100%" << 1;
    QTest::newRow("not below two")
        << "red, blue" << 1 << "removeStop" << Picked() << "red, blue" << 1;
    QTest::newRow("Delete in the list removes too")
        << "red, lime, blue" << 1 << "Delete" << Picked() << "red 0%, blue 100%" << 1;
    QTest::newRow("colour picked")
        << "red, blue" << 1 << "changeColor" << Picked({0x80, 0xFF, 0x00}) << "red, #80FF00" << 1;
    QTest::newRow("colour dialog cancelled")
        << "red, blue" << 1 << "changeColor" << Picked() << "red, blue" << 1;
}

void GradientEditorTest::stopButtons()
{
    QFETCH(QString, stops);
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(Picked, picked);
    QFETCH(QString, after);
    QFETCH(int, rowAfter);
    open(stops);
    find<QTableWidget>("stops")->setCurrentCell(row, 1);
    m_colorDialog.answer = picked;
    if (button == u"Delete") {
        auto* list = find<QTableWidget>("stops");
        list->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
        QTest::keyClick(list, Qt::Key_Delete);
    } else {
        find<QPushButton>(button.toLatin1().constData())->click();
    }
    QCOMPARE(m_editor->choice().gradient, gradientOf(after));
    QCOMPARE(find<QTableWidget>("stops")->currentRow(), rowAfter);
    QCOMPARE(find<QPushButton>("removeStop")->isEnabled(), gradientOf(after).stops.size() > 2);
    checkAgreement();
}

void GradientEditorTest::choiceFollows_data()
{
    using Act = std::function<void(GradientEditor&)>;
    QTest::addColumn<Act>("act");
    QTest::addColumn<QString>("after"); // from "red, blue"
    QTest::addColumn<int>("space");
    QTest::addColumn<int>("hue");
    QTest::addColumn<QString>("colors"); // of "A" and "B" in the sample
    // The colour space, then the hue method when it is enabled, as the user picks them.
    const auto pick = [](int space, int hue) {
        return Act([space, hue](GradientEditor& editor) {
            editor.findChild<QComboBox*>(QStringLiteral("space"))->setCurrentIndex(space);
            auto* hueBox = editor.findChild<QComboBox*>(QStringLiteral("hue"));
            if (hueBox->isEnabled())
                hueBox->setCurrentIndex(hue);
        });
    };
    QTest::newRow("reverse") << Act([](GradientEditor& editor) {
        editor.findChild<QPushButton*>(QStringLiteral("reverse"))->click();
    }) << "blue 0%, red 100%" << 0
                             << 0 << "800080 FF0000";
    QTest::newRow("OKLab") << pick(1, 1) << "red, blue" << 1 << 0 << "8C53A2 0000FF";
    QTest::newRow("OKLCH") << pick(2, 0) << "red, blue" << 2 << 0 << "B700BE 0000FF";
    QTest::newRow("OKLCH the longer way round")
        << pick(2, 1) << "red, blue" << 2 << 1 << "008A0E 0000FF";
    QTest::newRow("back to RGB") << Act([pick](GradientEditor& editor) {
        pick(2, 1)(editor);
        pick(0, 0)(editor);
    }) << "red, blue" << 0 << 1 << "800080 0000FF";
    QTest::newRow("a change on the bar") << Act([](GradientEditor& editor) {
        auto* bar = editor.findChild<prismel::BarStops*>();
        bar->setGradient(gradientOf(QStringLiteral("red, lime 40%, blue")));
        Q_EMIT bar->changed();
    }) << "red, lime 40%, blue" << 0 << 0 << "00D42A 0000FF";
}

void GradientEditorTest::choiceFollows()
{
    using Act = std::function<void(GradientEditor&)>;
    QFETCH(Act, act);
    QFETCH(QString, after);
    QFETCH(int, space);
    QFETCH(int, hue);
    QFETCH(QString, colors);
    open(QStringLiteral("red, blue"));
    act(*m_editor);
    const Gradient& chosen = m_editor->choice().gradient;
    QCOMPARE(chosen.stops, gradientOf(after).stops);
    QCOMPARE(int(chosen.space), space);
    QCOMPARE(int(chosen.hue), hue);
    QCOMPARE(find<QComboBox>("hue")->isEnabled(), chosen.space == prismel::ColorSpace::Oklch);
    const QStringList ab = colors.split(QLatin1Char(' '));
    QCOMPARE(find<QLabel>("sample")->text(),
             QStringLiteral("<meta charset=\"utf-8\"><span style=\"color:#%1\">A</span>"
                            "<span style=\"color:#%2\">B</span>")
                 .arg(ab[0], ab[1]));
    checkAgreement();
}

void GradientEditorTest::sampleLine_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("shown");
    const QString a39(39, QLatin1Char('a'));
    QTest::newRow("first line only") << "AB\r\nCD"
                                     << "AB";
    QTest::newRow("blank: the default") << " \nAB"
                                        << "彩虹字 Rainbow";
    QTest::newRow("cut after 40, keeping a combining mark") << a39 + "e\u0301xy" << a39 + "e\u0301";
    QTest::newRow("cut after 40, keeping a surrogate pair") << a39 + "😀z" << a39 + "😀";
}

void GradientEditorTest::sampleLine()
{
    QFETCH(QString, sample);
    QFETCH(QString, shown);
    open(QStringLiteral("red, blue"), sample);
    QCOMPARE(QTextDocumentFragment::fromHtml(find<QLabel>("sample")->text()).toPlainText(), shown);
}

QTEST_MAIN(GradientEditorTest)
#include "gradienteditor_test.moc"
