#include "window/widgets/digitfilter.h"

#include <QKeyEvent>

#include <optional>

namespace prismel {

namespace {

// The character code a key press types, as a classic Windows edit box would receive it, or
// nothing for keys that type no character.
std::optional<char16_t> typedCharacter(const QKeyEvent& event)
{
    const auto modifiers = event.modifiers();
    const int key = event.key();
    switch (key) {
    case Qt::Key_Backspace:
        return u'\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return u'\r';
    case Qt::Key_Escape:
        return u'\x1b';
    default:
        break;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        // Ctrl+A to Ctrl+Z and Ctrl+@ [ \ ] ^ _ type the control codes 0 to 31.
        if (key >= Qt::Key_At && key <= Qt::Key_Underscore)
            return static_cast<char16_t>(key - Qt::Key_At);
        return std::nullopt;
    }
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t first = text.at(0).unicode();
    if (first < 0x20 || first == 0x7f)
        return std::nullopt; // Delete and the like carry a control code but type nothing
    return first;
}

} // namespace

DigitFilter::DigitFilter(QObject* parent) : QObject(parent) {}

bool DigitFilter::passes(const QKeyEvent& event)
{
    const auto typed = typedCharacter(event);
    if (!typed)
        return true;
    // Alt+key reaches a field only when it is no access key; it must not type either.
    if (event.modifiers().testFlag(Qt::AltModifier))
        return false;
    return (*typed >= u'0' && *typed <= u'9') || *typed == u'\b';
}

bool DigitFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !passes(*static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace prismel
