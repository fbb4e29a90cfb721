// Times the main window through the event loop and prints one table:
//   - Convert: from the click on Command2(0) to the code shown and selected in Text3;
//   - Convert of 100 k, 1 M and 20 M characters in a fresh process each (--convert N shape): the
//     time to the code on show, the longest the event loop goes unserved meanwhile, and the peak
//     memory the Convert adds, against the UTF-16 size of the code;
//   - Cancel, and closing the window, during a 20 M Convert (--cancel N step ms): the time until
//     every worker has ended;
//   - pasting the input into Text1 and showing it;
//   - start-up to the first painted frame, against an empty window of the same size: a fresh
//     process of this program each time (--first-frame empty|form), and again inside this one.
//     With --startup, only the fresh processes are timed.
// Each result is checked before it is timed. Run it with QT_QPA_PLATFORM=offscreen or on a
// display (xcb).

#include "silentplatform.h"

#include "core/codelength.h"
#include "core/colorpair.h"
#include "core/conversion.h"
#include "core/tagtemplate.h"
#include "preview/colorpick.h"
#include "window/adapters/fontconfigwarmup.h"
#include "window/adapters/qtclipboard.h"
#include "window/adapters/qtcolordialog.h"
#include "window/adapters/qtfiledialog.h"
#include "window/adapters/qtinputdialog.h"
#include "window/adapters/qtmessageboxes.h"
#include "window/adapters/qturlopener.h"
#include "window/adapters/translations.h"
#include "window/form/convertrunner.h"
#include "window/form/form1.h"
#include "window/widgets/longtextedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using prismel::Form1;
using prismel::LongTextEdit;

namespace {

constexpr int kRepetitions = 5;
constexpr int kStartupRepetitions = 7;

class FakeClipboard : public prismel::Clipboard {
public:
    void clear() override { content.reset(); }
    void setText(const QString& text) override { content = text; }
    void setTextAndHtml(const QString& text, const QString&) override { content = text; }
    std::optional<QString> text() const override { return content; }
    void setImage(const QImage&, const QByteArray&) override {}
    std::optional<QString> content;
};

double elapsedMs(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "bench_window: %s\n", what);
    std::exit(1);
}

// Mixed forum text: Chinese runs, ASCII words and numbers, spaces, now and then an emoji (a
// surrogate pair), and either a line break every few dozen characters or none at all.
QString forumText(qsizetype length, bool oneLine)
{
    static const QString chinese = QStringLiteral(
        "今天天气很好我们一起去论坛发帖子彩虹字真漂亮谢谢大家支持楼主辛苦了顶一下这个工具"
        "非常好用希望以后越来越好欢迎新朋友加入讨论区的规则请先看置顶帖");
    static const char* const words[] = {
        "hello", "Qt", "2024", "ok", "lol", "UBB", "+1", "http://example.org/t/42", "v2.0", "A-B"};
    static const char32_t emoji[] = {U'\U0001F600', U'\U0001F389', U'\U0001F44D', U'\U0001F308',
                                     U'\u2764'};
    std::mt19937 random(20240611u); // fixed: every run converts the same text
    auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };

    QString text;
    text.reserve(length + 64);
    qsizetype lineStart = 0;
    qsizetype lineLength = 10 + qsizetype{pick(70)};
    while (text.size() < length) {
        const std::uint32_t kind = pick(100);
        if (kind < 60) {
            const std::uint32_t run = 1 + pick(12);
            for (std::uint32_t i = 0; i < run; ++i)
                text.append(chinese.at(pick(static_cast<std::uint32_t>(chinese.size()))));
        } else if (kind < 80) {
            text.append(QLatin1String(words[pick(static_cast<std::uint32_t>(std::size(words)))]));
        } else if (kind < 97) {
            text.append(pick(4) == 0 ? QStringLiteral("  ") : QStringLiteral(" "));
        } else {
            const char32_t c = emoji[pick(static_cast<std::uint32_t>(std::size(emoji)))];
            text.append(QString::fromUcs4(&c, 1));
        }
        if (!oneLine && text.size() - lineStart >= lineLength) {
            text.append(u'\n');
            lineStart = text.size();
            lineLength = 10 + qsizetype{pick(70)};
        }
    }
    text.truncate(length);
    if (text.back().isHighSurrogate())
        text.back() = u'x';
    return text;
}

// Runs the event loop until it has nothing left to do (a bound keeps a busy timer from
// holding it forever).
void processUntilIdle()
{
    QEventLoop loop;
    QCoreApplication::sendPostedEvents();
    for (int i = 0; i < 1000 && loop.processEvents(QEventLoop::AllEvents); ++i)
        QCoreApplication::sendPostedEvents();
}

// A long Convert finishes from the event loop; the output box is cleared before each click.
void waitForCode(const LongTextEdit& text3)
{
    QElapsedTimer limit;
    limit.start();
    while (text3.document()->characterCount() <= 1 && limit.elapsed() < 120'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// Click, let the window take every event it caused, paint it, and make sure the code is
// selected; returns the milliseconds this took. The code's length comes from the caller, as
// reading Text3's text back would copy megabytes inside the timed span.
double convertAndShow(Form1& form, QPushButton& convert, LongTextEdit& text3, int codeLength)
{
    QElapsedTimer timer;
    timer.start();
    convert.click();
    waitForCode(text3);
    processUntilIdle();
    form.repaint();
    const double ms = elapsedMs(timer);
    if (codeLength == 0 || text3.selectionStart() != 0 || text3.selectionLength() != codeLength)
        fail("Text3 does not hold its whole text selected after Convert");
    return ms;
}

// The real Qt adapters, owned as the program owns them.
struct QtServices {
    prismel::QtColorDialog colorDialog;
    prismel::QtClipboard clipboard;
    prismel::QtMessageBoxes messageBoxes;
    prismel::QtUrlOpener urlOpener;
    prismel::QtInputDialog inputDialog;
    prismel::QtFileDialog fileDialog;
    prismel::Platform platform()
    {
        return {colorDialog, clipboard, messageBoxes, urlOpener, inputDialog, fileDialog};
    }
    void setOwner(QWidget* owner)
    {
        colorDialog.setOwner(owner);
        messageBoxes.setOwner(owner);
        inputDialog.setOwner(owner);
        fileDialog.setOwner(owner);
    }
};

struct Fakes {
    FakeClipboard clipboard;
    bench::NoMessages messages;
    bench::NoUrls opener;
    bench::NoColors dialog;
    bench::NoInput numbers;
    bench::NoFiles files;
    prismel::Platform platform() { return {dialog, clipboard, messages, opener, numbers, files}; }
};

struct Window {
    explicit Window(Fakes& fakes) : form(fakes.platform())
    {
        form.showCentred();
        processUntilIdle();
        text1 = form.findChild<LongTextEdit*>(QStringLiteral("Text1"));
        text3 = form.findChild<LongTextEdit*>(QStringLiteral("Text3"));
        convert = form.findChild<QPushButton*>(QStringLiteral("Command2(0)"));
        paste = form.findChild<QPushButton*>(QStringLiteral("Command2(2)"));
        if (!text1 || !text3 || !convert || !paste)
            fail("the window lacks Text1, Text3, Command2(0) or Command2(2)");
    }

    void clearOutput()
    {
        text3->setText(QString());
        processUntilIdle();
    }

    Form1 form;
    LongTextEdit* text1 = nullptr;
    LongTextEdit* text3 = nullptr;
    QPushButton* convert = nullptr;
    QPushButton* paste = nullptr;
};

struct Row {
    std::string what;
    std::string figure;
    std::string target;
};

std::string formatMs(double ms)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f ms", ms);
    return buffer;
}

std::string sizeName(qsizetype n)
{
    return n >= 1000000 ? std::to_string(n / 1000000) + " M" : std::to_string(n / 1000) + " k";
}

void convertCases(Fakes& fakes, std::vector<Row>& rows)
{
    Window window(fakes);
    for (const bool oneLine : {false, true}) {
        for (const qsizetype length :
             {qsizetype{10'000}, qsizetype{100'000}, qsizetype{1'000'000}}) {
            const QString input = forumText(length, oneLine);
            window.text1->setText(input);
            window.clearOutput();

            const std::u16string expected =
                prismel::ConvertText(input.toStdU16String(), window.form.request());
            const int codeLength = static_cast<int>(expected.size());
            convertAndShow(window.form, *window.convert, *window.text3, codeLength);
            if (window.text3->text() != QString::fromStdU16String(expected))
                fail("Text3 differs from ConvertText of the same input");

            std::vector<double> times;
            for (int i = 0; i < kRepetitions; ++i) {
                window.clearOutput();
                times.push_back(
                    convertAndShow(window.form, *window.convert, *window.text3, codeLength));
            }
            const std::string shape = oneLine ? "one line" : "short lines";
            rows.push_back({"Convert " + sizeName(length) + " chars, " + shape + " (" +
                                std::to_string(expected.size() / 1000) + " k of code)",
                            formatMs(median(times)) + "  (min " +
                                formatMs(*std::min_element(times.begin(), times.end())) + ")",
                            length == 100'000 ? "< 100 ms" : ""});
            std::fprintf(stderr, "  %s\n", rows.back().what.c_str());
        }
    }
}

// Kilobytes of the process's current or peak resident set, from /proc/self/status.
double residentMb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
    }
    return 0.0;
}

// The child's side of convertInChild(): one Convert of `length` characters in a fresh window,
// timed through the event loop with a 1 ms heartbeat, printed as one line of figures.
int convertChild(qsizetype length, bool oneLine)
{
    Fakes fakes;
    Window window(fakes);
    const QString input = forumText(length, oneLine);
    window.text1->setText(input);
    window.clearOutput();
    const auto units = prismel::codeLength(input.toStdU16String(), window.form.request(),
                                           prismel::LengthUnit::Units);
    processUntilIdle();
    {
        std::ofstream clear("/proc/self/clear_refs"); // "5" starts the peak afresh
        clear << "5";
    }
    const double baseMb = residentMb("VmRSS:");

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    qint64 doneAt = 0;
    qint64 clickAt = 0;
    bool clicked = false;
    bool done = false;
    QEventLoop loop;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        if (clicked && !done && window.text3->document()->characterCount() > 1) {
            done = true;
            window.form.repaint(); // the code on screen closes the span
            doneAt = clock.nsecsElapsed();
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
        }
    });
    clock.start();
    heartbeat.start();
    QTimer::singleShot(30, &loop, [&] {
        clickAt = clock.nsecsElapsed();
        window.convert->click();
        clicked = true;
        if (window.text3->document()->characterCount() > 1) { // finished inside the click
            done = true;
            window.form.repaint();
            doneAt = clock.nsecsElapsed();
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
        }
    });
    QTimer::singleShot(300'000, &loop, &QEventLoop::quit); // never hang
    loop.exec();
    heartbeat.stop();
    if (!done)
        fail("the Convert never finished");
    const double peakMb = residentMb("VmHWM:");
    if (window.text3->selectionStart() != 0 ||
        static_cast<std::uint64_t>(window.text3->selectionLength()) != units)
        fail("Text3 does not hold the whole code selected");
    std::printf("%llu %.1f %.1f %.1f %.1f\n", static_cast<unsigned long long>(units),
                static_cast<double>(doneAt - clickAt) / 1e6, static_cast<double>(longestGap) / 1e6,
                baseMb, peakMb);
    return 0;
}

void convertInChild(const QString& program, qsizetype length, bool oneLine, std::vector<Row>& rows)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--convert"), QString::number(length),
                          QLatin1String(oneLine ? "one-line" : "short-lines")});
    if (!child.waitForFinished(600'000) || child.exitCode() != 0)
        fail("a Convert child process failed");
    unsigned long long units = 0;
    double ms = 0;
    double gap = 0;
    double baseMb = 0;
    double peakMb = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%llu %lf %lf %lf %lf", &units, &ms,
                    &gap, &baseMb, &peakMb) != 5)
        fail("a Convert child process reported no figures");
    const double codeMb = static_cast<double>(units) * 2 / (1024.0 * 1024.0);
    const std::string shape = oneLine ? "one line" : "short lines";
    char figure[160];
    std::snprintf(figure, sizeof figure, "%.1f ms, unserved %.1f ms, +%.0f MB = %.2fx code", ms,
                  gap, peakMb - baseMb, (peakMb - baseMb) / codeMb);
    rows.push_back({"Convert " + sizeName(length) + " chars, " + shape + " (" +
                        std::to_string(units / 1000) + " k of code), fresh",
                    figure, length == 1'000'000 ? "< 200 ms, <= 4x" : "<= 4x"});
    std::fprintf(stderr, "  %s\n", rows.back().what.c_str());
}

void childCases(const QString& program, std::vector<Row>& rows)
{
    for (const bool oneLine : {false, true}) {
        for (const qsizetype length :
             {qsizetype{100'000}, qsizetype{1'000'000}, qsizetype{20'000'000}})
            convertInChild(program, length, oneLine, rows);
    }
}

// The child's side of cancelInChild(): a Convert of `length` characters at `step`, cancelled
// `afterMs` into its run as the dialog's Cancel does; prints the milliseconds from the Cancel to
// the last of its workers ended, then those from closing the window to the same.
int cancelChild(qsizetype length, const QString& step, int afterMs)
{
    Fakes fakes;
    Window window(fakes);
    window.text1->setText(forumText(length, false));
    window.form.findChild<QLineEdit*>(QStringLiteral("Text4"))->setText(step);
    auto* runner = window.form.findChild<prismel::ConvertRunner*>();
    if (!runner)
        fail("the window has no ConvertRunner");
    double stopMs[2] = {0, 0};
    for (int round = 0; round < 2; ++round) {
        window.convert->click();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < afterMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        if (!runner->isRunning())
            fail("the Convert ended before the Cancel");
        QElapsedTimer stop;
        stop.start();
        if (round == 0)
            runner->cancel();
        else
            window.form.close();
        if (!runner->waitForWorkers(std::chrono::seconds(120)))
            fail("the workers did not end");
        stopMs[round] = elapsedMs(stop);
        window.form.show();
    }
    std::printf("%.1f %.1f\n", stopMs[0], stopMs[1]);
    return 0;
}

void cancelInChild(const QString& program, qsizetype length, const char* step, int afterMs,
                   std::vector<Row>& rows)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--cancel"), QString::number(length),
                          QString::fromLatin1(step), QString::number(afterMs)});
    if (!child.waitForFinished(600'000) || child.exitCode() != 0)
        fail("a Cancel child process failed");
    double cancelMs = 0;
    double closeMs = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf", &cancelMs, &closeMs) != 2)
        fail("a Cancel child process reported no figures");
    rows.push_back({"Cancel / close " + std::to_string(afterMs) + " ms into " + sizeName(length) +
                        " chars, step " + step + ": workers ended",
                    formatMs(cancelMs) + " / " + formatMs(closeMs), "< 100 ms"});
    std::fprintf(stderr, "  %s\n", rows.back().what.c_str());
}

void cancelCases(const QString& program, std::vector<Row>& rows)
{
    cancelInChild(program, 20'000'000, "1", 300, rows);
    cancelInChild(program, 20'000'000, "1", 2000, rows);
    // Regression: at a large step the converter looked for a Cancel only every 16,384 chunks.
    cancelInChild(program, 20'000'000, "1000", 100, rows);
}

// Paste through Command2(2), as the user does, from a fake clipboard.
void pasteCases(Fakes& fakes, std::vector<Row>& rows)
{
    Window window(fakes);
    for (const bool oneLine : {false, true}) {
        for (const qsizetype length : {qsizetype{100'000}, qsizetype{1'000'000}}) {
            const QString input = forumText(length, oneLine);
            fakes.clipboard.content = input;
            std::vector<double> handlerTimes;
            std::vector<double> shownTimes;
            for (int i = 0; i < kRepetitions; ++i) {
                window.text1->setText(QString());
                processUntilIdle();
                QElapsedTimer timer;
                timer.start();
                window.paste->click();
                handlerTimes.push_back(elapsedMs(timer));
                processUntilIdle();
                window.form.repaint();
                shownTimes.push_back(elapsedMs(timer));
                if (window.text1->text() != input)
                    fail("Text1 does not hold the pasted text");
            }
            const std::string shape = oneLine ? "one line" : "short lines";
            rows.push_back({"Paste " + sizeName(length) + " chars into Text1, " + shape,
                            formatMs(median(shownTimes)) + "  (handler " +
                                formatMs(median(handlerTimes)) + ")",
                            ""});
            std::fprintf(stderr, "  %s\n", rows.back().what.c_str());
        }
    }
}

// Notes the moment the first paint of a window has completed and been flushed: the expose or
// update request that paints it is handed to the window here, so the time is taken after it.
class FirstFrameWatch : public QObject {
public:
    explicit FirstFrameWatch(QWidget& widget) : m_widget(widget) { qApp->installEventFilter(this); }
    ~FirstFrameWatch() override { qApp->removeEventFilter(this); }

    bool done() const { return m_done; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_done)
            return false;
        if (watched == &m_widget && event->type() == QEvent::Paint) {
            m_sawPaint = true;
            return false;
        }
        const bool paints =
            event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!paints || !window || window != m_widget.windowHandle() || m_inside)
            return false;
        m_inside = true;
        // QObject::event is public; QWindow's override is not.
        static_cast<QObject*>(window)->event(event);
        m_inside = false;
        if (m_sawPaint)
            m_done = true;
        return true;
    }

private:
    QWidget& m_widget;
    bool m_sawPaint = false;
    bool m_done = false;
    bool m_inside = false;
};

void waitForFirstFrame(const FirstFrameWatch& watch)
{
    QElapsedTimer limit;
    limit.start();
    while (!watch.done()) {
        if (limit.elapsed() > 10'000)
            fail("no first frame within 10 s");
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

double emptyWindowStartup()
{
    QElapsedTimer timer;
    timer.start();
    auto widget = std::make_unique<QWidget>();
    widget->resize(539, 418);
    FirstFrameWatch watch(*widget);
    const QRect area = widget->screen()->availableGeometry();
    widget->setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, widget->size(), area));
    widget->show();
    waitForFirstFrame(watch);
    const double ms = elapsedMs(timer);
    widget.reset();
    processUntilIdle();
    return ms;
}

// As the program starts: the real Qt adapters, then the window, shown centred.
double form1Startup()
{
    QElapsedTimer timer;
    timer.start();
    auto services = std::make_unique<QtServices>();
    auto form = std::make_unique<Form1>(services->platform());
    services->setOwner(form.get());
    FirstFrameWatch watch(*form);
    form->showCentred();
    waitForFirstFrame(watch);
    const double ms = elapsedMs(timer);
    if (form->size() != QSize(539, 418))
        fail("Form1 is not 539 x 418");
    form.reset();
    services.reset();
    processUntilIdle();
    return ms;
}

void startupCases(std::vector<Row>& rows)
{
    // The first of each pays for what Qt sets up once per process (the empty window: the
    // platform's window machinery; Form1: the fonts), so it is reported on its own.
    const double emptyCold = emptyWindowStartup();
    const double formCold = form1Startup();
    std::vector<double> empty;
    std::vector<double> form;
    for (int i = 0; i < kStartupRepetitions; ++i) {
        empty.push_back(emptyWindowStartup());
        form.push_back(form1Startup());
    }
    const double emptyMedian = median(empty);
    const double formMedian = median(form);
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "%.2fx", formMedian / emptyMedian);
    rows.push_back(
        {"In process, build to first frame, empty QWidget (warm)", formatMs(emptyMedian), ""});
    rows.push_back({"In process, build to first frame, Form1 (warm)", formatMs(formMedian), ""});
    rows.push_back({"  ratio Form1 / empty window (warm)", ratio, ""});
    rows.push_back({"In process, first of each (cold): empty / Form1",
                    formatMs(emptyCold) + " / " + formatMs(formCold), ""});
    std::fprintf(stderr, "  start-up\n");
}

// The whole launch as the user sees it: a fresh process of this program that builds one window,
// from starting the process to that window's first frame. Qt's own set-up (loading libraries,
// the platform connection, the font database) is in both figures.
double processStartup(const QString& program, const char* which)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(program, {QStringLiteral("--first-frame"), QString::fromLatin1(which)});
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(10'000))
            fail("a start-up child process showed no frame within 10 s");
    }
    const double ms = elapsedMs(timer);
    if (child.readLine().trimmed() != "frame")
        fail("a start-up child process reported something else than its frame");
    child.waitForFinished(10'000);
    return ms;
}

void processStartupCases(const QString& program, std::vector<Row>& rows)
{
    std::vector<double> empty;
    std::vector<double> form;
    for (int i = 0; i < kStartupRepetitions; ++i) {
        empty.push_back(processStartup(program, "empty"));
        form.push_back(processStartup(program, "form"));
    }
    const double emptyMedian = median(empty);
    const double formMedian = median(form);
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "%.2fx", formMedian / emptyMedian);
    rows.push_back(
        {"Launch to first frame, process with empty 539 x 418 QWidget", formatMs(emptyMedian), ""});
    rows.push_back(
        {"Launch to first frame, process with Form1 (real Qt adapters)", formatMs(formMedian), ""});
    rows.push_back({"  ratio Form1 / empty window", ratio, "<= 1.5x"});
    std::fprintf(stderr, "  launch\n");
}

// The child's side of processStartup(): show one window, say "frame" once it is painted.
int firstFrameChild(const QString& which, prismel::FontConfigWarmUp* fontConfig)
{
    std::unique_ptr<QtServices> services;
    std::unique_ptr<QWidget> widget;
    prismel::Translations translations;
    if (which == u"form") {
        translations.install(prismel::chooseLanguage(QLocale::system().uiLanguages()),
                             QStringLiteral(PRISMEL_TRANSLATIONS_DIR));
        services = std::make_unique<QtServices>();
        fontConfig->finish();
        auto form = std::make_unique<Form1>(services->platform());
        services->setOwner(form.get());
        widget = std::move(form);
    } else {
        widget = std::make_unique<QWidget>();
        widget->resize(539, 418);
    }
    FirstFrameWatch watch(*widget);
    if (auto* form = qobject_cast<Form1*>(widget.get())) {
        form->showCentred();
    } else {
        const QRect area = widget->screen()->availableGeometry();
        widget->setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, widget->size(), area));
        widget->show();
    }
    waitForFirstFrame(watch);
    std::printf("frame\n");
    std::fflush(stdout);
    return 0;
}

void runOtherCases(std::vector<Row>& rows)
{
    Fakes fakes;
    convertCases(fakes, rows);
    childCases(QCoreApplication::applicationFilePath(), rows);
    cancelCases(QCoreApplication::applicationFilePath(), rows);
    pasteCases(fakes, rows);
}

} // namespace

int main(int argc, char* argv[])
{
    // Form1's start-up child begins as the program does, reading the fonts' configuration beside
    // QApplication's start.
    std::optional<prismel::FontConfigWarmUp> fontConfig;
    if (argc == 3 && std::strcmp(argv[1], "--first-frame") == 0 &&
        std::strcmp(argv[2], "form") == 0)
        fontConfig.emplace();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == u"--first-frame")
        return firstFrameChild(arguments.at(2), fontConfig ? &*fontConfig : nullptr);
    if (arguments.size() == 4 && arguments.at(1) == u"--convert")
        return convertChild(arguments.at(2).toLongLong(), arguments.at(3) == u"one-line");
    if (arguments.size() == 5 && arguments.at(1) == u"--cancel")
        return cancelChild(arguments.at(2).toLongLong(), arguments.at(3), arguments.at(4).toInt());

    std::fprintf(stderr, "bench_window on \"%s\", medians of %d (start-up: %d)\n",
                 qPrintable(QGuiApplication::platformName()), kRepetitions, kStartupRepetitions);

    std::vector<Row> rows;
    processStartupCases(QCoreApplication::applicationFilePath(), rows);
    const bool startupOnly = arguments.size() == 2 && arguments.at(1) == u"--startup";
    if (!startupOnly) {
        // Before the others, so that Form1's first start-up is the process's first.
        startupCases(rows);
        runOtherCases(rows);
    }

    std::printf("\nPrismel main window, platform \"%s\"\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-62s %-34s %s\n", "case", "median", "target");
    std::printf("%s\n", std::string(110, '-').c_str());
    for (const Row& row : rows)
        std::printf("%-62s %-34s %s\n", row.what.c_str(), row.figure.c_str(), row.target.c_str());
    return 0;
}
