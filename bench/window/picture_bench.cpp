// Time to make the picture of the coloured text (PNG and SVG) for short and long texts, and the
// longest the window stops answering while a long one is made from the preview's menu. Figures
// only; nothing here judges them.

#include "preview/colorpick.h"
#include "silentplatform.h"
#include "window/form/fonts.h"
#include "window/form/form1.h"
#include "window/form/picturemenu.h"
#include "window/form/textpicture.h"
#include "window/widgets/longtextedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class NoClipboard : public prismel::Clipboard {
public:
    void clear() override {}
    void setText(const QString&) override {}
    void setTextAndHtml(const QString&, const QString&) override {}
    std::optional<QString> text() const override { return std::nullopt; }
    void setImage(const QImage&, const QByteArray&) override { ++images; }
    int images = 0;
};

// A forum post: Chinese, English words, an emoji now and then, a line break every 60 or so.
QString postText(qsizetype length)
{
    static const QString piece = QStringLiteral("彩虹字让你的帖子更好看 Rainbow text for the forum "
                                                "😀 每个字一种颜色 🌈 谢谢大家支持\n");
    QString text;
    while (text.size() < length)
        text += piece;
    text.truncate(length);
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void timePicture(qsizetype length, prismel::PictureFormat format, const char* name)
{
    prismel::PictureRequest request;
    request.convert.input = postText(length);
    request.face = prismel::windowFont();
    std::vector<double> times;
    prismel::TextPicture picture;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        picture = prismel::makeTextPicture(request, format);
        times.push_back(msSince(clock));
    }
    std::printf("%-28s %8lld chars  %8.1f ms  (%d lines%s, %lld bytes)\n", name,
                static_cast<long long>(length), median(times), picture.lines,
                picture.cut ? ", cut" : "", static_cast<long long>(picture.file.size()));
}

// Copies the picture of a long text from the window's menu and measures the longest gap between
// the window's timer ticks until the clipboard has it.
void timeWindow(qsizetype length)
{
    NoClipboard clipboard;
    bench::NoMessages messages;
    bench::NoUrls urls;
    bench::NoColors colors;
    bench::NoInput input;
    bench::NoFiles files;
    prismel::Form1 form({colors, clipboard, messages, urls, input, files});
    form.show();
    form.findChild<prismel::LongTextEdit*>(QStringLiteral("Text1"))->setText(postText(length));
    auto* menu = form.findChild<prismel::PictureMenu*>();
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, msSince(sinceTick));
        sinceTick.start();
    });
    ticks.start(5);
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    menu->copyAsPicture();
    const double click = msSince(clock);
    longest = std::max(longest, click);
    while (clipboard.images == 0)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    std::printf("%-28s %8lld chars  %8.1f ms in all, the click %.1f ms, longest freeze %.1f ms\n",
                "window, copy as picture", static_cast<long long>(length), msSince(clock), click,
                longest);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    for (const qsizetype length : {1000, 100000}) {
        timePicture(length, prismel::PictureFormat::Png, "picture, PNG");
        timePicture(length, prismel::PictureFormat::Svg, "picture, SVG");
    }
    timeWindow(1000);
    timeWindow(100000);
    return 0;
}
