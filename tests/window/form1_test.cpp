#include "fakeplatform.h"

#include "preview/colorpick.h"
#include "window/adapters/browserpane.h"
#include "window/config.h"
#include "window/form/convertrunner.h"
#include "window/form/form1.h"
#include "window/widgets/gradientbarwidget.h"
#include "window/widgets/longtextedit.h"
#include "window/widgets/previewwidget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>
#include <vector>

using prismel::Form1;
using prismel::LongTextEdit;

namespace {

QString forumUrl()
{
    return QString::fromUtf16(prismel::config::forumUrl);
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void controls_data();
    void controls();
    void clientAreaAndCaption();
    void resizingMovesNothing();
    void ownFontsAndColours_data();
    void ownFontsAndColours();
    void labelsShowTheirWholeCaption();
    void tabChain_data();
    void tabChain();
    void arrowKeysOnButtonsFollowTabOrder_data();
    void arrowKeysOnButtonsFollowTabOrder();
    void accessKeys_data();
    void accessKeys();
    void enterAndEscPressNoButton_data();
    void enterAndEscPressNoButton();
    void selectAllOnFocus_data();
    void selectAllOnFocus();
    void digitFilter_data();
    void digitFilter();
    void contextMenuPasteIsNotFiltered();
    void startupState();
    void presetByKeyboard_data();
    void presetByKeyboard();
    void presetByMouse();
    void typingIntoComboAppliesNothing();
    void startupHeadDiffersFromUbbPreset();
    void convert_data();
    void convert();
    void convertWhileText3HasFocusSelectsAll();
    void nothingRegeneratesWithoutConvert();
    void longConvert_data();
    void longConvert();
    void closeWhileConverting_data();
    void closeWhileConverting();
    void colourPick_data();
    void colourPick();
    void copy_data();
    void copy();
    void paste_data();
    void paste();
    void aboutFromCommand3Of0();
    void exitClosesTheWindow();
    void forum();
    void browserPaneShowsTheForum();

private:
    template <typename T> T* find(const QString& name) const { return m_form->findChild<T*>(name); }
    prismel::Platform platform() { return m_fakes.platform(); }

    prismel::test::FakePlatform m_fakes;
    prismel::test::FakeClipboard& m_clipboard = m_fakes.clipboard;
    prismel::test::FakeMessageBoxes& m_messages = m_fakes.messageBoxes;
    prismel::test::FakeUrlOpener& m_opener = m_fakes.urlOpener;
    prismel::test::FakeColorDialog& m_dialog = m_fakes.colorDialog;
    std::unique_ptr<Form1> m_form;
};

void Form1Test::initTestCase()
{
    m_form = std::make_unique<Form1>(platform());
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void Form1Test::cleanup()
{
    m_fakes.reset();
    // A test may have closed the window or opened a popup that took the activation.
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void Form1Test::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry"); // pixels, 15 twips each

    const QString contact = QString::fromUtf16(prismel::config::contactLine);
    struct Row {
        const char* name;
        const char* kind;
        const char* container;
        QString text;
        QRect geometry;
    };
    const Row rows[] = {
        {"Command4", "QPushButton", "Form1", QStringLiteral("交流论坛"), {296, 384, 113, 25}},
        {"Text5", "QLineEdit", "Form1", contact, {112, 384, 161, 25}},
        {"Text4", "QLineEdit", "Form1", QStringLiteral("1"), {176, 352, 33, 18}},
        {"Command3(1)", "QPushButton", "Form1", QStringLiteral("退出(&X)"), {472, 352, 57, 17}},
        {"Command3(0)", "QPushButton", "Form1", QStringLiteral("关于(&A)"), {408, 352, 57, 17}},
        {"Command2(2)",
         "QPushButton",
         "Form1",
         QStringLiteral("从剪贴板粘贴(&V)"),
         {8, 344, 105, 25}},
        {"Command2(1)",
         "QPushButton",
         "Form1",
         QStringLiteral("复制到剪贴板(&C)"),
         {280, 352, 113, 17}},
        {"Command2(0)", "QPushButton", "Form1", QStringLiteral("转换(&T)"), {216, 352, 57, 17}},
        {"Text3", "prismel::LongTextEdit", "Form1", QString(), {208, 264, 321, 81}},
        {"Combo1", "QComboBox", "Form1", QStringLiteral("UBB(论坛)"), {440, 232, 97, 20}},
        {"Text2(2)", "QLineEdit", "Form1", QStringLiteral("[/color]"), {376, 232, 57, 18}},
        {"Text2(1)", "QLineEdit", "Form1", QStringLiteral("]"), {320, 232, 25, 18}},
        {"Text2(0)", "QLineEdit", "Form1", QStringLiteral("[color=#"), {208, 232, 73, 18}},
        {"Command1(1)", "QPushButton", "Form1", QStringLiteral("结束颜色(&E)"), {456, 208, 81, 17}},
        {"Command1(0)", "QPushButton", "Form1", QStringLiteral("起始颜色(&B)"), {456, 184, 81, 17}},
        {"Picture2", "prismel::GradientBarWidget", "Form1", QString(), {232, 192, 217, 25}},
        {"Frame2", "QGroupBox", "Form1", QStringLiteral("输入待转换文本"), {8, 184, 161, 161}},
        {"Text1", "prismel::LongTextEdit", "Frame2", QString(), {8, 16, 145, 137}},
        {"Frame1", "QGroupBox", "Form1", QStringLiteral("效果预览(不显示回车)"), {8, 8, 521, 169}},
        {"Picture1", "prismel::PreviewWidget", "Frame1", QString(), {8, 16, 505, 145}},
        {"WebBrowser1", "prismel::BrowserPane", "Form1", QString(), {16, 384, 49, 33}},
        {"Label1(5)", "QLabel", "Form1", QStringLiteral("字体距度"), {120, 352, 48, 15}},
        {"Label1(4)", "QLabel", "Form1", QStringLiteral("代码:"), {176, 256, 30, 12}},
        // 5180 and 4220 twips are not whole pixels; the nearest pixel is taken.
        {"Label1(3)", "QLabel", "Form1", QStringLiteral("文字"), {345, 235, 26, 12}},
        {"Label1(2)", "QLabel", "Form1", QStringLiteral("FF00FF"), {281, 235, 36, 12}},
        {"Label1(1)", "QLabel", "Form1", QStringLiteral("格式:"), {176, 232, 30, 12}},
        {"Label1(0)", "QLabel", "Form1", QStringLiteral("渐色预览:"), {176, 200, 54, 12}},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.kind)
                                << QString::fromLatin1(row.container) << row.text << row.geometry;
}

void Form1Test::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);

    QWidget* widget = find<QWidget>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());

    QString shown;
    if (auto* button = qobject_cast<QPushButton*>(widget))
        shown = button->text();
    else if (auto* field = qobject_cast<QLineEdit*>(widget))
        shown = field->text();
    else if (auto* box = qobject_cast<LongTextEdit*>(widget))
        shown = box->text();
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        shown = combo->currentText();
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        shown = frame->title();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        shown = label->text();
    // The fixture's window has been used by earlier tests; texts are checked on a fresh one.
    Form1 fresh(platform());
    if (auto* field = fresh.findChild<QLineEdit*>(name))
        shown = field->text();
    else if (auto* box = fresh.findChild<LongTextEdit*>(name))
        shown = box->text();
    else if (auto* combo = fresh.findChild<QComboBox*>(name))
        shown = combo->currentText();
    QCOMPARE(shown, text);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QVERIFY(!button->autoDefault());
        QVERIFY(!button->isDefault());
    }
}

void Form1Test::clientAreaAndCaption()
{
    QCOMPARE(m_form->size(), QSize(539, 418));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Prismel"));
    QVERIFY(!m_form->windowIcon().isNull());
    QVERIFY(m_form->windowIcon().availableSizes().contains(QSize(32, 32)));
}

void Form1Test::resizingMovesNothing()
{
    QHash<QString, QRect> before;
    for (QWidget* widget : m_form->findChildren<QWidget*>())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(u"qt_"))
            before.insert(widget->objectName(), widget->geometry());
    QCOMPARE(before.size(), 27);
    m_form->resize(900, 700);
    QTest::qWait(20);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(find<QWidget>(it.key())->geometry(), it.value());
    m_form->showMaximized();
    QTest::qWait(20);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(find<QWidget>(it.key())->geometry(), it.value());
    m_form->showNormal();
    m_form->resize(539, 418);
}

void Form1Test::ownFontsAndColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("color");
    QTest::newRow("Text5 bold in (192, 0, 192)") << "Text5" << true << QColor(192, 0, 192);
    QTest::newRow("Label1(3) bold magenta") << "Label1(3)" << true << QColor(255, 0, 255);
    QTest::newRow("Label1(2) regular, window text") << "Label1(2)" << false << QColor(0, 0, 0);
    QTest::newRow("Command2(0) regular") << "Command2(0)" << false << QColor(0, 0, 0);
    // Regression: the two controls inside the frames drew in the application's sans face.
    QTest::newRow("Text1 in Frame2 regular") << "Text1" << false << QColor(0, 0, 0);
    QTest::newRow("Picture1 in Frame1 regular") << "Picture1" << false << QColor(0, 0, 0);
}

void Form1Test::ownFontsAndColours()
{
    QFETCH(QString, name);
    QFETCH(bool, bold);
    QFETCH(QColor, color);
    QWidget* widget = find<QWidget>(name);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().pixelSize(), 12); // 9 point at 96 dots per inch
    QCOMPARE(QFontInfo(widget->font()).family(), QFontInfo(m_form->font()).family());
    const auto role = qobject_cast<QLineEdit*>(widget) ? QPalette::Text : QPalette::WindowText;
    if (color != QColor(0, 0, 0))
        QCOMPARE(widget->palette().color(role), color);
    else
        QCOMPARE(widget->palette().color(role), QApplication::palette(widget).color(role));
}

void Form1Test::labelsShowTheirWholeCaption()
{
    for (QLabel* label : m_form->findChildren<QLabel*>()) {
        const int width = QFontMetrics(label->font()).horizontalAdvance(label->text());
        QVERIFY2(width <= label->contentsRect().width(), qPrintable(label->objectName()));
    }
}

void Form1Test::tabChain_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    const char* chain[] = {
        "Text1",       "Command1(0)", "Command1(1)", "Text2(0)",    "Text2(1)",    "Text2(2)",
        "Combo1",      "Text3",       "Command2(0)", "Command2(1)", "Command2(2)", "Command3(0)",
        "Command3(1)", "Text4",       "Text5",       "Command4",    "Text1"};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        QTest::addRow("%s to %s", chain[i], chain[i + 1]) << chain[i] << chain[i + 1];
}

void Form1Test::tabChain()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QWidget* start = find<QWidget>(from);
    start->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(start->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTRY_VERIFY(find<QWidget>(to)->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTRY_VERIFY(start->hasFocus());
}

void Form1Test::arrowKeysOnButtonsFollowTabOrder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    // A button's group would keep the arrows among its own members.
    QTest::newRow("Right from Command2(0) to Command2(1)")
        << "Command2(0)" << int(Qt::Key_Right) << "Command2(1)";
    QTest::newRow("Left from Command2(0) leaves its array for Text3")
        << "Command2(0)" << int(Qt::Key_Left) << "Text3";
    QTest::newRow("Down from Command3(1) leaves its array for Text4")
        << "Command3(1)" << int(Qt::Key_Down) << "Text4";
    QTest::newRow("Up from Command1(0) to Text1") << "Command1(0)" << int(Qt::Key_Up) << "Text1";
}

void Form1Test::arrowKeysOnButtonsFollowTabOrder()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, to);
    QWidget* start = find<QWidget>(button);
    start->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(start->hasFocus());
    QTest::keyClick(start, Qt::Key(key));
    QTRY_VERIFY(find<QWidget>(to)->hasFocus());
}

void Form1Test::accessKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");
    QTest::newRow("Alt+T converts") << int(Qt::Key_T) << "Command2(0)";
    QTest::newRow("Alt+C copies") << int(Qt::Key_C) << "Command2(1)";
    QTest::newRow("Alt+V pastes") << int(Qt::Key_V) << "Command2(2)";
    QTest::newRow("Alt+B picks the start colour") << int(Qt::Key_B) << "Command1(0)";
    QTest::newRow("Alt+E picks the end colour") << int(Qt::Key_E) << "Command1(1)";
    QTest::newRow("Alt+A shows about") << int(Qt::Key_A) << "Command3(0)";
    QTest::newRow("Alt+X exits") << int(Qt::Key_X) << "Command3(1)";
}

void Form1Test::accessKeys()
{
    QFETCH(int, key);
    QFETCH(QString, button);
    QSignalSpy clicked(find<QPushButton>(button), &QPushButton::clicked);
    find<QLineEdit>(QStringLiteral("Text5"))->setFocus();
    QTest::keyClick(m_form.get(), Qt::Key(key), Qt::AltModifier);
    // A mnemonic clicks its button after a short press animation.
    QTRY_COMPARE(clicked.size(), 1);
}

void Form1Test::enterAndEscPressNoButton_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    for (const char* field : {"Text2(0)", "Text4", "Text5"}) {
        QTest::addRow("Enter in %s", field) << field << int(Qt::Key_Return);
        QTest::addRow("Esc in %s", field) << field << int(Qt::Key_Escape);
    }
}

void Form1Test::enterAndEscPressNoButton()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QPushButton* button : m_form->findChildren<QPushButton*>())
        spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    QWidget* widget = find<QWidget>(field);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key));
    QTest::qWait(250);
    for (const auto& spy : spies)
        QCOMPARE(spy->size(), 0);
    QVERIFY(m_messages.shown.isEmpty());
}

void Form1Test::selectAllOnFocus_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("route");
    for (const char* field : {"Text1", "Text3", "Text2(0)", "Text2(1)", "Text2(2)"})
        for (const char* route : {"tab", "backtab", "mouse", "code"})
            QTest::addRow("%s by %s", field, route) << field << route;
}

void Form1Test::selectAllOnFocus()
{
    QFETCH(QString, field);
    QFETCH(QString, route);
    const QString text = QStringLiteral("some words\nand more");
    QWidget* widget = find<QWidget>(field);
    auto* box = qobject_cast<LongTextEdit*>(widget);
    auto* line = qobject_cast<QLineEdit*>(widget);
    if (box)
        box->setText(text);
    else
        line->setText(QStringLiteral("some words"));

    find<QPushButton>(QStringLiteral("Command4"))->setFocus();
    QTRY_VERIFY(!widget->hasFocus());
    if (route == u"tab") {
        // Focus the stop before the field, then press Tab.
        QWidget* before = widget->previousInFocusChain();
        while (!(before->focusPolicy() & Qt::TabFocus) || !before->isVisible())
            before = before->previousInFocusChain();
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
    } else if (route == u"backtab") {
        QWidget* after = widget->nextInFocusChain();
        // A text box's editor is inside the box, in the chain right after it.
        while (!(after->focusPolicy() & Qt::TabFocus) || !after->isVisible() ||
               widget->isAncestorOf(after))
            after = after->nextInFocusChain();
        after->setFocus();
        QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (route == u"mouse") {
        QWidget* target = box ? box->findChild<QPlainTextEdit*>()->viewport() : widget;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(12, target->height() / 2));
    } else {
        widget->setFocus(Qt::OtherFocusReason);
    }
    QTRY_VERIFY(widget->hasFocus());
    if (box) {
        QCOMPARE(box->selectionStart(), 0);
        QCOMPARE(box->selectionLength(), box->text().size());
    } else {
        QCOMPARE(line->selectionStart(), 0);
        QCOMPARE(line->selectedText(), line->text());
    }
}

void Form1Test::digitFilter_data()
{
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("expected");

    const auto typed = [](const char* text) {
        QTestEventList keys;
        keys.addKeyClicks(QString::fromLatin1(text));
        return keys;
    };
    QTest::newRow("digits pass") << typed("0123456789") << "0123456789";
    QTest::newRow("a letter is dropped") << typed("a") << "";
    QTest::newRow("a minus sign is dropped") << typed("-") << "";
    QTest::newRow("a dot is dropped") << typed(".") << "";
    QTest::newRow("a space is dropped") << typed(" ") << "";
    QTest::newRow("letters between digits are dropped") << typed("1x2e3") << "123";
    {
        QTestEventList keys = typed("12");
        keys.addKeyClick(Qt::Key_Backspace);
        QTest::newRow("Backspace deletes") << keys << "1";
    }
    {
        QTestEventList keys;
        keys.addKeyClick(Qt::Key_V, Qt::ControlModifier);
        QTest::newRow("Ctrl+V is dropped") << keys << "";
    }
    {
        QTestEventList keys = typed("12");
        keys.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        keys.addKeyClicks(QStringLiteral("3"));
        // Ctrl+A types a control character, which the filter drops like any other.
        QTest::newRow("Ctrl+A is dropped, nothing is selected") << keys << "123";
    }
    {
        QTestEventList keys;
        keys.addKeyClick(Qt::Key_Insert, Qt::ShiftModifier);
        QTest::newRow("Shift+Insert pastes unfiltered") << keys << "4a2";
    }
    {
        QTestEventList keys = typed("123");
        keys.addKeyClick(Qt::Key_Home);
        keys.addKeyClick(Qt::Key_Delete);
        QTest::newRow("Home and Delete edit") << keys << "23";
    }
    {
        QTestEventList keys = typed("13");
        keys.addKeyClick(Qt::Key_Left);
        keys.addKeyClicks(QStringLiteral("2"));
        keys.addKeyClick(Qt::Key_End);
        keys.addKeyClicks(QStringLiteral("4"));
        QTest::newRow("arrows and End move the cursor") << keys << "1234";
    }
    {
        QTestEventList keys;
        keys.addKeyClick(Qt::Key_5, Qt::KeypadModifier);
        QTest::newRow("a keypad digit passes") << keys << "5";
    }
    {
        QTestEventList keys;
        keys.addKeyClick(Qt::Key_1, Qt::AltModifier);
        QTest::newRow("Alt+digit types nothing") << keys << "";
    }
}

void Form1Test::digitFilter()
{
    QFETCH(QTestEventList, keys);
    QFETCH(QString, expected);
    QGuiApplication::clipboard()->setText(QStringLiteral("4a2"));
    auto* text4 = find<QLineEdit>(QStringLiteral("Text4"));
    text4->setFocus();
    QTRY_VERIFY(text4->hasFocus());
    text4->clear();
    keys.simulate(text4);
    QCOMPARE(text4->text(), expected);
    text4->setText(QStringLiteral("1"));
}

void Form1Test::contextMenuPasteIsNotFiltered()
{
    // The context menu's Paste runs this slot; it types no characters, so nothing filters it.
    QGuiApplication::clipboard()->setText(QStringLiteral("2.5"));
    auto* text4 = find<QLineEdit>(QStringLiteral("Text4"));
    text4->clear();
    text4->paste();
    QCOMPARE(text4->text(), QStringLiteral("2.5"));
    text4->setText(QStringLiteral("1"));
}

void Form1Test::startupState()
{
    Form1 fresh(platform());
    QVERIFY(fresh.gradientChoice() == prismel::GradientChoice{});
    auto* combo = fresh.findChild<QComboBox*>(QStringLiteral("Combo1"));
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->count(), 13);
    QCOMPARE(combo->itemText(0), QStringLiteral("Html(网页)"));
    QCOMPARE(combo->itemText(1), QStringLiteral("UBB(论坛)"));
    QCOMPARE(combo->itemText(2), QStringLiteral("QQ空间"));
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->currentText(), QStringLiteral("UBB(论坛)"));
    QCOMPARE(fresh.findChild<LongTextEdit*>(QStringLiteral("Text3"))->text(), QString());
    QCOMPARE(fresh.focusWidget(), fresh.findChild<QWidget*>(QStringLiteral("Text1"))->focusProxy());
    auto* bar = fresh.findChild<prismel::GradientBarWidget*>(QStringLiteral("Picture2"));
    QCOMPARE(bar->lineCount(), std::size_t{256});
    const QImage preview =
        fresh.findChild<prismel::PreviewWidget*>(QStringLiteral("Picture1"))->grab().toImage();
    QCOMPARE(preview.pixelColor(preview.width() / 2, preview.height() / 2), QColor(Qt::white));
}

void Form1Test::presetByKeyboard_data()
{
    QTest::addColumn<int>("startIndex");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("mid");
    QTest::addColumn<QString>("close");
    QTest::newRow("Down from the start-up text chooses Html")
        << -1 << int(Qt::Key_Down) << "<font color="
        << ">"
        << "</font>";
    QTest::newRow("Down from Html chooses UBB") << 0 << int(Qt::Key_Down) << "[color="
                                                << "]"
                                                << "[/color]";
    QTest::newRow("Down from UBB chooses QQ") << 1 << int(Qt::Key_Down) << "[ftc="
                                              << "]"
                                              << "[/ft]";
    QTest::newRow("Up from QQ chooses UBB") << 2 << int(Qt::Key_Up) << "[color="
                                            << "]"
                                            << "[/color]";
    QTest::newRow("Up from UBB chooses Html") << 1 << int(Qt::Key_Up) << "<font color="
                                              << ">"
                                              << "</font>";
}

void Form1Test::presetByKeyboard()
{
    QFETCH(int, startIndex);
    QFETCH(int, key);
    QFETCH(QString, head);
    QFETCH(QString, mid);
    QFETCH(QString, close);
    auto* combo = find<QComboBox>(QStringLiteral("Combo1"));
    combo->setCurrentIndex(startIndex);
    for (int i = 0; i < 3; ++i)
        find<QLineEdit>(QStringLiteral("Text2(%1)").arg(i))->setText(QStringLiteral("x"));
    const QString output = find<LongTextEdit>(QStringLiteral("Text3"))->text();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key(key));
    QCOMPARE(find<QLineEdit>(QStringLiteral("Text2(0)"))->text(), head);
    QCOMPARE(find<QLineEdit>(QStringLiteral("Text2(1)"))->text(), mid);
    QCOMPARE(find<QLineEdit>(QStringLiteral("Text2(2)"))->text(), close);
    QCOMPARE(find<LongTextEdit>(QStringLiteral("Text3"))->text(), output);
}

void Form1Test::presetByMouse()
{
    auto* combo = find<QComboBox>(QStringLiteral("Combo1"));
    combo->setCurrentIndex(0);
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QTRY_VERIFY(view->isVisible());
    const QRect item = view->visualRect(combo->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_COMPARE(find<QLineEdit>(QStringLiteral("Text2(0)"))->text(), QStringLiteral("[ftc="));
    QCOMPARE(find<QLineEdit>(QStringLiteral("Text2(2)"))->text(), QStringLiteral("[/ft]"));
}

void Form1Test::typingIntoComboAppliesNothing()
{
    Form1 fresh(platform());
    fresh.show();
    fresh.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fresh));
    auto* combo = fresh.findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* head = fresh.findChild<QLineEdit*>(QStringLiteral("Text2(0)"));
    combo->setFocus();
    QTRY_VERIFY(combo->hasFocus());
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("QQ"));
    combo->lineEdit()->insert(QStringLiteral("空间")); // typed through an input method
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Tab); // and leave the field
    QTRY_VERIFY(!combo->hasFocus());
    QCOMPARE(combo->count(), 13);
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->currentText(), QStringLiteral("QQ空间"));
    QCOMPARE(head->text(), QStringLiteral("[color=#"));
}

void Form1Test::startupHeadDiffersFromUbbPreset()
{
    Form1 fresh(platform());
    auto* text1 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text1"));
    auto* text3 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text3"));
    auto* convert = fresh.findChild<QPushButton*>(QStringLiteral("Command2(0)"));
    auto* combo = fresh.findChild<QComboBox*>(QStringLiteral("Combo1"));
    text1->setText(QStringLiteral("A"));
    convert->click();
    QCOMPARE(text3->text(), QStringLiteral("[color=#00FF00]A[/color]"));
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Down); // chooses "UBB(论坛)"
    QCOMPARE(combo->currentText(), QStringLiteral("UBB(论坛)"));
    convert->click();
    QCOMPARE(text3->text(), QStringLiteral("[color=00FF00]A[/color]"));
}

void Form1Test::convert_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<QString>("expected");
    const QStringList startup{"[color=#", "]", "[/color]"};
    QTest::newRow("three letters, step 1")
        << "ABC"
        << "1" << startup
        << "[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]";
    QTest::newRow("five letters, step 2")
        << "ABCDE"
        << "2" << startup
        << "[color=#CC33CC]AB[/color][color=#669966]CD[/color][color=#00FF00]E[/color]";
    QTest::newRow("outer spaces are trimmed, the tie rounds to even")
        << "  AB  "
        << "1" << startup << "[color=#808080]A[/color][color=#00FF00]B[/color]";
    // Qt's text boxes hold LF; the conversion sees exactly what the box holds.
    QTest::newRow("CR LF in the box arrives as LF")
        << "A\r\nB"
        << "1" << startup << "[color=#AA55AA]A[/color]\n[color=#00FF00]B[/color]";
    QTest::newRow("empty input, empty output") << ""
                                               << "1" << startup << "";
    QTest::newRow("digits then letters in the step")
        << "ABC"
        << "2x" << startup << "[color=#AA55AA]AB[/color][color=#00FF00]C[/color]";
    QTest::newRow("empty step falls back to 1")
        << "AB"
        << "" << startup << "[color=#808080]A[/color][color=#00FF00]B[/color]";
    QTest::newRow("a Chinese sentence")
        << QStringLiteral("你好") << "1" << startup
        << QStringLiteral("[color=#808080]你[/color][color=#00FF00]好[/color]");
    // Regression: the boxes turned the document's frame marks into line breaks.
    QTest::newRow("frame mark U+FDD0 stays a character")
        << QString::fromUtf16(u"a\uFDD0b") << "1" << startup
        << QString::fromUtf16(
               u"[color=#AA55AA]a[/color][color=#55AA55]\uFDD0[/color][color=#00FF00]b[/color]");
    QTest::newRow("templates typed by hand")
        << "AB"
        << "1" << QStringList{"<font color=", ">", "</font>"}
        << "<font color=808080>A</font><font color=00FF00>B</font>";
}

void Form1Test::convert()
{
    QFETCH(QString, input);
    QFETCH(QString, step);
    QFETCH(QStringList, tags);
    QFETCH(QString, expected);
    find<LongTextEdit>(QStringLiteral("Text1"))->setText(input);
    find<QLineEdit>(QStringLiteral("Text4"))->setText(step);
    for (int i = 0; i < 3; ++i)
        find<QLineEdit>(QStringLiteral("Text2(%1)").arg(i))->setText(tags.at(i));
    auto* text3 = find<LongTextEdit>(QStringLiteral("Text3"));
    QPushButton* convert = find<QPushButton>(QStringLiteral("Command2(0)"));
    QTest::mouseClick(convert, Qt::LeftButton);
    QCOMPARE(text3->text(), expected);
    QTRY_VERIFY(text3->hasFocus());
    QCOMPARE(text3->selectionStart(), 0);
    QCOMPARE(text3->selectionLength(), expected.size());
    // Twice in a row gives the same output.
    QTest::mouseClick(convert, Qt::LeftButton);
    QCOMPARE(text3->text(), expected);
    find<QLineEdit>(QStringLiteral("Text4"))->setText(QStringLiteral("1"));
}

void Form1Test::convertWhileText3HasFocusSelectsAll()
{
    auto* text3 = find<LongTextEdit>(QStringLiteral("Text3"));
    find<LongTextEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("XY"));
    const QStringList startup{"[color=#", "]", "[/color]"};
    for (int i = 0; i < 3; ++i)
        find<QLineEdit>(QStringLiteral("Text2(%1)").arg(i))->setText(startup.at(i));
    text3->setFocus();
    QTRY_VERIFY(text3->hasFocus());
    QTest::keyClick(text3, Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(text3->text(), QStringLiteral("[color=#808080]X[/color][color=#00FF00]Y[/color]"));
    QCOMPARE(text3->selectionStart(), 0);
    QCOMPARE(text3->selectionLength(), text3->text().size());
}

void Form1Test::nothingRegeneratesWithoutConvert()
{
    Form1 fresh(platform());
    auto* text1 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text1"));
    auto* text3 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text3"));
    auto* picture1 = fresh.findChild<prismel::PreviewWidget*>(QStringLiteral("Picture1"));
    text1->setText(QStringLiteral("ABC"));
    fresh.findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click();
    const QString output = text3->text();
    const QImage preview = picture1->picture();

    auto* combo = fresh.findChild<QComboBox*>(QStringLiteral("Combo1"));
    QTest::keyClick(combo, Qt::Key_Down); // a preset
    text1->setText(QStringLiteral("other text"));
    fresh.findChild<QLineEdit*>(QStringLiteral("Text4"))->setText(QStringLiteral("2"));
    m_dialog.answer = prismel::Rgb{0, 0, 255}; // blue, as a start colour
    fresh.findChild<QPushButton*>(QStringLiteral("Command1(0)"))->click();
    QCOMPARE(m_dialog.calls, 1);
    QCOMPARE(fresh.gradientChoice().gradient.stops.front().color.b, 255);

    QCOMPARE(text3->text(), output);
    QCOMPARE(picture1->picture(), preview);
}

// With the limits lowered, a tiny input takes the long road: workers, slices and the dialog,
// which is up before the click returns. The workers' result is taken only from the event loop,
// so a Cancel clicked at once comes before it.
void Form1Test::longConvert_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("expected");
    const QString before = QStringLiteral("[color=#808080]X[/color][color=#00FF00]Y[/color]");
    QTest::newRow("Cancel leaves Text3 and the preview as they were") << true << before;
    QTest::newRow("a long Convert ends as a short one does")
        << false << "[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]";
}

void Form1Test::longConvert()
{
    QFETCH(bool, cancel);
    QFETCH(QString, expected);
    Form1 fresh(platform());
    fresh.show();
    auto* text1 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text1"));
    auto* text3 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text3"));
    auto* picture1 = fresh.findChild<prismel::PreviewWidget*>(QStringLiteral("Picture1"));
    auto* convert = fresh.findChild<QPushButton*>(QStringLiteral("Command2(0)"));
    auto* runner = fresh.findChild<prismel::ConvertRunner*>();
    QVERIFY(runner);
    text1->setText(QStringLiteral("XY"));
    convert->click();
    const QImage before = picture1->picture();

    runner->setLimits(0, std::chrono::milliseconds(0), std::chrono::milliseconds(0));
    text1->setText(QStringLiteral("ABC"));
    convert->click();
    QVERIFY(runner->isRunning());
    auto* dialog = fresh.findChild<QProgressDialog*>();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->labelText(), QStringLiteral("正在转换…"));
    QCOMPARE(dialog->findChild<QPushButton*>()->text(), QStringLiteral("取消"));
    QVERIFY(!dialog->isModal()); // the window's close box must still reach it
    if (cancel)
        dialog->findChild<QPushButton*>()->click();
    QTRY_VERIFY(!runner->isRunning());

    QCOMPARE(text3->text(), expected);
    QCOMPARE(picture1->picture() == before, cancel);
    QCOMPARE(text3->selectionLength(), expected.size());      // all of it, before and after
    QVERIFY(runner->waitForWorkers(std::chrono::seconds(5))); // a hang guard, not a timing
}

// Regression: with the progress dialog up, closing the window was dropped.
void Form1Test::closeWhileConverting_data()
{
    QTest::addColumn<int>("dialogDelayMs");
    QTest::newRow("closed before the dialog shows") << 60'000;
    QTest::newRow("closed with the dialog up") << 0;
}

void Form1Test::closeWhileConverting()
{
    QFETCH(int, dialogDelayMs);
    Form1 fresh(platform());
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    // A modal dialog would block the window, and the window system's close with it.
    struct BlockedWatch : QObject {
        int blocked = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            blocked += event->type() == QEvent::WindowBlocked;
            return false;
        }
    } watch;
    fresh.installEventFilter(&watch);
    auto* text3 = fresh.findChild<LongTextEdit*>(QStringLiteral("Text3"));
    const QString output = text3->text();
    auto* runner = fresh.findChild<prismel::ConvertRunner*>();
    runner->setLimits(0, std::chrono::milliseconds(0), std::chrono::milliseconds(dialogDelayMs));
    fresh.findChild<LongTextEdit*>(QStringLiteral("Text1"))
        ->setText(QStringLiteral("彩虹字 ").repeated(100'000));
    fresh.findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click();
    QVERIFY(runner->isRunning());
    QCOMPARE(fresh.findChild<QProgressDialog*>() != nullptr, dialogDelayMs == 0);

    QVERIFY(fresh.close());
    QVERIFY(!fresh.isVisible());
    QVERIFY(!runner->isRunning());
    QVERIFY(runner->waitForWorkers(std::chrono::seconds(5))); // a hang guard, not a timing
    QCoreApplication::processEvents();
    QCOMPARE(watch.blocked, 0);
    QCOMPARE(text3->text(), output);
    QVERIFY(fresh.findChild<QProgressDialog*>() == nullptr ||
            !fresh.findChild<QProgressDialog*>()->isVisible());
}

void Form1Test::colourPick_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<std::optional<prismel::Rgb>>("answer");
    QTest::addColumn<prismel::ColorPair>("expected");
    QTest::addColumn<QColor>("left");
    QTest::addColumn<QColor>("right");
    using Pair = prismel::ColorPair;
    QTest::newRow("blue start keeps the end")
        << "Command1(0)" << std::optional<prismel::Rgb>({0, 0, 255}) << Pair{0, 0, 255, 0, 255, 0}
        << QColor(0, 0, 255) << QColor(0, 255, 0);
    QTest::newRow("red end keeps the start")
        << "Command1(1)" << std::optional<prismel::Rgb>({255, 0, 0}) << Pair{255, 0, 255, 255, 0, 0}
        << QColor(255, 0, 255) << QColor(255, 0, 0);
    QTest::newRow("cancel changes nothing")
        << "Command1(0)" << std::optional<prismel::Rgb>() << Pair{255, 0, 255, 0, 255, 0}
        << QColor(255, 0, 255) << QColor(0, 255, 0);
}

void Form1Test::colourPick()
{
    QFETCH(QString, button);
    QFETCH(std::optional<prismel::Rgb>, answer);
    QFETCH(prismel::ColorPair, expected);
    QFETCH(QColor, left);
    QFETCH(QColor, right);
    Form1 fresh(platform());
    m_dialog.answer = answer;
    fresh.findChild<QPushButton*>(button)->click();
    QCOMPARE(m_dialog.calls, 1);
    QVERIFY(fresh.gradientChoice().gradient == prismel::Gradient(expected));
    auto* bar = fresh.findChild<prismel::GradientBarWidget*>(QStringLiteral("Picture2"));
    const QImage picture = bar->grab().toImage();
    const QRect area = bar->contentsRect();
    QCOMPARE(picture.pixelColor(area.left(), area.center().y()), left);
    QCOMPARE(picture.pixelColor(area.right(), area.center().y()), right);
}

void Form1Test::copy_data()
{
    QTest::addColumn<QString>("output");
    QTest::newRow("the generated code") << "[color=#00FF00]A[/color]";
    QTest::newRow("an empty output still copies and confirms") << "";
}

void Form1Test::copy()
{
    QFETCH(QString, output);
    find<LongTextEdit>(QStringLiteral("Text3"))->setText(output);
    find<QPushButton>(QStringLiteral("Command2(1)"))->click();
    QCOMPARE(m_clipboard.log, (QStringList{"clear", "setText:" + output}));
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown.at(0).first, QStringLiteral("成功"));
    QCOMPARE(m_messages.shown.at(0).second, QStringLiteral("复制到剪贴板成功"));
}

void Form1Test::paste_data()
{
    QTest::addColumn<std::optional<QString>>("clipboard");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text replaces the input")
        << std::optional<QString>("pasted\nlines") << "pasted\nlines";
    QTest::newRow("an empty text empties the input") << std::optional<QString>("") << "";
    // Regression: U+FDD0 came back as a line feed.
    QTest::newRow("a frame mark is pasted as it is")
        << std::optional<QString>(QString::fromUtf16(u"a\uFDD0b"))
        << QString::fromUtf16(u"a\uFDD0b");
    // Regression: a clipboard without text used to wipe the input.
    QTest::newRow("no text at all keeps the input") << std::optional<QString>() << "keep me";
}

void Form1Test::paste()
{
    QFETCH(std::optional<QString>, clipboard);
    QFETCH(QString, expected);
    auto* text1 = find<LongTextEdit>(QStringLiteral("Text1"));
    const QString output = find<LongTextEdit>(QStringLiteral("Text3"))->text();
    text1->setText(QStringLiteral("keep me"));
    m_clipboard.content = clipboard;
    find<QPushButton>(QStringLiteral("Command2(2)"))->click();
    QCOMPARE(text1->text(), expected);
    QVERIFY(m_messages.shown.isEmpty());
    QCOMPARE(find<LongTextEdit>(QStringLiteral("Text3"))->text(), output);
}

void Form1Test::aboutFromCommand3Of0()
{
    find<QPushButton>(QStringLiteral("Command3(0)"))->click();
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown.at(0).first, QString::fromUtf16(prismel::config::appTitle));
    QCOMPARE(m_messages.shown.at(0).second, QString::fromUtf16(prismel::config::siteName) + " " +
                                                QString::fromUtf16(prismel::config::siteUrl) + " " +
                                                QStringLiteral("有它让你的生活更方便！"));
    QVERIFY(m_form->isVisible());
}

void Form1Test::exitClosesTheWindow()
{
    // Regression: the button captioned exit used to show the About box and leave the window open.
    Form1 fresh(platform());
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    QVERIFY(fresh.testAttribute(Qt::WA_QuitOnClose)); // the last window closing ends the program
    fresh.findChild<QPushButton*>(QStringLiteral("Command3(1)"))->click();
    QVERIFY(!fresh.isVisible());
    QVERIFY(m_messages.shown.isEmpty());
}

void Form1Test::forum()
{
    find<QPushButton>(QStringLiteral("Command4"))->click();
    QCOMPARE(m_opener.opened, QList<QUrl>{QUrl(forumUrl())});
    QVERIFY(m_messages.shown.isEmpty());
}

void Form1Test::browserPaneShowsTheForum()
{
    Form1 fresh(platform());
    QCOMPARE(fresh.findChild<prismel::BrowserPane*>(QStringLiteral("WebBrowser1"))->url(),
             QUrl(forumUrl()));
    QVERIFY(m_opener.opened.isEmpty()); // shown in the pane, not opened in the browser
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
