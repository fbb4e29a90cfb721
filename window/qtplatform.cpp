#include "window/qtplatform.h"

namespace prismel {

QtPlatform::QtPlatform(QWidget* owner) : m_colorDialog(owner) {}

Platform QtPlatform::platform()
{
    return {&m_colorDialog, &m_clipboard, &m_messageBoxes, &m_urlOpener};
}

} // namespace prismel
