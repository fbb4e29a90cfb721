#include "window/form/mixingitems.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <array>
#include <string>

namespace prismel {

namespace {

// The captions of the core's tables, marked for lupdate in the menu's context, where they have
// always been translated; the lists show each one translated, the core's caption being its
// source text.
constexpr const char* kContext = "prismel::GradientMenu";
[[maybe_unused]] constexpr std::array<const char*, 7> kCaptions{
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "RGB(&G)"),
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "OKLab(&O)"),
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "OKLCH(&C)"),
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "最短(&S)"),
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "最长(&L)"),
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "递增(&I)"),
    QT_TRANSLATE_NOOP("prismel::GradientMenu", "递减(&D)"),
};

// "最短(&S)" gives "最短", "&Shorter" "Shorter".
QString withoutAccessKey(QString caption)
{
    static const QRegularExpression keyAfter(QStringLiteral("\\(&[^&]\\)"));
    caption.remove(keyAfter);
    return caption.remove(QLatin1Char('&'));
}

template <typename Enum>
QList<MixingItem> itemsOf(std::span<const Keyword<Enum>> table, AccessKey key)
{
    QList<MixingItem> items;
    for (const Keyword<Enum>& row : table) {
        const std::string source(row.caption);
        QString caption = QCoreApplication::translate(kContext, source.c_str());
        if (key == AccessKey::Left)
            caption = withoutAccessKey(std::move(caption));
        items.append({std::move(caption), static_cast<int>(row.value)});
    }
    return items;
}

} // namespace

QList<MixingItem> mixingItems(std::span<const Keyword<ColorSpace>> table, AccessKey key)
{
    return itemsOf(table, key);
}

QList<MixingItem> mixingItems(std::span<const Keyword<HueMethod>> table, AccessKey key)
{
    return itemsOf(table, key);
}

} // namespace prismel
