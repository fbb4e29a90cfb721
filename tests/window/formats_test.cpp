#include "fakeplatform.h"

#include "core/conversion.h"
#include "core/format.h"
#include "window/adapters/qtstring.h"
#include "window/form/form1.h"
#include "window/widgets/longtextedit.h"
#include "window/widgets/previewwidget.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <set>

using prismel::ConvertOptions;
using prismel::Decoration;
using prismel::Form1;
using prismel::FormatName;
using prismel::LongTextEdit;

Q_DECLARE_METATYPE(prismel::FormatName)

namespace {

// Every character some format escapes, and a Chinese one.
const QString sample = QStringLiteral("Ab <&>\\{}#%_ 彩虹");

// What prismel-convert's --format writes for the window's request, with `decorations`.
QString coreCode(const Form1& form, FormatName name, std::array<bool, 4> decorations = {})
{
    ConvertOptions options;
    options.decorations = decorations;
    prismel::TextRequest request = form.request();
    request.tags = prismel::applyFormat(name, options);
    request.options = options;
    return prismel::toQString(prismel::ConvertText(prismel::view(request.input), request));
}

std::set<QRgb> colorsOf(const QImage& image)
{
    std::set<QRgb> colors;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colors.insert(image.pixel(x, y) | 0xFF000000U);
    return colors;
}

int inked(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != image.pixel(image.width() - 1, image.height() - 1);
    return count;
}

} // namespace

class FormatsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void eachFormatConvertsAsTheCore_data();
    void eachFormatConvertsAsTheCore();
    void decorationsReachCodeAndPreview();
    void typedTemplateGreysDecorations();
    void presetBringsBackHex();
    void gradientTheServerCannotDrawIsRefused();

private:
    template <typename T> T* find(const QString& name) const { return m_form->findChild<T*>(name); }
    // Chooses list item `index` with the keyboard, as Down from the item above does.
    void choose(int index)
    {
        auto* combo = find<QComboBox>(QStringLiteral("Combo1"));
        combo->setCurrentIndex(index - 1);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), index);
    }
    QString convert()
    {
        find<QPushButton>(QStringLiteral("Command2(0)"))->click();
        return find<LongTextEdit>(QStringLiteral("Text3"))->text();
    }
    QAction* decoration(const char* name) const
    {
        return m_form->findChild<QAction*>(QString::fromLatin1(name));
    }

    prismel::test::FakePlatform m_fakes;
    std::unique_ptr<Form1> m_form;
};

void FormatsTest::init()
{
    m_form = std::make_unique<Form1>(m_fakes.platform());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    find<LongTextEdit>(QStringLiteral("Text1"))->setText(sample);
}

void FormatsTest::cleanup()
{
    m_form.reset();
    m_fakes.reset();
}

void FormatsTest::eachFormatConvertsAsTheCore_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<FormatName>("name");
    // The list: the three presets, then the core's formats with a caption, in its order.
    int index = 0;
    for (const prismel::FormatInfo& format : prismel::formatTable()) {
        if (format.caption.empty())
            continue;
        if (index >= 3)
            QTest::newRow(std::string(format.keyword).c_str()) << index << format.name;
        ++index;
    }
    QCOMPARE(index, 13);
}

void FormatsTest::eachFormatConvertsAsTheCore()
{
    QFETCH(int, index);
    QFETCH(FormatName, name);
    choose(index);
    QCOMPARE(convert(), coreCode(*m_form, name));
    ConvertOptions options;
    prismel::applyFormat(name, options);
    const QString code =
        prismel::toQString(prismel::colorCodeText(options.colorCode, {255, 0, 255}));
    QCOMPARE(find<QLabel>(QStringLiteral("Label1(2)"))->toolTip(), code);
    // The fields show the template, or the gradient tag's parts.
    QCOMPARE(find<QLineEdit>(QStringLiteral("Text2(0)"))->text(),
             prismel::toQString(prismel::shownTemplate(name).TagHead));
}

void FormatsTest::decorationsReachCodeAndPreview()
{
    choose(10); // Minecraft 16 colours
    // Letters, which bold thickens, and full blocks at the end, in the gradient's end colour.
    find<LongTextEdit>(QStringLiteral("Text1"))
        ->setText(QStringLiteral("Abc xyz ") + QString(4, QChar(0x2588)));
    const QString plain = convert();
    const QImage plainPreview = find<prismel::PreviewWidget>(QStringLiteral("Picture1"))->picture();
    decoration("bold")->trigger();
    decoration("underline")->trigger();
    QCOMPARE(convert(), coreCode(*m_form, FormatName::Minecraft16, {true, false, true, false}));
    QVERIFY(convert() != plain);
    const QImage bold = find<prismel::PreviewWidget>(QStringLiteral("Picture1"))->picture();
    QVERIFY(inked(bold) > inked(plainPreview));
    // The preview shows the palette's colours, never the gradient's own between them.
    const std::set<QRgb> shown = colorsOf(bold);
    const prismel::Rgb green{0, 255, 0};
    const prismel::Rgb palette = prismel::shownColor(prismel::ColorCode::Minecraft16, green);
    QVERIFY(shown.contains(qRgb(palette.r, palette.g, palette.b)));
    QVERIFY(!shown.contains(qRgb(0, 255, 0)));
}

void FormatsTest::typedTemplateGreysDecorations()
{
    choose(3); // BBCode
    decoration("italic")->trigger();
    QVERIFY(convert().startsWith(QStringLiteral("[i]")));
    auto* head = find<QLineEdit>(QStringLiteral("Text2(0)"));
    head->setFocus();
    head->end(false);
    QTest::keyClicks(head, QStringLiteral("x"));
    QVERIFY(!decoration("italic")->isEnabled());
    QVERIFY(convert().startsWith(QStringLiteral("[color=#x")));
    choose(4); // a format offers them again, still ticked
    QVERIFY(decoration("italic")->isEnabled());
    QCOMPARE(convert(), coreCode(*m_form, FormatName::HtmlSpan, {false, true, false, false}));
}

void FormatsTest::presetBringsBackHex()
{
    choose(9); // Minecraft §x
    auto* label = find<QLabel>(QStringLiteral("Label1(2)"));
    QCOMPARE(label->toolTip(), QString::fromUtf16(u"\u00a7F\u00a7F\u00a70\u00a70\u00a7F\u00a7F"));
    QVERIFY(label->text().endsWith(QChar(0x2026)));
    choose(2); // QQ
    QCOMPARE(label->text(), QStringLiteral("FF00FF"));
    QCOMPARE(convert(), coreCode(*m_form, FormatName::Qq));
}

void FormatsTest::gradientTheServerCannotDrawIsRefused()
{
    choose(6); // MiniMessage's gradient tag
    const QString drawn = convert();
    QCOMPARE(drawn, coreCode(*m_form, FormatName::MiniMessageGradient));
    find<QLineEdit>(QStringLiteral("Text4"))->setText(QStringLiteral("2"));
    QCOMPARE(convert(), drawn);
    QCOMPARE(m_fakes.messageBoxes.shown.size(), 1);
    const std::string_view words = *prismel::gradientTagStepProblem(2);
    QCOMPARE(m_fakes.messageBoxes.shown.front().second,
             QString::fromUtf8(words.data(), std::ssize(words)));
}

QTEST_MAIN(FormatsTest)
#include "formats_test.moc"
