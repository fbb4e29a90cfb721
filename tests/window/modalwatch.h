#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace prismel::test {

// Runs act on the modal dialog of type Dialog once it is shown. A modal dialog shows inside the
// exec() of the call under test, so the watch is armed before that call and polls from timers.
// act must close the dialog; checks inside it record what they see for the test to compare later.
template <typename Dialog> void whenModal(std::function<void(Dialog&)> act, int triesLeft = 1000)
{
    QTimer::singleShot(5, [act = std::move(act), triesLeft]() mutable {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            act(*dialog);
        } else if (triesLeft > 0) {
            whenModal<Dialog>(std::move(act), triesLeft - 1);
        }
    });
}

// The same for a popup, such as a menu opened with QMenu::exec(), which is not modal.
template <typename Popup> void whenPopup(std::function<void(Popup&)> act, int triesLeft = 1000)
{
    QTimer::singleShot(5, [act = std::move(act), triesLeft]() mutable {
        auto* popup = qobject_cast<Popup*>(QApplication::activePopupWidget());
        if (popup != nullptr && popup->isVisible()) {
            act(*popup);
        } else if (triesLeft > 0) {
            whenPopup<Popup>(std::move(act), triesLeft - 1);
        }
    });
}

} // namespace prismel::test
