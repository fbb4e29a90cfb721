// Times Text1/Text3's box on its own and prints one table: setText of the code of 10 k, 100 k and
// 1 M characters of pasted forum text until it is painted and selected, for text in short lines
// and in one line, next to a plain word-wrapping QPlainTextEdit holding the same code. Each
// result is checked before it is timed. Run it with QT_QPA_PLATFORM=offscreen or on a display.

#include "core/colorpair.h"
#include "core/conversion.h"
#include "core/tagtemplate.h"
#include "window/widgets/longtextedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using prismel::LongTextEdit;

namespace {

constexpr int kRepetitions = 5;
// Beyond this the plain QPlainTextEdit takes seconds per run; it is timed once, or not at all.
constexpr qsizetype kPlainOnceAbove = 200'000;
constexpr qsizetype kPlainNeverAbove = 3'000'000;

double elapsedMs(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Chinese runs, ASCII words, spaces, a few emoji, and a line break every few dozen characters
// unless it is one line.
QString forumText(qsizetype length, bool oneLine)
{
    static const QString chinese =
        QStringLiteral("今天天气很好我们一起去论坛发帖子彩虹字真漂亮谢谢大家支持楼主辛苦了顶一下");
    static const char* const words[] = {"hello", "Qt", "2024", "ok", "UBB", "+1", "v2.0"};
    static const char32_t emoji[] = {U'\U0001F600', U'\U0001F389', U'\U0001F44D'};
    std::mt19937 random(7u);
    auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    QString text;
    qsizetype lineStart = 0;
    while (text.size() < length) {
        const std::uint32_t kind = pick(100);
        if (kind < 60)
            text += chinese.at(pick(static_cast<std::uint32_t>(chinese.size())));
        else if (kind < 80)
            text += QLatin1String(words[pick(static_cast<std::uint32_t>(std::size(words)))]);
        else if (kind < 97)
            text += u' ';
        else
            text += QString::fromUcs4(&emoji[pick(3)], 1);
        if (!oneLine && text.size() - lineStart > 40 + pick(40)) {
            text += u'\n';
            lineStart = text.size();
        }
    }
    text.truncate(length);
    if (text.back().isHighSurrogate())
        text.back() = u'x';
    return text;
}

QString codeOf(const QString& text)
{
    return QString::fromStdU16String(prismel::ConvertText(
        text.toStdU16String(), prismel::ConvertRequest{1, prismel::startupTemplate(), {}, {}}));
}

// From setText to the box painted with its whole text selected.
template <typename Box> double showSelected(Box& box, const QString& code)
{
    QElapsedTimer timer;
    timer.start();
    if constexpr (std::is_same_v<Box, LongTextEdit>)
        box.setText(code);
    else
        box.setPlainText(code);
    box.selectAll();
    QCoreApplication::processEvents();
    box.repaint();
    return elapsedMs(timer);
}

// Scrolling to the end and back, then a resize that rewraps what is visible.
double scrollAndResize(LongTextEdit& box)
{
    QScrollBar* bar = box.findChild<QPlainTextEdit*>()->verticalScrollBar();
    QElapsedTimer timer;
    timer.start();
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    box.repaint();
    bar->setValue(0);
    box.resize(box.width() + 40, box.height() + 20);
    QCoreApplication::processEvents();
    box.repaint();
    box.resize(box.width() - 40, box.height() - 20);
    QCoreApplication::processEvents();
    return elapsedMs(timer);
}

// The reference box wraps as LongTextEdit does.
void setUp(QPlainTextEdit& box)
{
    box.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.resize(321, 81); // Text3's size in the window
    box.show();
    QCoreApplication::processEvents();
}

void setUp(LongTextEdit& box)
{
    box.resize(321, 81);
    box.show();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    std::printf("LongTextEdit, platform \"%s\"; ms, median of %d\n",
                qPrintable(QGuiApplication::platformName()), kRepetitions);
    std::printf("%-28s %10s %12s %12s %12s %14s\n", "input", "code units", "shown+sel",
                "scroll+size", "text()", "QPlainTextEdit");
    for (const bool oneLine : {false, true}) {
        for (const qsizetype length : {10'000, 100'000, 1'000'000}) {
            const QString code = codeOf(forumText(length, oneLine));
            LongTextEdit box;
            setUp(box);
            showSelected(box, code);
            if (box.text() != code || box.selectionStart() != 0 ||
                box.selectionLength() != code.size()) {
                std::fprintf(stderr, "the box does not hold the code, selected\n");
                return 1;
            }
            std::vector<double> shown, moved, read;
            for (int i = 0; i < kRepetitions; ++i) {
                box.setText(QString());
                QCoreApplication::processEvents();
                shown.push_back(showSelected(box, code));
                moved.push_back(scrollAndResize(box));
                QElapsedTimer timer;
                timer.start();
                const QString back = box.text();
                read.push_back(elapsedMs(timer));
                if (back.size() != code.size())
                    return 1;
            }

            double plain = -1;
            if (code.size() <= kPlainNeverAbove) {
                std::vector<double> times;
                const int runs = code.size() > kPlainOnceAbove ? 1 : kRepetitions;
                for (int i = 0; i < runs; ++i) {
                    QPlainTextEdit reference;
                    setUp(reference);
                    times.push_back(showSelected(reference, code));
                }
                plain = median(times);
            }
            char name[64];
            std::snprintf(name, sizeof name, "%lld k chars, %s",
                          static_cast<long long>(length / 1000),
                          oneLine ? "one line" : "short lines");
            char reference[32] = "(not run)";
            if (plain >= 0)
                std::snprintf(reference, sizeof reference, "%.1f", plain);
            std::printf("%-28s %10lld %12.1f %12.1f %12.1f %14s\n", name,
                        static_cast<long long>(code.size()), median(shown), median(moved),
                        median(read), reference);
            std::fflush(stdout);
        }
    }
    return 0;
}
