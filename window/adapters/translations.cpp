#include "window/adapters/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace prismel {

Language chooseLanguage(const QStringList& uiLanguages)
{
    for (const QString& entry : uiLanguages) {
        // "en", "en-US", "en_GB": the language is what comes before the first separator.
        const QString language = QString(entry).replace(u'_', u'-').section(u'-', 0, 0).toLower();
        if (language == u"en")
            return Language::English;
        if (language == u"zh")
            return Language::Chinese;
    }
    return Language::Chinese;
}

bool Translations::install(Language language, const QString& directory)
{
    const QLocale locale = language == Language::English
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : QLocale(QLocale::Chinese, QLocale::China);
    const bool qtFound = m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtFound)
        QCoreApplication::installTranslator(&m_qt);
    if (language == Language::Chinese)
        return qtFound;
    const bool windowFound = m_window.load(QStringLiteral("prismel_en"), directory);
    if (windowFound)
        QCoreApplication::installTranslator(&m_window);
    return qtFound && windowFound;
}

} // namespace prismel
