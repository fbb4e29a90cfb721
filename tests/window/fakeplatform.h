#pragma once

#include "preview/colorpick.h"
#include "window/platform.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <optional>

namespace prismel::test {

// Test doubles of the desktop's services: each records what the window asked of it.

class FakeClipboard : public Clipboard {
public:
    void clear() override { log.append(QStringLiteral("clear")); }
    void setText(const QString& text) override
    {
        log.append(QStringLiteral("setText:") + text);
        content = text;
    }
    void setTextAndHtml(const QString& text, const QString& markup) override
    {
        log.append(QStringLiteral("setTextAndHtml"));
        content = text;
        html = markup;
    }
    std::optional<QString> text() const override { return content; }
    void setImage(const QImage& picture, const QByteArray& pngFile) override
    {
        log.append(QStringLiteral("setImage"));
        image = picture;
        png = pngFile;
    }

    QStringList log;
    std::optional<QString> content;
    QString html;
    QImage image;
    QByteArray png;
};

class FakeMessageBoxes : public MessageBoxes {
public:
    void inform(const QString& title, const QString& prompt) override
    {
        shown.append({title, prompt});
    }
    // Recorded with the whole path in the prompt.
    void informAboutFile(const QString& title, const QString& prompt, const QString& path) override
    {
        shown.append({title, prompt.arg(path)});
    }
    QList<QPair<QString, QString>> shown;
};

class FakeUrlOpener : public UrlOpener {
public:
    void open(const QUrl& url) override { opened.append(url); }
    QList<QUrl> opened;
};

class FakeColorDialog : public ColorDialog {
public:
    std::optional<Rgb> chooseColor() override
    {
        ++calls;
        return answer;
    }
    std::optional<Rgb> answer;
    int calls = 0;
};

// Answers with `answer` and records what each question offered.
class FakeInputDialog : public InputDialog {
public:
    std::optional<int> askNumber(const QString& title, const QString& label, int value, int minimum,
                                 int maximum) override
    {
        asked.append(QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(title, label)
                         .arg(value)
                         .arg(minimum)
                         .arg(maximum));
        return answer;
    }
    std::optional<QString> askText(const QString& title, const QString& label,
                                   const QString& value) override
    {
        asked.append(QStringLiteral("%1|%2|%3").arg(title, label, value));
        return textAnswer;
    }
    std::optional<int> answer;
    std::optional<QString> textAnswer;
    QStringList asked;
};

// Answers with `answer` and records what each question offered.
class FakeFileDialog : public FileDialog {
public:
    std::optional<QString> askSavePath(const QString& title, const QString& path,
                                       const QStringList& filters) override
    {
        asked.append(title + u'|' + path + u'|' + filters.join(u';'));
        return answer;
    }
    std::optional<QString> answer;
    QStringList asked;
};

// One of each, handed to a window as its Platform.
struct FakePlatform {
    FakeColorDialog colorDialog;
    FakeClipboard clipboard;
    FakeMessageBoxes messageBoxes;
    FakeUrlOpener urlOpener;
    FakeInputDialog inputDialog;
    FakeFileDialog fileDialog;

    Platform platform()
    {
        return {colorDialog, clipboard, messageBoxes, urlOpener, inputDialog, fileDialog};
    }

    void reset()
    {
        clipboard = FakeClipboard{};
        messageBoxes.shown.clear();
        urlOpener.opened.clear();
        colorDialog.answer.reset();
        colorDialog.calls = 0;
        inputDialog = FakeInputDialog{};
        fileDialog = FakeFileDialog{};
    }
};

} // namespace prismel::test
