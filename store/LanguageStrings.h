#pragma once

#include <QString>
#include <QStringList>

// Interface texts in modules/i18n/<language>.ini (UTF-8): one section per
// page, its key total giving the number of texts and keys 0 .. total-1 the
// texts. The section "other" holds the eight tray texts for DPI stages 1..8.
class LanguageStrings
{
public:
    explicit LanguageStrings(const QString &dataRoot);

    QString path(const QString &langCode) const;

    // The texts of a section in order; a missing key gives an empty text, a
    // missing file, section or a language code that is no plain file name
    // gives an empty list.
    QStringList section(const QString &typeStr, const QString &langCode) const;

    // section(), and for typeStr "other" (exactly) also the tray texts.
    QStringList load(const QString &typeStr, const QString &langCode) const;

    // Sets dpiSwitchMessages from the texts of the "other" section. The code
    // "French" always gets its fixed texts; other codes take the texts in
    // order, and stages without a text keep the text they had.
    static void applyTrayTexts(const QString &langCode, const QStringList &texts);

    // Most texts read from one section, whatever its total says: the largest
    // page holds a few hundred, and a damaged total (2000000000) must not
    // make the reader loop and allocate for minutes.
    static constexpr int MaxTexts = 1024;

    // The language file for a desktop that asks for uiLanguages (most wanted
    // first, as QLocale::uiLanguages gives them: "fr-FR", "zh-Hans-CN", ...):
    // the first of them that one of the available files speaks, else
    // "English". Chinese in traditional script has no file of its own.
    static QString forDesktop(const QStringList &uiLanguages, const QStringList &available);

    // The language codes that have a file here.
    QStringList available() const;

private:
    QString m_dir;
};
