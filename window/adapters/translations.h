#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace prismel {

enum class Language { Chinese, English };

// The window's language for the desktop's list of UI languages, most wanted first
// (QLocale::system().uiLanguages()): English when an English entry comes before any Chinese one,
// and Chinese otherwise, so also under the C and POSIX locales.
Language chooseLanguage(const QStringList& uiLanguages);

// The translators of one language, installed on the application while this object lives.
class Translations {
public:
    // Chinese: Qt's own texts in Simplified Chinese; the window's source texts are Chinese
    // already. English: Qt's English and the window's from prismel_en.qm in `directory`. False
    // when a file is missing, which leaves Qt's texts in English and the window's in Chinese.
    bool install(Language language, const QString& directory);

private:
    QTranslator m_qt;
    QTranslator m_window;
};

} // namespace prismel
