#include "window/widgets/selectallonfocus.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

namespace prismel {

SelectAllOnFocus::SelectAllOnFocus(QLineEdit* field)
    : SelectAllOnFocus(field, field, [field] { field->selectAll(); })
{
}

SelectAllOnFocus::SelectAllOnFocus(QWidget* focus, QWidget* pointer,
                                   std::function<void()> selectAll)
    : QObject(focus), m_focus(focus), m_pointer(pointer), m_selectAll(std::move(selectAll))
{
    focus->installEventFilter(this);
    if (pointer != focus)
        pointer->installEventFilter(this);
}

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_focus) {
        if (event->type() == QEvent::FocusIn) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // The field takes the focus first, then selects; QObject::event is the public door.
            static_cast<QObject*>(m_focus)->event(event);
            if (reason != Qt::PopupFocusReason) {
                m_selectAll();
                // The press that gave the focus arrives right after this event; a zero timer
                // forgets the mark when none follows (a click on a scroll bar focuses too).
                m_swallowPress = reason == Qt::MouseFocusReason;
                if (m_swallowPress)
                    QTimer::singleShot(0, this, [this] { m_swallowPress = false; });
            }
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            m_swallowPress = false;
            m_swallowing = false;
        }
    }
    if (watched != m_pointer)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (m_swallowPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_swallowPress = false;
            m_swallowing = true;
            return true;
        }
        m_swallowPress = false;
        break;
    case QEvent::MouseMove:
        return m_swallowing;
    case QEvent::MouseButtonRelease:
        if (m_swallowing) {
            m_swallowing = false;
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace prismel
