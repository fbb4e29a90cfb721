#include "window/config.h"
#include "window/form1.h"
#include "window/qtplatform.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Prismel"));
    QApplication::setApplicationVersion(QString::fromUtf16(prismel::config::displayVersion));
    QApplication::setDesktopFileName(QStringLiteral("org.prismel.Prismel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/prismel/icons/prismel-32.png")));

    prismel::QtPlatform services;
    prismel::Form1 form(services.platform());
    services.setOwner(&form);
    form.showCentred();
    return QApplication::exec();
}
