#include "fakeplatform.h"
#include "modalwatch.h"

#include "window/adapters/qtcolordialog.h"
#include "window/adapters/qtinputdialog.h"
#include "window/adapters/qtmessageboxes.h"
#include "window/adapters/translations.h"
#include "window/form/form1.h"
#include "window/form/gradienteditor.h"
#include "window/form/savedgradientsdialog.h"
#include "window/widgets/gradientbarwidget.h"
#include "window/widgets/longtextedit.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using prismel::LongTextEdit;

namespace {

// The captions of a menu's items, or of a dialog's buttons, boxes and labelled fields.
QStringList captionsOf(const QMenu& menu)
{
    QStringList captions;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator() && action->isVisible())
            captions.append(action->text());
    return captions;
}

QStringList captionsOf(const QWidget& dialog)
{
    QStringList captions;
    for (const auto* button : dialog.findChildren<QAbstractButton*>())
        if (button->isVisibleTo(&dialog))
            captions.append(button->text());
    for (const auto* box : dialog.findChildren<QGroupBox*>())
        if (box->isVisibleTo(&dialog))
            captions.append(box->title());
    for (const auto* label : dialog.findChildren<QLabel*>())
        if (label->buddy() != nullptr && label->isVisibleTo(&dialog))
            captions.append(label->text());
    return captions;
}

// "Alt+R: 重做(&R), 复制(&R)" for every key that more than one caption claims.
QString clashes(const QStringList& captions)
{
    QMap<QString, QStringList> byKey;
    for (const QString& caption : captions) {
        const QKeySequence key = QKeySequence::mnemonic(caption);
        if (!key.isEmpty())
            byKey[key.toString()].append(caption);
    }
    QStringList found;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it->size() > 1)
            found.append(it.key() + QStringLiteral(": ") + it->join(QStringLiteral(", ")));
    return found.join(QStringLiteral("; "));
}

} // namespace

// Every menu and dialog of the window, with Qt's own items in the language the program loads:
// no two items share an access key, and pressing a key in a menu opened from the keyboard
// reaches its item.
class AccessKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void menusHaveUniqueKeys_data();
    void menusHaveUniqueKeys();
    void barMenusHaveUniqueKeys();
    void barMenuKeyReachesItsItem();
    void moreKeyOpensTheSavedList();
    void dialogsHaveUniqueKeys_data();
    void dialogsHaveUniqueKeys();
    void keyReachesItsItem_data();
    void keyReachesItsItem();
    void decorationKeysTickTheirItems_data();
    void decorationKeysTickTheirItems();
    void pictureMenuKeys_data();
    void pictureMenuKeys();

private:
    // Opens the box's context menu as its menu key does: the desktop turns the key into a
    // context menu event for the widget with the focus (the offscreen platform has no keyboard
    // of its own to do it).
    QMenu* openMenu(const char* box)
    {
        QWidget* editor = m_form->findChild<LongTextEdit*>(QString::fromLatin1(box))->focusProxy();
        editor->setFocus();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(4, 4),
                              editor->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(QApplication::focusWidget(), &key);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    // A right click on the gradient bar at `x`: the bar's menu opens, or on a stop's marker the
    // marker's, which runs modally until closed.
    void rightClickBar(int x)
    {
        auto* bar = m_form->findChild<prismel::GradientBarWidget*>(QStringLiteral("Picture2"));
        const QPoint at(x, bar->height() / 2);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &click);
    }

    // A right click on the preview opens its menu.
    QMenu* openPictureMenu()
    {
        auto* preview = m_form->findChild<QWidget*>(QStringLiteral("Picture1"));
        const QPoint at(8, 8);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, preview->mapToGlobal(at));
        QApplication::sendEvent(preview, &click);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    prismel::Translations m_translations;
    prismel::test::FakePlatform m_fakes;
    std::unique_ptr<prismel::Form1> m_form;
};

void AccessKeysTest::initTestCase()
{
    // As the program does: Qt's own items in the window's language, whose keys are the ones that
    // can clash. ctest runs this in Chinese and again in English.
    const bool english = qEnvironmentVariable("PRISMEL_TEST_LANGUAGE") == u"en";
    QVERIFY(
        m_translations.install(english ? prismel::Language::English : prismel::Language::Chinese,
                               QStringLiteral(PRISMEL_TRANSLATIONS_DIR)));
}

void AccessKeysTest::init()
{
    m_fakes.reset();
    m_form = std::make_unique<prismel::Form1>(m_fakes.platform());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void AccessKeysTest::menusHaveUniqueKeys_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("the input box's menu") << "Text1";
    QTest::newRow("the code box's menu, with its own items") << "Text3";
}

void AccessKeysTest::menusHaveUniqueKeys()
{
    QFETCH(QString, box);
    // Undo, copy and the rest are enabled only with something to act on.
    m_form->findChild<LongTextEdit*>(box)->setText(QStringLiteral("彩虹字"));
    QMenu* menu = openMenu(box.toLatin1().constData());
    QVERIFY(menu != nullptr);
    const QStringList captions = captionsOf(*menu);
    menu->close();
    QVERIFY(captions.size() >= 5);
    QCOMPARE(clashes(captions), QString());
}

// The bar's menu and each of its submenus, and the menu of a stop's marker.
void AccessKeysTest::barMenusHaveUniqueKeys()
{
    rightClickBar(2);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QList<QMenu*> menus{menu};
    for (const QAction* action : menu->actions())
        if (action->menu() != nullptr)
            menus.append(action->menu());
    QCOMPARE(menus.size(), 4); // the colour space, the hue and the named gradients
    for (const QMenu* each : menus) {
        QVERIFY(captionsOf(*each).size() >= 2);
        QCOMPARE(clashes(captionsOf(*each)), QString());
    }
    // The rainbow has markers at a fifth of the way and on.
    QTest::keyClick(menu, Qt::Key_R);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QStringList markerItems;
    prismel::test::whenPopup<QMenu>([&markerItems](QMenu& shown) {
        markerItems = captionsOf(shown);
        shown.close();
    });
    const QRect area =
        m_form->findChild<prismel::GradientBarWidget*>(QStringLiteral("Picture2"))->contentsRect();
    rightClickBar(area.left() + (area.width() - 1) / 5);
    QCOMPARE(markerItems.size(), 2);
    QCOMPARE(clashes(markerItems), QString());
}

// A key pressed in the bar's menu reaches its item: V reverses the gradient.
void AccessKeysTest::barMenuKeyReachesItsItem()
{
    rightClickBar(2);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, Qt::Key_V);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(m_form->gradientChoice().gradient == prismel::reversed(prismel::Gradient{}));
}

// With more saved gradients than the presets show, M in the presets opens the list of all.
void AccessKeysTest::moreKeyOpensTheSavedList()
{
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QDir(config.path()).mkpath(QStringLiteral("prismel"));
    QFile file(config.path() + QStringLiteral("/prismel/gradients"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int i = 0; i <= 100; ++i)
        file.write(QStringLiteral("g%1: red, blue\n").arg(i).toLatin1());
    file.close();
    rightClickBar(2);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, Qt::Key_P);
    auto* presets = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(presets != nullptr && presets != menu);
    const QStringList captions = captionsOf(*presets);
    QStringList listCaptions;
    prismel::test::whenModal<prismel::SavedGradientsDialog>([&listCaptions](QDialog& dialog) {
        listCaptions = captionsOf(dialog);
        dialog.reject();
    });
    QTest::keyClick(presets, Qt::Key_M);
    QTRY_VERIFY(!listCaptions.isEmpty());
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(clashes(captions), QString());
    QVERIFY(captions.contains(QCoreApplication::translate("prismel::GradientMenu", "更多(&M)…")));
}

void AccessKeysTest::dialogsHaveUniqueKeys_data()
{
    QTest::addColumn<std::function<void(QWidget*, QStringList&)>>("open");
    using Open = std::function<void(QWidget*, QStringList&)>;
    QTest::newRow("the window itself")
        << Open([](QWidget* form, QStringList& captions) { captions = captionsOf(*form); });
    QTest::newRow("the colour dialog") << Open([](QWidget* form, QStringList& captions) {
        prismel::test::whenModal<QColorDialog>([&captions](QColorDialog& dialog) {
            captions = captionsOf(dialog);
            dialog.reject();
        });
        prismel::QtColorDialog(form).chooseColor();
    });
    QTest::newRow("the length question") << Open([](QWidget* form, QStringList& captions) {
        prismel::test::whenModal<QInputDialog>([&captions](QInputDialog& dialog) {
            captions = captionsOf(dialog);
            dialog.reject();
        });
        prismel::QtInputDialog(form).askNumber(QStringLiteral("按长度适配"),
                                               QStringLiteral("代码长度上限（字符）："), 1, 1, 9);
    });
    QTest::newRow("a message box") << Open([](QWidget* form, QStringList& captions) {
        prismel::test::whenModal<QMessageBox>([&captions](QMessageBox& box) {
            captions = captionsOf(box);
            box.accept();
        });
        prismel::QtMessageBoxes(form).inform(QStringLiteral("成功"), QStringLiteral("复制成功"));
    });
    QTest::newRow("the list of saved gradients") << Open([](QWidget* form, QStringList& captions) {
        const std::vector<prismel::NamedGradient> none;
        prismel::SavedGradientsDialog list(none, form);
        prismel::test::whenModal<prismel::SavedGradientsDialog>([&captions](QDialog& dialog) {
            // Offscreen, OK and Cancel have no keys; GNOME's theme gives them these.
            captions = captionsOf(dialog) << QCoreApplication::translate("QGnomeTheme", "&OK")
                                          << QCoreApplication::translate("QGnomeTheme", "&Cancel");
            dialog.reject();
        });
        list.exec();
    });
    QTest::newRow("the gradient editor") << Open([](QWidget* form, QStringList& captions) {
        prismel::test::FakeColorDialog colorDialog;
        prismel::GradientEditor editor({}, QString(), colorDialog, form);
        prismel::test::whenModal<prismel::GradientEditor>([&captions](QDialog& dialog) {
            // Offscreen, OK and Cancel have no keys; GNOME's theme gives them these.
            captions = captionsOf(dialog) << QCoreApplication::translate("QGnomeTheme", "&OK")
                                          << QCoreApplication::translate("QGnomeTheme", "&Cancel");
            dialog.reject();
        });
        editor.exec();
    });
}

void AccessKeysTest::dialogsHaveUniqueKeys()
{
    QFETCH(std::function<void(QWidget*, QStringList&)>, open);
    QStringList captions;
    open(m_form.get(), captions);
    QVERIFY(!captions.isEmpty());
    QCOMPARE(clashes(captions), QString());
}

void AccessKeysTest::keyReachesItsItem_data()
{
    using Reached = std::function<bool(const prismel::test::FakePlatform&)>;
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Reached>("reached");
    QTest::newRow("H copies as rich text") << Qt::Key_H << Reached([](const auto& fakes) {
        return fakes.clipboard.log == QStringList{QStringLiteral("setTextAndHtml")};
    });
    QTest::newRow("L asks for a length")
        << Qt::Key_L
        << Reached([](const auto& fakes) { return fakes.inputDialog.asked.size() == 1; });
}

void AccessKeysTest::keyReachesItsItem()
{
    QFETCH(Qt::Key, key);
    QFETCH(std::function<bool(const prismel::test::FakePlatform&)>, reached);
    m_form->findChild<LongTextEdit*>(QStringLiteral("Text3"))->setText(QStringLiteral("code"));
    QMenu* menu = openMenu("Text3");
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, key);
    // An item reached by its key closes the menu; a key that two items share only moves to one.
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(reached(m_fakes));
}

void AccessKeysTest::decorationKeysTickTheirItems_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("item");
    QTest::newRow("B ticks bold") << Qt::Key_B << "bold";
    QTest::newRow("I ticks italic") << Qt::Key_I << "italic";
    QTest::newRow("N ticks underline") << Qt::Key_N << "underline";
    QTest::newRow("K ticks strikethrough") << Qt::Key_K << "strikethrough";
}

// The code box's decorations: each key ticks its item and closes the menu; the next press
// unticks it.
void AccessKeysTest::decorationKeysTickTheirItems()
{
    QFETCH(Qt::Key, key);
    QFETCH(QString, item);
    auto* action = m_form->findChild<QAction*>(item);
    QVERIFY(action != nullptr);
    QVERIFY(!action->isChecked());
    for (const bool ticked : {true, false}) {
        QMenu* menu = openMenu("Text3");
        QVERIFY(menu != nullptr);
        QVERIFY(menu->actions().contains(action));
        QTest::keyClick(menu, key);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(action->isChecked(), ticked);
    }
}

void AccessKeysTest::pictureMenuKeys_data()
{
    using Reached = std::function<bool(const prismel::test::FakePlatform&)>;
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Reached>("reached");
    QTest::newRow("C copies as a picture") << Qt::Key_C << Reached([](const auto& fakes) {
        return fakes.clipboard.log == QStringList{QStringLiteral("setImage")};
    });
    QTest::newRow("S asks where to save")
        << Qt::Key_S
        << Reached([](const auto& fakes) { return fakes.fileDialog.asked.size() == 1; });
}

// The preview's menu: its keys are unique, and each reaches its item.
void AccessKeysTest::pictureMenuKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(std::function<bool(const prismel::test::FakePlatform&)>, reached);
    m_form->findChild<LongTextEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("彩虹字"));
    QMenu* menu = openPictureMenu();
    QVERIFY(menu != nullptr);
    QCOMPARE(captionsOf(*menu).size(), 2);
    QCOMPARE(clashes(captionsOf(*menu)), QString());
    QTest::keyClick(menu, key);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(reached(m_fakes));
}

QTEST_MAIN(AccessKeysTest)
#include "accesskeys_test.moc"
