// A language file of arbitrary bytes: every section it names, and the tray
// texts, come back as bounded lists.

#include "FuzzSupport.h"

#include "store/DpiSwitchMessages.h"
#include "store/LanguageStrings.h"

#include <QSettings>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const LanguageStrings strings(FuzzSupport::dataRoot());
    const QString code = QStringLiteral("Fuzz");
    FuzzSupport::putFile(strings.path(code), data, size);
    QStringList sections;
    {
        QSettings file(strings.path(code), QSettings::IniFormat);
        sections = file.childGroups().mid(0, 8);
    }
    sections << QStringLiteral("other") << QStringLiteral("missing");
    for (const QString &section : sections) {
        const QStringList texts = strings.load(section, code);
        FUZZ_CHECK(texts.size() <= LanguageStrings::MaxTexts);
    }
    for (const QString &message : dpiSwitchMessages)
        FUZZ_CHECK(message.size() >= 0);
    return 0;
}
