#include "window/form/fonts.h"

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
        QFont::insertSubstitutions(QString::fromUtf16(songFamily), faces);
        QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
        return true;
    }();
    (void)installed;
}

QFont windowFont()
{
    installFontSubstitutions();
    QFont font(QString::fromUtf16(songFamily));
    // 9 point at 96 dots per inch. Given in pixels because the layout is in pixels too: a
    // display with another resolution must not make the captions outgrow their buttons.
    font.setPixelSize(12);
    return font;
}

} // namespace prismel
