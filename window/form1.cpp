#include "window/form1.h"

#include "core/conversion.h"
#include "core/tagtemplate.h"
#include "preview/colorpick.h"
#include "preview/gradientbar.h"
#include "preview/textpreview.h"
#include "window/browserpane.h"
#include "window/config.h"
#include "window/controltable.h"
#include "window/digitfilter.h"
#include "window/fonts.h"
#include "window/gradientbarwidget.h"
#include "window/longtextedit.h"
#include "window/previewwidget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace prismel {

namespace {

std::u16string_view view(const QString& text)
{
    return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

std::u16string toU16(const QString& text)
{
    return std::u16string(view(text));
}

class NoUrlOpener : public UrlOpener {
public:
    void open(const QUrl&) override {}
};

// Select-all on focus for a single-line field, however the focus arrives. A mouse press that
// gives the focus would move the cursor right after; that press, its drag and its release are
// kept from the field so that the selection stays.
class SelectAllOnFocus : public QObject {
public:
    explicit SelectAllOnFocus(QLineEdit* field) : QObject(field), m_field(field)
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_field)
            return false;
        switch (event->type()) {
        case QEvent::FocusIn: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            m_field->event(event); // let the field take the focus first, then select
            if (reason != Qt::PopupFocusReason) {
                m_field->selectAll();
                m_swallowPress = reason == Qt::MouseFocusReason;
            }
            return true;
        }
        case QEvent::FocusOut:
            m_swallowPress = false;
            m_swallowing = false;
            break;
        case QEvent::MouseButtonPress:
            if (m_swallowPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                m_swallowPress = false;
                m_swallowing = true;
                return true;
            }
            m_swallowPress = false;
            break;
        case QEvent::MouseMove:
            return m_swallowing;
        case QEvent::MouseButtonRelease:
            if (m_swallowing) {
                m_swallowing = false;
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    QLineEdit* m_field;
    bool m_swallowPress = false;
    bool m_swallowing = false;
};

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

QWidget* makeWidget(const ControlDescription& control, QWidget* parent, UrlOpener& opener)
{
    const QString text = control.text.toString();
    switch (control.kind) {
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case ControlKind::TextBox:
        return new QLineEdit(text, parent);
    case ControlKind::MultiLineTextBox: {
        auto* box = new LongTextEdit(parent);
        box->setTabChangesFocus(true);
        box->setText(text);
        return box;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr); // no inline completion: typing applies nothing
        for (const FormatPreset& preset : formatPresets())
            combo->addItem(
                QString::fromUtf16(preset.name.data(), static_cast<qsizetype>(preset.name.size())),
                0);
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
        // Qt chooses the item whose text the field holds when Enter is pressed or the field is
        // left; here only the list chooses.
        QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
        QObject::disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
        return combo;
    }
    case ControlKind::Frame: {
        // The caption sits on the frame's top line, as on a classic Windows frame, so that the
        // control inside it at Top 240 twips stays clear of the line.
        auto* frame = new QGroupBox(text, parent);
        frame->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); margin-top: 7px; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0px 1px; }"));
        return frame;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::GradientPicture:
        return new GradientBarWidget(parent);
    case ControlKind::PreviewPicture:
        return new PreviewWidget(parent);
    case ControlKind::WebBrowser:
        return new BrowserPane(opener, parent);
    }
    return new QWidget(parent);
}

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
        const QColor color(*control.foreground);
        palette.setColor(QPalette::WindowText, color);
        palette.setColor(QPalette::Text, color);
    }
    if (control.background) {
        palette.setColor(QPalette::Window, QColor(*control.background));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

} // namespace

Form1::Form1(const Platform& platform, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_noUrlOpener(std::make_unique<NoUrlOpener>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Prismel"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/prismel/icons/prismel-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/prismel/icons/prismel-48.png"), QSize(48, 48));
    setWindowIcon(icon);
    setFont(windowFont());
    resize(twipsToPixels(formWidthTwips), twipsToPixels(formHeightTwips));

    createControls();
    connectHandlers();
    setTabOrder();
    load();
    m_text1->setFocus(Qt::OtherFocusReason); // ready for typing or pasting the text
}

Form1::~Form1() = default;

template <typename T> T* Form1::control(const QString& objectName) const
{
    return findChild<T*>(objectName);
}

void Form1::createControls()
{
    UrlOpener& opener = m_platform.urlOpener ? *m_platform.urlOpener : *m_noUrlOpener;
    QHash<QString, QWidget*> created;
    for (const ControlDescription& description : controlTable()) {
        QWidget* parent = description.container.isEmpty()
                              ? this
                              : created.value(description.container.toString(), this);
        QWidget* widget = makeWidget(description, parent, opener);
        widget->setObjectName(controlName(description));
        widget->setGeometry(twipsToPixels(description.left), twipsToPixels(description.top),
                            twipsToPixels(description.width), twipsToPixels(description.height));
        applyLook(description, widget);
        created.insert(widget->objectName(), widget);
    }

    m_text1 = control<LongTextEdit>(QStringLiteral("Text1"));
    m_text3 = control<LongTextEdit>(QStringLiteral("Text3"));
    m_text4 = control<QLineEdit>(QStringLiteral("Text4"));
    for (int i = 0; i < 3; ++i)
        m_text2[static_cast<std::size_t>(i)] =
            control<QLineEdit>(QStringLiteral("Text2(%1)").arg(i));
    m_combo1 = control<QComboBox>(QStringLiteral("Combo1"));
    m_picture1 = control<PreviewWidget>(QStringLiteral("Picture1"));
    m_picture2 = control<GradientBarWidget>(QStringLiteral("Picture2"));
    m_webBrowser1 = control<BrowserPane>(QStringLiteral("WebBrowser1"));
}

void Form1::connectHandlers()
{
    for (const ControlDescription& description : controlTable()) {
        auto* button = control<QPushButton>(controlName(description));
        if (!button)
            continue;
        connect(button, &QPushButton::clicked, this,
                [this, name = description.name, index = description.index] {
                    buttonClick(name, index);
                });
    }
    connect(m_combo1, &QComboBox::activated, this, &Form1::combo1Click);
    new ComboEnterFilter(m_combo1);

    for (LongTextEdit* box : {m_text1, m_text3})
        connect(box, &LongTextEdit::focusEntered, box, &LongTextEdit::selectAll);
    for (QLineEdit* field : m_text2)
        new SelectAllOnFocus(field);

    m_text4->installEventFilter(new DigitFilter(m_text4));
    // Typed characters reach the filter only as key presses; an input method would bypass it.
    m_text4->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void Form1::setTabOrder()
{
    std::vector<const ControlDescription*> byTab;
    for (const ControlDescription& description : controlTable())
        byTab.push_back(&description);
    std::sort(byTab.begin(), byTab.end(),
              [](const auto* a, const auto* b) { return a->tab < b->tab; });

    QWidget* previous = nullptr;
    for (const ControlDescription* description : byTab) {
        QWidget* widget = control<QWidget>(controlName(*description));
        if (!widget || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void Form1::load()
{
    m_colors.StartR = 255;
    m_colors.StartG = 0;
    m_colors.StartB = 255;
    m_colors.EndR = 0;
    m_colors.EndG = 255;
    m_colors.EndB = 0;
    setGradientBarScale(*m_picture2);
    DrawGradientBar(*m_picture2, m_colors);
    m_webBrowser1->navigate(QUrl(QString::fromUtf16(config::forumUrl)));
}

void Form1::showCentred()
{
    const QRect screenArea = screen()->availableGeometry();
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screenArea));
    show();
}

void Form1::buttonClick(QStringView name, int index)
{
    if (name == u"Command1")
        command1Click(index);
    else if (name == u"Command2")
        command2Click(index);
    else if (name == u"Command3")
        command3Click(index);
    else if (name == u"Command4")
        command4Click();
}

void Form1::combo1Click(int index)
{
    const auto preset = presetTemplate(index);
    if (!preset)
        return;
    const std::array<const std::u16string*, 3> parts{&preset->TagHead, &preset->TagMid,
                                                     &preset->TagClose};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        m_text2[i]->setText(QString::fromStdU16String(*parts[i]));
        m_text2[i]->setCursorPosition(0); // a narrow field shows the start of a long head
    }
}

void Form1::command1Click(int index)
{
    if (m_platform.colorDialog)
        PickColor(index, *m_platform.colorDialog, m_colors, *m_picture2);
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
    if (m_platform.urlOpener)
        m_platform.urlOpener->open(QUrl(QString::fromUtf16(config::forumUrl)));
}

void Form1::convert()
{
    const QString input = m_text1->text();
    const QString step = m_text4->text();
    DrawTextPreview(*m_picture1, view(input), view(step), m_colors);

    const TagTemplate tags{toU16(m_text2[0]->text()), toU16(m_text2[1]->text()),
                           toU16(m_text2[2]->text())};
    // The code is gathered straight into the QString the box takes, sized once so that a long
    // post is not copied over and over while it grows.
    QString code;
    code.reserve(static_cast<qsizetype>(markupCapacity(view(input), view(step), tags)));
    convertTextTo(view(input), view(step), tags, m_colors, [&code](std::u16string_view piece) {
        code.append(QStringView(piece.data(), static_cast<qsizetype>(piece.size())));
    });
    m_text3->setText(code);

    m_text3->setFocus(Qt::OtherFocusReason);
    // Text3 may have had the focus already (Alt+T typed in it), and then no focus event comes.
    m_text3->selectAll();
}

void Form1::copyToClipboard()
{
    if (m_platform.clipboard) {
        m_platform.clipboard->clear();
        m_platform.clipboard->setText(m_text3->text());
    }
    if (m_platform.messageBoxes)
        m_platform.messageBoxes->inform(this, QStringLiteral("成功"),
                                        QStringLiteral("复制到剪贴板成功"));
}

void Form1::pasteFromClipboard()
{
    if (!m_platform.clipboard)
        return;
    // A clipboard without any text leaves the input as it is; an empty text still replaces it.
    if (const auto text = m_platform.clipboard->text())
        m_text1->setText(*text);
}

void Form1::showAbout()
{
    if (!m_platform.messageBoxes)
        return;
    const QString prompt = QString::fromUtf16(config::siteName) + u' ' +
                           QString::fromUtf16(config::siteUrl) + u' ' +
                           QStringLiteral("有它让你的生活更方便！");
    m_platform.messageBoxes->inform(this, QString::fromUtf16(config::appTitle), prompt);
}

} // namespace prismel
