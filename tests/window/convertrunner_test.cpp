#include "core/conversion.h"
#include "core/step.h"
#include "window/form/convertrunner.h"
#include "window/widgets/longtextedit.h"

#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <memory>

using prismel::ConvertRunner;
using prismel::LongTextEdit;
using prismel::TextRequest;
using namespace std::chrono_literals;

namespace {

const prismel::TagTemplate kTags{u"[color=#", u"]", u"[/color]"};

// Long enough that its workers are still busy when the test steps in (about 11 million units of
// code at step 1), short enough for a sanitizer build.
QString longInput()
{
    return QStringLiteral("彩虹字 rainbow\n").repeated(40'000);
}

TextRequest request(const QString& input, const QString& step = QStringLiteral("1"))
{
    TextRequest r;
    r.input = input;
    r.step = prismel::parseStep(step.toStdU16String());
    r.tags = kTags;
    return r;
}

QString expectedCode(const TextRequest& r)
{
    return QString::fromStdU16String(prismel::ConvertText(r.input.toStdU16String(), r));
}

// A window as Form1 uses the runner: an input field that has the focus, a button with an access
// key, and the output box that `finish` fills.
struct Window {
    Window()
    {
        auto* layout = new QVBoxLayout(&widget);
        layout->addWidget(field);
        layout->addWidget(button);
        layout->addWidget(output);
        output->setText(QStringLiteral("before"));
        widget.resize(400, 300);
        widget.show();
        widget.activateWindow();
        field->setFocus();
    }

    void run(const TextRequest& r)
    {
        runner->run(r, [this](const TextRequest&, prismel::PreparedText& prepared,
                              const prismel::CodeLength::Sizes&) {
            ++finished;
            output->showText(prepared);
        });
    }

    QProgressDialog* dialog() const { return widget.findChild<QProgressDialog*>(); }

    QWidget widget;
    QLineEdit* field = new QLineEdit(QStringLiteral("field"), &widget);
    QPushButton* button = new QPushButton(QStringLiteral("&Go"), &widget);
    LongTextEdit* output = new LongTextEdit(&widget);
    ConvertRunner* runner = new ConvertRunner(&widget);
    int finished = 0;
};

} // namespace

class ConvertRunnerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void finishesWithTheWholeCode_data();
    void finishesWithTheWholeCode();
    void cancelLeavesTheWindowAsItWas_data();
    void cancelLeavesTheWindowAsItWas();
    void convertAgainAtOnceAfterCancel();
    void inputIsHeldBackUnchangedWhileRunning();
    void deletingTheRunnerStopsItsWorkers();
};

void ConvertRunnerTest::finishesWithTheWholeCode_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("step");
    QTest::addColumn<std::size_t>("inlineUnits");
    QTest::addColumn<int>("clickWaitMs");
    QTest::addColumn<bool>("insideTheClick");
    QTest::newRow("a small code is made inside the click")
        << QStringLiteral("ABC") << "1" << std::size_t{1} << 60'000 << true;
    QTest::newRow("a long code waited for inside the click")
        << longInput() << "1" << std::size_t{0} << 60'000 << true;
    QTest::newRow("a long code finished from the event loop")
        << longInput() << "1" << std::size_t{0} << 0 << false;
    QTest::newRow("a large step finished from the event loop")
        << longInput() << "1000" << std::size_t{0} << 0 << false;
    // "ABC" makes at most 3 + 3 * 23 = 72 units of code.
    QTest::newRow("code at the inline limit is made inside the click")
        << QStringLiteral("ABC") << "1" << std::size_t{72} << 0 << true;
    QTest::newRow("code one unit over the inline limit goes to the workers")
        << QStringLiteral("ABC") << "1" << std::size_t{71} << 0 << false;
}

void ConvertRunnerTest::finishesWithTheWholeCode()
{
    QFETCH(QString, input);
    QFETCH(QString, step);
    QFETCH(std::size_t, inlineUnits);
    QFETCH(int, clickWaitMs);
    QFETCH(bool, insideTheClick);
    Window window;
    window.runner->setLimits(inlineUnits, std::chrono::milliseconds(clickWaitMs), 0ms);
    const TextRequest r = request(input, step);
    window.run(r);
    QCOMPARE(window.finished, insideTheClick ? 1 : 0);
    QCOMPARE(window.runner->isRunning(), !insideTheClick);
    QTRY_VERIFY_WITH_TIMEOUT(!window.runner->isRunning(), 60'000);
    QCOMPARE(window.finished, 1);
    QCOMPARE(window.output->text(), expectedCode(r));
    QVERIFY(window.dialog() == nullptr || !window.dialog()->isVisible());
    QVERIFY(window.runner->waitForWorkers(5s)); // a hang guard, not a timing
}

// Each row stops the Convert at another point of its way; none may change the window, and every
// worker must end.
void ConvertRunnerTest::cancelLeavesTheWindowAsItWas_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("step");
    QTest::newRow("cancel as the click returns") << "at once"
                                                 << "1";
    QTest::newRow("cancel from the dialog's button") << "button"
                                                     << "1";
    QTest::newRow("cancel once the dialog shows progress") << "progress"
                                                           << "1";
    QTest::newRow("closing the dialog cancels") << "close dialog"
                                                << "1";
    // Regression: with a large step the converter looked for a Cancel only after 16,384 chunks.
    QTest::newRow("cancel at a large step") << "at once"
                                            << "1000";
}

void ConvertRunnerTest::cancelLeavesTheWindowAsItWas()
{
    QFETCH(QString, how);
    QFETCH(QString, step);
    Window window;
    window.runner->setLimits(0, 0ms, 0ms);
    window.run(request(longInput(), step));
    QVERIFY(window.runner->isRunning());
    QProgressDialog* dialog = window.dialog();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->labelText(), QStringLiteral("正在转换…"));
    if (how == u"at once") {
        window.runner->cancel();
    } else if (how == u"button") {
        dialog->findChild<QPushButton*>()->click();
    } else if (how == u"progress") {
        const QPointer<QProgressDialog> shown = dialog;
        QTRY_VERIFY(shown.isNull() || shown->value() > 0);
        QVERIFY(window.runner->isRunning()); // else the input is too short for this row
        dialog->findChild<QPushButton*>()->click();
    } else {
        dialog->close();
    }
    QVERIFY(!window.runner->isRunning());
    QVERIFY(window.runner->waitForWorkers(5s)); // a hang guard, not a timing
    QCoreApplication::processEvents();
    QCOMPARE(window.finished, 0);
    QCOMPARE(window.output->text(), QStringLiteral("before"));
    QVERIFY(window.dialog() == nullptr || !window.dialog()->isVisible());
    // The keys reach the window again.
    QTest::keyClick(window.field, Qt::Key_End);
    QTest::keyClicks(window.field, QStringLiteral("!"));
    QCOMPARE(window.field->text(), QStringLiteral("field!"));
}

void ConvertRunnerTest::convertAgainAtOnceAfterCancel()
{
    Window window;
    window.runner->setLimits(0, 0ms, 0ms);
    window.run(request(longInput()));
    window.runner->cancel();
    // The first Convert's workers may still be ending while the second one runs.
    const TextRequest again = request(QStringLiteral("again"));
    window.run(again);
    QVERIFY(window.runner->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!window.runner->isRunning(), 60'000);
    QCOMPARE(window.finished, 1);
    QCOMPARE(window.output->text(), expectedCode(again));
    QVERIFY(window.runner->waitForWorkers(5s)); // a hang guard, not a timing
}

// Before the dialog shows, the window takes neither keys, shortcuts nor clicks, and it looks
// exactly as it did before the click.
void ConvertRunnerTest::inputIsHeldBackUnchangedWhileRunning()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    QTRY_VERIFY(window.field->hasFocus());
    const QImage before = window.widget.grab().toImage();
    QSignalSpy clicks(window.button, &QPushButton::clicked);
    window.runner->setLimits(0, 0ms, 60s);
    window.run(request(longInput()));
    QVERIFY(window.runner->isRunning());
    QCOMPARE(window.dialog(), nullptr);

    QCOMPARE(window.widget.grab().toImage(), before);
    QTest::keyClicks(window.field, QStringLiteral("typed"));
    QTest::keyClick(window.field, Qt::Key_G, Qt::AltModifier); // the button's access key
    // Through the window, where a real click arrives, not straight to the button.
    QTest::mouseClick(window.widget.windowHandle(), Qt::LeftButton, {},
                      window.button->mapTo(&window.widget, window.button->rect().center()));
    QCOMPARE(window.field->text(), QStringLiteral("field"));
    QCOMPARE(clicks.size(), 0);
    QVERIFY(window.field->hasFocus());

    window.runner->cancel();
    QVERIFY(window.runner->waitForWorkers(5s)); // a hang guard, not a timing
    QCOMPARE(window.widget.grab().toImage(), before);
    QTest::mouseClick(window.widget.windowHandle(), Qt::LeftButton, {},
                      window.button->mapTo(&window.widget, window.button->rect().center()));
    QCOMPARE(clicks.size(), 1);
}

void ConvertRunnerTest::deletingTheRunnerStopsItsWorkers()
{
    Window window;
    window.runner->setLimits(0, 0ms, 0ms);
    window.run(request(longInput()));
    QVERIFY(window.runner->isRunning());
    delete window.runner; // waits for its workers, which stop at once
    QCOMPARE(window.finished, 0);
    QCOMPARE(window.output->text(), QStringLiteral("before"));
}

QTEST_MAIN(ConvertRunnerTest)
#include "convertrunner_test.moc"
