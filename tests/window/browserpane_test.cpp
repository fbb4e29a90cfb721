#include "window/adapters/browserpane.h"
#include "window/platform.h"

#include <QImage>
#include <QLabel>
#include <QTest>

#ifdef PRISMEL_WITH_WEBENGINE
#include <QSignalSpy>
#include <QWebEngineView>
#endif

using prismel::BrowserPane;

namespace {

class FakeOpener : public prismel::UrlOpener {
public:
    QList<QUrl> opened;
    void open(const QUrl& url) override { opened.append(url); }
};

const QUrl forum(QStringLiteral("https://forum.prismel.example.org/"));

} // namespace

class BrowserPaneTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_opener = FakeOpener();
        m_pane = std::make_unique<BrowserPane>(m_opener);
        m_pane->resize(49, 33);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    }
    void cleanup() { m_pane.reset(); }

    void linkFitsThePane()
    {
        // Regression: the pane drew the address, cut to "foru…".
        m_pane->navigate(forum);
        const QFontMetrics metrics(m_pane->font());
        QVERIFY(metrics.horizontalAdvance(BrowserPane::linkText()) <= m_pane->width() - 4);
        QVERIFY(metrics.height() <= m_pane->height() - 4);
    }

    void navigateShowsTheFullAddressAsTooltip()
    {
        m_pane->navigate(forum);
        QCOMPARE(m_pane->url(), forum);
        QCOMPARE(m_pane->toolTip(), QStringLiteral("https://forum.prismel.example.org/"));
        QCOMPARE(m_pane->sizeHint(), QSize(49, 33));
    }

#ifndef PRISMEL_WITH_WEBENGINE
    void opensTheAddressInTheBrowser_data()
    {
        QTest::addColumn<bool>("navigated");
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("opens");
        enum How{LeftClick, RightClick, Enter, Space, LetterKey};
        QTest::newRow("left click opens") << true << int{LeftClick} << 1;
        QTest::newRow("right click does not") << true << int{RightClick} << 0;
        QTest::newRow("enter opens") << true << int{Enter} << 1;
        QTest::newRow("space opens") << true << int{Space} << 1;
        QTest::newRow("a letter does not") << true << int{LetterKey} << 0;
        QTest::newRow("click before any page does nothing") << false << int{LeftClick} << 0;
    }
    void opensTheAddressInTheBrowser()
    {
        QFETCH(bool, navigated);
        QFETCH(int, how);
        QFETCH(int, opens);
        if (navigated) {
            m_pane->navigate(forum);
        }
        switch (how) {
        case 0:
            QTest::mouseClick(m_pane.get(), Qt::LeftButton);
            break;
        case 1:
            QTest::mouseClick(m_pane.get(), Qt::RightButton);
            break;
        case 2:
            QTest::keyClick(m_pane.get(), Qt::Key_Return);
            break;
        case 3:
            QTest::keyClick(m_pane.get(), Qt::Key_Space);
            break;
        default:
            QTest::keyClick(m_pane.get(), Qt::Key_A);
        }
        QCOMPARE(m_opener.opened.size(), qsizetype{opens});
        for (const QUrl& url : std::as_const(m_opener.opened)) {
            QCOMPARE(url, forum);
        }
    }

    void drawsTheAddressOnlyOnceNavigated()
    {
        const QColor link = m_pane->palette().color(QPalette::Link);
        const auto linkPixels = [&] {
            const QImage image = m_pane->grab().toImage();
            int count = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    count += image.pixelColor(x, y) == link ? 1 : 0;
                }
            }
            return count;
        };
        QCOMPARE(linkPixels(), 0);
        m_pane->navigate(forum);
        QVERIFY(linkPixels() > 20);
    }
#else
    void failedLoadStaysInThePane()
    {
        QWidget window;
        auto* neighbour = new QLabel(QStringLiteral("Text5"), &window);
        auto* pane = new BrowserPane(m_opener, &window);
        pane->setGeometry(16, 384, 49, 33);
        window.show();
        auto* view = pane->findChild<QWebEngineView*>();
        QVERIFY(view != nullptr);
        QSignalSpy finished(view, &QWebEngineView::loadFinished);

        // Port 1 on the loopback refuses the connection at once.
        pane->navigate(QUrl(QStringLiteral("http://127.0.0.1:1/")));

        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), qsizetype{1}, 20000);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(window.isVisible());
        QVERIFY(neighbour->isVisible());
        QCOMPARE(neighbour->text(), QStringLiteral("Text5"));
        QCOMPARE(pane->geometry(), QRect(16, 384, 49, 33));
        QVERIFY(m_opener.opened.isEmpty());
    }
#endif

private:
    FakeOpener m_opener;
    std::unique_ptr<BrowserPane> m_pane;
};

QTEST_MAIN(BrowserPaneTest)
#include "browserpane_test.moc"
