#include "fakeplatform.h"

#include "window/form1.h"
#include "window/longtextedit.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <optional>

using prismel::Form1;
using prismel::LongTextEdit;

namespace {

const QString richCopyItem = QStringLiteral("复制为富文本(&R)");
const QString mergeItem = QStringLiteral("合并同色标签(&M)");
const QString fitItem = QStringLiteral("按长度适配(&L)…");

// The window's Text3, Text1 and Text4, and its context menu opened as a right click opens it.
struct Window {
    explicit Window(prismel::test::FakePlatform& fakes)
        : form(std::make_unique<Form1>(fakes.platform())),
          text1(form->findChild<LongTextEdit*>(QStringLiteral("Text1"))),
          text3(form->findChild<LongTextEdit*>(QStringLiteral("Text3"))),
          text4(form->findChild<QLineEdit*>(QStringLiteral("Text4")))
    {
        form->show();
    }

    QList<QAction*> openMenu() const
    {
        QWidget* viewport = qobject_cast<QAbstractScrollArea*>(text3->focusProxy())->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                                viewport->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(viewport, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return {};
        const QList<QAction*> actions = menu->actions();
        menu->close();
        return actions;
    }

    // Picks an item of the menu: opens it, triggers the item, as a click on it does.
    void choose(const QString& item) const
    {
        for (QAction* action : openMenu())
            if (action->text() == item)
                action->trigger();
    }

    // Both colours by the colour dialog.
    void setColours(prismel::test::FakePlatform& fakes, std::uint32_t start, std::uint32_t end)
    {
        fakes.colorDialog.answer = start;
        form->findChild<QPushButton*>(QStringLiteral("Command1(0)"))->click();
        fakes.colorDialog.answer = end;
        form->findChild<QPushButton*>(QStringLiteral("Command1(1)"))->click();
    }

    void convert() const { form->findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click(); }

    std::unique_ptr<Form1> form;
    LongTextEdit* text1;
    LongTextEdit* text3;
    QLineEdit* text4;
};

} // namespace

class CodeMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fakes.reset(); }

    void itemsFollowTheStandardOnes();
    void richCopy_data();
    void richCopy();
    void mergeSwitchesConvert();
    void fit_data();
    void fit();
    void fitOffersTheLastLimit();
    void lengthToolTip_data();
    void lengthToolTip();

private:
    prismel::test::FakePlatform m_fakes;
};

void CodeMenuTest::itemsFollowTheStandardOnes()
{
    Window window(m_fakes);
    const QList<QAction*> actions = window.openMenu();
    QVERIFY(actions.size() > 4);
    const qsizetype ours = actions.size() - 3;
    QVERIFY(actions.at(ours - 1)->isSeparator());
    QVERIFY(!actions.at(0)->isSeparator()); // the standard items come first
    QCOMPARE(actions.at(ours)->text(), richCopyItem);
    QCOMPARE(actions.at(ours + 1)->text(), mergeItem);
    QCOMPARE(actions.at(ours + 2)->text(), fitItem);
    QVERIFY(actions.at(ours + 1)->isCheckable());
    QVERIFY(!actions.at(ours + 1)->isChecked());
}

void CodeMenuTest::richCopy_data()
{
    QTest::addColumn<QString>("converted");
    QTest::addColumn<QString>("input"); // Text1 at the time of the copy
    QTest::addColumn<bool>("merge");    // with both colours black
    QTest::addColumn<QString>("html");
    const QString meta = QStringLiteral("<meta charset=\"utf-8\">");
    QTest::newRow("html of the converted text")
        << "A<B"
        << "A<B" << false
        << meta + "<span style=\"color:#AA55AA\">A</span><span style=\"color:#55AA55\">&lt;</span>"
                  "<span style=\"color:#00FF00\">B</span>";
    QTest::newRow("input edited since Convert: plain keeps the code, html the new text")
        << "A<B"
        << "X\nY" << false
        << meta +
               "<span style=\"color:#AA55AA\">X</span><br><span style=\"color:#00FF00\">Y</span>";
    QTest::newRow("merge joins the spans of one colour")
        << "AB CD"
        << "AB CD" << true << meta + "<span style=\"color:#000000\">AB CD</span>";
}

void CodeMenuTest::richCopy()
{
    QFETCH(QString, converted);
    QFETCH(QString, input);
    QFETCH(bool, merge);
    QFETCH(QString, html);
    Window window(m_fakes);
    if (merge) {
        window.setColours(m_fakes, 0x000000, 0x000000);
        window.choose(mergeItem);
    }
    window.text1->setText(converted);
    window.convert();
    const QString code = window.text3->text();
    window.text1->setText(input);

    window.choose(richCopyItem);

    QCOMPARE(m_fakes.clipboard.log, QStringList{"setTextAndHtml"});
    QCOMPARE(m_fakes.clipboard.content, std::optional<QString>(code));
    QCOMPARE(m_fakes.clipboard.html, html);
    QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
    QCOMPARE(m_fakes.messageBoxes.shown.at(0).first, QStringLiteral("成功"));
    QCOMPARE(m_fakes.messageBoxes.shown.at(0).second, QStringLiteral("复制到剪贴板成功"));
}

void CodeMenuTest::mergeSwitchesConvert()
{
    Window window(m_fakes);
    window.setColours(m_fakes, 0x000000, 0x000000);
    window.text1->setText(QStringLiteral("AB CD"));
    window.choose(mergeItem);
    window.convert();
    QCOMPARE(window.text3->text(), QStringLiteral("[color=#000000]AB CD[/color]"));
    window.choose(mergeItem);
    window.convert();
    QCOMPARE(window.text3->text(),
             QStringLiteral("[color=#000000]A[/color][color=#000000]B[/color] "
                            "[color=#000000]C[/color][color=#000000]D[/color]"));
}

void CodeMenuTest::fit_data()
{
    // Ten letters with the start-up template: 10 + 23 per tag, so steps 1 to 5 give 240, 125,
    // 102, 79 and 56 characters, and steps 5 to 9 all give 56.
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("black"); // both colours black, so merged code is one tag
    QTest::addColumn<bool>("merge");
    QTest::addColumn<std::optional<int>>("limit");
    QTest::addColumn<QString>("fittedStep"); // empty when nothing changes
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("message");
    using Limit = std::optional<int>;
    QTest::newRow("smallest step that fits")
        << "1" << false << false << Limit(100) << "4" << 79 << "";
    QTest::newRow("a limit met exactly fits")
        << "1" << false << false << Limit(102) << "3" << 102 << "";
    QTest::newRow("starts from the step typed")
        << "6" << false << false << Limit(100) << "6" << 56 << "";
    QTest::newRow("no step fits: the shortest is named")
        << "1" << false << false << Limit(50) << "" << 0
        << QStringLiteral("没有能适配 50 字符的步长；最短的代码为 56 字符（步长 5）。");
    QTest::newRow("merged code fits at step 1")
        << "1" << true << true << Limit(40) << "1" << 33 << "";
    QTest::newRow("the same without merging does not fit")
        << "1" << true << false << Limit(40) << "" << 0
        << QStringLiteral("没有能适配 40 字符的步长；最短的代码为 56 字符（步长 5）。");
    QTest::newRow("cancel changes nothing") << "1" << false << false << Limit() << "" << 0 << "";
}

void CodeMenuTest::fit()
{
    QFETCH(QString, step);
    QFETCH(bool, black);
    QFETCH(bool, merge);
    QFETCH(std::optional<int>, limit);
    QFETCH(QString, fittedStep);
    QFETCH(int, length);
    QFETCH(QString, message);
    Window window(m_fakes);
    if (black)
        window.setColours(m_fakes, 0x000000, 0x000000);
    if (merge)
        window.choose(mergeItem);
    window.text1->setText(QStringLiteral("ABCDEFGHIJ"));
    window.text4->setText(step);
    window.text3->setText(QStringLiteral("old code"));
    m_fakes.numberDialog.answer = limit;

    window.choose(fitItem);

    if (fittedStep.isEmpty()) {
        QCOMPARE(window.text4->text(), step);
        QCOMPARE(window.text3->text(), QStringLiteral("old code"));
    } else {
        QCOMPARE(window.text4->text(), fittedStep);
        QCOMPARE(window.text3->text().size(), length);
    }
    if (message.isEmpty()) {
        QVERIFY(m_fakes.messageBoxes.shown.isEmpty());
    } else {
        QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
        QCOMPARE(m_fakes.messageBoxes.shown.at(0).first, QStringLiteral("按长度适配"));
        QCOMPARE(m_fakes.messageBoxes.shown.at(0).second, message);
    }
}

void CodeMenuTest::fitOffersTheLastLimit()
{
    Window window(m_fakes);
    const QString question = QStringLiteral("按长度适配|代码长度上限（字符）：|%1|1|2147483647");
    m_fakes.numberDialog.answer = 500;
    window.choose(fitItem);
    m_fakes.numberDialog.answer.reset(); // a cancel keeps the last value
    window.choose(fitItem);
    window.choose(fitItem);
    QCOMPARE(m_fakes.numberDialog.asked,
             (QStringList{question.arg(10000), question.arg(500), question.arg(500)}));
}

void CodeMenuTest::lengthToolTip_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("toolTip");
    // 23 characters of tags each: "[color=#" + six digits + "]" + "[/color]".
    QTest::newRow("latin letters") << "ABC" << QStringLiteral("代码长度：72 字符，72 字节");
    QTest::newRow("chinese takes three bytes")
        << QStringLiteral("你好") << QStringLiteral("代码长度：48 字符，52 字节");
    QTest::newRow("an emoji is one character of four bytes")
        << QStringLiteral("😀") << QStringLiteral("代码长度：24 字符，27 字节");
    QTest::newRow("empty code") << "" << QStringLiteral("代码长度：0 字符，0 字节");
}

void CodeMenuTest::lengthToolTip()
{
    QFETCH(QString, input);
    QFETCH(QString, toolTip);
    Window window(m_fakes);
    QVERIFY(window.text3->toolTip().isEmpty()); // nothing before the first Convert
    window.text1->setText(input);
    window.convert();
    QCOMPARE(window.text3->toolTip(), toolTip);
}

QTEST_MAIN(CodeMenuTest)
#include "codemenu_test.moc"
