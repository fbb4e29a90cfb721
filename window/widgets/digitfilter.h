#pragma once

#include <QObject>

class QKeyEvent;

namespace prismel {

// The step field's key filter: a key that types a character passes only when the character is
// a digit or Backspace. Keys that type nothing (Tab, arrows, Home, End, Delete, Shift+Insert)
// pass untouched, and so does pasting from the context menu, which types nothing either.
// Ctrl+letter types a control character and is dropped, Ctrl+V included.
class DigitFilter : public QObject {
    Q_OBJECT
public:
    explicit DigitFilter(QObject* parent = nullptr);

    // Whether the key may reach the field.
    static bool passes(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace prismel
