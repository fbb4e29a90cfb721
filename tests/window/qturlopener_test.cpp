#include "window/adapters/qturlopener.h"

#include <QDesktopServices>
#include <QTest>

using prismel::QtUrlOpener;

// Stands in for the desktop's browser for one scheme.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> received;

public Q_SLOTS:
    void handle(const QUrl& url) { received.append(url); }
};

class QtUrlOpenerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void handsAddressToSchemeHandler_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("forum page over https")
            << QStringLiteral("https")
            << QUrl(QStringLiteral("https://forum.prismel.example.org/"));
        QTest::newRow("chinese path and query")
            << QStringLiteral("prismel-test")
            << QUrl(QStringLiteral("prismel-test://host/论坛/index?q=彩虹字"));
        // No shell sees the address, so its metacharacters arrive untouched.
        QTest::newRow("shell metacharacters arrive verbatim")
            << QStringLiteral("prismel-test")
            << QUrl(QStringLiteral("prismel-test://host/a;b&c|d$(e)`f`?\"g\"='h'"));
    }
    void handsAddressToSchemeHandler()
    {
        QFETCH(QString, scheme);
        QFETCH(QUrl, url);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(scheme, &catcher, "handle");

        QtUrlOpener().open(url);
        QDesktopServices::unsetUrlHandler(scheme);

        QCOMPARE(catcher.received, QList<QUrl>{url});
    }
};

QTEST_MAIN(QtUrlOpenerTest)
#include "qturlopener_test.moc"
