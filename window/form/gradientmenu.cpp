#include "window/form/gradientmenu.h"

#include "core/messagetext.h"
#include "window/adapters/qtstring.h"
#include "window/adapters/savedgradients.h"
#include "window/form/mixingitems.h"
#include "window/form/savedgradientsdialog.h"
#include "window/widgets/barstops.h"

#include <QActionGroup>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace prismel {

namespace {

// A radio group of `items` in `menu`, each action's data its value.
QActionGroup* radioItems(QMenu* menu, const QList<MixingItem>& items)
{
    auto* group = new QActionGroup(menu);
    for (const MixingItem& item : items) {
        QAction* action = menu->addAction(item.caption);
        action->setCheckable(true);
        action->setData(item.value);
        group->addAction(action);
    }
    return group;
}

void checkData(QActionGroup* group, int value)
{
    for (QAction* action : group->actions())
        action->setChecked(action->data().toInt() == value);
}

// The saved gradients the presets show as items; "更多…" lists them all.
constexpr std::size_t kMostSavedItems = 100;

} // namespace

GradientMenu::GradientMenu(BarStops& stops, const Platform& platform,
                           std::function<QString()> sample, QWidget* window)
    : QObject(window), m_stops(stops), m_platform(platform), m_sample(std::move(sample)),
      m_window(window), m_menu(new QMenu(window))
{
    m_menu->addAction(tr("彩虹(&R)"), this, [this] { setGradient(*findGradient(u"rainbow", {})); });
    m_menu->addAction(tr("编辑渐变(&E)…"), this, &GradientMenu::edit);
    m_menu->addAction(tr("反转(&V)"), this, [this] { setGradient(reversed(m_stops.gradient())); });
    m_perLine = m_menu->addAction(tr("每行重新开始(&L)"));
    m_perLine->setCheckable(true);

    QMenu* spaceMenu = m_menu->addMenu(tr("色彩空间(&S)"));
    m_spaces = radioItems(spaceMenu, mixingItems(colorSpaceKeywords(), AccessKey::Shown));
    connect(m_spaces, &QActionGroup::triggered, this, [this](QAction* action) {
        Gradient gradient = m_stops.gradient();
        gradient.space = static_cast<ColorSpace>(action->data().toInt());
        setGradient(std::move(gradient));
    });
    m_hueMenu = m_menu->addMenu(tr("色相方向(&H)"));
    m_hues = radioItems(m_hueMenu, mixingItems(hueMethodKeywords(), AccessKey::Shown));
    connect(m_hues, &QActionGroup::triggered, this, [this](QAction* action) {
        Gradient gradient = m_stops.gradient();
        gradient.hue = static_cast<HueMethod>(action->data().toInt());
        setGradient(std::move(gradient));
    });

    m_presets = m_menu->addMenu(tr("预设(&P)"));
    // The saved gradients are read each time the menu opens, so that a line added by hand or by
    // another window shows.
    connect(m_menu, &QMenu::aboutToShow, this, &GradientMenu::fillPresets);

    m_menu->addAction(tr("保存当前渐变(&A)…"), this, &GradientMenu::save);
    m_menu->addAction(tr("恢复两色(&T)"), this, [this] {
        const auto& ends = m_stops.gradient().stops;
        setChoice(
            {Gradient({{ends.front().color, std::nullopt}, {ends.back().color, std::nullopt}}),
             false});
    });
    connect(m_menu, &QMenu::aboutToShow, this, &GradientMenu::updateChecks);
    updateChecks();
}

GradientChoice GradientMenu::choice() const
{
    return {m_stops.gradient(), m_perLine->isChecked()};
}

void GradientMenu::setChoice(const GradientChoice& choice)
{
    m_perLine->setChecked(choice.perLine);
    setGradient(choice.gradient);
}

void GradientMenu::popup(const QPoint& globalPos)
{
    m_menu->popup(globalPos);
}

void GradientMenu::updateChecks()
{
    const Gradient& gradient = m_stops.gradient();
    checkData(m_spaces, static_cast<int>(gradient.space));
    checkData(m_hues, static_cast<int>(gradient.hue));
    m_hueMenu->menuAction()->setEnabled(takesHueMethod(gradient.space));
}

void GradientMenu::fillPresets()
{
    m_presets->clear();
    const auto add = [this](const NamedGradient& named) {
        m_presets->addAction(toQString(named.name), this,
                             [this, gradient = named.gradient] { setGradient(gradient); });
    };
    for (const NamedGradient& named : builtinGradients())
        add(named);
    const std::vector<NamedGradient>& saved = m_saved.gradients();
    if (!saved.empty() || !m_saved.trouble().isEmpty())
        m_presets->addSeparator();
    if (!m_saved.trouble().isEmpty()) {
        QString line = tr("渐变文件无法读取：%1").arg(m_saved.trouble());
        m_presets->addAction(line.replace(u'&', QStringLiteral("&&")))->setEnabled(false);
    }
    // A menu of tens of thousands of items takes seconds to open; the rest are one item away.
    const std::size_t shown = std::min(saved.size(), kMostSavedItems);
    for (std::size_t i = 0; i < shown; ++i)
        add(saved[i]);
    if (shown < saved.size()) {
        m_presets->addSeparator();
        m_presets->addAction(tr("更多(&M)…"), this, &GradientMenu::chooseSaved);
    }
}

void GradientMenu::chooseSaved()
{
    SavedGradientsDialog dialog(m_saved.gradients(), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (auto gradient = dialog.chosen())
        setGradient(*std::move(gradient));
}

void GradientMenu::setGradient(Gradient gradient)
{
    m_stops.setGradient(std::move(gradient));
    updateChecks();
}

void GradientMenu::edit()
{
    GradientEditor editor(choice(), m_sample(), m_platform.colorDialog, m_window);
    if (editor.exec() == QDialog::Accepted)
        setChoice(editor.choice());
}

void GradientMenu::save()
{
    const QString title = tr("保存当前渐变");
    const auto answer =
        m_platform.inputDialog.askText(title, tr("渐变名（英文字母、数字、- 和 _）："), m_lastName);
    if (!answer)
        return;
    const QString name = answer->trimmed();
    if (!isGradientName(view(name))) {
        m_platform.messageBoxes.inform(
            title, name.isEmpty() ? tr("渐变名不能为空。")
                                  : tr("渐变名“%1”只能由英文字母、数字、“-”和“_”组成。")
                                        .arg(toQString(printable(view(name)))));
        return;
    }
    if (const auto failure = SavedGradients::save(view(name), m_stops.gradient())) {
        const QString prompt = tr("渐变未能保存：%1").arg(failure->why);
        if (failure->path.isEmpty())
            m_platform.messageBoxes.inform(title, prompt);
        else
            m_platform.messageBoxes.informAboutFile(title, prompt, failure->path);
        return;
    }
    m_lastName = name;
}

} // namespace prismel
