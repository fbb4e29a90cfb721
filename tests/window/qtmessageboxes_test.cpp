#include "window/adapters/qtmessageboxes.h"

#include "modalwatch.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include <memory>

using prismel::QtMessageBoxes;
using prismel::test::whenModal;

class QtMessageBoxesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsOkOnlyModalBox_data()
    {
        QTest::addColumn<bool>("withParent");
        QTest::addColumn<bool>("ownerLater");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("copy success")
            << true << false << QStringLiteral("成功") << QStringLiteral("复制到剪贴板成功");
        // The program makes the adapter before the window it serves.
        QTest::newRow("owner given after construction")
            << true << true << QStringLiteral("成功") << QStringLiteral("复制到剪贴板成功");
        QTest::newRow("about")
            << true << false << QStringLiteral("Prismel")
            << QStringLiteral("Prismel https://prismel.example.org/ 有它让你的生活更方便！");
        // Configured names could hold markup characters; they show as typed.
        QTest::newRow("markup shown verbatim")
            << true << false << QStringLiteral("<i>t</i>") << QStringLiteral("<b>a</b> & <br>b");
        QTest::newRow("without a parent")
            << false << false << QStringLiteral("成功") << QStringLiteral("复制到剪贴板成功");
    }
    void showsOkOnlyModalBox()
    {
        QFETCH(bool, withParent);
        QFETCH(bool, ownerLater);
        QFETCH(QString, title);
        QFETCH(QString, prompt);
        std::unique_ptr<QWidget> owner;
        if (withParent) {
            owner = std::make_unique<QWidget>();
            owner->show();
            QVERIFY(QTest::qWaitForWindowExposed(owner.get()));
        }

        struct Seen {
            bool shown = false;
            QString title;
            QString text;
            Qt::TextFormat format = Qt::AutoText;
            QMessageBox::StandardButtons buttons;
            qsizetype buttonCount = 0;
            QMessageBox::Icon icon = QMessageBox::Information;
            bool modal = false;
            QWidget* parent = nullptr;
        } seen;
        whenModal<QMessageBox>([&](QMessageBox& box) {
            seen = {true,
                    box.windowTitle(),
                    box.text(),
                    box.textFormat(),
                    box.standardButtons(),
                    box.buttons().size(),
                    box.icon(),
                    box.isModal(),
                    box.parentWidget()};
            box.button(QMessageBox::Ok)->click();
        });

        QtMessageBoxes boxes(ownerLater ? nullptr : owner.get());
        if (ownerLater)
            boxes.setOwner(owner.get());
        boxes.inform(title, prompt);

        QVERIFY(seen.shown);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, prompt);
        QCOMPARE(seen.format, Qt::PlainText);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.buttonCount, qsizetype{1});
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QVERIFY(seen.modal);
        QCOMPARE(seen.parent, owner.get());
    }

    // A box about a file shows its path cut in the middle and the whole of it in the details,
    // control characters escaped in both.
    void namesAFileReadably_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("details");
        QTest::newRow("a short path is shown whole")
            << "/tmp/a.txt" << QStringLiteral("无法打开“/tmp/a.txt”：不是普通文件") << "/tmp/a.txt";
        QTest::newRow("a line feed and an escape are written out")
            << "/tmp/a\nb\x1b.txt" << QStringLiteral("无法打开“/tmp/a\\nb\\x1b.txt”：不是普通文件")
            << "/tmp/a\\nb\\x1b.txt";
        // A path of 5,000 characters made a box as wide as the screen, the path cut off.
        const QString deep =
            QStringLiteral("/tmp/") + QString(5000, u'd') + QStringLiteral("/😀\t.txt");
        QTest::newRow("a long path is cut in the middle")
            << deep << "" << QString(deep).replace(u'\t', QStringLiteral("\\t"));
    }
    void namesAFileReadably()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QFETCH(QString, details);
        QString shown;
        QString shownDetails;
        whenModal<QMessageBox>([&](QMessageBox& box) {
            shown = box.text();
            shownDetails = box.detailedText();
            box.accept();
        });
        QtMessageBoxes(nullptr).informAboutFile(QStringLiteral("打开文件"),
                                                QStringLiteral("无法打开“%1”：不是普通文件"), path);
        QCOMPARE(shownDetails, details);
        if (!text.isEmpty()) {
            QCOMPARE(shown, text);
        } else {
            QVERIFY2(shown.size() < 200 && shown.startsWith(u"无法打开“/tmp/ddd") &&
                         shown.contains(u'…') && shown.endsWith(u"/😀\\t.txt”：不是普通文件"),
                     qPrintable(shown));
        }
    }
};

QTEST_MAIN(QtMessageBoxesTest)
#include "qtmessageboxes_test.moc"
