#pragma once

#include <QObject>

#include <functional>

class QLineEdit;
class QWidget;

namespace prismel {

// Select-all on focus, however the focus arrives (Tab, Shift+Tab, a click, the program). A mouse
// press that gives the focus would move the cursor right after; that press, its drag and its
// release are kept from the field so that the selection stays. The return from a popup such as
// the field's own context menu selects nothing.
class SelectAllOnFocus : public QObject {
public:
    // A single-line field.
    explicit SelectAllOnFocus(QLineEdit* field);

    // `focus` takes the keyboard focus and `pointer` the mouse presses (the viewport of a scroll
    // area); `selectAll` selects the field's whole text. Owned by `focus`.
    SelectAllOnFocus(QWidget* focus, QWidget* pointer, std::function<void()> selectAll);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_focus;
    QWidget* m_pointer;
    std::function<void()> m_selectAll;
    bool m_swallowPress = false;
    bool m_swallowing = false;
};

} // namespace prismel
