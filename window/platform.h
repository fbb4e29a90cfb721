#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace prismel {

class ColorDialog;

/// The system clipboard: plain text, or plain text with an HTML version beside it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    /// Replaces the clipboard's content with one item offered both as text/plain and text/html;
    /// a rich editor pastes the HTML, a plain one the text.
    virtual void setTextAndHtml(const QString& text, const QString& html) = 0;
    /// The clipboard's text, or nothing when it holds no text at all (empty, image, other data).
    virtual std::optional<QString> text() const = 0;
    /// Replaces the clipboard's content with one picture, offered as image/png (`png`, the
    /// picture's PNG file) and as an image for programs that take Qt's.
    virtual void setImage(const QImage& image, const QByteArray& png) = 0;
};

/// Modal OK-only message boxes, shown over the window that owns them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void inform(const QString& title, const QString& prompt) = 0;
    /// The same for a prompt about the file at `path`, which stands in it as "%1": the box
    /// shows the path cut in the middle, so that it stays of a width to read, and the whole path
    /// in its details; either way with control characters escaped.
    virtual void informAboutFile(const QString& title, const QString& prompt,
                                 const QString& path) = 0;
};

/// Hands a web address to whatever opens web pages on this desktop.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url) = 0;
};

/// Asks the user for a whole number or a line of text in a modal dialog.
class InputDialog {
public:
    virtual ~InputDialog() = default;
    /// The number entered, from minimum to maximum, starting at value; nothing when cancelled.
    virtual std::optional<int> askNumber(const QString& title, const QString& label, int value,
                                         int minimum, int maximum) = 0;
    /// The text entered, starting from value; nothing when cancelled.
    virtual std::optional<QString> askText(const QString& title, const QString& label,
                                           const QString& value) = 0;
};

/// Asks where to save a file, in a modal dialog.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    /// The path chosen, starting at `path`, with `filters` ("PNG (*.png)") to choose from; a name
    /// typed without a suffix gets the chosen filter's. Nothing when cancelled.
    virtual std::optional<QString> askSavePath(const QString& title, const QString& path,
                                               const QStringList& filters) = 0;
};

/// The services the main window uses from the desktop. The program owns the Qt adapters and
/// hands them in, tests hand in doubles; either way they outlive the window. The modal ones (the
/// colour dialog, the message boxes, the input dialog and the file dialog) are given their owner
/// window by the program, the same way for all, once the window exists.
struct Platform {
    ColorDialog& colorDialog;
    Clipboard& clipboard;
    MessageBoxes& messageBoxes;
    UrlOpener& urlOpener;
    InputDialog& inputDialog;
    FileDialog& fileDialog;
};

} // namespace prismel
