#include "window/adapters/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>

#include <functional>
#include <optional>

using prismel::QtClipboard;

// Puts something on the clipboard the way another program would.
using Fill = std::function<void(QClipboard&)>;
Q_DECLARE_METATYPE(Fill)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

void putMime(QClipboard& clipboard, const std::function<void(QMimeData&)>& fill)
{
    auto* data = new QMimeData;
    fill(*data);
    clipboard.setMimeData(data);
}

} // namespace

class QtClipboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsWhatOthersPut_data()
    {
        QTest::addColumn<Fill>("fill");
        QTest::addColumn<std::optional<QString>>("expected");
        const std::optional<QString> none;

        QTest::newRow("plain text") << Fill([](QClipboard& c) { c.setText(QStringLiteral("abc")); })
                                    << std::optional<QString>(QStringLiteral("abc"));
        QTest::newRow("chinese text with CR LF kept")
            << Fill([](QClipboard& c) { c.setText(QStringLiteral("彩虹\r\n字")); })
            << std::optional<QString>(QStringLiteral("彩虹\r\n字"));
        QTest::newRow("empty text is still text")
            << Fill([](QClipboard& c) { c.setText(QString()); })
            << std::optional<QString>(QString());
        QTest::newRow("image only is no text") << Fill([](QClipboard& c) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            c.setImage(image);
        }) << none;
        QTest::newRow("html only is no text") << Fill([](QClipboard& c) {
            putMime(c, [](QMimeData& d) { d.setHtml(QStringLiteral("<b>x</b>")); });
        }) << none;
        QTest::newRow("other data only is no text") << Fill([](QClipboard& c) {
            putMime(c, [](QMimeData& d) {
                d.setData(QStringLiteral("application/octet-stream"), "\x01\x02");
            });
        }) << none;
        QTest::newRow("image with text gives the text") << Fill([](QClipboard& c) {
            putMime(c, [](QMimeData& d) {
                d.setImageData(QImage(2, 2, QImage::Format_RGB32));
                d.setText(QStringLiteral("alt"));
            });
        }) << std::optional<QString>(QStringLiteral("alt"));
        QTest::newRow("cleared clipboard is no text") << Fill([](QClipboard& c) {
            c.setText(QStringLiteral("old"));
            c.clear();
        }) << none;
    }
    void readsWhatOthersPut()
    {
        QFETCH(Fill, fill);
        QFETCH(std::optional<QString>, expected);
        fill(*QGuiApplication::clipboard());

        const std::optional<QString> text = QtClipboard().text();

        QCOMPARE(text.has_value(), expected.has_value());
        if (expected) {
            QCOMPARE(*text, *expected);
        }
    }

    void setTextReplacesWhatWasThere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup") << QStringLiteral("[color=#FF00FF]彩[/color]");
        QTest::newRow("empty output") << QString();
    }
    void setTextReplacesWhatWasThere()
    {
        QFETCH(QString, text);
        QImage image(4, 4, QImage::Format_RGB32);
        QGuiApplication::clipboard()->setImage(image);
        QtClipboard clipboard;

        clipboard.clear();
        clipboard.setText(text);

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data == nullptr)
            QFAIL("the clipboard holds no data"); // a return the analyser sees
        QVERIFY(data->hasText());
        QVERIFY(!data->hasImage());
        QCOMPARE(data->text(), text);
        QCOMPARE(clipboard.text(), std::optional<QString>(text));
    }

    void setTextAndHtmlOffersBoth()
    {
        const QString code = QStringLiteral("[color=#FF00FF]彩[/color]");
        const QString html = QStringLiteral("<meta charset=\"utf-8\"><span>彩</span>");
        QGuiApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));

        QtClipboard().setTextAndHtml(code, html);

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data == nullptr)
            QFAIL("the clipboard holds no data"); // a return the analyser sees
        QVERIFY(!data->hasImage());
        QCOMPARE(data->text(), code);
        QCOMPARE(data->html(), html);
    }

    void setImageOffersThePngAndTheImage()
    {
        QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const QByteArray png("\x89PNG made once");
        QGuiApplication::clipboard()->setText(QStringLiteral("old"));

        QtClipboard().setImage(image, png);

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data == nullptr)
            QFAIL("the clipboard holds no data"); // a return the analyser sees
        QVERIFY(!data->hasText());
        QCOMPARE(data->data(QStringLiteral("image/png")), png);
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), QSize(3, 2));
    }

    void clearLeavesNoText()
    {
        QtClipboard clipboard;
        clipboard.setText(QStringLiteral("gone"));
        clipboard.clear();
        QCOMPARE(clipboard.text(), std::optional<QString>());
    }
};

QTEST_MAIN(QtClipboardTest)
#include "qtclipboard_test.moc"
