#include "window/adapters/translations.h"

#include <QTest>

using prismel::Language;

class TranslationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chooseLanguage_data();
    void chooseLanguage();
};

void TranslationsTest::chooseLanguage_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<Language>("expected");
    const auto list = [](const char* joined) {
        return QString::fromLatin1(joined).split(u',', Qt::SkipEmptyParts);
    };
    QTest::newRow("C locale") << list("C") << Language::Chinese;
    QTest::newRow("no languages at all") << list("") << Language::Chinese;
    QTest::newRow("English alone") << list("en-US,en-Latn-US,en") << Language::English;
    QTest::newRow("Chinese alone") << list("zh-CN,zh-Hans-CN,zh") << Language::Chinese;
    QTest::newRow("English before Chinese") << list("en,zh-CN") << Language::English;
    QTest::newRow("Chinese before English") << list("zh-TW,en-US") << Language::Chinese;
    QTest::newRow("German, then English") << list("de-DE,de,en-GB") << Language::English;
    QTest::newRow("only languages without a translation") << list("fr-FR,ja") << Language::Chinese;
    QTest::newRow("underscore and capitals") << list("EN_gb") << Language::English;
    // "eng" or "zhx" are other languages, not English or Chinese.
    QTest::newRow("a longer code that starts alike") << list("eng,zh") << Language::Chinese;
}

void TranslationsTest::chooseLanguage()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(Language, expected);
    QCOMPARE(prismel::chooseLanguage(uiLanguages), expected);
}

QTEST_MAIN(TranslationsTest)
#include "translations_test.moc"
