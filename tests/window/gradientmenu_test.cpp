#include "fakeplatform.h"
#include "modalwatch.h"

#include "core/conversion.h"
#include "window/form/form1.h"
#include "window/form/gradienteditor.h"
#include "window/form/savedgradientsdialog.h"
#include "window/widgets/gradientbarwidget.h"
#include "window/widgets/longtextedit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>

using prismel::ColorSpace;
using prismel::Gradient;
using prismel::GradientChoice;
using prismel::HueMethod;

namespace {

Gradient named(std::u16string_view name)
{
    return *prismel::findGradient(name, {});
}

// The item of `menu` or of one of its submenus whose caption is `caption`.
QAction* item(QMenu* menu, const QString& caption)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == caption)
            return action;
        if (QMenu* sub = action->menu())
            if (QAction* found = item(sub, caption))
                return found;
    }
    return nullptr;
}

} // namespace

class GradientMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rightClickOpensTheMenu();
    void actions_data();
    void actions();
    void presetsListTheSavedOnes();
    void presetsShowTheFileAsTheyCan_data();
    void presetsShowTheFileAsTheyCan();
    void moreListsThemAllWithAFilter();
    void saving_data();
    void saving();
    void editorOkAppliesAndCancelKeeps();
    void windowCodeIsTheCoresCode_data();
    void windowCodeIsTheCoresCode();

private:
    QMenu* menu() const { return m_form->findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly); }
    void trigger(const QString& caption)
    {
        menu()->popup(QPoint(0, 0)); // fills the presets and checks as on screen
        QAction* action = item(menu(), caption);
        QVERIFY2(action != nullptr, qPrintable(caption));
        action->trigger();
        menu()->close();
    }
    QString gradientsFile() const
    {
        return m_config->path() + QStringLiteral("/prismel/gradients");
    }
    // The gradients file holding `count` gradients "g0", "g1", …, each from the colour of its
    // number to black.
    void writeNumbered(int count)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += QStringLiteral("g%1: #%2, black\n")
                         .arg(i)
                         .arg(i, 6, 16, QLatin1Char('0'))
                         .toLatin1();
        QDir(m_config->path()).mkpath(QStringLiteral("prismel"));
        QFile file(gradientsFile());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QMenu* presets() const { return item(menu(), u"预设(&P)"_qs)->menu(); }

    prismel::test::FakePlatform m_fakes;
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<prismel::Form1> m_form;
};

void GradientMenuTest::init()
{
    m_fakes.reset();
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    m_form = std::make_unique<prismel::Form1>(m_fakes.platform());
    m_form->show();
}

void GradientMenuTest::cleanup()
{
    m_form.reset();
    qunsetenv("XDG_CONFIG_HOME");
}

void GradientMenuTest::rightClickOpensTheMenu()
{
    auto* bar = m_form->findChild<prismel::GradientBarWidget*>(QStringLiteral("Picture2"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 5),
                            bar->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(bar, &event);
    QVERIFY(menu()->isVisible());
    menu()->close();
}

// Each row triggers its items in order and names the choice that follows from the start-up one.
void GradientMenuTest::actions_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<GradientChoice>("expected");
    Gradient oklch;
    oklch.space = ColorSpace::Oklch;
    Gradient decreasing = oklch;
    decreasing.hue = HueMethod::Decreasing;
    const Gradient rainbow = named(u"rainbow");
    Gradient rainbowEnds({{rainbow.stops.front().color, {}}, {rainbow.stops.back().color, {}}});
    QTest::newRow("rainbow") << QStringList{u"彩虹(&R)"_qs} << GradientChoice{rainbow, false};
    QTest::newRow("reverse") << QStringList{u"反转(&V)"_qs}
                             << GradientChoice{prismel::reversed(Gradient{}), false};
    QTest::newRow("per line") << QStringList{u"每行重新开始(&L)"_qs} << GradientChoice{{}, true};
    QTest::newRow("space and hue")
        << QStringList{u"OKLCH(&C)"_qs, u"递减(&D)"_qs} << GradientChoice{decreasing, false};
    QTest::newRow("preset") << QStringList{u"sunset"_qs} << GradientChoice{named(u"sunset"), false};
    QTest::newRow("back to two colours")
        << QStringList{u"彩虹(&R)"_qs, u"每行重新开始(&L)"_qs, u"OKLab(&O)"_qs, u"恢复两色(&T)"_qs}
        << GradientChoice{rainbowEnds, false};
}

void GradientMenuTest::actions()
{
    QFETCH(QStringList, items);
    QFETCH(GradientChoice, expected);
    const auto hueEnabled = [this] { return item(menu(), u"色相方向(&H)"_qs)->isEnabled(); };
    QVERIFY(!hueEnabled());
    for (const QString& caption : items)
        trigger(caption);
    QVERIFY(m_form->gradientChoice() == expected);
    QCOMPARE(m_form->request().options.perLine, expected.perLine);
    menu()->popup(QPoint(0, 0));
    QCOMPARE(hueEnabled(), expected.gradient.space == ColorSpace::Oklch);
    menu()->close();
}

void GradientMenuTest::presetsListTheSavedOnes()
{
    QDir(m_config->path()).mkpath(QStringLiteral("prismel"));
    QFile file(gradientsFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("mine: oklab: red, blue\nbroken line\n");
    file.close();
    trigger(QStringLiteral("mine"));
    QVERIFY(m_form->gradientChoice().gradient ==
            Gradient({{{255, 0, 0}, {}}, {{0, 0, 255}, {}}}, ColorSpace::Oklab));
}

void GradientMenuTest::presetsShowTheFileAsTheyCan_data()
{
    QTest::addColumn<QString>("kind"); // of the gradients file: "none", "fifo", "folder", or
    QTest::addColumn<int>("count");    // a file of this many numbered gradients
    QTest::addColumn<int>("items");    // saved gradients shown as items
    QTest::addColumn<bool>("more");
    QTest::addColumn<QString>("trouble"); // the disabled line, if any
    QTest::newRow("no file") << "none" << 0 << 0 << false << "";
    QTest::newRow("a hundred are all items") << "file" << 100 << 100 << false << "";
    QTest::newRow("past a hundred, the rest behind More") << "file" << 101 << 100 << true << "";
    // A FIFO froze the window at the first right click on the bar.
    QTest::newRow("a FIFO is named, unopened")
        << "fifo" << 0 << 0 << false << u"渐变文件无法读取：不是普通文件"_qs;
    QTest::newRow("a folder is named")
        << "folder" << 0 << 0 << false << u"渐变文件无法读取：不是普通文件"_qs;
}

void GradientMenuTest::presetsShowTheFileAsTheyCan()
{
    QFETCH(QString, kind);
    QFETCH(int, count);
    QFETCH(int, items);
    QFETCH(bool, more);
    QFETCH(QString, trouble);
    QDir(m_config->path()).mkpath(QStringLiteral("prismel"));
    if (kind == u"file")
        writeNumbered(count);
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(gradientsFile()).constData(), 0600), 0);
    else if (kind == u"folder")
        QVERIFY(QDir().mkdir(gradientsFile()));
    menu()->popup(QPoint(0, 0));
    QStringList saved;
    QStringList disabled;
    for (const QAction* action : presets()->actions()) {
        if (!action->isEnabled())
            disabled.append(action->text());
        else if (action->text().startsWith(u'g'))
            saved.append(action->text());
    }
    menu()->close();
    QCOMPARE(saved.size(), items);
    QCOMPARE(disabled, trouble.isEmpty() ? QStringList() : QStringList{trouble});
    QCOMPARE(item(presets(), u"更多(&M)…"_qs) != nullptr, more);
    // The built-in ones work whatever the file.
    trigger(QStringLiteral("sunset"));
    QVERIFY(m_form->gradientChoice().gradient == named(u"sunset"));
}

// "More…" lists every saved gradient; the filter narrows the list, Enter applies the one chosen.
void GradientMenuTest::moreListsThemAllWithAFilter()
{
    writeNumbered(40000);
    qsizetype listed = 0;
    qsizetype filtered = 0;
    bool typedInFilter = false;
    prismel::test::whenModal<prismel::SavedGradientsDialog>(
        [&](prismel::SavedGradientsDialog& dialog) {
            auto* list = dialog.findChild<QListView*>();
            listed = list->model()->rowCount();
            typedInFilter = dialog.focusWidget() == dialog.findChild<QLineEdit*>();
            QTest::keyClicks(dialog.findChild<QLineEdit*>(), QStringLiteral("G3999"));
            filtered = list->model()->rowCount(); // G3999 and g39990 to g39999
            // Down in the filter line moves in the list: to the first, then the second.
            QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Down);
            QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Down);
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
    trigger(u"更多(&M)…"_qs);
    QCOMPARE(listed, 40000);
    QVERIFY(typedInFilter);
    QCOMPARE(filtered, 11);
    QVERIFY(m_form->gradientChoice().gradient ==
            Gradient({{{0, 0x9c, 0x36}, {}}, {{0, 0, 0}, {}}})); // g39990
}

void GradientMenuTest::saving_data()
{
    QTest::addColumn<QByteArray>("before"); // the file's bytes before, or null for none
    QTest::addColumn<QString>("name");      // typed into the input dialog
    QTest::addColumn<QByteArray>("after");  // the file's bytes after
    QTest::addColumn<bool>("message");
    QTest::newRow("new file") << QByteArray() << u" warm "_qs
                              << QByteArray("warm: rgb: #ff00ff, #00ff00\n") << false;
    QTest::newRow("replaces its line and keeps the rest")
        << QByteArray("# mine\nwarm: red, gold\r\ncool: teal, navy\n") << u"warm"_qs
        << QByteArray("# mine\nwarm: rgb: #ff00ff, #00ff00\r\ncool: teal, navy\n") << false;
    QTest::newRow("empty name") << QByteArray("a: red, blue\n") << u"  "_qs
                                << QByteArray("a: red, blue\n") << true;
    QTest::newRow("name outside the letters") << QByteArray() << u"彩虹"_qs << QByteArray() << true;
    QTest::newRow("a line that is not UTF-8 stays byte for byte")
        << QByteArray("a: red, blue\n\xff\n") << u"warm"_qs
        << QByteArray("a: red, blue\n\xff\nwarm: rgb: #ff00ff, #00ff00\n") << false;
    QTest::newRow("a file that cannot be written stays as it is")
        << QByteArray("a: red, blue\n") << u"full"_qs << QByteArray("a: red, blue\n") << true;
}

void GradientMenuTest::saving()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, name);
    QFETCH(QByteArray, after);
    QFETCH(bool, message);
    if (!before.isNull()) {
        QDir(m_config->path()).mkpath(QStringLiteral("prismel"));
        QFile file(gradientsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    m_fakes.inputDialog.textAnswer = name;
    // No file may grow past 20 bytes meanwhile, so that the new one cannot be written, even by
    // root; going past the limit then fails the write instead of ending the process.
    const bool full = name == u"full";
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    if (full) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = limit;
        small.rlim_cur = 20;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    trigger(u"保存当前渐变(&A)…"_qs);
    if (full)
        setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(m_fakes.messageBoxes.shown.size(), message ? 1 : 0);
    QFile file(gradientsFile());
    if (after.isNull()) {
        QVERIFY(!file.exists());
        return;
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
}

void GradientMenuTest::editorOkAppliesAndCancelKeeps()
{
    // The editor starts from the window's choice; OK hands back what it shows, Cancel nothing.
    for (const bool ok : {false, true}) {
        trigger(u"彩虹(&R)"_qs);
        prismel::test::whenModal<prismel::GradientEditor>(
            [ok](prismel::GradientEditor& editor) { ok ? editor.accept() : editor.reject(); });
        trigger(u"编辑渐变(&E)…"_qs);
        QVERIFY(m_form->gradientChoice() == (GradientChoice{named(u"rainbow"), false}));
    }
}

// The window's code for a gradient is the core's for the same text and settings.
void GradientMenuTest::windowCodeIsTheCoresCode_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("gradient"); // the request's, as a gradients file would hold it
    QTest::newRow("rainbow per line")
        << QStringList{u"彩虹(&R)"_qs, u"每行重新开始(&L)"_qs}
        << u"g: rgb: #ff0000, #ffff00, #00ff00, #00ffff, #0000ff, #ff00ff"_qs;
    QTest::newRow("hue circle") << QStringList{u"hue-circle"_qs}
                                << u"g: oklch longer: #ff0000, #ff0000"_qs;
    QTest::newRow("sunset reversed")
        << QStringList{u"sunset"_qs, u"反转(&V)"_qs}
        << u"g: oklab: #f8b195 0%, #f67280, #c06c84, #6c5b7b, #355c7d 100%"_qs;
}

void GradientMenuTest::windowCodeIsTheCoresCode()
{
    QFETCH(QStringList, items);
    QFETCH(QString, gradient);
    for (const QString& caption : items)
        trigger(caption);
    const QString input =
        QStringLiteral("彩虹字 Rainbow 👍🏽\n第二行 second line\r\n三");
    m_form->findChild<prismel::LongTextEdit*>(QStringLiteral("Text1"))->setText(input);
    m_form->findChild<QLineEdit*>(QStringLiteral("Text4"))->setText(QStringLiteral("2"));
    m_form->findChild<QPushButton*>(QStringLiteral("Command2(0)"))->click();
    const prismel::TextRequest request = m_form->request();
    QCOMPARE(request.step, 2);
    const std::u16string code = prismel::ConvertText(request.input.toStdU16String(), request);
    QCOMPARE(m_form->findChild<prismel::LongTextEdit*>(QStringLiteral("Text3"))->text(),
             QString::fromStdU16String(code));
    QCOMPARE(QString::fromStdU16String(prismel::gradientLine(u"g", request.gradient)), gradient);
}

QTEST_MAIN(GradientMenuTest)
#include "gradientmenu_test.moc"
