#include "window/adapters/fontconfigwarmup.h"
#include "window/adapters/qtclipboard.h"
#include "window/adapters/qtcolordialog.h"
#include "window/adapters/qtfiledialog.h"
#include "window/adapters/qtinputdialog.h"
#include "window/adapters/qtmessageboxes.h"
#include "window/adapters/qturlopener.h"
#include "window/adapters/translations.h"
#include "window/config.h"
#include "window/form/form1.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

int main(int argc, char* argv[])
{
    prismel::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Prismel"));
    QApplication::setApplicationVersion(QString::fromUtf16(prismel::config::displayVersion));
    QApplication::setDesktopFileName(QStringLiteral("org.prismel.Prismel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/prismel/icons/prismel-32.png")));

    // The window speaks English when the desktop's languages put English before Chinese, and
    // Simplified Chinese otherwise; Qt's own dialogs (the colour chooser, the OK button) speak the
    // same. Without Qt's translation files they stay in English and work the same.
    prismel::Translations translations;
    translations.install(prismel::chooseLanguage(QLocale::system().uiLanguages()),
                         QCoreApplication::applicationDirPath() + u'/' +
                             QStringLiteral(PRISMEL_TRANSLATIONS_FROM_BIN));

    // The desktop's services, owned here so that they outlive the window they serve.
    prismel::QtColorDialog colorDialog;
    prismel::QtClipboard clipboard;
    prismel::QtMessageBoxes messageBoxes;
    prismel::QtUrlOpener urlOpener;
    prismel::QtInputDialog inputDialog;
    prismel::QtFileDialog fileDialog;
    fontConfig.finish();
    prismel::Form1 form({colorDialog, clipboard, messageBoxes, urlOpener, inputDialog, fileDialog});
    // The modal services open over the window, told so the same way once it exists.
    colorDialog.setOwner(&form);
    messageBoxes.setOwner(&form);
    inputDialog.setOwner(&form);
    fileDialog.setOwner(&form);
    form.showCentred();
    // "Open with" and `prismel FILE`: the first file named starts in the input box.
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1)
        form.openFile(arguments.at(1));
    return QApplication::exec();
}
