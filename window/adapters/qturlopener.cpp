#include "window/adapters/qturlopener.h"

#include <QDesktopServices>

namespace prismel {

void QtUrlOpener::open(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace prismel
