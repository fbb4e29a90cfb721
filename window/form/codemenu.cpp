#include "window/form/codemenu.h"

#include "core/fit.h"
#include "core/format.h"
#include "core/richtext.h"
#include "window/adapters/qtstring.h"
#include "window/widgets/longtextedit.h"

#include <QAction>

#include <climits>

namespace prismel {

CodeMenu::CodeMenu(LongTextEdit& output, const Platform& platform,
                   std::function<TextRequest()> request,
                   std::function<void(int step)> convertAtStep, QObject* parent)
    : QObject(parent), m_output(output), m_platform(platform), m_request(std::move(request)),
      m_convertAtStep(std::move(convertAtStep)), m_merge(new QAction(tr("合并同色标签(&M)"), this))
{
    auto* richCopy = new QAction(tr("复制为富文本(&H)"), this);
    auto* fit = new QAction(tr("按长度适配(&L)…"), this);
    m_merge->setCheckable(true);
    connect(richCopy, &QAction::triggered, this, &CodeMenu::copyAsRichText);
    connect(fit, &QAction::triggered, this, &CodeMenu::fitToLength);
    // In Decoration's order.
    const std::array<QString, decorationCount> captions{tr("粗体(&B)"), tr("斜体(&I)"),
                                                        tr("下划线(&N)"), tr("删除线(&K)")};
    QList<QAction*> actions{richCopy, m_merge, fit};
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    actions.append(separator);
    for (std::size_t d = 0; d < decorationCount; ++d) {
        m_decorations[d] = new QAction(captions[d], this);
        m_decorations[d]->setCheckable(true);
        const std::string_view keyword = decorationKeywords()[d];
        m_decorations[d]->setObjectName(QString::fromLatin1(keyword.data(), std::ssize(keyword)));
        actions.append(m_decorations[d]);
    }
    m_output.addMenuActions(actions);
}

std::array<bool, decorationCount> CodeMenu::decorations() const
{
    std::array<bool, decorationCount> on{};
    for (std::size_t d = 0; d < decorationCount; ++d)
        on[d] = m_decorations[d]->isEnabled() && m_decorations[d]->isChecked();
    return on;
}

void CodeMenu::offerDecorations(bool offered)
{
    for (QAction* action : m_decorations)
        action->setEnabled(offered);
}

bool CodeMenu::merges() const
{
    return m_merge->isChecked();
}

void CodeMenu::showLength(const CodeLength::Sizes& code)
{
    m_output.setToolTip(tr("代码长度：%1 字符，%2 字节").arg(code.chars).arg(code.bytes));
}

bool CodeMenu::refused(const TextRequest& request)
{
    const auto problem = gradientTagProblem(request);
    if (problem)
        m_platform.messageBoxes.inform(tr("转换"), toQString(*problem));
    return problem.has_value();
}

void CodeMenu::copyAsRichText()
{
    const TextRequest request = m_request();
    if (refused(request))
        return;
    const std::u16string html = richTextFragment(view(request.input), request);
    m_platform.clipboard.setTextAndHtml(m_output.text(), toQString(html));
    m_platform.messageBoxes.inform(tr("成功"), tr("复制到剪贴板成功"));
}

void CodeMenu::fitToLength()
{
    const QString title = tr("按长度适配");
    const auto limit = m_platform.inputDialog.askNumber(title, tr("代码长度上限（字符）："),
                                                        m_lastLimit, 1, INT_MAX);
    if (!limit)
        return;
    m_lastLimit = *limit;

    const TextRequest request = m_request();
    if (refused(request))
        return;
    const FitResult fit = prismel::fitToLength(static_cast<std::uint64_t>(*limit),
                                               view(request.input), request, LengthUnit::Chars);
    if (!fit.fits) {
        m_platform.messageBoxes.inform(
            title, tr("没有能适配 %1 字符的步长；最短的代码为 %2 字符（步长 %3）。")
                       .arg(*limit)
                       .arg(fit.length)
                       .arg(fit.step));
        return;
    }
    m_convertAtStep(fit.step);
}

} // namespace prismel
