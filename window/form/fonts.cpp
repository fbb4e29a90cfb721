#include "window/form/fonts.h"

#include "window/adapters/qtstring.h"

#include <QFontDatabase>

#include <algorithm>

namespace prismel {

QStringList songSubstitutes()
{
    // Serif (Song/Ming) faces first, the look of the original face; sans faces only as a last
    // resort so that a box never shows instead of a character.
    return {
        QStringLiteral("Noto Serif CJK SC"),   QStringLiteral("Source Han Serif SC"),
        QStringLiteral("AR PL UMing CN"),      QStringLiteral("AR PL SungtiL GB"),
        QStringLiteral("Noto Sans CJK SC"),    QStringLiteral("WenQuanYi Zen Hei"),
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
    };
}

void installFontSubstitutions()
{
    static const bool installed = [] {
        const QStringList faces = songSubstitutes();
        QFont::insertSubstitutions(toQString(songFamily), faces);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
        return true;
    }();
    (void)installed;
}

namespace {

// "宋体" and its substitutes, from the first one installed on; all of them when none is.
QStringList songFaces()
{
    QStringList faces = QStringList(toQString(songFamily)) + songSubstitutes();
    const QStringList installed = QFontDatabase::families();
    const auto first = std::find_if(faces.cbegin(), faces.cend(), [&](const QString& face) {
        return installed.contains(face, Qt::CaseInsensitive);
    });
    if (first != faces.cend())
        faces.erase(faces.cbegin(), first);
    return faces;
}

} // namespace

QFont windowFont()
{
    installFontSubstitutions();
    // The faces Qt would try for "宋体", from the first one installed on. Asked for "宋体" itself,
    // which Debian lacks, Qt first asks fontconfig for that face's fallbacks, for nothing.
    QFont font;
    font.setFamilies(songFaces() << toQString(emojiFamily));
    // 9 point at 96 dots per inch. Given in pixels because the layout is in pixels too: a
    // display with another resolution must not make the captions outgrow their buttons.
    font.setPixelSize(12);
    return font;
}

} // namespace prismel
