#pragma once

#include "window/platform.h"
#include "window/qtclipboard.h"
#include "window/qtcolordialog.h"
#include "window/qtmessageboxes.h"
#include "window/qturlopener.h"

namespace prismel {

// The Qt adapters the program hands to the main window, one of each, owned here. The colour
// dialog is modal to the owner window, which can also be set once the window exists.
class QtPlatform {
public:
    explicit QtPlatform(QWidget* owner = nullptr);

    void setOwner(QWidget* owner) { m_colorDialog.setOwner(owner); }

    Platform platform();

private:
    QtColorDialog m_colorDialog;
    QtClipboard m_clipboard;
    QtMessageBoxes m_messageBoxes;
    QtUrlOpener m_urlOpener;
};

} // namespace prismel
