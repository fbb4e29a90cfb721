#pragma once

#include "preview/colorpick.h"

#include <functional>

class QColorDialog;
class QWidget;

namespace prismel {

// Qt's colour dialog, modal to the owner window. Qt keeps custom colours for the whole process, so
// every opening first resets them to black; the dialog is offered no initial colour.
class QtColorDialog : public ColorDialog {
public:
    // Makes the dialog for one opening, parented to the owner. The default is makeDialog(); tests
    // wrap it to reach the very dialog that is shown.
    using DialogFactory = std::function<QColorDialog*(QWidget* owner)>;

    explicit QtColorDialog(QWidget* owner = nullptr,
                           DialogFactory factory = &QtColorDialog::makeDialog);

    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<Rgb> chooseColor() override;

    // Qt's own widget dialog, window-modal to the owner. A native dialog (GTK, a desktop portal)
    // keeps a custom palette of its own that cannot be reset to black.
    static QColorDialog* makeDialog(QWidget* owner);

private:
    QWidget* m_owner;
    DialogFactory m_factory;
};

} // namespace prismel
