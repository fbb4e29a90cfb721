#pragma once

#include "core/gradient.h"

#include <QList>
#include <QString>

#include <span>

namespace prismel {

// An item of the window's lists of colour spaces and hue methods: its caption in the window's
// language and, as the item's data, its value.
struct MixingItem {
    QString caption;
    int value;
};

// A menu's items take their access keys ("OKLCH(&C)"); a box's list shows none ("OKLCH").
enum class AccessKey { Shown, Left };

// The rows of one of the core's tables as items, in its order.
QList<MixingItem> mixingItems(std::span<const Keyword<ColorSpace>> table, AccessKey key);
QList<MixingItem> mixingItems(std::span<const Keyword<HueMethod>> table, AccessKey key);

} // namespace prismel
