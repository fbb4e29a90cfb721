#include "window/form/codemenu.h"

#include "core/fit.h"
#include "core/richtext.h"
#include "core/tagtemplate.h"
#include "window/widgets/longtextedit.h"

#include <QAction>
#include <QLineEdit>

#include <climits>

namespace prismel {

namespace {

std::u16string_view view(const QString& text)
{
    return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

TagTemplate tagsOf(const FormControls& controls)
{
    const auto part = [&](std::size_t i) { return view(controls.text2[i]->text()); };
    return {std::u16string(part(0)), std::u16string(part(1)), std::u16string(part(2))};
}

} // namespace

CodeMenu::CodeMenu(const FormControls& controls, const ColorPair& colors, const Platform& platform,
                   std::function<void()> convert, QObject* parent)
    : QObject(parent), m_controls(controls), m_colors(colors), m_platform(platform),
      m_convert(std::move(convert)), m_merge(new QAction(QStringLiteral("合并同色标签(&M)"), this))
{
    auto* richCopy = new QAction(QStringLiteral("复制为富文本(&H)"), this);
    auto* fit = new QAction(QStringLiteral("按长度适配(&L)…"), this);
    m_merge->setCheckable(true);
    connect(richCopy, &QAction::triggered, this, &CodeMenu::copyAsRichText);
    connect(fit, &QAction::triggered, this, &CodeMenu::fitToLength);
    m_controls.text3->addMenuActions({richCopy, m_merge, fit});
}

ConvertOptions CodeMenu::options() const
{
    return {.merge = m_merge->isChecked()};
}

void CodeMenu::showLength(const CodeLength::Sizes& code)
{
    m_controls.text3->setToolTip(
        QStringLiteral("代码长度：%1 字符，%2 字节").arg(code.chars).arg(code.bytes));
}

void CodeMenu::copyAsRichText()
{
    const QString input = m_controls.text1->text();
    const QString step = m_controls.text4->text();
    const std::u16string html = richTextFragment(view(input), view(step), m_colors, options());
    m_platform.clipboard.setTextAndHtml(m_controls.text3->text(), QString::fromStdU16String(html));
    m_platform.messageBoxes.inform(QStringLiteral("成功"), QStringLiteral("复制到剪贴板成功"));
}

void CodeMenu::fitToLength()
{
    const QString title = QStringLiteral("按长度适配");
    const auto limit = m_platform.numberDialog.askNumber(
        title, QStringLiteral("代码长度上限（字符）："), m_lastLimit, 1, INT_MAX);
    if (!limit)
        return;
    m_lastLimit = *limit;

    const QString input = m_controls.text1->text();
    const QString step = m_controls.text4->text();
    const FitResult fit =
        prismel::fitToLength(static_cast<std::uint64_t>(*limit), view(input), view(step),
                             tagsOf(m_controls), m_colors, options(), LengthUnit::Chars);
    if (!fit.fits) {
        m_platform.messageBoxes.inform(
            title, QStringLiteral("没有能适配 %1 字符的步长；最短的代码为 %2 字符（步长 %3）。")
                       .arg(*limit)
                       .arg(fit.length)
                       .arg(fit.step));
        return;
    }
    m_controls.text4->setText(QString::number(fit.step));
    m_convert();
}

} // namespace prismel
