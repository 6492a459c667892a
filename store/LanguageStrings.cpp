#include "store/LanguageStrings.h"

#include "store/DataFile.h"
#include "store/DpiSwitchMessages.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>

LanguageStrings::LanguageStrings(const QString &dataRoot)
    : m_dir(dataRoot + QStringLiteral("/modules/i18n/"))
{
}

QString LanguageStrings::path(const QString &langCode) const
{
    return m_dir + langCode + QStringLiteral(".ini");
}

QStringList LanguageStrings::section(const QString &typeStr, const QString &langCode) const
{
    if (!DataFile::isSafeStem(langCode)) {
        qDebug() << "getLangStrings: refused language code" << langCode;
        return {};
    }
    if (!QFile::exists(path(langCode)))
        return {};
    // The settings class reads INI files as UTF-8.
    QSettings file(path(langCode), QSettings::IniFormat);
    int total = file.value(typeStr + QStringLiteral("/total"), 0).toInt();
    if (total > MaxTexts) {
        qDebug() << "getLangStrings:" << typeStr << "total" << total << "is implausible, reading"
                 << MaxTexts << "texts";
        total = MaxTexts;
    }
    QStringList out;
    for (int i = 0; i < total; ++i) {
        const QVariant v = file.value(typeStr + QLatin1Char('/') + QString::number(i), QString());
        // A text with an unquoted comma is read as a list; it is shown whole.
        out.append(v.typeId() == QMetaType::QStringList
                       ? v.toStringList().join(QStringLiteral(", "))
                       : v.toString());
    }
    return out;
}

QStringList LanguageStrings::load(const QString &typeStr, const QString &langCode) const
{
    const QStringList texts = section(typeStr, langCode);
    if (typeStr == QLatin1String("other"))
        applyTrayTexts(langCode, texts);
    return texts;
}

void LanguageStrings::applyTrayTexts(const QString &langCode, const QStringList &texts)
{
    if (langCode == QLatin1String("French")) {
        static const char *const ordinals[8] = {"1st", "2st", "3st", "4st",
                                                "5st", "6st", "7st", "8st"};
        for (int i = 0; i < 8; ++i)
            dpiSwitchMessages[i] = QStringLiteral("DPI switch to the %1 segment")
                                       .arg(QLatin1String(ordinals[i]));
        return;
    }
    for (int i = 0; i < 8 && i < texts.size(); ++i)
        dpiSwitchMessages[i] = texts.at(i);
}

QString LanguageStrings::forDesktop(const QStringList &uiLanguages, const QStringList &available)
{
    const QString english = QStringLiteral("English");
    for (const QString &name : uiLanguages) {
        const QLocale locale(name);
        QString code;
        if (locale.language() == QLocale::English)
            code = english;
        else if (locale.language() == QLocale::French)
            code = QStringLiteral("French");
        else if (locale.language() == QLocale::Chinese && locale.script() == QLocale::SimplifiedHanScript)
            code = QStringLiteral("ChineseSimplified");
        if (!code.isEmpty() && available.contains(code))
            return code;
    }
    return english;
}

QStringList LanguageStrings::available() const
{
    QStringList codes;
    const QStringList files = QDir(m_dir).entryList({QStringLiteral("*.ini")}, QDir::Files);
    for (const QString &file : files)
        codes << file.chopped(4);
    return codes;
}
