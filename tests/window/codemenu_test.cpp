#include "fakeplatform.h"

#include "window/form/form1.h"
#include "window/widgets/longtextedit.h"

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

using prismel::LongTextEdit;

namespace {

const QString richCopyItem = QStringLiteral("复制为富文本(&H)");
const QString mergeItem = QStringLiteral("合并同色标签(&M)");
const QString fitItem = QStringLiteral("按长度适配(&L)…");

// Opens Text3's context menu as a right click does, triggers the item `choose` if given, and
// returns the items.
QList<QAction*> contextMenu(QWidget& form, const QString& choose = {})
{
    auto* editor = qobject_cast<QAbstractScrollArea*>(
        form.findChild<LongTextEdit*>(QStringLiteral("Text3"))->focusProxy());
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                            editor->viewport()->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(editor->viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr)
        return {};
    QList<QAction*> actions = menu->actions();
    menu->close();
    for (QAction* action : actions)
        if (action->text() == choose)
            action->trigger();
    return actions;
}

} // namespace

class CodeMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void itemsFollowTheStandardOnes();
    void richCopy();
    void fit_data();
    void fit();
    void fitOffersTheLastLimit();
    void lengthToolTip_data();
    void lengthToolTip();

private:
    template <typename T> T* find(const char* name)
    {
        return m_form->findChild<T*>(QString::fromLatin1(name));
    }
    void setColour(const char* button, prismel::Rgb colour)
    {
        m_fakes.colorDialog.answer = colour;
        find<QPushButton>(button)->click();
    }

    prismel::test::FakePlatform m_fakes;
    std::unique_ptr<prismel::Form1> m_form;
};

void CodeMenuTest::init()
{
    m_fakes.reset();
    m_form = std::make_unique<prismel::Form1>(m_fakes.platform());
    m_form->show();
}

void CodeMenuTest::itemsFollowTheStandardOnes()
{
    const QList<QAction*> actions = contextMenu(*m_form);
    QVERIFY(actions.size() > 4);
    QVERIFY(!actions.front()->isSeparator());
    // Rich copy, merge and fit, then apart the four decorations.
    const auto ours = actions.size() - 8;
    QVERIFY(actions.at(ours - 1)->isSeparator());
    QCOMPARE(actions.at(ours)->text(), richCopyItem);
    QCOMPARE(actions.at(ours + 1)->text(), mergeItem);
    QCOMPARE(actions.at(ours + 2)->text(), fitItem);
    QVERIFY(actions.at(ours + 1)->isCheckable() && !actions.at(ours + 1)->isChecked());
    QVERIFY(actions.at(ours + 3)->isSeparator());
    for (qsizetype d = ours + 4; d < actions.size(); ++d)
        QVERIFY(actions.at(d)->isCheckable() && !actions.at(d)->isChecked() &&
                actions.at(d)->isEnabled());
}

void CodeMenuTest::richCopy()
{
    find<LongTextEdit>("Text1")->setText(QStringLiteral("AB"));
    find<QPushButton>("Command2(0)")->click();
    // The HTML is made afresh from the input as it is now; the text is the code on show.
    find<LongTextEdit>("Text1")->setText(QStringLiteral("X\nY"));
    contextMenu(*m_form, richCopyItem);
    QCOMPARE(m_fakes.clipboard.log, QStringList{"setTextAndHtml"});
    QCOMPARE(m_fakes.clipboard.content,
             QStringLiteral("[color=#808080]A[/color][color=#00FF00]B[/color]"));
    QCOMPARE(m_fakes.clipboard.html,
             "<meta charset=\"utf-8\"><span style=\"color:#AA55AA\">X</span>"
             "<br><span style=\"color:#00FF00\">Y</span>");
    QCOMPARE(m_fakes.messageBoxes.shown,
             (QList<QPair<QString, QString>>{{"成功", "复制到剪贴板成功"}}));
}

void CodeMenuTest::fit_data()
{
    // Ten letters with the start-up template, 23 characters of tags each: steps 1 to 5 give
    // 240, 125, 102, 79 and 56 characters, and steps 5 to 9 all give 56.
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("mergeBlack"); // merge on, both colours black: one tag at any step
    QTest::addColumn<std::optional<int>>("limit");
    QTest::addColumn<QString>("fitted"); // Text4 afterwards; empty when nothing changes
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("message");
    using Limit = std::optional<int>;
    QTest::newRow("smallest step that fits") << "1" << false << Limit(100) << "4" << 79 << "";
    QTest::newRow("a limit met exactly fits") << "1" << false << Limit(102) << "3" << 102 << "";
    QTest::newRow("starts from the step typed") << "6" << false << Limit(100) << "6" << 56 << "";
    QTest::newRow("merged code is measured") << "1" << true << Limit(40) << "1" << 33 << "";
    QTest::newRow("no step fits: the shortest is named")
        << "1" << false << Limit(55) << "" << 0
        << QStringLiteral("没有能适配 55 字符的步长；最短的代码为 56 字符（步长 5）。");
    QTest::newRow("cancel changes nothing") << "1" << false << Limit() << "" << 0 << "";
}

void CodeMenuTest::fit()
{
    QFETCH(QString, step);
    QFETCH(bool, mergeBlack);
    QFETCH(std::optional<int>, limit);
    QFETCH(QString, fitted);
    QFETCH(int, length);
    QFETCH(QString, message);
    if (mergeBlack) {
        setColour("Command1(0)", {});
        setColour("Command1(1)", {});
        contextMenu(*m_form, mergeItem);
    }
    find<LongTextEdit>("Text1")->setText(QStringLiteral("ABCDEFGHIJ"));
    find<QLineEdit>("Text4")->setText(step);
    find<LongTextEdit>("Text3")->setText(QStringLiteral("old"));
    m_fakes.inputDialog.answer = limit;

    contextMenu(*m_form, fitItem);

    QCOMPARE(find<QLineEdit>("Text4")->text(), fitted.isEmpty() ? step : fitted);
    QCOMPARE(find<LongTextEdit>("Text3")->text().size(), fitted.isEmpty() ? 3 : length);
    QCOMPARE(m_fakes.messageBoxes.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(m_fakes.messageBoxes.shown.at(0), qMakePair(QString("按长度适配"), message));
}

void CodeMenuTest::fitOffersTheLastLimit()
{
    const QString question = QStringLiteral("按长度适配|代码长度上限（字符）：|%1|1|2147483647");
    for (const std::optional<int> answer : {std::optional<int>(500), std::optional<int>(), {}}) {
        m_fakes.inputDialog.answer = answer; // a cancel keeps the last value
        contextMenu(*m_form, fitItem);
    }
    QCOMPARE(m_fakes.inputDialog.asked,
             (QStringList{question.arg(10000), question.arg(500), question.arg(500)}));
}

void CodeMenuTest::lengthToolTip_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("chinese: three bytes a character")
        << QStringLiteral("你好") << QStringLiteral("代码长度：48 字符，52 字节");
    QTest::newRow("an emoji: one character of four bytes")
        << QStringLiteral("😀") << QStringLiteral("代码长度：24 字符，27 字节");
    QTest::newRow("empty code") << "" << QStringLiteral("代码长度：0 字符，0 字节");
}

void CodeMenuTest::lengthToolTip()
{
    QFETCH(QString, input);
    QFETCH(QString, toolTip);
    QVERIFY(find<LongTextEdit>("Text3")->toolTip().isEmpty()); // nothing before a Convert
    find<LongTextEdit>("Text1")->setText(input);
    find<QPushButton>("Command2(0)")->click();
    QCOMPARE(find<LongTextEdit>("Text3")->toolTip(), toolTip);
}

QTEST_MAIN(CodeMenuTest)
#include "codemenu_test.moc"
