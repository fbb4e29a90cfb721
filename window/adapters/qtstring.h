#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace prismel {

// Text crosses into Qt here: the layers below speak UTF-16 code units, as QString holds them,
// so both ways are a view or a copy, never a conversion.

// The string's units, valid while it lives unchanged.
inline std::u16string_view view(const QString& text)
{
    return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

// A copy the core may keep.
inline std::u16string toU16(const QString& text)
{
    return std::u16string(view(text));
}

inline QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The core's own words (messages, keywords) are UTF-8.
inline QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace prismel
