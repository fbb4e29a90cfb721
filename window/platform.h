#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

namespace prismel {

class ColorDialog;

/// The system clipboard, plain text only.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    /// The clipboard's text, or nothing when it holds no text at all (empty, image, other data).
    virtual std::optional<QString> text() const = 0;
};

/// Modal OK-only message boxes.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void inform(QWidget* parent, const QString& title, const QString& prompt) = 0;
};

/// Hands a web address to whatever opens web pages on this desktop.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url) = 0;
};

/// The services the main window uses from the platform. Tests pass fakes; the program passes
/// the Qt adapters from qtPlatform().
struct Platform {
    ColorDialog* colorDialog = nullptr; ///< owned elsewhere; see QtColorDialog
    Clipboard* clipboard = nullptr;
    MessageBoxes* messageBoxes = nullptr;
    UrlOpener* urlOpener = nullptr;
};

} // namespace prismel
