#include "window/form/form1.h"

#include "core/step.h"
#include "core/tagtemplate.h"
#include "preview/colorpick.h"
#include "preview/gradientbar.h"
#include "preview/textpreview.h"
#include "window/adapters/browserpane.h"
#include "window/adapters/qtcolor.h"
#include "window/adapters/qtstring.h"
#include "window/adapters/textfile.h"
#include "window/config.h"
#include "window/form/codemenu.h"
#include "window/form/convertrunner.h"
#include "window/form/fonts.h"
#include "window/form/gradientmenu.h"
#include "window/form/picturemenu.h"
#include "window/form/twips.h"
#include "window/widgets/barstops.h"
#include "window/widgets/digitfilter.h"
#include "window/widgets/gradientbarwidget.h"
#include "window/widgets/longtextedit.h"
#include "window/widgets/previewwidget.h"
#include "window/widgets/selectallonfocus.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <functional>
#include <type_traits>
#include <utility>
#include <variant>

namespace prismel {

namespace {

// Enter in the combo box's text field neither adds the typed text to the list nor chooses the
// item of the same name; only choosing from the list applies a preset.
class ComboEnterFilter : public QObject {
public:
    explicit ComboEnterFilter(QComboBox* combo) : QObject(combo), m_combo(combo)
    {
        combo->installEventFilter(this);
        if (combo->lineEdit())
            combo->lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        return enter && !m_combo->view()->isVisible();
    }

private:
    QComboBox* m_combo;
};

// A button in a QButtonGroup takes the arrow keys to move among the group's members only; a lone
// button, as every button of this window was before the groups, moves along the tab order: Right
// and Down to the next stop, Left and Up to the previous one.
class ArrowKeysFollowTabOrder : public QObject {
public:
    explicit ArrowKeysFollowTabOrder(QObject* parent, std::function<void(bool next)> moveFocus)
        : QObject(parent), m_moveFocus(std::move(moveFocus))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Right:
        case Qt::Key_Down:
            m_moveFocus(true);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Up:
            m_moveFocus(false);
            return true;
        default:
            return false;
        }
    }

private:
    std::function<void(bool next)> m_moveFocus;
};

// The format list's captions as the core gives them, marked for lupdate; the list shows each
// one translated, the core's caption being its source text.
[[maybe_unused]] constexpr std::array<const char*, 13> kFormatCaptions{
    QT_TRANSLATE_NOOP("prismel::Form1", "Html(网页)"),
    QT_TRANSLATE_NOOP("prismel::Form1", "UBB(论坛)"),
    QT_TRANSLATE_NOOP("prismel::Form1", "QQ空间"),
    QT_TRANSLATE_NOOP("prismel::Form1", "BBCode(论坛)"),
    QT_TRANSLATE_NOOP("prismel::Form1", "HTML <span>(网页)"),
    QT_TRANSLATE_NOOP("prismel::Form1", "MiniMessage"),
    QT_TRANSLATE_NOOP("prismel::Form1", "MiniMessage 渐变标签"),
    QT_TRANSLATE_NOOP("prismel::Form1", "Minecraft &#"),
    QT_TRANSLATE_NOOP("prismel::Form1", "Minecraft &x"),
    QT_TRANSLATE_NOOP("prismel::Form1", "Minecraft §x"),
    QT_TRANSLATE_NOOP("prismel::Form1", "Minecraft 16 色"),
    QT_TRANSLATE_NOOP("prismel::Form1", "Pango"),
    QT_TRANSLATE_NOOP("prismel::Form1", "LaTeX"),
};

QString textOf(const ControlText& text)
{
    return text.translatable ? Form1::tr(text.translatable) : text.fixed.toString();
}

QPushButton* newButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLineEdit* newField(const QString& text, QWidget* parent)
{
    // Given its text only once it has the window's face: QLineEdit(text, parent) first lays the
    // text out in the application's face, loading that face and its fallback for Chinese for
    // nothing at start-up.
    auto* field = new QLineEdit(parent);
    field->setText(text);
    return field;
}

QComboBox* newCombo1(const QString& text, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr); // no inline completion: typing applies nothing
    // The core's table, in its order: the three presets first, then the formats a post can
    // take; the terminal's formats have no caption.
    for (const FormatInfo& format : formatTable()) {
        if (format.caption.empty())
            continue;
        const std::string caption(format.caption);
        combo->addItem(Form1::tr(caption.c_str()), static_cast<int>(format.name));
    }
    // The list is as wide as its longest caption, so that none is cut in the middle.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) +
                                   combo->view()->verticalScrollBar()->sizeHint().width() + 8);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    // Qt chooses the item whose text the field holds when Enter is pressed or the field is left;
    // here only the list chooses.
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    QObject::disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
    return combo;
}

QGroupBox* newFrame(const QString& caption, QWidget* parent)
{
    // The caption sits on the frame's top line, as on a classic Windows frame, so that the
    // control inside it at Top 240 twips stays clear of the line.
    auto* frame = new QGroupBox(caption, parent);
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0px 1px; }"));
    return frame;
}

QLabel* newLabel(const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Makes the control a row describes and keeps it in the row's FormControls member; the member's
// type says which widget to make.
class ControlMaker {
public:
    ControlMaker(QObject* groupOwner, FormControls& controls, UrlOpener& opener, QObject* arrowKeys)
        : m_groupOwner(groupOwner), m_controls(controls), m_opener(opener), m_arrowKeys(arrowKeys)
    {
    }

    QWidget* make(const ControlDescription& row, QWidget* parent)
    {
        return std::visit([&](auto slot) -> QWidget* { return keep(slot, row, parent); }, row.slot);
    }

private:
    template <typename T> using Slot = T FormControls::*;

    // A table row whose index does not fit its array stops the program at start-up rather than
    // leaving a control unwired.
    template <typename T, std::size_t N>
    static T*& member(std::array<T*, N>& array, const ControlDescription& row)
    {
        return array.at(static_cast<std::size_t>(row.index));
    }

    QWidget* keep(Slot<QPushButton*> slot, const ControlDescription& row, QWidget* parent)
    {
        return m_controls.*slot = newButton(textOf(row.text), parent);
    }
    QWidget* keep(Slot<QButtonGroup*> slot, const ControlDescription& row, QWidget* parent)
    {
        QButtonGroup*& group = m_controls.*slot;
        if (!group)
            group = new QButtonGroup(m_groupOwner);
        QPushButton* button = newButton(textOf(row.text), parent);
        group->addButton(button, row.index);
        button->installEventFilter(m_arrowKeys);
        return button;
    }
    QWidget* keep(Slot<QLineEdit*> slot, const ControlDescription& row, QWidget* parent)
    {
        return m_controls.*slot = newField(textOf(row.text), parent);
    }
    QWidget* keep(Slot<std::array<QLineEdit*, 3>> slot, const ControlDescription& row,
                  QWidget* parent)
    {
        QLineEdit*& field = member(m_controls.*slot, row);
        return field = newField(textOf(row.text), parent);
    }
    QWidget* keep(Slot<LongTextEdit*> slot, const ControlDescription& row, QWidget* parent)
    {
        auto* box = new LongTextEdit(parent);
        box->setText(textOf(row.text));
        return m_controls.*slot = box;
    }
    QWidget* keep(Slot<QComboBox*> slot, const ControlDescription& row, QWidget* parent)
    {
        return m_controls.*slot = newCombo1(textOf(row.text), parent);
    }
    QWidget* keep(Slot<QGroupBox*> slot, const ControlDescription& row, QWidget* parent)
    {
        return m_controls.*slot = newFrame(textOf(row.text), parent);
    }
    QWidget* keep(Slot<std::array<QLabel*, 6>> slot, const ControlDescription& row, QWidget* parent)
    {
        QLabel*& label = member(m_controls.*slot, row);
        return label = newLabel(textOf(row.text), parent);
    }
    QWidget* keep(Slot<GradientBarWidget*> slot, const ControlDescription&, QWidget* parent)
    {
        return m_controls.*slot = new GradientBarWidget(parent);
    }
    QWidget* keep(Slot<PreviewWidget*> slot, const ControlDescription&, QWidget* parent)
    {
        return m_controls.*slot = new PreviewWidget(parent);
    }
    QWidget* keep(Slot<BrowserPane*> slot, const ControlDescription&, QWidget* parent)
    {
        return m_controls.*slot = new BrowserPane(m_opener, parent);
    }

    QObject* m_groupOwner;
    FormControls& m_controls;
    UrlOpener& m_opener;
    QObject* m_arrowKeys;
};

// The substitute face's Latin letters are wider than the original's half-width ones, so a
// caption made to measure ("FF00FF" in 540 twips) would be clipped. A label whose caption does not
// fit gets its face condensed just enough instead.
void condenseToFit(QLabel* label)
{
    QFont font = label->font();
    const int needed = QFontMetrics(font).horizontalAdvance(label->text());
    const int room = label->contentsRect().width();
    if (needed <= room || needed <= 0)
        return;
    font.setStretch(std::max(60, room * 100 / needed));
    label->setFont(font);
}

void applyLook(const ControlDescription& control, QWidget* widget)
{
    if (control.bold) {
        QFont font = widget->font();
        font.setBold(true);
        widget->setFont(font);
    }
    if (auto* label = qobject_cast<QLabel*>(widget))
        condenseToFit(label);
    if (!control.foreground && !control.background)
        return;
    QPalette palette = widget->palette();
    if (control.foreground) {
        const QColor color = toQColor(*control.foreground);
        palette.setColor(QPalette::WindowText, color);
        palette.setColor(QPalette::Text, color);
    }
    if (control.background) {
        palette.setColor(QPalette::Window, toQColor(*control.background));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

} // namespace

Form1::Form1(const Platform& platform, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_converter(new ConvertRunner(this))
{
    m_converter->setObjectName(QStringLiteral("convertRunner"));
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Prismel"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/prismel/icons/prismel-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/prismel/icons/prismel-48.png"), QSize(48, 48));
    setWindowIcon(icon);
    setFont(windowFont());
    resize(twipsToPixels(formWidthTwips), twipsToPixels(formHeightTwips));

    setTabOrder(createControls());
    connectHandlers();
    load();
    m_controls.text1->setFocus(Qt::OtherFocusReason); // ready for typing or pasting the text
}

Form1::~Form1() = default;

Form1::TabStops Form1::createControls()
{
    auto* arrowKeys =
        new ArrowKeysFollowTabOrder(this, [this](bool next) { focusNextPrevChild(next); });
    ControlMaker maker(this, m_controls, m_platform.urlOpener, arrowKeys);
    TabStops stops;
    for (const ControlDescription& row : controlTable()) {
        // A frame comes before the controls it holds, so it exists by now.
        QWidget* frame = row.container ? m_controls.*row.container : nullptr;
        QWidget* widget = maker.make(row, frame ? frame : this);
        // The frames' style sheet gives the controls inside them the application's font instead
        // of the window's; they are given the window's face again, as every control has it.
        if (frame)
            widget->setFont(font());
        widget->setObjectName(controlName(row));
        widget->setGeometry(twipsToPixels(row.left), twipsToPixels(row.top),
                            twipsToPixels(row.width), twipsToPixels(row.height));
        applyLook(row, widget);
        stops.emplace_back(row.tab, widget);
    }
    return stops;
}

void Form1::connectHandlers()
{
    // One connection per control array, told the member's index.
    connect(m_controls.command1, &QButtonGroup::idClicked, this, &Form1::command1Click);
    connect(m_controls.command2, &QButtonGroup::idClicked, this, &Form1::command2Click);
    connect(m_controls.command3, &QButtonGroup::idClicked, this, &Form1::command3Click);
    connect(m_controls.command4, &QPushButton::clicked, this, &Form1::command4Click);
    connect(m_controls.combo1, &QComboBox::activated, this, &Form1::combo1Click);
    new ComboEnterFilter(m_controls.combo1);

    for (LongTextEdit* box : {m_controls.text1, m_controls.text3})
        box->selectAllOnFocus();
    m_controls.text1->acceptFileDrops([this](const QString& path) { openFile(path); });
    for (QLineEdit* field : m_controls.text2) {
        new SelectAllOnFocus(field);
        connect(field, &QLineEdit::textEdited, this, &Form1::fieldsTyped);
    }

    QLineEdit* step = m_controls.text4;
    step->installEventFilter(new DigitFilter(step));
    // Typed characters reach the filter only as key presses; an input method would bypass it.
    step->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void Form1::setTabOrder(TabStops stops)
{
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QWidget* previous = nullptr;
    for (const auto& [tab, widget] : stops) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void Form1::load()
{
    // The start-up colours are a default Gradient's; BarStops gives the bar its coordinate system
    // and draws it.
    m_barStops = new BarStops(*m_controls.picture2, m_platform.colorDialog, Gradient{}, this);
    m_gradientMenu = new GradientMenu(
        *m_barStops, m_platform, [this] { return m_controls.text1->text(); }, this);
    connect(m_controls.picture2, &GradientBarWidget::barMenuRequested, m_gradientMenu,
            &GradientMenu::popup);
    m_codeMenu = new CodeMenu(
        *m_controls.text3, m_platform, [this] { return request(); },
        [this](int step) { convertAtStep(step); }, this);
    m_pictureMenu = new PictureMenu(
        *this, m_platform,
        [this] {
            TextRequest convert = request();
            const auto& on = convert.options.decorations;
            const Decorations decorations{on[0], on[1], on[2], on[3]};
            return PictureRequest{std::move(convert), m_controls.picture1->font(), decorations};
        },
        this);
    m_pictureMenu->setObjectName(QStringLiteral("pictureMenu"));
    connect(m_controls.picture1, &PreviewWidget::menuRequested, m_pictureMenu, &PictureMenu::popup);
    showColorCode();
    m_controls.webBrowser1->navigate(QUrl(toQString(config::forumUrl)));
}

void Form1::showCentred()
{
    const QRect screenArea = screen()->availableGeometry();
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screenArea));
    show();
}

void Form1::closeEvent(QCloseEvent* event)
{
    m_converter->cancel();
    m_pictureMenu->cancel();
    QWidget::closeEvent(event);
}

void Form1::combo1Click(int index)
{
    const QVariant item = m_controls.combo1->itemData(index);
    if (!item.isValid())
        return;
    const auto name = static_cast<FormatName>(item.toInt());
    ConvertOptions chosen;
    applyFormat(name, chosen);
    m_format = chosen;
    m_fieldsTyped = false;
    m_codeMenu->offerDecorations(true);
    const TagTemplate shown = shownTemplate(name);
    const std::array<const std::u16string*, 3> parts{&shown.TagHead, &shown.TagMid,
                                                     &shown.TagClose};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        m_controls.text2[i]->setText(toQString(*parts[i]));
        m_controls.text2[i]->setCursorPosition(0); // a narrow field shows the start of a long head
    }
    m_controls.combo1->lineEdit()->setCursorPosition(0); // the caption's start, as at start-up
    showColorCode();
}

void Form1::fieldsTyped()
{
    // The fields are now a template of the user's: its tags are written, in the notation and
    // escaping last chosen, without the format's decorations or gradient tag.
    m_fieldsTyped = true;
    m_format.wholeTextGradient = false;
    m_codeMenu->offerDecorations(false);
}

void Form1::showColorCode()
{
    QLabel* label = m_controls.label1[2];
    const QString code = toQString(colorCodeText(m_format.colorCode, Rgb{255, 0, 255}));
    label->setToolTip(code);
    // As at start-up: the window's face, condensed until the code fits; a code too long even
    // then is cut with "…".
    label->setFont(font());
    label->setText(code);
    condenseToFit(label);
    const QFontMetrics metrics(label->font());
    const int room = label->contentsRect().width();
    if (metrics.horizontalAdvance(code) > room + 1)
        label->setText(metrics.elidedText(code, Qt::ElideRight, room));
}

void Form1::command1Click(int index)
{
    Gradient gradient = m_barStops->gradient();
    if (PickColor(index, m_platform.colorDialog, gradient, *m_controls.picture2))
        m_barStops->setGradient(std::move(gradient));
}

void Form1::command2Click(int index)
{
    switch (index) {
    case 0:
        convert();
        break;
    case 1:
        copyToClipboard();
        break;
    case 2:
        pasteFromClipboard();
        break;
    default:
        break;
    }
}

void Form1::command3Click(int index)
{
    // The button captioned exit closes the window, as the title bar's close box does; the last
    // window closing ends the program.
    if (index == 1)
        close();
    else
        showAbout();
}

void Form1::command4Click()
{
    m_platform.urlOpener.open(QUrl(toQString(config::forumUrl)));
}

GradientChoice Form1::gradientChoice() const
{
    return m_gradientMenu->choice();
}

TextRequest Form1::request() const
{
    const GradientChoice choice = gradientChoice();
    ConvertOptions options = m_format;
    options.merge = m_codeMenu->merges();
    options.perLine = choice.perLine;
    if (!m_fieldsTyped)
        options.decorations = m_codeMenu->decorations();
    TextRequest asked;
    asked.step = parseStep(view(m_controls.text4->text()));
    asked.tags = {toU16(m_controls.text2[0]->text()), toU16(m_controls.text2[1]->text()),
                  toU16(m_controls.text2[2]->text())};
    asked.gradient = choice.gradient;
    asked.options = options;
    asked.input = m_controls.text1->text();
    return asked;
}

void Form1::convertAtStep(int step)
{
    // The fitted step is shown, and converted with as the number it is.
    m_controls.text4->setText(QString::number(step));
    TextRequest asked = request();
    asked.step = step;
    startConvert(std::move(asked));
}

void Form1::convert()
{
    startConvert(request());
}

void Form1::startConvert(TextRequest asked)
{
    // A gradient the server cannot draw leaves the code box as it was.
    if (m_codeMenu->refused(asked))
        return;
    // The preview is drawn when the code is ready rather than first, so that a Convert cancelled
    // on the way leaves both as they were; what the user sees at the end is the same.
    m_converter->run(std::move(asked), [this](const TextRequest& done, PreparedText& prepared,
                                              const CodeLength::Sizes& code) {
        DrawTextPreview(*m_controls.picture1, view(done.input), done);
        m_controls.text3->showText(prepared);
        m_codeMenu->showLength(code);

        m_controls.text3->setFocus(Qt::OtherFocusReason);
        // Text3 may have had the focus already (Alt+T typed in it), and then no focus event comes.
        m_controls.text3->selectAll();
    });
}

void Form1::copyToClipboard()
{
    m_platform.clipboard.clear();
    m_platform.clipboard.setText(m_controls.text3->text());
    m_platform.messageBoxes.inform(tr("成功"), tr("复制到剪贴板成功"));
}

void Form1::pasteFromClipboard()
{
    // A clipboard without any text leaves the input as it is; an empty text still replaces it.
    if (const auto text = m_platform.clipboard.text())
        m_controls.text1->setText(*text);
}

void Form1::openFile(const QString& path)
{
    const TextFileRead file = readTextFile(path);
    if (!file.ok) {
        // The box puts the path in place of "%1"; the reason is the program's own words or the
        // system's, never the file's.
        m_platform.messageBoxes.informAboutFile(
            tr("打开文件"), tr("无法打开“%1”：%2").arg(QStringLiteral("%1"), file.error), path);
        return;
    }
    m_controls.text1->setText(file.text);
}

void Form1::showAbout()
{
    const QString prompt = toQString(config::siteName) + u' ' + toQString(config::siteUrl) + u' ' +
                           tr("有它让你的生活更方便！");
    m_platform.messageBoxes.inform(toQString(config::appTitle), prompt);
}

} // namespace prismel
